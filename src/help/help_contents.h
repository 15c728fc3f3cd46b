// The help's table of contents: 65 rows, each a text whose leading blanks
// (0, 3, 6 or 9) show its outline level, and the number of the topic it
// shows. The topic number, not the row's place, picks the topic.
#pragma once

#include <array>
#include <string_view>

namespace qtarvox::help {

struct ContentsRow {
  const char* text;
  int topic;
};

// Topic numbers with a meaning of their own.
inline constexpr int kContentsTopic = 0;  // the whole table of contents
inline constexpr int kHelpTopic = -1;     // how to use the help
inline constexpr int kNoTopic = 99;       // the empty row
inline constexpr int kAboutTopic = 55;
inline constexpr int kContactTopic = 51;
inline constexpr int kThanksTopic = 52;

extern const std::array<ContentsRow, 65> kContents;

// Topics that show their row and the rows of its branch.
inline constexpr std::array<int, 10> kHeadingTopics{1, 5, 8, 22, 23, 27, 33, 38, 40, 57};

enum class TopicKind { kContents, kHelp, kHeading, kText, kEmpty };

// What a topic number shows: a text topic is one with prose of its own; 99
// and every number without prose show nothing.
TopicKind KindOf(int topic);

// The number of leading blanks of a row's text.
int IndentOf(std::string_view row_text);

}  // namespace qtarvox::help
