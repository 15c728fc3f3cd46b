// What the wizard's screens show of a job besides the job itself: which
// step is on screen, captions, enabled buttons, the status text and the
// Step 3 summary. The wizard produces it as a plain value; a window renders
// it and a test reads it.
#pragma once

#include <string>
#include <vector>

namespace qtarvox {

enum class WizardStep { kIntro, kStep1, kStep2, kStep3 };

// Captions written once, wherever they are shown.
inline constexpr const char* kStatusPrefix = "Status : ";
inline constexpr const char* kStatusLineBreak = "\r\n";
inline constexpr const char* kStatusReady =
    "Ready...waiting for you to either preview or perform the changes.";
inline constexpr const char* kReadyCaption = "&Perform\r\nChanges";
inline constexpr const char* kFinishedCaption = "&Finished";

// The count captions of the three Step 2 lists: a prefix ending in "*", the
// count, "*". Which prefix a label shows depends on what wrote it last.
inline constexpr const char* kFileListStart = "List of File(s) choosen : ";
inline constexpr const char* kDirListStart = "List of Directory(s) choosen : ";
inline constexpr const char* kExtListStart = "List of file extensions choosen to perform actions on : ";
inline constexpr const char* kFileListAdded = "List of File(s) choosen : *";
inline constexpr const char* kFileListShown = "List of file(s) choosen : *";
inline constexpr const char* kDirListAdded = "List of Directory(s) choosen : *";
inline constexpr const char* kExtListAdded = "List of Extension(s) choosen : *";
inline constexpr const char* kExtListShownTwoBlanks =
    "List of file extensions choosen to perform actions on :  *";
inline constexpr const char* kExtListShownOneBlank =
    "List of file extensions choosen to perform actions on : *";

// A count caption: prefix (ending in "*"), the count in decimal, and "*".
std::string CountCaption(const std::string& prefix, size_t count);

struct ScreenState {
  WizardStep step = WizardStep::kIntro;
  bool step_check_failed = false;  // the last check showed its message

  // Step 1
  int highlighted = -1;  // highlighted entry of lstActions, -1: none

  // Step 2
  bool cmdFileType_enabled = true;
  bool cmdProceed2_enabled = false;
  bool extension_screen = false;  // pctExtension shown (else pctIndividual), once a method is on
  std::string lblFileList = kFileListStart;
  std::string lblDirList = kDirListStart;
  std::string lblExtList = kExtListStart;

  // Step 3
  std::vector<std::string> lstFinal;  // one line per chosen action
  std::string txtFinal;               // the chosen files, directories and extensions
  std::string lblStatus = std::string(kStatusPrefix) + kStatusLineBreak + kStatusReady;
  bool finished = false;  // the run button is in its Finished state
  bool cmdOP_enabled = false;
  bool cmdErr_enabled = false;
  bool cmdPreview_enabled = true;
  bool cmdStep1_enabled = true;
  bool cmdStep2_enabled = true;
  bool cmdStep3_enabled = true;
  bool cmdCancel3_enabled = true;
  bool running = false;  // a run is under way: nothing that could change the job is enabled

  // The run button's caption.
  const char* cmdProceed3_caption() const { return finished ? kFinishedCaption : kReadyCaption; }
};

}  // namespace qtarvox
