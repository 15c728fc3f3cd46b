// Character handling shared by every layer.
//
// File names are bytes and stay bytes end to end. Actions that work on
// characters see the UTF-8 decoding of those bytes: one element per Unicode
// code point. A byte that is not part of valid UTF-8 becomes one element of
// its own, 0xDC00 + byte (a lone surrogate, which valid UTF-8 never holds), so
// that no case mapping touches it and Encode(Decode(x)) == x for every x.
#pragma once

#include <string>
#include <string_view>

namespace qtarvox {

using CharText = std::u32string;

// Decodes bytes into characters; never fails.
CharText Decode(std::string_view bytes);
void DecodeAppend(std::string_view bytes, CharText& out);

// Encodes characters back into bytes; escaped bytes are written as they were.
std::string Encode(std::u32string_view chars);
void EncodeAppend(std::u32string_view chars, std::string& out);

// Simple (one code point to one) case mapping. The same table serves upper
// case, lower case, capitalisation and every case-insensitive comparison.
char32_t ToUpperNonAscii(char32_t c);
char32_t ToLowerNonAscii(char32_t c);
inline char32_t ToUpperChar(char32_t c) {
  if (c < 0x80) return c - U'a' < 26u ? c - 32 : c;
  return ToUpperNonAscii(c);
}
inline char32_t ToLowerChar(char32_t c) {
  if (c < 0x80) return c - U'A' < 26u ? c + 32 : c;
  return ToLowerNonAscii(c);
}
void ToUpperInPlace(CharText& text);
void ToLowerInPlace(CharText& text);
std::string ToUpperBytes(std::string_view bytes);

// True when both texts are equal after upper-casing every character.
bool EqualsIgnoreCase(std::u32string_view a, std::u32string_view b);

// Fixed order for directory listings: case-insensitive character order, ties
// broken by the bytes. Returns <0, 0 or >0.
int CompareNames(std::string_view a, std::string_view b);

// A key whose byte order is the case-insensitive character order of
// CompareNames (ties are then broken by the names' bytes).
std::string NameSortKey(std::string_view name);
void AppendNameSortKey(std::string_view name, std::string& key);

// Removes leading and trailing blanks (space characters only).
// One entry per line wherever a name is shown: from `from` on, each carriage
// return and line feed in `text` becomes "?".
void KeepOnOneLine(std::string& text, size_t from = 0);
// `text` with each carriage return and line feed shown as "?".
std::string OnOneLine(std::string text);

std::string_view TrimBlanks(std::string_view text);
std::string Trim(std::string_view text);

// Number of characters (as Decode counts them) in the bytes.
size_t CharCount(std::string_view bytes);

}  // namespace qtarvox
