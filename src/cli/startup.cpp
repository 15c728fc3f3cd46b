#include "cli/startup.h"

#include <unistd.h>

#include "cli/parse_command_line.h"
#include "cli/usage_text.h"
#include "engine/job.h"
#include "engine/validation.h"
#include "platform/work_folder.h"
#include "run/job_reset.h"
#include "run/report_view.h"
#include "run/run_driver.h"
#include "run/settings.h"
#include "run/summary.h"
#include "run/work_files.h"
#include "platform/own_files.h"
#include "platform/stop_signals.h"
#include "selection/step2.h"

namespace qtarvox {
namespace {

// Message text as one terminal paragraph: CR LF becomes a line feed.
std::string ForTerminal(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(text[i]);
  }
  return out;
}

// Without a window there is nobody to click: messages go to stderr and every
// question is answered No.
class StderrPrompter final : public Prompter {
 public:
  explicit StderrPrompter(std::ostream& err) : err_(err) {}
  void Tell(const std::string& text, const std::string&) override {
    err_ << ForTerminal(text) << '\n';
  }
  bool Ask(const std::string& text, const std::string&) override {
    err_ << ForTerminal(text) << '\n';
    return false;
  }

 private:
  std::ostream& err_;
};

class SilentRunView final : public RunView {
 public:
  void ShowStatus(const std::string&) override {}
  bool StartViewer(const std::string& path) override { return StartDesktopViewer(path); }
};

std::string CurrentDirectory() {
  std::string cwd(4096, '\0');
  if (::getcwd(cwd.data(), cwd.size()) == nullptr) return {};
  cwd.resize(std::char_traits<char>::length(cwd.c_str()));
  return cwd;
}

// The box's text without its leading line break, one entry per line.
void PrintPreview(const std::string& text, std::ostream& out) {
  size_t pos = text.rfind("\r\n", 0) == 0 ? 2 : 0;
  if (pos == 0 && text.empty()) return;
  while (pos <= text.size()) {
    const size_t end = text.find("\r\n", pos);
    out << text.substr(pos, end == std::string::npos ? std::string::npos : end - pos) << '\n';
    if (end == std::string::npos) break;
    pos = end + 2;
  }
}

bool AnyActionTicked(const Job& job) {
  for (const auto& entry : job.lstActions) {
    if (entry.ticked) return true;
  }
  return false;
}

int SilentRun(Job& job, bool preview, std::ostream& out, std::ostream& err) {
  StderrPrompter prompter(err);
  // Step 1: failing actions are unticked; say which, for whoever reads stderr.
  std::vector<std::string> dropped;
  if (AcceptStep1(job, prompter, &dropped)) RestoreDirectory(job);
  for (const auto& message : dropped) {
    err << "q-tarvox: action dropped: " << ForTerminal(message) << '\n';
  }
  ChooseMethod(job, MethodForGivenFiles(job));
  std::string failure;
  ProceedStep2(job, prompter, &failure);
  if (!failure.empty()) err << "q-tarvox: file choice incomplete: " << failure << '\n';
  if (!AnyActionTicked(job)) err << "q-tarvox: no action left to perform.\n";

  FolderLock work_folder;
  std::string busy;
  if (!TakeWorkFolder(work_folder, busy)) {
    err << "q-tarvox: " << busy << '\n';
    return kExitNotStarted;
  }
  // Ctrl-C now stops the run between two files instead of in the middle of one.
  const StopRequest& stop = CatchStopSignals();
  SilentRunView view;
  const RunOutcome outcome =
      preview ? PressPreview(job, prompter, view, &stop) : PressRun(job, prompter, view, &stop);
  QuitCleanup(job);
  for (const auto& problem : outcome.problems) err << "q-tarvox: " << problem << '\n';
  if (!outcome.started) return kExitNotStarted;
  if (preview) PrintPreview(job.txtOP.text(), out);
  if (job.FileCount == 0 && job.lstFile.empty() && outcome.stopped == 0) {
    err << "q-tarvox: no file was chosen.\n";
  }
  if (outcome.error_file_left) {
    err << "q-tarvox: errors were logged in " << WorkFilePath(kErrorFileName) << '\n';
  }
  if (outcome.stopped > 0) {
    err << "q-tarvox: stopped by signal " << outcome.stopped << " ("
        << SignalName(outcome.stopped) << "); the files after the last one in the Process file "
        << "were left as they were.\n";
    return kExitSignalBase + outcome.stopped;
  }
  if (outcome.error_file_left || !outcome.problems.empty()) return kExitErrorFile;
  return kExitClean;
}

// Fills the wizard as a user would and stops on Step 3 (or the step whose
// check failed). Without a window, the summary is printed instead.
int WindowedStart(Job& job, std::ostream& out, std::ostream& err) {
  StderrPrompter prompter(err);
  if (AcceptStep1(job, prompter)) RestoreDirectory(job);
  if (!job.StepCheckFailed) {
    ChooseMethod(job, MethodForGivenFiles(job));
    const bool both = job.FilesGivenIndividually && job.FilesGivenByExtension;
    Step2Result result = ProceedStep2(job, prompter);
    if (!job.StepCheckFailed && both) result = ProceedStep2(job, prompter);
    if (result == Step2Result::kPassed) {
      ShowSummary(job);
      for (const auto& line : job.lstFinal) out << line << '\n';
      out << ForTerminal(job.txtFinal);
    }
  }
  err << kNoWindowNote << '\n';
  return kExitNotStarted;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CliOptions options = SplitProgramOptions(args);
  if (options.help) {
    out << UsageText();
    return kExitClean;
  }
  if (options.version) {
    out << kVersionText << '\n';
    return kExitClean;
  }
  if (options.rest.empty() && !options.preview) {
    // An empty command line opens the window on its Intro screen.
    err << kNoWindowNote << '\n';
    return kExitNotStarted;
  }
  Job job;
  job.dirDir = CurrentDirectory();
  job.StepCheckFailed = false;
  StderrPrompter prompter(err);
  ParseCommandLine(job, BuildSegments(options.rest), prompter);
  if (options.preview) job.SuppressedMode = true;
  if (job.SuppressedMode) return SilentRun(job, options.preview, out, err);
  return WindowedStart(job, out, err);
}

}  // namespace qtarvox
