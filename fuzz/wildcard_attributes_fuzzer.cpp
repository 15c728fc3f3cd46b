// What a directory search decides without the disk: whether a name matches a
// wildcard pattern, the order names are listed in, and the hidden, system and
// archive bits read from a stored user.DOSATTRIB value.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_checks.h"
#include "platform/attributes.h"
#include "platform/chars.h"
#include "platform/dir_search.h"

namespace qtarvox {
namespace {

using fuzz::Require;

CharText Upper(std::string_view bytes) {
  CharText chars = Decode(bytes);
  ToUpperInPlace(chars);
  return chars;
}

// "*" any run, "?" one character other than a dot, or none at a dot or at the
// end. Plain recursion over a memo table: slow, but plainly right.
class PlainMatcher {
 public:
  PlainMatcher(std::u32string_view pattern, std::u32string_view name)
      : p_(pattern), n_(name), memo_((p_.size() + 1) * (n_.size() + 1), -1) {}

  bool Matches() { return At(0, 0); }

 private:
  bool At(size_t i, size_t j) {
    signed char& memo = memo_[i * (n_.size() + 1) + j];
    if (memo < 0) memo = Compute(i, j) ? 1 : 0;
    return memo == 1;
  }

  bool Compute(size_t i, size_t j) {
    if (i == p_.size()) return j == n_.size();
    const char32_t c = p_[i];
    const bool at_end = j == n_.size();
    if (c == U'*') return At(i + 1, j) || (!at_end && At(i, j + 1));
    if (c == U'?') return at_end || n_[j] == U'.' ? At(i + 1, j) : At(i + 1, j + 1);
    return !at_end && n_[j] == c && At(i + 1, j + 1);
  }

  std::u32string_view p_;
  std::u32string_view n_;
  std::vector<signed char> memo_;
};

// The wildcard rules as the search promises them, without its shortcuts.
bool ReferenceMatch(std::string_view pattern, std::string_view name) {
  const CharText n = Upper(name);
  if (pattern.ends_with(".*")) {
    const CharText p = Upper(pattern);
    return PlainMatcher(p, n).Matches() ||
           ReferenceMatch(pattern.substr(0, pattern.size() - 2), name);
  }
  if (pattern.ends_with('.')) {
    while (pattern.ends_with('.')) pattern.remove_suffix(1);
    const CharText p = Upper(pattern);
    return n.find(U'.') == CharText::npos && PlainMatcher(p, n).Matches();
  }
  const CharText p = Upper(pattern);
  return PlainMatcher(p, n).Matches();
}

int Sign(int value) { return (value > 0) - (value < 0); }

void CheckOrder(std::string_view a, std::string_view b) {
  const int order = CompareNames(a, b);
  Require(order == -CompareNames(b, a), "name order not antisymmetric");
  Require((order == 0) == (a == b), "different names compare equal");
  // A listing sorts by key, then by bytes; a directory list by CompareNames.
  const int by_key = Sign(NameSortKey(a).compare(NameSortKey(b)));
  Require(order == (by_key != 0 ? by_key : Sign(a.compare(b))), "sort key order differs");
}

std::string Le16(uint32_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>(value >> 8 & 0xFF)};
}

std::string Le32(uint32_t value) { return Le16(value & 0xFFFF) + Le16(value >> 16); }

std::string HexText(uint32_t value) {
  char text[16];
  const int length = std::snprintf(text, sizeof text, "0x%x", value);
  return std::string(text, static_cast<size_t>(length));
}

constexpr uint32_t kStored = kAttrHidden | kAttrSystem | kAttrArchive;

void CheckDosAttrib(FuzzedDataProvider& in) {
  const uint32_t bits = in.ConsumeIntegral<uint32_t>();
  const uint32_t other = in.ConsumeIntegral<uint32_t>();
  const uint32_t version = in.ConsumeIntegralInRange<uint32_t>(0, 6);
  const std::string raw = in.ConsumeRemainingBytesAsString();

  Require((ParseDosAttrib(raw) & ~kStored) == 0, "bits beyond hidden, system and archive");
  // The text form as written ("0x22"), then Samba's binary form behind its text.
  Require(ParseDosAttrib(HexText(bits)) == (bits & kStored), "text form misread");
  const std::string binary = HexText(other) + '\0' + Le16(version) + Le16(0) +
                             (version == 1 ? Le32(bits) : Le32(other) + Le32(bits));
  // A version of unknown layout is read from its text.
  const bool known = version == 1 || (version >= 3 && version <= 5);
  const uint32_t expected = (known ? bits : other) & kStored;
  Require(ParseDosAttrib(binary) == expected, "binary form misread");
}

}  // namespace
}  // namespace qtarvox

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace qtarvox;
  FuzzedDataProvider in(data, size);
  const std::string pattern = in.ConsumeRandomLengthString(64);
  const std::string name = in.ConsumeRandomLengthString(256);

  fuzz::Require(WildcardMatch(pattern, name) == ReferenceMatch(pattern, name),
                "wildcard match differs from the rules");
  fuzz::Require(WildcardMatch("*", name) && WildcardMatch("*.*", name), "\"*\" missed a name");
  if (!HasWildcard(name) && !name.ends_with('.')) {
    fuzz::Require(WildcardMatch(name, name), "a plain name does not match itself");
  }
  CheckOrder(pattern, name);
  CheckDosAttrib(in);
  return 0;
}
