// The program's work files and how they are removed.
#pragma once

#include <string>

namespace qtarvox {

inline constexpr const char* kErrorFileName = "Q-Tarvox_Err.txt";
inline constexpr const char* kProcessFileName = "Q-Tarvox_Process.txt";

// Removes a work file: found with the normal-files search (so a hidden one
// stays), made normal (so a read-only one goes too), then deleted. Failures
// are passed over; returns whether the file is gone.
bool RemoveWorkFile(const std::string& path);

// Whether a normal-files search finds the path.
bool NormalFileFound(const std::string& path);

}  // namespace qtarvox
