// The wizard in one place: it owns the job and the screen state and offers
// every operation of the three steps, in the order a user presses them. The
// command line (silent or filling the window) and the window's screens call
// it directly, on one thread; what they show is drawn from job() and
// screen() alone. Only a run's status and progress reach it from the run's
// own thread (StartRun).
#pragma once

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/job.h"
#include "engine/ports.h"
#include "engine/validation.h"
#include "platform/rt_error.h"
#include "platform/stop_signals.h"
#include "platform/volumes.h"
#include "run/report_view.h"
#include "run/run_counts.h"
#include "run/run_driver.h"
#include "wizard/screen_state.h"

namespace qtarvox {

inline constexpr const char* kSubdirectoriesQuestion =
    "Shall I include all subdirectory(s) under the choosen directory?";
inline constexpr const char* kSubdirectoriesCaption = "Subdirectories";
inline constexpr const char* kNoExtensionMessage =
    "please enter a valid extension and then click on me again!";
// What the browser says when a drive or a folder cannot be read: the text, the
// path, " (", the system's reason, ")" and the ending.
inline constexpr const char* kDriveUnreadable = "The drive ";
inline constexpr const char* kDriveUnreadableEnd =
    " cannot be read. The drive list shows the previous drive again.";
inline constexpr const char* kFolderUnreadable = "The directory ";
inline constexpr const char* kFolderUnreadableEnd =
    " cannot be read. The directory box stays where it was.";

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

  // The job. A run reads a copy of its settings, taken when the run starts,
  // and never writes it: what the run produced is put into the job and the
  // screen state on this thread when it ends (a preview's lines into txtOP).
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
  // The same, saying which entry a window shows as the failed one: the
  // failing entry, the highlighted one when none failed in particular, -1
  // when no action is ticked at all.
  Step1Check AcceptStep1();
  // Step 2 as the Step 2 button shows it: the method's screens as they were
  // (the method row alone before a method is chosen, and on the first screen
  // of the combined method), the browser read again.
  void ShowStep2();
  // The method row's option buttons, and its OK button (ignored while it is
  // disabled): the method's screens with their count captions.
  void SelectMethodOption(SelectionMethod method);
  void PressMethodOk();
  // Selects the option, then presses OK.
  void ChooseMethod(SelectionMethod method);
  // The same with the method the files given from outside (the command
  // line) call for.
  void ChooseMethodOfGivenFiles();
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
  // Paths dropped from a file manager: folders go to the directory list (the
  // subdirectories question asked for each, as Add does), everything else to
  // the individual list. The method then changes to one that shows what was
  // added (none -> the kind dropped; individual or extension -> both).
  // Nothing happens while a run is under way.
  void AddDropped(const std::vector<std::string>& paths);
  // Remove the items at these indexes (any order) and rewrite the caption.
  void RemoveDirectories(std::vector<size_t> indexes);
  void RemoveExtensions(std::vector<size_t> indexes);
  void RemoveFiles(std::vector<size_t> indexes);
  // The text of txtExtList, as typed.
  void ExtensionTextChanged(const std::string& text);

  // --- The Step 2 browser ------------------------------------------------------
  // The volumes of the drive list, as last read.
  const std::vector<Volume>& Volumes() const { return volumes_; }
  // The drive list's choice: the directory box moves to the folder last open
  // on that volume (its root the first time). False, after saying why, when
  // the volume cannot be read: the drive list keeps the previous volume.
  bool ChooseVolume(const std::string& root);
  // The directory box's choice: its folder's files fill the file list. False,
  // after saying why, when the folder cannot be read: the box stays.
  bool OpenDirectory(const std::string& path);
  // The subdirectories a folder tree shows under `path`; says why it cannot
  // read them when `tell`.
  RtError Subdirectories(const std::string& path, std::vector<std::string>& names, bool tell);
  // The path of `name`, one of the subdirectories of `path`.
  static std::string SubdirectoryPath(const std::string& path, const std::string& name);
  // The names of the folders that lead from `root` down to `path`, in order;
  // none when `path` is `root` or not below it.
  static std::vector<std::string> FoldersBetween(const std::string& root, const std::string& path);
  // The file list's pattern, as typed (blanks at its ends do not count).
  void PatternChanged(const std::string& text);
  // A click on the browser's file list, or on the list of chosen files: which
  // of the two Select All acts on.
  void FileListClicked();
  void ChosenFilesClicked();
  // Reads the drives, the folder tree and the file list anew.
  void RefreshBrowser();
  // From now on the caller lists the file list's folders, on a thread of its
  // own (a window keeps its thread for painting): the wizard only checks that
  // a folder it moves to can be opened, and notes each listing it wants in
  // screen().files_listing with files_pending set. The caller lists
  // job().dirDir under screen().txtExt with ListFileList and hands the names
  // back to FilesListed with that number.
  void ListFilesApart();
  // The files the file list shows of `folder` (none for an empty path) under
  // `pattern` as typed. Touches no wizard: callable on any thread.
  static RtError ListFileList(const std::string& folder, const std::string& pattern,
                              std::vector<std::string>& names);
  // The names of listing `listing`. Those of any listing but the one asked
  // for last are dropped, so the list never shows a folder it has left.
  // Names equal to those shown leave filFile as it is (a list showing it
  // keeps its selection).
  void FilesListed(uint64_t listing, std::vector<std::string> names);

