// What the help's text box shows for a row of the table of contents, and
// which row the About, Contact and Acknowledgements buttons choose. Pure
// functions of the contents table and the topics' prose.
#pragma once

#include <string>

namespace qtarvox::help {

// The text of the topic of row `row` (0 to 64), lines ending in CR LF:
// - the help topic: its row, a line break, then its three paragraphs, each
//   after a blank line;
// - the contents: every row, each followed by a line break;
// - a heading: its row and the rows of its branch (the rows after it that
//   are indented more deeply, up to the next one that is not), each followed
//   by a line break;
// - a text topic: its row without the leading blanks, then its prose, which
//   starts after a blank line; no line break at the end;
// - the empty row, a topic without prose and a row out of range: empty.
std::string ComposeTopic(int row);

// The number of rows of the branch under row `row`.
int BranchSize(int row);

// The first row from `first` to `last` (both included) that shows `topic`,
// or -1 when there is none.
int FindTopicRow(int topic, int first, int last);

// The rows the three buttons search.
inline constexpr int kAboutFirstRow = 0, kAboutLastRow = 15;
inline constexpr int kContactFirstRow = 55;
inline constexpr int kThanksFirstRow = 55;

}  // namespace qtarvox::help
