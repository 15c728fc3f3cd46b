// The manual page q-tarvox(1) and the bash completion script, both made from
// the text that --help prints when the program is built.
#pragma once

#include <string>
#include <vector>

#include "run/parse_command_line.h"
#include "help/usage_outline.h"

namespace qtarvox::help {

// The manual page in man(7) markup: NAME, SYNOPSIS, DESCRIPTION, one section
// for every section of the usage text, then ENVIRONMENT, FILES and SEE ALSO.
// `version` goes into the page's footer.
std::string ManualPage(const UsageOutline& usage, const std::string& version);

// Text for a roff text line: backslashes and dashes escaped, and a leading
// dot or apostrophe kept from being read as a request.
std::string RoffText(std::string_view text);

// A bash completion script for q-tarvox: after a dash it offers the commands,
// each with its one-line description when several match; after -FI file
// names (also after an asterisk that separates them), after -FE directories;
// where a command reads fixed words, those words (`values`), each place's
// only after one of the words of the place before.
std::string BashCompletion(const UsageOutline& usage, const std::vector<CommandWords>& values);

}  // namespace qtarvox::help
