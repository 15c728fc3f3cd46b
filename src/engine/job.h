// The job: what the user chose (the settings), and what one run of it counts
// (the run state, the run's own). What a screen shows of it is the wizard's
// affair.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/actions.h"
#include "engine/preview_box.h"

namespace qtarvox {

struct ActionEntry {
  std::string text;
  ActionId id;
  bool ticked = false;
};

enum class CollisionOption { kDoNotRename, kOverwrite, kAppendNumber };

// The Step 2 selection method and where its screens stand: none chosen yet,
// individual files, files by extension, or both (first the individual
// files, then - kDone - the directories and extensions).
enum class SelectionMethod { kNone, kIndividual, kExtension, kBoth, kDone };

// The method's name where it is shown or stored ("Individual", ..., "" for none).
const char* MethodName(SelectionMethod method);

// How a numbering action writes its numbers: plain decimal, or padded with
// zeros to the width of the largest number of the pass.
enum class NumberStyle { kNormal = 1, kEven = 2 };

// What the preview box holds before the first preview.
inline constexpr const char* kPreviewBoxStart =
    "<--- Click the button to the left to generate the preview of changes that will take "
    "place.\r\n";

inline constexpr const char* kIncludeSubdirsMark = "  *Include Subdirectories*";
inline constexpr const char* kFileEntrySeparator = " * ";

// What the user chose: the actions and their parameters, the files, the run
// options. The command line writes it, the window edits it, a run reads it.
struct JobSettings {
  // --- Step 1: the action list and the action parameters -----------------
  std::vector<ActionEntry> lstActions;  // list order, never re-ordered
  double DeleteLastCount = 0;
  int32_t DeleteFirstCount = 0;
  std::string ReplaceSearch;
  std::string ReplaceWith;
  bool CaseSensitiveReplace = false;
  std::string AddBeginningText;
  std::string AddEndText;
  NumberStyle NumberEndStyle = NumberStyle::kNormal;
  bool NumberEndStartGiven = false;
  std::string NumberEndStart;
  NumberStyle NumberBeginningStyle = NumberStyle::kNormal;
  bool NumberBeginningStartGiven = false;
  std::string NumberBeginningStart;
  std::string NewExtension;
  bool CapitalizeSpaces = false;
  bool CapitalizeUnderscores = false;
  std::string NewFilename;
  ChosenActions chosen;  // snapshot taken when Step 1 is accepted

  // --- Step 2: the file selection ------------------------------------------
  std::vector<std::string> lstDir;  // kept sorted (AddDirectory)
  std::vector<std::string> lstExt;
  std::vector<std::string> lstFile;  // "name * directory"
  SelectionMethod method = SelectionMethod::kNone;
  std::string dirDir;  // folder shown by the directory box
  std::string txtExtList = "*.*";
  // How the command line gave the files (it picks the method from them).
  bool FilesGivenIndividually = false;
  bool FilesGivenByExtension = false;

  // --- Step 3: run options ---------------------------------------------------
  CollisionOption collision = CollisionOption::kDoNotRename;
  std::string txtSep;
  bool chkProcess = true;
  // Performed at once without any window (the command line's -SU).
  bool SuppressedMode = false;
  // A perform keeps a journal to be undone by; off only to measure its cost.
  bool WriteJournal = true;
};

// What a run counts and decides while it runs. Each run has its own, beside
// the copy of the settings it started with; what the caller keeps of it comes
// back in the run's outcome.
struct RunState {
  bool PreviewMode = false;
  bool ErrorsOccurred = false;
  int32_t FileCount = 0;   // files listed for the run
  int64_t FilesDone = 0;   // files the passes are through with
  // Folders the walk left out for their read-only or hidden attribute.
  int32_t FoldersNotEntered = 0;
  std::string NumberEndCounter;
  std::string NumberBeginningCounter;
  int NumberEndWidth = 1;  // even width, fixed at the pass's first file
  int NumberBeginningWidth = 1;
  std::string Separator;
  bool GenerateProcessFile = false;
  PreviewBox txtOP;  // the preview's lines
};

// One job as the wizard keeps it: the settings, and the preview box as the
// last preview left it. No run writes into it.
struct Job : JobSettings {
  Job();
  PreviewBox txtOP;
};

// Index of the list entry with this identifier.
int PositionIndexOf(const JobSettings& job, ActionId id);

// Whether the entry with this identifier is ticked.
bool IsTicked(const JobSettings& job, ActionId id);

// Ticks the entry at 1-based list position `position` (ignored when out of range).
void TickPosition(JobSettings& job, int position);

// Reads a chosen-action flag by identifier (false for "Clear original filename").
bool IsChosen(const JobSettings& job, ActionId id);

// Takes the chosen-action snapshot from the ticks of the list.
void SnapshotChosenActions(JobSettings& job);

// Adds a directory item to lstDir at its place in case-insensitive order (ties by bytes).
void AddDirectory(JobSettings& job, const std::string& item);

// Clears the job as a declined "Save Settings?" does: ticks, the Step 2 lists
// (lstDir, lstExt), the preview box, every action parameter, the
// chosen-action flags and the selection method.
void ClearJob(Job& job);

}  // namespace qtarvox
