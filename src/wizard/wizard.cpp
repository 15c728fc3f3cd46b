#include "wizard/wizard.h"

#include <algorithm>
#include <functional>

#include "engine/numeric.h"
#include "engine/validation.h"
#include "platform/chars.h"
#include "platform/paths.h"
#include "run/settings.h"
#include "selection/step2.h"
#include "wizard/job_reset.h"
#include "wizard/summary.h"

namespace qtarvox {

std::string CountCaption(const std::string& prefix, size_t count) {
  return prefix + std::to_string(count) + "*";
}

std::string GroupedCount(int64_t count) {
  std::string digits = std::to_string(count < 0 ? -count : count);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return count < 0 ? "-" + digits : digits;
}

// The caller's view, with the status text also kept in the screen state; a
// task's progress becomes status text too.
class Wizard::StatusView final : public RunView {
 public:
  StatusView(RunView& outer, Wizard& wizard) : outer_(outer), wizard_(wizard) {}
  void ShowStatus(const std::string& caption) override {
    wizard_.SetStatus(caption);
    outer_.ShowStatus(caption);
  }
  void ShowProgress(int64_t done, int64_t listed) override {
    outer_.ShowProgress(done, listed);
    if (!wizard_.progress_on_) return;
    ShowStatus(wizard_.ProgressCaption(done, listed));
  }
  bool StartViewer(const std::string& path) override { return outer_.StartViewer(path); }

 private:
  RunView& outer_;
  Wizard& wizard_;
};

// The caller's prompter, silenced while a run is stopped for good.
class Wizard::RunPrompter final : public Prompter {
 public:
  explicit RunPrompter(Prompter& outer) : outer_(outer) {}
  void Tell(const std::string& text, const std::string& caption) override {
    if (!muted) outer_.Tell(text, caption);
  }
  bool Ask(const std::string& text, const std::string& caption) override {
    return !muted && outer_.Ask(text, caption);
  }
  bool AskKeeping(const std::string& text, const std::string& caption) override {
    return muted || outer_.AskKeeping(text, caption);
  }
  bool muted = false;

