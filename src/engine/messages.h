// Every text the engine shows or writes, letter for letter.
#pragma once

namespace qtarvox::msg {

// Step 1 check.
inline constexpr const char* kErrorInAction = "Error in Action ";
inline constexpr const char* kCaseConflict =
    "You cannot ask me to make a filename Uppercase and Lowercase...thats just plain stupid! "
    "Uncheck either Uppercase or Lowercase action and then click on Proceed";
inline constexpr const char* kDeleteLastCount =
    "You need to enter how many characters to remove from the end of the filename. Must be a "
    "number greater than zero.";
inline constexpr const char* kDeleteFirstCount =
    "You need to enter how many characters to remove from the beginning of the filename. Must "
    "be a number greater than zero.";
inline constexpr const char* kReplaceSearchEmpty =
    "You need to specify what string to look for in the filename.";
inline constexpr const char* kFilenamesCannotContain = "Filenames cannot contain the character ' ";
inline constexpr const char* kExtensionsCannotContain =
    "File extensions cannot contain the character ' ";
inline constexpr const char* kRemoveFromReplacing =
    " '. Please remove that from the replacing string.";
inline constexpr const char* kRemoveFromAdded =
    " '. Please remove that from the string to be added.";
inline constexpr const char* kAddBeginningEmpty =
    "You need to give the string you wish to add to beginning of the filenames.";
inline constexpr const char* kAddEndEmpty =
    "You need to give the string you wish to add to the end of the filename.";
inline constexpr const char* kStartNumber =
    "You have to specify a valid starting number(greater than zero) from which to start "
    "numbering.";
inline constexpr const char* kCapitalizeChoice =
    "You must choose to capitalize words seperated by spaces or underscores or both, please "
    "choose one or both of them.";
inline constexpr const char* kNewFilename =
    "You must enter a valid new filename to rename the original filename to.";
inline constexpr const char* kNoAction =
    "Why do you want to proceed when u havn't choosen any action to perform?";

// Process file.
inline constexpr const char* kIndent = "     ";
inline constexpr const char* kCurrentFile = "Current File : ";
inline constexpr const char* kAfterAction = "After performing action ";
inline constexpr const char* kActionSep = " : ";
inline constexpr const char* kTerminated3 =
    "Action 3 was terminated as filename length was lesser than no. of characters to be "
    "removed.";
inline constexpr const char* kTerminated4 =
    "Action 4 was terminated as filename length was lesser than no. of characters to be "
    "removed.";
inline constexpr const char* kNoChangesMade = "No changes made";
inline constexpr const char* kIntermediateNotRenamed =
    "Intermediate Operation : File was not renamed as requested since there already exists a "
    "file with the same name.";
inline constexpr const char* kIntermediate = "Intermediate Operation : ";
inline constexpr const char* kOverwrittenWith = " was overwritten with ";
inline constexpr const char* kOverwriteFailure =
    "Failure : Could not overwrite the file since it was in use/open or write protected.";
inline constexpr const char* kFinalOperation = "Final Operation : ";
inline constexpr const char* kFinalSep = " == ";
inline constexpr const char* kNotPerformedNote =
    " was not performed because of the reason stated in the previous Intermediate Operation!";

// Attribute lines: success suffix and failure text, by list position 11 to 14.
inline constexpr const char* kSetReadOnly = " is set as readonly(+r)";
inline constexpr const char* kSetHidden = " is set as hidden(+h)";
inline constexpr const char* kSetArchive = " is set as archive(+a)";
inline constexpr const char* kSetNormal = " is set as normal(-r -h -a)";
inline constexpr const char* kFailReadOnly = "No changes made as setting +r was unsuccesful";
inline constexpr const char* kFailHidden = "No changes made as setting +h was unsuccesful";
inline constexpr const char* kFailArchive = "No changes made as setting +a was unsuccesful";
inline constexpr const char* kFailNormal =
    "No changes made as setting normal attribute was unsuccesful";

// Preview markers.
inline constexpr const char* kMarkReadOnly = " (+r)";
inline constexpr const char* kMarkHidden = " (+h)";
inline constexpr const char* kMarkArchive = " (+a)";
inline constexpr const char* kMarkNormal = " (-r -h -a)";

// Error file.
inline constexpr const char* kErrorInFile = "Error in file : ";
inline constexpr const char* kErrorCause = "Error Cause/Reason : ";
inline constexpr const char* kErrorNumber = "Error Number, Description : ";
inline constexpr const char* kAdditionalInfo = "Additional Information : The file ";
inline constexpr const char* kAdditionalInfoMid =
    " could not be overwritten because it was in use/open or was protected. So, the file ";
inline constexpr const char* kAdditionalInfoEnd = " could not be renamed to that same filename.";

}  // namespace qtarvox::msg
