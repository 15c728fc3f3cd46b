// Where the program keeps its work files (the Error file, the Process file
// and the operation list).
#pragma once

#include <string>

#include "platform/paths.h"

namespace qtarvox {

// $QTARVOX_WORK_DIR when it is set; else the folder of the executable when it
// is the user's own build or portable folder (owned by the user, writable,
// not a folder of the system under /usr, /opt, /bin, /sbin or /snap, and not
// the bin folder of a prefix the program was installed into); else
// $XDG_STATE_HOME/q-tarvox (default ~/.local/state/q-tarvox), created when
// first needed. Never ends in "/" unless it is the root.
std::string WorkFolder();

// The per-user state folder: $XDG_STATE_HOME/q-tarvox (an unset or relative
// XDG_STATE_HOME counts as ~/.local/state), made private when missing.
std::string StateFolder();

// Full path of a work file in WorkFolder().
std::string WorkFilePath(const std::string& name);

}  // namespace qtarvox
