#include <iostream>
#include <string>
#include <vector>

#include "cli/startup.h"
#ifdef QTARVOX_WITH_WINDOW
#include "ui/window_app.h"
#include "wizard/window_start.h"
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef QTARVOX_WITH_WINDOW
  // Everything but --help, --version and a silent run (-SU, --preview) is
  // the window's, filled from the job commands given.
  if (qtarvox::OpensWindow(args)) return qtarvox::RunWindow(argc, argv);
#endif
  return qtarvox::RunCommandLine(args, std::cout, std::cerr);
}
