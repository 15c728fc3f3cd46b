// What the wizard's screens show of a job besides the job itself: which
// step is on screen, captions, enabled buttons, the status text and the
// Step 3 summary. The wizard produces it as a plain value; a window renders
// it and a test reads it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/job.h"
#include "run/status_line.h"

namespace qtarvox {

enum class WizardStep { kIntro, kStep1, kStep2, kStep3 };

// Captions written once, wherever they are shown.
inline constexpr const char* kStatusReady =
    "Ready...waiting for you to either preview or perform the changes.";
inline constexpr const char* kReadyCaption = "&Perform\r\nChanges";
inline constexpr const char* kFinishedCaption = "&Finished";

// The count captions of the three Step 2 lists: a prefix ending in "*", the
// count, "*". Which prefix a label shows depends on what wrote it last.
inline constexpr const char* kFileListStart = "List of File(s) choosen : ";
inline constexpr const char* kDirListStart = "List of Directory(s) choosen : ";
inline constexpr const char* kExtListStart =
    "List of file extensions choosen to perform actions on : ";
inline constexpr const char* kFileListAdded = "List of File(s) choosen : *";
inline constexpr const char* kFileListShown = "List of file(s) choosen : *";
inline constexpr const char* kDirListAdded = "List of Directory(s) choosen : *";
inline constexpr const char* kExtListAdded = "List of Extension(s) choosen : *";
inline constexpr const char* kExtListShownTwoBlanks =
    "List of file extensions choosen to perform actions on :  *";
inline constexpr const char* kExtListShownOneBlank =
    "List of file extensions choosen to perform actions on : *";

// The browser's caption, by the panel shown beside it.
inline constexpr const char* kChooseDirectoriesCaption =
    "Choose directory(s) which contain files you want to modify and click on ADD : ";
inline constexpr const char* kBrowseFilesCaption =
    "Browse and find the files you want to add and click on ADD : ";
// The Select All button of the chosen files points at the list it acts on.
inline constexpr const char* kSelectAllChosenFiles = "&Select All >>";
inline constexpr const char* kSelectAllBrowserFiles = "<< &Select All";
inline constexpr const char* kAllFilesPattern = "*.*";

// A run's progress in the status label: "Renaming... 41,200 of 100,000".
inline constexpr const char* kProgressRenaming = "Renaming... ";
inline constexpr const char* kProgressPreviewing = "Generating Preview... ";
inline constexpr const char* kProgressOf = " of ";

// A count caption: prefix (ending in "*"), the count in decimal, and "*".
std::string CountCaption(const std::string& prefix, size_t count);

// A count with a comma between each three digits: 41200 -> "41,200".
std::string GroupedCount(int64_t count);

struct ScreenState {
  WizardStep step = WizardStep::kIntro;
  bool step_check_failed = false;  // the last check showed its message

  // Step 1
  int highlighted = -1;  // highlighted entry of lstActions, -1: none

  // Step 2
  SelectionMethod method_option = SelectionMethod::kIndividual;  // the selected option button
  bool cmdFileType_enabled = true;
  bool cmdProceed2_enabled = false;
  bool file_panels = false;       // the browser and a list panel are shown below the method row
  bool extension_screen = false;  // that list panel is pctExtension (else pctIndividual)
  // Select All of the chosen files acts on lstFile (else on the browser's filFile).
  bool chosen_files_active = false;
  std::string lblFileList = kFileListStart;
  std::string lblDirList = kDirListStart;
  std::string lblExtList = kExtListStart;
  // The browser: the volume of the drive list (its root), the pattern and the
  // files of the directory box's folder (the job's dirDir) that match it.
  std::string volume;
  std::string txtExt = kAllFilesPattern;
  // Shared, not copied with the state: a folder may hold a hundred thousand
  // files. Never null.
  std::shared_ptr<const std::vector<std::string>> filFile =
      std::make_shared<const std::vector<std::string>>();
  int browser_reads = 0;  // grows whenever the drives and folders are to be read anew
  // Grows with every new listing of the file list; while the listing asked
  // for last has not come in (only when the caller lists folders itself, see
  // Wizard::ListFilesApart), files_pending is set and filFile still shows the
  // listing before, or nothing when that was of another folder.
  uint64_t files_listing = 0;
  bool files_pending = false;

  // Step 3
  std::vector<std::string> lstFinal;  // one line per chosen action
  std::string txtFinal;               // the chosen files, directories and extensions
  std::string lblStatus = std::string(kStatusPrefix) + kStatusLineBreak + kStatusReady;
  bool finished = false;  // the run button is in its Finished state
  bool cmdOP_enabled = false;
  bool cmdErr_enabled = false;
  bool cmdPreview_enabled = true;
  // false: the Step button stays disabled whatever the navigation says (a
  // performed run waits for its Finished button).
  bool cmdStep1_enabled = true;
  bool cmdStep2_enabled = true;
  bool cmdStep3_enabled = true;
  bool cmdCancel3_enabled = true;
  bool separator_shown = false;  // lblSep and txtSep, with "Add a unique number" only
  bool running = false;          // a run is under way: nothing that could change the job is enabled

  // The run button's caption.
  const char* cmdProceed3_caption() const { return finished ? kFinishedCaption : kReadyCaption; }
  const char* lblDir() const {
    return extension_screen ? kChooseDirectoriesCaption : kBrowseFilesCaption;
  }
  const char* cmdSelectAllFile_caption() const {
    return chosen_files_active ? kSelectAllChosenFiles : kSelectAllBrowserFiles;
  }
};

}  // namespace qtarvox
