// The prose of the help's text topics.
#pragma once

#include <optional>
#include <string>

namespace qtarvox::help {

// The prose of a topic, or nothing for a number without prose of its own.
// Pieces are joined by "\n" where a piece goes on with the block before it
// (the second line of an example, the items of a list, the lines of a
// command) and by "\n\n" where it starts a new paragraph; the first piece
// always starts a paragraph. The list of commands comes from the text that
// --help prints, so it names every command the program knows.
std::optional<std::string> TopicProse(int topic);

// Whether a topic has prose of its own.
bool HasProse(int topic);

}  // namespace qtarvox::help
