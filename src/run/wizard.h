// The wizard in one place: it owns the job and the screen state and offers
// every operation of the three steps, in the order a user presses them. The
// command line (silent or filling the window) and the window call it; what
// they show is drawn from screen() alone.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/job.h"
#include "engine/ports.h"
#include "platform/stop_signals.h"
#include "run/run_driver.h"
#include "run/screen_state.h"

namespace qtarvox {

inline constexpr const char* kSubdirectoriesQuestion =
    "Shall I include all subdirectory(s) under the choosen directory?";
inline constexpr const char* kSubdirectoriesCaption = "Subdirectories";
inline constexpr const char* kNoExtensionMessage =
    "please enter a valid extension and then click on me again!";

enum class Step2Result {
  kStay,    // the first screen of the combined method moved on to its second
  kPassed,  // Step 3 is shown
  kFailed,  // the check's message was shown; Step 2 stays
};

class Wizard {
 public:
  // `prompter` and `view` outlive the wizard. The view's ShowStatus and
  // ShowProgress may be called from a run's own thread (StartRun).
  Wizard(Prompter& prompter, RunView& view);
  ~Wizard();
  Wizard(const Wizard&) = delete;
  Wizard& operator=(const Wizard&) = delete;

  // The job; not to be touched while a run started by StartRun is under way.
  Job& job() { return job_; }
  const Job& job() const { return job_; }
  // What the screens show now.
  ScreenState screen() const;

  // --- Step 1: the action list and its parameters ------------------------------
  void SetTicked(int index, bool ticked);
  // The highlighted entry (list index), -1 for none.
  void SetHighlighted(int index);
  // What the Step 1 parameter boxes store, at once, for the highlighted
  // action `id` (ids a box does not serve change nothing): the numeric value
  // of a count (Delete first rounds halves to even), texts as typed or
  // trimmed as each parameter wants. A blank start number changes nothing,
  // so clearing the box keeps the number.
  void txtAI1Changed(ActionId id, const std::string& text);
  void txtAI2Changed(ActionId id, const std::string& text);
  void txtAI3Changed(ActionId id, const std::string& text);
  void NumberStyleChosen(ActionId id, NumberStyle style);
  void StartNumberGiven(ActionId id, bool given);
  void CaseSensitiveChosen(bool case_sensitive);
  void CapitalizeSpacesChosen(bool ticked);
  void CapitalizeUnderscoresChosen(bool ticked);

  // --- Moving through the wizard ----------------------------------------------
  void ShowStep1();
  void ShowIntro();
  // Step 1's Proceed: the check (on failure the failing entry is highlighted
  // and Step 1 stays), then the snapshot of the chosen actions, the
  // remembered directory and Step 2. In suppressed mode failing actions are
  // unticked instead; their messages go to `dropped` when given.
  bool ProceedStep1(std::vector<std::string>* dropped = nullptr);
  // The OK button of the method row (ignored while it is disabled).
  void ChooseMethod(SelectionMethod method);
  // Step 2's Proceed: the first screen of the combined method moves on to
  // its second; otherwise the check, then Step 3 with its summary. In
  // suppressed mode a failed check counts as passed; `failure` gets its
  // message in every mode.
  Step2Result ProceedStep2(std::string* failure = nullptr);
  // Step 2's Back: the combined method's second screen goes back to its
  // first; otherwise Step 1.
  void BackStep2();
  // Step 3 with its summary rebuilt.
  void ShowStep3();

  // --- The Step 2 lists -----------------------------------------------------
  // The lists were filled from outside (the command line): the named ones
  // show their counts with the prefixes of their Add buttons.
  void ListsFilled(bool files, bool directories, bool extensions);
  // Adds a directory; asks whether its subdirectories are wanted.
  void AddDirectoryItem(const std::string& path);
  // Adds the pattern in txtExtList ("*." put in front unless it starts so).
  void AddExtension();
  // Adds files of one directory as "name * directory".
  void AddFiles(const std::string& directory, const std::vector<std::string>& names);
  // Remove the items at these indexes (any order) and rewrite the caption.
  void RemoveDirectories(std::vector<size_t> indexes);
  void RemoveExtensions(std::vector<size_t> indexes);
  void RemoveFiles(std::vector<size_t> indexes);

  // --- Step 3 ------------------------------------------------------------------
  // The Preview button and the run button (the Finished sequence when it is
  // in its Finished state, else a perform), on this thread.
  RunOutcome Preview(const StopRequest* stop = nullptr);
  RunOutcome PressRun(const StopRequest* stop = nullptr, FileOutcomeSink* outcomes = nullptr);
  // The command line's dry run: the perform's own path with nothing changed
  // (RunKind::kPlan); `outcomes` hears what the perform would do to each file.
  // The screens stay as a preview leaves them.
  RunOutcome Plan(const StopRequest* stop = nullptr, FileOutcomeSink* outcomes = nullptr);
  // The same as a task: the run's passes go on a thread of their own, so
  // this thread stays free. False when the run did not start (FinishRun then
  // tells why) or the Finished sequence ran instead. Call FinishRun on this
  // thread once RunDone(); its questions are asked here.
  bool StartRun(bool preview);
  bool RunDone() const;
  // Asks a run under way to stop between two files.
  void RequestStop();
  RunOutcome FinishRun();

  // Quit: removes the report files unless in suppressed mode. A run under
  // way is stopped first.
  void Quit();

 private:
  class StatusView;

  void SetStatus(const std::string& caption);
  void ApplyRunEnd(const RunOutcome& outcome);
  void FinishedSequence();
  void ShowExtensionScreen(const char* ext_prefix);
  void ShowIndividualScreen();

  Job job_;
  Prompter& prompter_;
  std::unique_ptr<StatusView> view_;
  mutable std::mutex status_mutex_;  // the status text may change on a run's thread
  ScreenState screen_;

  std::unique_ptr<RunSession> session_;
  StopRequest stop_{0};
  std::atomic<bool> done_{false};
  std::thread worker_;
  bool started_ = false;  // the session began and FinishRun is due
};

}  // namespace qtarvox
