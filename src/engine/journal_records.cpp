#include "engine/journal_records.h"

#include <array>

#include "engine/journal.h"

namespace qtarvox {
namespace {

// Eight tables, so that eight bytes are taken at a time ("slicing by 8").
using CrcTables = std::array<std::array<uint32_t, 256>, 8>;

constexpr CrcTables MakeCrcTables() {
  CrcTables tables{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    tables[0][i] = c;
  }
  for (uint32_t i = 0; i < 256; ++i) {
    for (size_t t = 1; t < 8; ++t) {
      tables[t][i] = (tables[t - 1][i] >> 8) ^ tables[0][tables[t - 1][i] & 0xFFu];
    }
  }
  return tables;
}

constexpr CrcTables kCrc = MakeCrcTables();

}  // namespace

uint32_t Crc32(std::string_view bytes, uint32_t crc) {
  crc = ~crc;
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  size_t n = bytes.size();
  for (; n >= 8; n -= 8, p += 8) {
    const uint32_t low =
        crc ^ (static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
               static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
    crc = kCrc[7][low & 0xFFu] ^ kCrc[6][(low >> 8) & 0xFFu] ^ kCrc[5][(low >> 16) & 0xFFu] ^
          kCrc[4][low >> 24] ^ kCrc[3][p[4]] ^ kCrc[2][p[5]] ^ kCrc[1][p[6]] ^ kCrc[0][p[7]];
  }
  for (; n > 0; --n, ++p) crc = kCrc[0][(crc ^ *p) & 0xFFu] ^ (crc >> 8);
  return ~crc;
}

void FinishRecord(std::string& out, size_t start) {
  const uint32_t payload = static_cast<uint32_t>(out.size() - start - kRecordHead);
  const uint32_t crc = Crc32(std::string_view(out).substr(start + kCrcAt + 4));
  for (int i = 0; i < 4; ++i) {
    out[start + i] = static_cast<char>(payload >> (8 * i));
    out[start + 4 + i] = static_cast<char>(~payload >> (8 * i));
    out[start + kCrcAt + i] = static_cast<char>(crc >> (8 * i));
  }
}

}  // namespace qtarvox
