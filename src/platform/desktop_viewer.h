// The desktop's own viewer for a file.
#pragma once

#include <string>

namespace qtarvox {

// Starts the desktop's default viewer (xdg-open) on a file, detached, not
// waited for. False when it could not be started.
[[nodiscard]] bool StartDesktopViewer(const std::string& path);

}  // namespace qtarvox
