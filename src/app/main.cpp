#include <iostream>
#include <string>
#include <vector>

#include "cli/parse_command_line.h"
#include "cli/startup.h"
#ifdef QTARVOX_WITH_WINDOW
#include "ui/window_app.h"
#endif

#ifdef QTARVOX_WITH_WINDOW
namespace {

// A command line without any job command and without the program's own
// options opens the window; everything else is the command line's.
bool OpensWindow(const std::vector<std::string>& args) {
  const qtarvox::CliOptions options = qtarvox::SplitProgramOptions(args);
  return !options.help && !options.version && !options.preview && !options.undo &&
         qtarvox::BuildSegments(options.rest).empty();
}

}  // namespace
#endif

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
#ifdef QTARVOX_WITH_WINDOW
  if (OpensWindow(args)) return qtarvox::RunWindow(argc, argv);
#endif
  return qtarvox::RunCommandLine(args, std::cout, std::cerr);
}
