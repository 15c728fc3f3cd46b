// A DOS wildcard pattern prepared once and matched against many names.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/chars.h"

namespace qtarvox {

// The rules for a trailing "." and a trailing ".*" turn one pattern into at
// most a few plain patterns ("*" any run, "?" one non-dot character or none
// at a dot or the end), each matched without backtracking. The common
// patterns ("*", "*.txt") are matched without decoding the name.
class WildcardPattern {
 public:
  explicit WildcardPattern(std::string_view pattern);

  bool Matches(std::string_view name) const;

 private:
  enum class Kind { kGeneral, kAll, kSuffix };

  struct Alternative {
    CharText chars;  // upper case, runs of "*" collapsed
    bool no_dot = false;
  };

  static bool IsAscii(std::string_view bytes) {
    for (const char c : bytes) {
      if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
  }
  static bool IsAsciiLiteral(std::u32string_view chars);
  void Expand(std::string_view pattern);
  void Add(std::string_view pattern, bool no_dot);
  // Decodes the name and tries every alternative.
  bool MatchesDecoded(std::string_view name) const;
  // True when the name cannot match: it does not begin with the pattern's
  // literal ASCII beginning (up to its first "*", "?", "." or non-ASCII
  // character), compared without decoding while the name is ASCII.
  bool FailsAtStart(std::string_view name) const;
  static bool MatchPlain(const CharText& pattern, const CharText& name);

  std::vector<Alternative> alternatives_;
  Kind kind_ = Kind::kGeneral;
  std::string suffix_;  // kSuffix: the upper-case ASCII text after the "*"
  std::string start_;   // kGeneral: the literal beginning, upper-case ASCII
};

// Inline: a walk matches every name of every folder it lists.
inline bool WildcardPattern::Matches(std::string_view name) const {
  switch (kind_) {
    case Kind::kAll:
      return true;
    case Kind::kSuffix:
      if (name.size() < suffix_.size()) return false;
      if (const auto tail = name.substr(name.size() - suffix_.size()); IsAscii(tail)) {
        for (size_t i = 0; i < tail.size(); ++i) {
          if (ToUpperChar(static_cast<unsigned char>(tail[i])) !=
              static_cast<unsigned char>(suffix_[i])) {
            return false;
          }
        }
        return true;
      }
      // A non-ASCII character may upper-case to an ASCII one: decode.
      break;
    case Kind::kGeneral:
      if (FailsAtStart(name)) return false;
      break;
  }
  return MatchesDecoded(name);
}

inline bool WildcardPattern::FailsAtStart(std::string_view name) const {
  if (name.size() < start_.size()) return !start_.empty();
  for (size_t i = 0; i < start_.size(); ++i) {
    const auto c = static_cast<unsigned char>(name[i]);
    // A non-ASCII character may upper-case to an ASCII one: decode.
    if (c >= 0x80) return false;
    if (ToUpperChar(c) != static_cast<unsigned char>(start_[i])) return true;
  }
  return false;
}

}  // namespace qtarvox
