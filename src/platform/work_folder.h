// Where the program keeps its work files (the Error file, the Process file
// and the operation list).
#pragma once

#include <string>

#include "platform/paths.h"

namespace qtarvox {

// The folder of the executable; $QTARVOX_WORK_DIR instead when it is set; when
// the chosen folder is not writable, $XDG_STATE_HOME/q-tarvox (default
// ~/.local/state/q-tarvox), created when first needed. Never ends in "/"
// unless it is the root.
std::string WorkFolder();

// The per-user state folder: $XDG_STATE_HOME/q-tarvox (an unset or relative
// XDG_STATE_HOME counts as ~/.local/state), made private when missing.
std::string StateFolder();

// Full path of a work file in WorkFolder().
std::string WorkFilePath(const std::string& name);

}  // namespace qtarvox
