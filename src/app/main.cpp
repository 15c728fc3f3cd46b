#include <iostream>
#include <string>
#include <vector>

#include "cli/startup.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return qtarvox::RunCommandLine(args, std::cout, std::cerr);
}
