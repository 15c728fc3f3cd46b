#include "platform/chars.h"

#include <QChar>

namespace qtarvox {
namespace {

constexpr char32_t kEscapeBase = 0xDC00;

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

void DecodeAppend(std::string_view bytes, CharText& out) {
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  // At most one character per byte: write into room made once.
  const size_t start = out.size();
  out.resize(start + n);
  char32_t* o = out.data() + start;
  size_t i = 0;
  while (i < n) {
    const unsigned char b0 = p[i];
    if (b0 < 0x80) {
      *o++ = b0;
      ++i;
      continue;
    }
    char32_t cp = 0;
    size_t len = 0;
    char32_t min = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
      len = 2;
      cp = b0 & 0x1F;
      min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
      len = 3;
      cp = b0 & 0x0F;
      min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
      len = 4;
      cp = b0 & 0x07;
      min = 0x10000;
    }
    bool ok = len != 0 && i + len <= n;
    for (size_t k = 1; ok && k < len; ++k) {
      if (!IsContinuation(p[i + k])) {
        ok = false;
      } else {
        cp = (cp << 6) | (p[i + k] & 0x3F);
      }
    }
    if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
    if (ok) {
      *o++ = cp;
      i += len;
    } else {
      *o++ = kEscapeBase + b0;
      ++i;
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

CharText Decode(std::string_view bytes) {
  CharText out;
  DecodeAppend(bytes, out);
  return out;
}

void EncodeAppend(std::u32string_view chars, std::string& out) {
  // At most four bytes per character: write into room made once.
  const size_t start = out.size();
  out.resize(start + chars.size() * 4);
  char* o = out.data() + start;
  for (char32_t c : chars) {
    if (c < 0x80) {
      *o++ = static_cast<char>(c);
    } else if (c < 0x800) {
      *o++ = static_cast<char>(0xC0 | (c >> 6));
      *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF) {
      *o++ = static_cast<char>(c - kEscapeBase);
    } else if (c < 0x10000) {
      *o++ = static_cast<char>(0xE0 | (c >> 12));
      *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *o++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
      *o++ = static_cast<char>(0xF0 | (c >> 18));
      *o++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      *o++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      *o++ = static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  out.resize(static_cast<size_t>(o - out.data()));
}

std::string Encode(std::u32string_view chars) {
  std::string out;
  EncodeAppend(chars, out);
  return out;
}

char32_t ToUpperNonAscii(char32_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  return QChar::toUpper(c);
}

char32_t ToLowerNonAscii(char32_t c) {
  if (c >= 0xD800 && c <= 0xDFFF) return c;
  return QChar::toLower(c);
}

void ToUpperInPlace(CharText& text) {
  for (char32_t& c : text) c = ToUpperChar(c);
}

void ToLowerInPlace(CharText& text) {
  for (char32_t& c : text) c = ToLowerChar(c);
}

std::string ToUpperBytes(std::string_view bytes) {
  CharText t = Decode(bytes);
  ToUpperInPlace(t);
  return Encode(t);
}

bool EqualsIgnoreCase(std::u32string_view a, std::u32string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && ToUpperChar(a[i]) != ToUpperChar(b[i])) return false;
  }
  return true;
}

int CompareNames(std::string_view a, std::string_view b) {
  // ASCII names are the common case: compare without decoding.
  size_t i = 0;
  const size_t common = std::min(a.size(), b.size());
  while (i < common) {
    const auto ca = static_cast<unsigned char>(a[i]);
    const auto cb = static_cast<unsigned char>(b[i]);
    if (ca >= 0x80 || cb >= 0x80) break;
    const char32_t ua = ToUpperChar(ca);
    const char32_t ub = ToUpperChar(cb);
    if (ua != ub) return ua < ub ? -1 : 1;
    ++i;
  }
  if (i < common) {
    const CharText da = Decode(a.substr(i));
    const CharText db = Decode(b.substr(i));
    const size_t n = std::min(da.size(), db.size());
    for (size_t k = 0; k < n; ++k) {
      const char32_t ua = ToUpperChar(da[k]);
      const char32_t ub = ToUpperChar(db[k]);
      if (ua != ub) return ua < ub ? -1 : 1;
    }
    if (da.size() != db.size()) return da.size() < db.size() ? -1 : 1;
  } else if (a.size() != b.size()) {
    // Same characters so far and one name is a prefix of the other; it is
    // shorter in characters too only if the rest is not empty.
    return a.size() < b.size() ? -1 : 1;
  }
  const int bytes = a.compare(b);
  return bytes < 0 ? -1 : (bytes > 0 ? 1 : 0);
}

std::string NameSortKey(std::string_view name) {
  std::string key;
  AppendNameSortKey(name, key);
  return key;
}

void AppendNameSortKey(std::string_view name, std::string& key) {
  key.reserve(key.size() + name.size());
  // ASCII characters are whole on their own: only the rest needs decoding.
  size_t ascii = 0;
  while (ascii < name.size() && static_cast<unsigned char>(name[ascii]) < 0x80) {
    key.push_back(static_cast<char>(ToUpperChar(static_cast<unsigned char>(name[ascii]))));
    ++ascii;
  }
  if (ascii == name.size()) return;
  const CharText chars = Decode(name.substr(ascii));
  for (char32_t c : chars) {
    c = ToUpperChar(c);
    // Plain UTF-8 of every code point, escaped bytes included, keeps the
    // code point order in the byte order.
    if (c < 0x80) {
      key.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      key.push_back(static_cast<char>(0xC0 | (c >> 6)));
      key.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      key.push_back(static_cast<char>(0xE0 | (c >> 12)));
      key.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      key.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      key.push_back(static_cast<char>(0xF0 | (c >> 18)));
      key.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      key.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      key.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
}

std::string_view TrimBlanks(std::string_view text) {
  size_t b = 0;
  size_t e = text.size();
  while (b < e && text[b] == ' ') ++b;
  while (e > b && text[e - 1] == ' ') --e;
  return text.substr(b, e - b);
}

std::string Trim(std::string_view text) { return std::string(TrimBlanks(text)); }

size_t CharCount(std::string_view bytes) {
  CharText t;
  DecodeAppend(bytes, t);
  return t.size();
}

void KeepOnOneLine(std::string& text, size_t from) {
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] == '\r' || text[i] == '\n') text[i] = '?';
  }
}

std::string OnOneLine(std::string text) {
  KeepOnOneLine(text);
  return text;
}

}  // namespace qtarvox