  // --- Step 3 ------------------------------------------------------------------
  void CollisionChosen(CollisionOption option);
  void SeparatorChanged(const std::string& text);
  void ProcessFileChosen(bool ticked);
  // The View Process File and View Error File buttons.
  void ViewReport(ReportKind kind);
  // The Preview button and the run button (the Finished sequence when it is
  // in its Finished state, else a perform), on this thread; what the run
  // produced is applied before they return (the outcome then holds no
  // preview lines: they are in job().txtOP).
  RunOutcome Preview(const StopRequest* stop = nullptr);
  RunOutcome PressRun(const StopRequest* stop = nullptr, FileOutcomeSink* outcomes = nullptr);
  // The command line's dry run: the perform's own path with nothing changed
  // (RunKind::kPlan); `outcomes` hears what the perform would do to each file.
  // The screens stay as a preview leaves them; the job stays as it was, and
  // the run's counts are in the outcome.
  RunOutcome Plan(const StopRequest* stop = nullptr, FileOutcomeSink* outcomes = nullptr);
  // The same as a task: the run's passes go on a thread of their own, so
  // this thread stays free; the run takes its copy of the settings here.
  // False when the run did not start (FinishRun then tells why) or the
  // Finished sequence ran instead. Call FinishRun on this thread once
  // RunDone(); its questions are asked and its results applied there, as
  // PressRun and Preview do. `done` is called on
  // the run's thread when its passes are through. While the task runs, its
  // progress reaches the view as the status text.
  bool StartRun(bool preview, std::function<void()> done = {});
  bool RunDone() const;
  // Asks a run under way to stop between two files.
  void RequestStop();
  RunOutcome FinishRun();

  // Closing the window: a run under way stops between two files, without its
  // questions; its report files stay, complete up to there.
  void Close();
  // Quit: removes the report files unless in suppressed mode. A run under way
  // is stopped as Close does, and then its report files stay: they are the
  // record of what it renamed.
  void Quit();

 private:
  class StatusView;
  class RunPrompter;

  void SetStatus(const std::string& caption);
  std::string ProgressCaption(int64_t done, int64_t listed) const;
  // What a run produced, taken on this thread once it is over: a preview's
  // lines go to the job's preview box (leaving the outcome without them),
  // the run's counts to the status, and a perform's end to the Finished state.
  void ApplyRunEnd(RunOutcome& outcome, const OutcomeCounter& counts);
  void FinishedSequence();
  void MethodOk();
  void FileChoosers(bool extension);
  void ShowExtensionScreen(const char* ext_prefix);
  void ShowIndividualScreen();
  void EnsureBrowser();
  RtError ReadFiles(const std::string& folder, std::vector<std::string>& names) const;
  // Whether the browser can move to `folder`: its files read into `names`,
  // or, when listed apart, only whether it opens.
  RtError TryFolder(const std::string& folder, std::vector<std::string>& names) const;
  // The file list after job_.dirDir or the pattern changed: `names`, or,
  // when listed apart, a new listing asked for.
  void ShowFiles(std::vector<std::string> names);
  // The same, the folder read here (nothing shown when it cannot be read).
  void ReadFileList();

  Job job_;
  Prompter& prompter_;
  std::unique_ptr<RunPrompter> run_prompter_;
  std::unique_ptr<StatusView> view_;
  mutable std::mutex status_mutex_;  // the status text may change on a run's thread
  ScreenState screen_;

  std::vector<Volume> volumes_;
  std::map<std::string, std::string> folder_of_volume_;  // the folder last open on each volume
  // The caller lists the file list's folders; filFile shows those of files_folder_.
  bool files_apart_ = false;
  std::string files_folder_;

  std::unique_ptr<RunSession> session_;
  StopRequest stop_{0};
  std::atomic<bool> done_{false};
  // A task's progress turns into status text: set before its thread starts.
  std::atomic<bool> progress_on_{false};
  bool progress_preview_ = false;
  int64_t progress_files_ = 0;  // the chosen files, for a method that lists none
  OutcomeCounter run_counts_;   // the files of the run started last
  std::thread worker_;
  bool started_ = false;  // the session began and FinishRun is due
};

}  // namespace qtarvox
