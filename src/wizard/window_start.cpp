#include "wizard/window_start.h"

#include <algorithm>
#include <cstring>

#include "engine/ports.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "run/parse_command_line.h"
#include "selection/individual_files.h"
#include "selection/step2.h"

namespace qtarvox {

std::string StartFolder() { return CurrentDirectory(); }

bool OpensWindow(const std::vector<std::string>& args) {
  const CliOptions options = SplitProgramOptions(args);
  if (options.help || options.version || options.preview || options.undo ||
      !options.unknown.empty() || !options.errors.empty()) {
    return false;
  }
  Job job;
  SilentPrompter quiet;
  ParseCommandLine(job, BuildSegments(options.rest), quiet);
  return !job.SuppressedMode;
}

MissingEntries MissingNamedEntries(const Job& job) {
  MissingEntries missing;
  std::string directory, filename;
  for (const auto& entry : job.lstFile) {
    SplitFileEntry(entry, directory, filename);
    if (!EntryExists(directory + filename)) missing.files.push_back(directory + filename);
  }
  for (const auto& entry : job.lstDir) {
    const bool subdirectories = entry.ends_with(kIncludeSubdirsMark);
    const std::string path =
        subdirectories ? PathAsTyped(entry.substr(0, entry.size() - std::strlen(kIncludeSubdirsMark)))
                       : entry;
    if (!IsDirectory(path)) missing.directories.push_back(path);
  }
  return missing;
}

void FillWizard(Wizard& wizard, const std::vector<std::string>& args, Prompter& prompter,
                const std::function<void()>& shown, const std::function<void()>& pressed) {
  Job& job = wizard.job();
  if (job.dirDir.empty()) job.dirDir = CurrentDirectory();
  const CliOptions options = SplitProgramOptions(args);
  ListCaptions captions = ParseCommandLine(job, BuildSegments(options.rest), prompter);
  std::string unreadable;
  if (!AddFilesGivenApart(job, options, captions, unreadable)) prompter.Tell(unreadable, kAppTitle);
  wizard.ListsFilled(captions.files, captions.directories, captions.extensions);
  if (shown) shown();
  // Files handed over without any action (a file manager's "Open with"):
  // the user starts on Step 1 with them chosen, and nothing is checked yet.
  if (std::ranges::none_of(job.lstActions, &ActionEntry::ticked)) {
    wizard.SelectMethodOption(MethodForGivenFiles(job));
    if (job.lstFile.empty() && job.lstDir.empty()) {
      wizard.ShowIntro();
    } else {
      wizard.ShowStep1();
    }
    if (pressed) pressed();
    return;
  }
  PressThroughSteps(wizard, pressed);
}

void PressThroughSteps(Wizard& wizard, const std::function<void()>& pressed) {
  const auto after = [&pressed] {
    if (pressed) pressed();
  };
  const Job& job = wizard.job();
  wizard.SelectMethodOption(MethodForGivenFiles(job));
  const bool accepted = wizard.ProceedStep1();
  after();
  if (!accepted) {
    wizard.ShowStep1();
    after();
    return;
  }
  wizard.PressMethodOk();
  after();
  const Step2Result result = wizard.ProceedStep2();
  after();
  const bool both = job.FilesGivenIndividually && job.FilesGivenByExtension;
  if (both && result == Step2Result::kStay) {
    wizard.ProceedStep2();
    after();
  }
}

}  // namespace qtarvox
