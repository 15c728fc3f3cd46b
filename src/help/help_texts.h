// The fixed texts of the Help screen, letter for letter. "&" marks an access
// key.
#pragma once

namespace qtarvox::help::text {

inline constexpr const char* kLblTOC =
    "Please scroll throught the Table of Contents and click on the topic you want to read on and "
    "it will be display in the text box to the right : ";
inline constexpr const char* kLstTOCTooltip = "Displays Table of Contents of the Help File";
inline constexpr double kLstTOCPoints = 9.75;
inline constexpr double kTxtHelpPoints = 12;
inline constexpr const char* kCmdAbout = "&About";
inline constexpr const char* kCmdContact = "&CONTACT ME!!!";
inline constexpr const char* kCmdThank = "Ac&knowledgements";

// Names for screen readers of the controls without a label of their own.
inline constexpr const char* kLstTOCName = "Table of Contents";
inline constexpr const char* kTxtHelpName = "Help topic";

}  // namespace qtarvox::help::text
