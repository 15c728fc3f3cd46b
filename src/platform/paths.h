// Putting paths together, the one way the program does it.
#pragma once

#include <string>

namespace qtarvox {

// The directory with a "/" at its end (an empty one stays empty).
std::string WithTrailingSlash(std::string directory);

// The folder, a "/" unless the folder already ends in one, and the name.
std::string JoinPath(const std::string& folder, const std::string& name);

// The process's current directory; empty when it cannot be told.
std::string CurrentDirectory();

// Whether `path` is a directory (a link to one counts).
bool IsDirectory(const std::string& path);

}  // namespace qtarvox
