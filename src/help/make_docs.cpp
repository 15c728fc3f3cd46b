// Build tool: writes the manual page or the bash completion script, both made
// from the program's --help text, into the file given.
//   qtarvox_make_docs man FILE
//   qtarvox_make_docs bash-completion FILE
#include <fstream>
#include <iostream>
#include <string>

#include "help/usage_text.h"
#include "run/parse_command_line.h"
#include "help/manual_page.h"
#include "help/usage_outline.h"

int main(int argc, char** argv) {
  const std::string what = argc == 3 ? argv[1] : "";
  if (what != "man" && what != "bash-completion") {
    std::cerr << "usage: qtarvox_make_docs man|bash-completion FILE\n";
    return 2;
  }
  const qtarvox::help::UsageOutline usage = qtarvox::help::ParseUsage(qtarvox::UsageText());
  const std::string text = what == "man"
                               ? qtarvox::help::ManualPage(usage, qtarvox::kVersionText)
                               : qtarvox::help::BashCompletion(usage, qtarvox::FixedValueWords());
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    std::cerr << "qtarvox_make_docs: cannot write " << argv[2] << '\n';
    return 1;
  }
  return 0;
}
