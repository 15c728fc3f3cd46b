// The job: everything one batch run needs, and the run state the engine, the
// passes and the driver share. The window binds its controls to these fields;
// the command line writes them; nothing else holds job state.
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

// Selection method tags (the tag of cmdFileType).
inline constexpr const char* kTagIndividual = "Individual";
inline constexpr const char* kTagExtension = "Extension";
inline constexpr const char* kTagBoth = "Both";
inline constexpr const char* kTagDone = "Done";

inline constexpr const char* kIncludeSubdirsMark = "  *Include Subdirectories*";
inline constexpr const char* kFileEntrySeparator = " * ";

// Captions and states of the Step 3 controls that a run changes.
struct Step3Controls {
  std::string cmdProceed3_caption;
  std::string cmdProceed3_tag;
  std::string lblStatus;
  bool cmdOP_enabled = false;
  bool cmdErr_enabled = false;
  bool cmdPreview_enabled = true;
  bool cmdStep1_enabled = true;
  bool cmdStep2_enabled = true;
  bool cmdStep3_enabled = true;
  bool cmdCancel3_enabled = true;
  bool cmdFileType_enabled = true;
};

struct Job {
  Job();

  // --- Step 1: the action list and the action parameters -----------------
  std::vector<ActionEntry> lstActions;  // list order, never re-ordered
  int highlighted = -1;                 // highlighted entry (0-based), -1 none

  double DeleteLastCount = 0;
  int32_t DeleteFirstCount = 0;
  std::string ReplaceSearch;
  std::string ReplaceWith;
  bool CaseSensitiveReplace = false;
  std::string AddBeginningText;
  std::string AddEndText;
  int NumberEndStyle = 1;  // 1 normal, 2 even
  bool NumberEndStartGiven = false;
  std::string NumberEndStart;
  int NumberBeginningStyle = 1;
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
  std::string cmdFileType_tag;       // selection method
  std::string dirDir;                // folder shown by the directory box
  std::string txtExtList = "*.*";
  std::string lblFileList = "List of File(s) choosen : ";
  std::string lblDirList = "List of Directory(s) choosen : ";
  std::string lblExtList = "List of file extensions choosen to perform actions on : ";

  // --- Step 3: run options and controls --------------------------------------
  CollisionOption collision = CollisionOption::kDoNotRename;
  std::string txtSep;
  bool chkProcess = true;
  Step3Controls step3;
  PreviewBox txtOP;
  std::vector<std::string> lstFinal;
  std::string txtFinal;

  // --- Run state -------------------------------------------------------------
  bool PreviewMode = false;
  bool ErrorsOccurred = false;
  int32_t FileCount = 0;
  std::string NumberEndCounter;
  std::string NumberBeginningCounter;
  int NumberEndWidth = 1;  // even width, fixed at the pass's first file
  int NumberBeginningWidth = 1;
  bool SuppressedMode = false;
  bool StepCheckFailed = false;
  bool FilesGivenIndividually = false;
  bool FilesGivenByExtension = false;
  std::string Separator;
  bool GenerateProcessFile = false;
};

// Index of the list entry with this identifier.
int PositionIndexOf(const Job& job, ActionId id);

// Whether the entry with this identifier is ticked.
bool IsTicked(const Job& job, ActionId id);

// Ticks the entry at 1-based list position `position` (ignored when out of range).
void TickPosition(Job& job, int position);

// Reads a chosen-action flag by identifier (false for "Clear original filename").
bool IsChosen(const Job& job, ActionId id);

// Takes the chosen-action snapshot from the ticks of the list.
void SnapshotChosenActions(Job& job);

// Adds a directory item to lstDir at its place in case-insensitive order (ties by bytes).
void AddDirectory(Job& job, const std::string& item);

// A count caption: prefix (ending in "*"), the count in decimal, and "*".
std::string CountCaption(const std::string& prefix, size_t count);

// Clears the job as a declined "Save Settings?" does: ticks, the Step 2 lists
// (lstDir, lstExt), the summary, the preview box, every action parameter,
// FileCount, the chosen-action flags and the selection method.
void ClearJob(Job& job);

}  // namespace qtarvox
