// Starting the window.
#pragma once

namespace qtarvox {

// Opens the window and runs it until it is closed; returns the program's exit
// status (0). Without arguments the window starts on its Intro screen; with
// job commands it is filled from them and ends on Step 3, or on the step whose
// check failed. Without a display it says so in one line on stderr and
// returns 2 at once.
int RunWindow(int& argc, char** argv);

}  // namespace qtarvox
