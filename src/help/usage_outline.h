// The text that --help prints, read back as an outline: the synopsis, the
// paragraphs, the lists of commands with their descriptions and the example
// lines, section by section. The manual page, the shell completion and the
// help's list of commands are all made from it, so they name exactly the
// commands that --help names.
//
// The text is read by its layout, which is that of every usage page:
// - "Usage: " starts the synopsis (indented lines continue it);
// - a line at the left margin ending in a colon, of at most three words,
//   starts a section ("Options:", "Exit codes:");
// - other lines at the left margin are paragraphs, joined up to a blank line;
// - an indented line that starts with a dash or a digit, or that holds two
//   blanks in a row, is a list entry: its tag up to the last run of two or
//   more blanks, its description after it; lines indented more deeply go on
//   with the description;
// - any other indented line is printed as it is (an example).
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qtarvox::help {

struct UsageEntry {
  std::string tag;          // "-NE [E] [BN n]", "-+R  -+H  -+A", "0"
  std::string description;  // its lines joined by single blanks
};

struct UsageBlock {
  enum class Kind { kParagraph, kEntries, kLiteral };
  Kind kind = Kind::kParagraph;
  std::string text;                 // kParagraph: the lines joined by blanks
  std::vector<UsageEntry> entries;  // kEntries
  std::vector<std::string> lines;   // kLiteral: without their indent
};

struct UsageSection {
  std::string title;  // without its colon; empty for the text before the first
  std::vector<UsageBlock> blocks;
};

struct UsageOutline {
  std::string synopsis;  // after "Usage: "
  std::vector<UsageSection> sections;
};

UsageOutline ParseUsage(std::string_view usage);

// The command names an entry's tag gives, each as written: "-+R  -+H  -+A"
// gives three, "-h, --help" two, "-FI path[*path...]" one; a tag that does
// not start with a dash ("0") gives none.
std::vector<std::string> CommandNames(std::string_view tag);

struct CommandSummary {
  std::string name;
  std::string description;  // one short line
};

// Every command of the outline with a one-line description: the start of
// its description up to the first semicolon, cut at a word when longer than
// `width` characters.
std::vector<CommandSummary> CommandSummaries(const UsageOutline& outline, size_t width = 60);

// The outline as help prose (see TopicProse): paragraphs as paragraphs, each
// entry as one line "tag : description", example lines as they are.
std::string UsageAsHelpText(const UsageOutline& outline);

}  // namespace qtarvox::help
