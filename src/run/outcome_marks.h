// The marks of one file's outcome where something other than a plain rename
// happens: what the command line prints after each file of a plan or a
// verbose perform, and what the window's plan table shows beside each file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/file_outcome.h"

namespace qtarvox {

inline constexpr const char* kMarkCaseOnly = "case only";
inline constexpr const char* kMarkSkippedStart = "skipped: name taken: ";
inline constexpr const char* kMarkNumberStart = "unique number: ";
inline constexpr const char* kMarkNumberEnd = " is taken";
inline constexpr const char* kMarkReplaces = "replaces an existing file";
inline constexpr const char* kMarkErrorStart = "error ";
inline constexpr const char* kMarksBetween = "; ";

// Attribute changes, a case-only change, a unique number, a replaced file,
// an error logged, then a skip, an unchanged name or the error that failed
// the file; none for a plain rename.
std::vector<std::string> OutcomeMarks(const FileOutcome& outcome);

// The marks one after the other, kMarksBetween between two.
std::string JoinedMarks(const std::vector<std::string>& marks);

// Appends `text` to `line` with each carriage return and line feed shown as
// "?", so that a file's line stays one line whatever its names hold.
void AppendOnOneLine(std::string& line, std::string_view text);

}  // namespace qtarvox
