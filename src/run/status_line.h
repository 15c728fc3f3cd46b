// The texts a run shows in the status line: the prefix, the break after it,
// and what the run is doing or has done.
#pragma once

namespace qtarvox {

inline constexpr const char* kStatusPrefix = "Status : ";
inline constexpr const char* kStatusLineBreak = "\r\n";
inline constexpr const char* kStatusGeneratingPreview = "Generating Preview...please wait...";
inline constexpr const char* kStatusPerforming = "Performing changes...please wait...";
inline constexpr const char* kStatusPreviewDone = "Preview Generated succesfully";
inline constexpr const char* kStatusPerformDone = "Filename changes were performed succesfully";

}  // namespace qtarvox
