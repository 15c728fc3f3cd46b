#include "platform/wildcard_pattern.h"

#include <algorithm>

#include "platform/dir_search.h"

namespace qtarvox {

WildcardPattern::WildcardPattern(std::string_view pattern) {
  Expand(pattern);
  if (std::any_of(alternatives_.begin(), alternatives_.end(),
                  [](const Alternative& a) { return !a.no_dot && a.chars == U"*"; })) {
    kind_ = Kind::kAll;
  } else if (alternatives_.size() == 1 && !alternatives_[0].no_dot) {
    const CharText& p = alternatives_[0].chars;
    if (!p.empty() && p[0] == U'*' && IsAsciiLiteral(p.substr(1))) {
      kind_ = Kind::kSuffix;
      for (size_t i = 1; i < p.size(); ++i) suffix_.push_back(static_cast<char>(p[i]));
    }
  }
  if (kind_ != Kind::kGeneral) return;
  // Every alternative begins with the text before the first wildcard or dot
  // (the alternatives differ only at the end, from the last dot on).
  for (const char c : pattern) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '*' || c == '?' || c == '.' || byte >= 0x80) break;
    start_.push_back(static_cast<char>(ToUpperChar(byte)));
  }
}

bool WildcardPattern::MatchesDecoded(std::string_view name) const {
  CharText chars = Decode(name);
  ToUpperInPlace(chars);
  const bool has_dot = chars.find(U'.') != CharText::npos;
  for (const Alternative& alternative : alternatives_) {
    if (alternative.no_dot && has_dot) continue;
    if (MatchPlain(alternative.chars, chars)) return true;
  }
  return false;
}

bool WildcardPattern::IsAsciiLiteral(std::u32string_view chars) {
  return std::all_of(chars.begin(), chars.end(),
                     [](char32_t c) { return c < 0x80 && c != U'*' && c != U'?'; });
}

void WildcardPattern::Expand(std::string_view pattern) {
  if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*") {
    // "name.*" is "name.*" or "name"; so "*.*" is everything.
    Add(pattern, false);
    Expand(pattern.substr(0, pattern.size() - 2));
    return;
  }
  if (!pattern.empty() && pattern.back() == '.') {
    while (!pattern.empty() && pattern.back() == '.') pattern.remove_suffix(1);
    Add(pattern, true);
    return;
  }
  Add(pattern, false);
}

void WildcardPattern::Add(std::string_view pattern, bool no_dot) {
  Alternative alternative{Decode(pattern), no_dot};
  ToUpperInPlace(alternative.chars);
  auto& p = alternative.chars;
  p.erase(std::unique(p.begin(), p.end(),
                      [](char32_t a, char32_t b) { return a == U'*' && b == U'*'; }),
          p.end());
  alternatives_.push_back(std::move(alternative));
}

// Set-of-positions matcher: after each pattern element, `reach` marks the
// name prefixes it can have consumed. Time is pattern length x name length.
bool WildcardPattern::MatchPlain(const CharText& pattern, const CharText& name) {
  const size_t n = name.size();
  std::vector<char> reach(n + 1, 0);
  std::vector<char> next(n + 1, 0);
  reach[0] = 1;
  for (const char32_t p : pattern) {
    std::fill(next.begin(), next.end(), 0);
    bool any = false;
    if (p == U'*') {
      char seen = 0;
      for (size_t j = 0; j <= n; ++j) {
        seen |= reach[j];
        next[j] = seen;
      }
      any = seen != 0;
    } else {
      for (size_t j = 0; j <= n; ++j) {
        if (!reach[j]) continue;
        if (p == U'?') {
          if (j == n || name[j] == U'.') {
            next[j] = 1;
          } else {
            next[j + 1] = 1;
          }
          any = true;
        } else if (j < n && name[j] == p) {
          next[j + 1] = 1;
          any = true;
        }
      }
    }
    if (!any) return false;
    reach.swap(next);
  }
  return reach[n] != 0;
}

bool WildcardMatch(std::string_view pattern, std::string_view name) {
  return WildcardPattern(pattern).Matches(name);
}

bool HasWildcard(std::string_view pattern) {
  return pattern.find_first_of("*?") != std::string_view::npos;
}

}  // namespace qtarvox
