#include "cli/startup.h"

#include <algorithm>
#include <cstring>

#include "cli/outcome_lines.h"
#include "cli/undo_command.h"
#include "engine/job.h"
#include "engine/validation.h"
#include "help/usage_text.h"
#include "platform/stop_signals.h"
#include "run/parse_command_line.h"
#include "run/report_view.h"
#include "wizard/silent_run_view.h"
#include "wizard/window_start.h"
#include "wizard/wizard.h"
#include "wizard/work_folder_hold.h"

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

// What the program was told besides the job.
struct RunRequest {
  bool preview = false;
  bool quiet = false;
  bool verbose = false;
  LineFormat format = LineFormat::kReadable;
  bool named_missing = false;  // a file or directory named on the command line is not there
  bool incomplete = false;     // a part of the command line was not read (said on stderr)
};

// Says which files of FI and directories of FE are not there. True when all are.
bool NamedEntriesExist(const Job& job, std::ostream& err) {
  const MissingEntries missing = MissingNamedEntries(job);
  for (const auto& path : missing.files) err << kNoteMissingFile << path << '\n';
  for (const auto& path : missing.directories) err << kNoteMissingDirectory << path << '\n';
  return missing.files.empty() && missing.directories.empty();
}

bool AnyActionTicked(const Job& job) {
  for (const auto& entry : job.lstActions) {
    if (entry.ticked) return true;
  }
  return false;
}

int SilentRun(Wizard& wizard, const RunRequest& request, std::ostream& out, std::ostream& err) {
  const bool preview = request.preview;
  const Job& job = wizard.job();
  // Step 1: failing actions are unticked; say which, for whoever reads stderr.
  std::vector<std::string> dropped;
  wizard.ProceedStep1(&dropped);
  for (const auto& message : dropped) {
    err << "q-tarvox: action dropped: " << ForTerminal(message) << '\n';
  }
  wizard.ChooseMethodOfGivenFiles();
  std::string failure;
  wizard.ProceedStep2(&failure);
  if (!failure.empty()) err << "q-tarvox: file choice incomplete: " << failure << '\n';
  if (!AnyActionTicked(job)) err << "q-tarvox: no action left to perform.\n";

  WorkFolderHold work_folder;
  std::string busy;
  if (!work_folder.Take(busy)) {
    err << "q-tarvox: " << busy << '\n';
    return kExitNotStarted;
  }
  // Ctrl-C now stops the run between two files instead of in the middle of one.
  const StopRequest& stop = CatchStopSignals();
  OutcomePrinter files(preview || request.verbose ? &out : nullptr, request.format);
  const RunOutcome outcome = preview ? wizard.Plan(&stop, &files) : wizard.PressRun(&stop, &files);
  wizard.Quit();
  out.flush();
  for (const auto& problem : outcome.problems) err << "q-tarvox: " << problem << '\n';
  if (!outcome.started) return kExitNotStarted;
  if (outcome.files == 0 && job.lstFile.empty() && outcome.stopped == 0 && !outcome.errors) {
    err << "q-tarvox: no file was chosen.\n";
  }
  const std::string error_file = outcome.error_file_left ? ErrorFilePath() : "";
  if (!request.quiet) {
    const std::string process_file = job.chkProcess ? ProcessFilePath() : "";
    err << "q-tarvox: "
        << SummaryLine(files, outcome.folders_not_entered, preview, process_file, error_file)
        << '\n';
  } else if (outcome.error_file_left) {
    err << "q-tarvox: errors were logged in " << error_file << '\n';
  }
  if (outcome.stopped > 0) {
    err << "q-tarvox: stopped by signal " << outcome.stopped << " ("
        << SignalName(outcome.stopped) << "); the files after the last one in the Process file "
        << "were left as they were.\n";
    return kExitSignalBase + outcome.stopped;
  }
  // Less than asked is not success, though the run goes on with the rest.
  if (outcome.error_file_left || !outcome.problems.empty() || request.named_missing ||
      request.incomplete || !dropped.empty()) {
    return kExitErrorFile;
  }
  return kExitClean;
}

