// Every text the window itself shows: captions, tooltips, the Intro screen and
// the fixed texts of Step 1, letter for letter. "&" marks an access key
// (shown underlined, never as a character; names for screen readers leave it out).
#pragma once

#include <array>

namespace qtarvox::ui_text {

// --- The frame ---------------------------------------------------------------
inline constexpr const char* kWindowCaption = "Q-Tarvox Renamer (v1.7.6)";
inline constexpr const char* kTitle = "Q-Tarvox-R";
inline constexpr double kTitlePoints = 24;
// Texts without a font of their own.
inline constexpr double kWindowPoints = 8;

struct NavButtonText {
  const char* name;
  const char* caption;
  const char* tooltip;
};

// cmdStep1, cmdStep2, cmdStep3, cmdHelp, cmdQuit, in the order of the row.
inline constexpr std::array<NavButtonText, 5> kNavButtons{{
    {"cmdStep1", "Step &1", "Click here to choose the Actions you want performed"},
    {"cmdStep2", "Step &2",
     "Click here to choose the Files on which you want the actions performed"},
    {"cmdStep3", "Step &3", "Click here to either Preview or Perform the changes"},
    {"cmdHelp", "&Help", "Click here to view the help menu"},
    {"cmdQuit", "&Quit", "Click here to exit the program"},
}};

// --- The Intro screen --------------------------------------------------------
inline constexpr const char* kIntroTooltip = "Intro Screen";

struct IntroLabelText {
  const char* text;
  double points;  // 0: the window's font
  bool bold;
};

inline constexpr std::array<IntroLabelText, 10> kIntroLabels{{
    {"Welcome to Q-Tarvox", 13.5, true},
    {"Thank you for using Q-Tarvox. I hope that this program will put an end to your having to "
     "manually rename all your files or having to write specific programs of your own to do the "
     "job.",
     0, false},
    {"This program will allow you to choose what actions you want to perform on a filename and "
     "how it should be renamed and then you can choose a bunch of files to which the selected "
     "actions should apply and it gets done quickly and efficiently",
     0, false},
    {"Start off by clicking on Step 1 where you will be displayed a list of actions which can be "
     "performed on the filenames. Select the ones you want and provide the additional "
     "information required to perform that action and click on Proceed to move to the next "
     "step.",
     9.75, true},
    {"Once you are done with Step 1, you will proceed to Step 2 where you can decide how you want "
     "to select the files whose filenames you wish to modify. You can choose from either "
     "providing a bunch of directories and file extensions of files to look in the specified "
     "directories or you can manually select the files to be renamed or combine both the "
     "methods. Once you are done choosing the files to be rename, click on Proceed to move on to "
     "step 3.",
     9.75, true},
    {"After choosing the actions to perform in step 1 and the files on which to perform the "
     "actions in step 2, all thats left is confirming the actions and choosing some options in "
     "Step 3 and then you can click on Proceed to have what you requested done.",
     9.75, true},
    {"You can find more detailed information on how to use this program and other stuff like "
     "contact info etc in the Help section which you can bring up by clicking on the Help "
     "Button.",
     0, false},
    {"", 0, false},
    {"Hope you find this program useful.", 0, false},
    {"", 0, false},
}};

// --- Step 1 ------------------------------------------------------------------
inline constexpr const char* kLblActions =
    "&Choose the actions you wish to perform on the file(s) :";
inline constexpr const char* kLstActionsTooltip =
    "Select the actions you want to perform by clicking the box next to the action and making "
    "sure it is checked.";
inline constexpr const char* kLblAddInfo = "Required Additional Info :";
inline constexpr const char* kLblNone = "NONE";
inline constexpr const char* kOptAI1 = "Normal Numbering (1,2...10,11...100,101...)";
inline constexpr const char* kOptAI2 = "Even Numbering (001,002...010,011...100,101...)";
inline constexpr const char* kOptAI3 = "No case sensitive replacement";
inline constexpr const char* kOptAI4 = "Case Sensitive replacement";
inline constexpr const char* kChkAI1 = "Words seperated by Spaces";
inline constexpr const char* kChkAI2 = "Words seperated by Underscores";
inline constexpr const char* kChkAI3 = "Specify number to start from :";
inline constexpr const char* kTxtAI3Name = "Number to start from";
inline constexpr const char* kLblDesc = "&Description :";
inline constexpr const char* kStep1DescStart =
    "Click on any action and find out what it does over here.";
inline constexpr const char* kCmdCancel1 = "&Back";
inline constexpr const char* kCmdCancel1Tooltip = "Click here to go back to the Intro screen";
inline constexpr const char* kCmdProceed1 = "&Proceed";
inline constexpr const char* kCmdProceed1Tooltip =
    "Click here to proceed and select files to perform the actions on";

// Captions of the parameter labels, by action.
inline constexpr const char* kCountCaption = "Enter the number of characters to be removed : ";
inline constexpr const char* kSearchCaption = "Enter the string to search for : ";
inline constexpr const char* kReplaceCaption = "Enter the string to replace with : ";
inline constexpr const char* kAddCaption = "Enter the string to add : ";
inline constexpr const char* kNumberingCaption = "Choose type of numbering : ";
inline constexpr const char* kExtensionCaption =
    "Enter the new file extension : \r\nNo preceeding *. is required";
inline constexpr const char* kNewFilenameCaption = "Enter the new Filename : ";

// --- Step 2 ------------------------------------------------------------------
struct ControlText {
  const char* name;
  const char* caption;  // "" for a control without one
  const char* tooltip;  // "" for a control without one
};

inline constexpr const char* kLblChoose =
    "How do you want to select files on which to perform the actions? : ";
inline constexpr ControlText kOptIndividual{"optIndividual", "By choosing files &individually",
                                            "Choose this if you want to choose files manually"};
inline constexpr ControlText kOptExtension{
    "optExtension", "By File E&xtension",
    "Click here if you want to choose files by specifying directories and file extensions"};
inline constexpr ControlText kOptBoth{"optBoth", "Bo&th",
                                      "Click here to select files by both methods"};
inline constexpr ControlText kCmdFileType{
    "cmdFileType", "&OK", "After choosing how you want to select files, click here to proceed"};
inline constexpr ControlText kCmdCancel2{"cmdCancel2", "&Back",
                                         "Click here to return to the actions screen(Step1)"};
inline constexpr ControlText kCmdProceed2{
    "cmdProceed2", "&Proceed", "Click here to proceed and perform the actions on the files."};

// The browser, with the tooltips its controls show at rest.
inline constexpr const char* kTxtExtTooltip =
    "To display files of a certain extension, change it here";
inline constexpr const char* kDrvDriveTooltip =
    "Displays list of avaliable drives on your computer";
inline constexpr const char* kDirDirTooltip = "Displays list of directories in under current drive";
inline constexpr const char* kFilFileTooltip =
    "Displays list of files present in the selected directory";
// Names for screen readers of the browser's controls, which share one caption.
inline constexpr const char* kTxtExtName = "File pattern";
inline constexpr const char* kDrvDriveName = "Drive";
inline constexpr const char* kDirDirName = "Directories";
inline constexpr const char* kFilFileName = "Files";

// What a screen reader calls the window's rules and scroll bars (a scroll
// bar's name follows the name of its control).
inline constexpr const char* kSeparatorName = "Separator";
inline constexpr const char* kScrollsDown = ": scroll up and down";
inline constexpr const char* kScrollsAcross = ": scroll across";

inline constexpr const char* kLstDirTooltip =
    "Displays list of directories you have choosen to look under for files.";
inline constexpr ControlText kCmdAddDir{"cmdAddDir", "&Add  >>",
                                        "Click here to add the selected directory"};
inline constexpr ControlText kCmdSelectAllDir{"cmdSelectAllDir", "&Select All >>",
                                              "Click here to select all the choosen directories"};
inline constexpr ControlText kCmdRemoveDir{
    "cmdRemoveDir", "<<  &Remove", "Click here to remove the selected directories from the list"};
inline constexpr const char* kLstExtTooltip =
    "Displays list of extensions of files you wanted to look for";
inline constexpr const char* kTxtExtListTooltip =
    "Enter your extension here and click on Add to add it to the list";
inline constexpr const char* kTxtExtListName = "Extension";
inline constexpr ControlText kCmdAddExt{
    "cmdAddExt", "<<   A&dd",
    "Clicking here will add the extension in the above textbox to the list"};
inline constexpr ControlText kCmdSelectAllExt{
    "cmdSelectAllExt", "<< S&elect All",
    "Clicking here will select all the extensions you have added to the list"};
inline constexpr ControlText kCmdRemoveExt{
    "cmdRemoveExt", "Re&move  >>",
    "Clicking here will remove the selected extensions from the list"};

inline constexpr const char* kLstFileTooltip =
    "Displays the list of files you have choosen to have actions performed on";
inline constexpr ControlText kCmdAddFile{
    "cmdAddFile", "&Add   >>", "Click here to add the selected files to the list of files"};
inline constexpr const char* kCmdSelectAllFileTooltip =
    "Click on the filelist box or list of selected files box and then click here to select the "
    "files of the respective box";
inline constexpr ControlText kCmdRemoveFile{
    "cmdRemoveFile", "<<  &Remove",
    "Click here to remove the selected files from the list of files"};

// --- Step 3 ------------------------------------------------------------------
inline constexpr const char* kLblActionsFinal = "&List of actions that will be performed : ";
inline constexpr const char* kLstFinalTooltip = "Displays a list of actions that you have choosen";
inline constexpr const char* kLblFilesFinal =
    "List of files and/or directories and e&xtenssions choosen to be worked on : ";
inline constexpr const char* kTxtFinalTooltip =
    "Displays a list of Files/Directories/Extensions you have choosen";
inline constexpr const char* kLblExisting = "If filename is not unique, what should be done? :";
inline constexpr const char* kOptDoNotRename = "Do &Not Rename";
inline constexpr const char* kOptOverwrite = "&Overwrite File";
inline constexpr const char* kOptAppendNumber = "&Add a unique number";
inline constexpr const char* kLblSep =
    "Enter &seperating character to use for adding unique number :";
inline constexpr ControlText kCmdPreview{
    "cmdPreview", "Click here to pre&view the changes that will take place : ",
    "Click here to view a preview of changes that will occur to the choosen files"};
inline constexpr const char* kChkProcess = "Automatically &generate Process File?";
inline constexpr ControlText kCmdOP{
    "cmdOP", "View Process F&ile",
    "Click here to view the process file containing what was done to what file"};
inline constexpr ControlText kCmdErr{
    "cmdErr", "View &Error File",
    "Click here to view the error file containing list of errors that occurred and reasons"};
inline constexpr ControlText kCmdCancel3{"cmdCancel3", "&Back",
                                         "Click here to go back to selection of files."};
inline constexpr const char* kCmdProceed3Tooltip = "Click here to perform the actions on the files";
inline constexpr const char* kLblPreview = "Preview of &changes that will take place : ";
inline constexpr const char* kTxtOPTooltip =
    "Displays the preview of changes that will occur to the files";

// --- Undo of the last perform (the Intro screen, and Step 3 once performed) ---
inline constexpr ControlText kCmdUndo{
    "cmdUndo", "&Undo Last Perform",
    "Click here to give the files of the last perform their old names back"};
inline constexpr const char* kUndoAccessibleName = "Undo Last Perform";
inline constexpr const char* kUndoQuestionStart = "Undo the perform of ";
inline constexpr const char* kUndoQuestionEnd = "? This is what the undo will do:";
inline constexpr const char* kUndoConfirm = "&Undo";
inline constexpr const char* kUndoCancel = "Cancel";
inline constexpr const char* kUndoLooking = "Looking at what the undo would do...please wait...";
inline constexpr const char* kUndoWorking = "Undoing the last perform...please wait...";
inline constexpr const char* kUndoStop = "&Stop";
inline constexpr const char* kUndoStopping = "Stopping after the file being put back now...";
inline constexpr const char* kUndoStopped =
    "The undo was stopped; the files after the last one in the Process file were left as they "
    "were, and the next undo goes on with them.";

// --- The plan table of Step 3, in the place of the preview box -----------------
inline constexpr ControlText kCmdTable{
    "cmdTable", "Show as &Table",
    "Click here to see, file by file, what Perform will do, as a table you can sort"};
inline constexpr ControlText kChkAttention{
    "chkAttention", "Only what nee&ds attention",
    "Tick to list only the files that are not simply renamed: unchanged, skipped, numbered, "
    "replacing a file, failing, or getting attributes"};
inline constexpr const char* kTblPlanName = "tblPlan";
inline constexpr const char* kTblPlanAccessibleName = "Plan of the changes, file by file";
inline constexpr const char* kTblPlanTooltip =
    "Displays what Perform will do to each file; click a heading to sort by it";
inline constexpr const char* kPlanHeaders[] = {"Old name", "New name", "Folder", "Note"};

// Closing the window while a run renames files.
inline constexpr const char* kStopRunQuestion =
    "Files are being renamed. Stop after the file being renamed now and close the window? The "
    "Process and Error files will be complete up to that file.";

// --- Starting the window -----------------------------------------------------
inline constexpr const char* kNoDisplay =
    "q-tarvox: no display to open the window on; use -SU or --preview to run a job without it.";

}  // namespace qtarvox::ui_text