 private:
  Prompter& outer_;
};

Wizard::Wizard(Prompter& prompter, RunView& view)
    : prompter_(prompter),
      run_prompter_(std::make_unique<RunPrompter>(prompter)),
      view_(std::make_unique<StatusView>(view, *this)) {}

Wizard::~Wizard() {
  if (worker_.joinable()) {
    RequestStop();
    worker_.join();
  }
}

ScreenState Wizard::screen() const {
  std::lock_guard lock(status_mutex_);
  ScreenState shown = screen_;
  shown.separator_shown = job_.collision == CollisionOption::kAppendNumber;
  return shown;
}

std::string Wizard::ProgressCaption(int64_t done, int64_t listed) const {
  return std::string(kStatusPrefix) + kStatusLineBreak +
         (progress_preview_ ? kProgressPreviewing : kProgressRenaming) + GroupedCount(done) +
         kProgressOf + GroupedCount(listed > 0 ? listed : progress_files_);
}

void Wizard::SetStatus(const std::string& caption) {
  std::lock_guard lock(status_mutex_);
  screen_.lblStatus = caption;
}

void Wizard::SetTicked(int index, bool ticked) {
  if (index >= 0 && index < static_cast<int>(job_.lstActions.size())) {
    job_.lstActions[static_cast<size_t>(index)].ticked = ticked;
  }
}

void Wizard::SetHighlighted(int index) { screen_.highlighted = index; }

void Wizard::txtAI1Changed(ActionId id, const std::string& text) {
  switch (id) {
    case ActionId::kDeleteLast:
      job_.DeleteLastCount = NumericValue(Trim(text));
      break;
    case ActionId::kDeleteFirst:
      job_.DeleteFirstCount = RoundHalfEvenClamped(NumericValue(Trim(text)));
      break;
    case ActionId::kReplace:
      job_.ReplaceSearch = text;
      break;
    case ActionId::kAddBeginning:
      job_.AddBeginningText = text;
      break;
    case ActionId::kAddEnd:
      job_.AddEndText = text;
      break;
    case ActionId::kChangeExtension:
      job_.NewExtension = Trim(text);
      break;
    case ActionId::kCompleteRename:
      job_.NewFilename = Trim(text);
      break;
    default:
      break;
  }
}

void Wizard::txtAI2Changed(ActionId id, const std::string& text) {
  if (id == ActionId::kReplace) job_.ReplaceWith = text;
}

void Wizard::txtAI3Changed(ActionId id, const std::string& text) {
  const std::string trimmed = Trim(text);
  if (trimmed.empty()) return;
  (id == ActionId::kNumberEnd ? job_.NumberEndStart : job_.NumberBeginningStart) = trimmed;
}

void Wizard::NumberStyleChosen(ActionId id, NumberStyle style) {
  if (id == ActionId::kNumberEnd) job_.NumberEndStyle = style;
  if (id == ActionId::kNumberBeginning) job_.NumberBeginningStyle = style;
}

void Wizard::StartNumberGiven(ActionId id, bool given) {
  (id == ActionId::kNumberEnd ? job_.NumberEndStartGiven : job_.NumberBeginningStartGiven) = given;
}

void Wizard::CaseSensitiveChosen(bool case_sensitive) {
  job_.CaseSensitiveReplace = case_sensitive;
}

void Wizard::CapitalizeSpacesChosen(bool ticked) { job_.CapitalizeSpaces = ticked; }

void Wizard::CapitalizeUnderscoresChosen(bool ticked) { job_.CapitalizeUnderscores = ticked; }

void Wizard::ShowStep1() { screen_.step = WizardStep::kStep1; }

void Wizard::ShowIntro() { screen_.step = WizardStep::kIntro; }

bool Wizard::ProceedStep1(std::vector<std::string>* dropped) {
  const Step1Check check = ValidateStep1(job_, dropped);
  if (!check.message.empty()) prompter_.Tell(check.message, kAppTitle);
  if (!check.passed) {
    screen_.step_check_failed = true;
    if (check.failing >= 0) screen_.highlighted = check.failing;
    return false;
  }
  SnapshotChosenActions(job_);
  RestoreDirectory(job_);
  ShowStep2();
  screen_.cmdFileType_enabled = true;
  return true;
}

Step1Check Wizard::AcceptStep1() {
  Step1Check check;
  check.passed = ProceedStep1();
  if (check.passed) return check;
  // Without any ticked action nothing failed in particular: the highlight stays.
  const bool any_ticked = std::ranges::any_of(job_.lstActions, &ActionEntry::ticked);
  check.failing = any_ticked ? screen_.highlighted : -1;
  return check;
}

void Wizard::ShowStep2() {
  screen_.step = WizardStep::kStep2;
  screen_.file_panels = false;
  EnsureBrowser();
  switch (job_.method) {
    case SelectionMethod::kIndividual:
    case SelectionMethod::kExtension:
      screen_.method_option = job_.method;
      MethodOk();
      break;
    case SelectionMethod::kDone:
      // The second screen of the combined method, reached as its first
      // screen's Proceed reaches it.
      screen_.method_option = SelectionMethod::kBoth;
      job_.method = SelectionMethod::kBoth;
      ProceedStep2();
      job_.method = SelectionMethod::kDone;
      break;
    case SelectionMethod::kBoth:
    case SelectionMethod::kNone:
      break;
  }
  screen_.chosen_files_active = true;
}

void Wizard::FileChoosers(bool extension) {
  screen_.file_panels = true;
  screen_.extension_screen = extension;
  screen_.txtExt = kAllFilesPattern;
  PatternChanged(screen_.txtExt);
  if (!extension) screen_.chosen_files_active = true;
}

void Wizard::ShowExtensionScreen(const char* ext_prefix) {
  FileChoosers(true);
  screen_.lblDirList = CountCaption(kDirListAdded, job_.lstDir.size());
  screen_.lblExtList = CountCaption(ext_prefix, job_.lstExt.size());
}

void Wizard::ShowIndividualScreen() {
  FileChoosers(false);
  screen_.lblFileList = CountCaption(kFileListShown, job_.lstFile.size());
}

void Wizard::SelectMethodOption(SelectionMethod method) { screen_.method_option = method; }

void Wizard::PressMethodOk() {
  if (screen_.cmdFileType_enabled) MethodOk();
}

void Wizard::ChooseMethod(SelectionMethod method) {
  SelectMethodOption(method);
  PressMethodOk();
}

void Wizard::ChooseMethodOfGivenFiles() { ChooseMethod(MethodForGivenFiles(job_)); }

void Wizard::MethodOk() {
  // The options are read in the order Extension, Individual; Both otherwise.
  switch (screen_.method_option) {
    case SelectionMethod::kExtension:
      job_.method = SelectionMethod::kExtension;
      ShowExtensionScreen(kExtListShownTwoBlanks);
      break;
    case SelectionMethod::kIndividual:
      job_.method = SelectionMethod::kIndividual;
      ShowIndividualScreen();
      break;
    default:
      job_.method = SelectionMethod::kBoth;
      ShowIndividualScreen();
      break;
  }
  screen_.cmdFileType_enabled = false;
  screen_.cmdProceed2_enabled = true;
}

Step2Result Wizard::ProceedStep2(std::string* failure) {
  if (job_.method == SelectionMethod::kBoth) {
    ShowExtensionScreen(kExtListShownOneBlank);
    job_.method = SelectionMethod::kDone;
    return Step2Result::kStay;
  }
  if (const char* message = Step2Failure(job_)) {
    if (failure != nullptr) *failure = message;
    if (!job_.SuppressedMode) {
      prompter_.Tell(message, kAppTitle);
      screen_.step_check_failed = true;
      return Step2Result::kFailed;
    }
  }
  ShowStep3();
  return Step2Result::kPassed;
}

void Wizard::BackStep2() {
  if (job_.method != SelectionMethod::kDone) {
    screen_.step = WizardStep::kStep1;
    return;
  }
  if (!screen_.file_panels || !screen_.extension_screen) return;
  job_.method = SelectionMethod::kBoth;
  ShowIndividualScreen();
}

void Wizard::ShowStep3() {
  ShowSummary(job_, screen_);
  screen_.step = WizardStep::kStep3;
}

void Wizard::AddDirectoryItem(const std::string& path) {
  const bool subdirectories = prompter_.Ask(kSubdirectoriesQuestion, kSubdirectoriesCaption);
  AddDirectory(job_, subdirectories ? path + kIncludeSubdirsMark : path);
  screen_.lblDirList = CountCaption(kDirListAdded, job_.lstDir.size());
}

void Wizard::AddExtension() {
  const std::string trimmed = Trim(job_.txtExtList);
  if (trimmed.empty()) {
    prompter_.Tell(kNoExtensionMessage, kAppTitle);
  } else {
    if (!trimmed.starts_with("*.")) job_.txtExtList.insert(0, "*.");
    job_.lstExt.push_back(job_.txtExtList);
  }
  screen_.lblExtList = CountCaption(kExtListAdded, job_.lstExt.size());
}

void Wizard::AddFiles(const std::string& directory, const std::vector<std::string>& names) {
  for (const auto& name : names) job_.lstFile.push_back(name + kFileEntrySeparator + directory);
  screen_.lblFileList = CountCaption(kFileListAdded, job_.lstFile.size());
}

void Wizard::AddDropped(const std::vector<std::string>& paths) {
  if (screen_.running || screen_.finished) return;
  bool files = false, directories = false;
  for (const std::string& path : paths) {
    if (path.empty() || path[0] != '/') continue;
    if (IsDirectory(path)) {
      AddDirectoryItem(path.size() > 1 && path.back() == '/' ? path.substr(0, path.size() - 1)
                                                              : path);
      directories = true;
      continue;
    }
    AddFiles(ParentFolder(path), {std::string(NameOfPath(path))});
    files = true;
  }
  SelectionMethod wanted = job_.method;
  switch (job_.method) {
    case SelectionMethod::kNone:
      if (files || directories) {
        wanted = !directories ? SelectionMethod::kIndividual
                 : !files     ? SelectionMethod::kExtension
                              : SelectionMethod::kBoth;
      }
      break;
    case SelectionMethod::kIndividual:
      if (directories) wanted = SelectionMethod::kBoth;
      break;
    case SelectionMethod::kExtension:
      if (files) wanted = SelectionMethod::kBoth;
      break;
    case SelectionMethod::kBoth:
    case SelectionMethod::kDone:
      break;
  }
  // What was dropped is shown and used: the method widens even where its
  // OK button is done with.
  if (wanted != job_.method) {
    SelectMethodOption(wanted);
    MethodOk();
  }
}

namespace {

// Removes the items at `indexes`, from the last one down.
void RemoveAt(std::vector<std::string>& list, std::vector<size_t> indexes) {
  std::sort(indexes.begin(), indexes.end(), std::greater<>());
  indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
  for (const size_t i : indexes) {
    if (i < list.size()) list.erase(list.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

}  // namespace

void Wizard::ListsFilled(bool files, bool directories, bool extensions) {
  if (files) screen_.lblFileList = CountCaption(kFileListAdded, job_.lstFile.size());
  if (directories) screen_.lblDirList = CountCaption(kDirListAdded, job_.lstDir.size());
  if (extensions) screen_.lblExtList = CountCaption(kExtListAdded, job_.lstExt.size());
}

void Wizard::RemoveDirectories(std::vector<size_t> indexes) {
  RemoveAt(job_.lstDir, std::move(indexes));
  screen_.lblDirList = CountCaption(kDirListAdded, job_.lstDir.size());
}

void Wizard::RemoveExtensions(std::vector<size_t> indexes) {
  RemoveAt(job_.lstExt, std::move(indexes));
  screen_.lblExtList = CountCaption(kExtListAdded, job_.lstExt.size());
}

void Wizard::RemoveFiles(std::vector<size_t> indexes) {
  RemoveAt(job_.lstFile, std::move(indexes));
  screen_.lblFileList = CountCaption(kFileListAdded, job_.lstFile.size());
}

void Wizard::ExtensionTextChanged(const std::string& text) { job_.txtExtList = text; }

void Wizard::CollisionChosen(CollisionOption option) { job_.collision = option; }

void Wizard::SeparatorChanged(const std::string& text) { job_.txtSep = text; }

void Wizard::ProcessFileChosen(bool ticked) { job_.chkProcess = ticked; }

void Wizard::ViewReport(ReportKind kind) { qtarvox::ViewReport(kind, prompter_, *view_); }

RunOutcome Wizard::Preview(const StopRequest* stop) {
  if (started_) return {};
  RunOutcome outcome = RunOnce(job_, prompter_, *view_, true, stop);
  ApplyRunEnd(outcome, OutcomeCounter());
  return outcome;
}

RunOutcome Wizard::PressRun(const StopRequest* stop, FileOutcomeSink* outcomes) {
  if (started_) return {};
  if (screen_.finished) {
    FinishedSequence();
    return {};
  }
  OutcomeCounter counts(outcomes);
  RunOutcome outcome = RunOnce(job_, prompter_, *view_, RunKind::kPerform, stop, &counts);
  ApplyRunEnd(outcome, counts);
  return outcome;
}

RunOutcome Wizard::Plan(const StopRequest* stop, FileOutcomeSink* outcomes) {
  if (started_ || screen_.finished) return {};
  return RunOnce(job_, prompter_, *view_, RunKind::kPlan, stop, outcomes);
}

bool Wizard::StartRun(bool preview, std::function<void()> done) {
  if (started_) return false;
  if (!preview && screen_.finished) {
    FinishedSequence();
    return false;
  }
  run_prompter_->muted = false;
  session_ = std::make_unique<RunSession>(job_, *run_prompter_, *view_);
  started_ = true;
  stop_ = 0;
  done_ = true;
  run_counts_ = OutcomeCounter();
  if (!session_->Begin(preview ? RunKind::kPreview : RunKind::kPerform, &run_counts_)) {
    return false;
  }
  done_ = false;
  screen_.running = true;
  progress_preview_ = preview;
  progress_files_ = static_cast<int64_t>(job_.lstFile.size());
  progress_on_ = true;
  worker_ = std::thread([this, done = std::move(done)] {
    session_->Execute(&stop_);
    progress_on_ = false;
    done_ = true;
    if (done) done();
  });
  return true;
}

bool Wizard::RunDone() const { return done_; }

void Wizard::RequestStop() { stop_ = kStopByCaller; }

RunOutcome Wizard::FinishRun() {
  if (!started_) return {};
  if (worker_.joinable()) worker_.join();
  progress_on_ = false;
  RunOutcome outcome = session_->End();
  session_.reset();
  started_ = false;
  run_prompter_->muted = false;
  screen_.running = false;
  ApplyRunEnd(outcome, run_counts_);
  return outcome;
}

void Wizard::ApplyRunEnd(RunOutcome& outcome, const OutcomeCounter& counts) {
  if (outcome.preview) {
    job_.txtOP = std::move(*outcome.preview);
    outcome.preview.reset();
  }
  // The status keeps its message and says below it what the run did.
  const std::string said = outcome.performed ? CountsText(counts, outcome.folders_not_entered)
                                             : FoldersNotEnteredText(outcome.folders_not_entered);
  if (outcome.started && !said.empty()) SetStatus(screen().lblStatus + kStatusLineBreak + said);
  if (!outcome.performed) return;
  if (outcome.errors) screen_.cmdErr_enabled = true;
  screen_.cmdOP_enabled = true;
  screen_.finished = true;
  screen_.cmdStep1_enabled = false;
  screen_.cmdStep2_enabled = false;
  screen_.cmdCancel3_enabled = false;
  screen_.cmdPreview_enabled = false;
}

void Wizard::FinishedSequence() {
  if (!FinishJob(job_, prompter_)) {
    screen_.lstFinal.clear();
    screen_.txtFinal.clear();
  }
  screen_.cmdErr_enabled = false;
  screen_.cmdOP_enabled = false;
  screen_.cmdPreview_enabled = true;
  screen_.finished = false;
  screen_.cmdFileType_enabled = true;
  // The locks of the Finished state come off; from the Intro screen only
  // Step 1 opens, as after start-up.
  screen_.cmdStep1_enabled = true;
  screen_.cmdStep2_enabled = true;
  screen_.cmdStep3_enabled = true;
  screen_.cmdCancel3_enabled = true;
  screen_.step = WizardStep::kIntro;
  RefreshBrowser();
}

void Wizard::Close() {
  if (!started_) return;
  RequestStop();
  run_prompter_->muted = true;
  FinishRun();
}

void Wizard::Quit() {
  if (started_) {
    Close();
    return;
  }
  QuitCleanup(job_);
}

}  // namespace qtarvox
