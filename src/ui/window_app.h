// Starting the window.
#pragma once

namespace qtarvox {

// Opens the window on its Intro screen and runs it until it is closed;
// returns the program's exit status (0). Without a display it says so in one
// line on stderr and returns 2 at once.
int RunWindow(int& argc, char** argv);

}  // namespace qtarvox