// Fills the wizard as a user would and stops on Step 3 (or the step whose
// check failed). Without a window, the summary is printed instead.
int WindowedStart(Wizard& wizard, std::ostream& out, std::ostream& err) {
  PressThroughSteps(wizard);
  const ScreenState screen = wizard.screen();
  if (screen.step == WizardStep::kStep3) {
    for (const auto& line : screen.lstFinal) out << line << '\n';
    out << ForTerminal(screen.txtFinal);
  }
  err << kNoWindowNote << '\n';
  return kExitNotStarted;
}

// Tells what is wrong with a command line that may mean something else.
int RefuseCommandLine(const CliOptions& options, std::ostream& err) {
  for (const auto& error : options.errors) err << "q-tarvox: " << error << '\n';
  for (const auto& option : options.unknown) {
    err << kUnknownOption << option;
    const std::string nearest = NearestLongOption(option);
    if (!nearest.empty()) err << kNoteDidYouMean << nearest << "?";
    err << '\n';
  }
  err << kUsageLine << '\n' << kHelpPointer << '\n';
  return kExitNotStarted;
}

UndoCommand UndoCommandOf(const CliOptions& options) {
  UndoCommand command;
  command.preview = options.preview;
  command.list = options.list;
  command.quiet = options.quiet;
  command.verbose = options.verbose;
  command.null_separated = options.null_separated;
  return command;
}

// Fills the wizard from the command line, then runs it silently or opens
// the window on it.
int StartJob(const CliOptions& options, std::ostream& out, std::ostream& err) {
  StderrPrompter prompter(err);
  SilentRunView view;
  Wizard wizard(prompter, view);
  Job& job = wizard.job();
  job.dirDir = StartFolder();
  ParseNotes notes;
  // Empty arguments make no segment of their own.
  const auto first = std::find_if(options.rest.begin(), options.rest.end(),
                                  [](const std::string& arg) { return !arg.empty(); });
  notes.first_segment_dashed = first == options.rest.end() || first->starts_with('-');
  ListCaptions captions = ParseCommandLine(job, BuildSegments(options.rest), prompter, &notes);
  std::string unreadable;
  if (!AddFilesGivenApart(job, options, captions, unreadable)) {
    err << "q-tarvox: " << unreadable << '\n';
    return kExitNotStarted;
  }
  for (const auto& note : notes.lines) err << "q-tarvox: " << note << '\n';
  RunRequest request;
  request.incomplete = !notes.lines.empty();
  request.named_missing = !NamedEntriesExist(job, err);
  wizard.ListsFilled(captions.files, captions.directories, captions.extensions);
  if (options.preview) job.SuppressedMode = true;
  wizard.ShowStep1();
  if (!job.SuppressedMode) return WindowedStart(wizard, out, err);
  request.preview = options.preview;
  request.quiet = options.quiet;
  request.verbose = options.verbose;
  request.format = options.null_separated ? LineFormat::kNull : LineFormat::kReadable;
  return SilentRun(wizard, request, out, err);
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  const CliOptions options = SplitProgramOptions(args);
  // Nothing is done on a command line that may mean something else.
  if (!options.unknown.empty() || !options.errors.empty()) return RefuseCommandLine(options, err);
  if (options.help) {
    out << UsageText();
    return kExitClean;
  }
  if (options.version) {
    out << kVersionText << '\n';
    return kExitClean;
  }
  if (options.undo) return RunUndoCommand(UndoCommandOf(options), options.rest, out, err);
  if (options.list) {
    err << "q-tarvox: " << kListNeedsUndo << '\n';
    return kExitNotStarted;
  }
  if (options.rest.empty() && options.files.empty() && options.files0_from.empty() &&
      !options.preview) {
    // An empty command line opens the window on its Intro screen.
    err << kNoWindowNote << '\n';
    return kExitNotStarted;
  }
  return StartJob(options, out, err);
}

}  // namespace qtarvox
