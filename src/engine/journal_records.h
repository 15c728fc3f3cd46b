// The record format of the journal (journal.h): its record types, flags and
// the helpers that write and read its fields. Shared by the writing and the
// reading side only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qtarvox {

enum RecordType : char {
  kHeader = 'H',
  kIntent = 'I',
  kCompletion = 'C',
  kUsed = 'U',
  // Kept in memory only, until it is made a completion.
  kLookLater = 'L',
};

inline constexpr std::string_view kMagic = "QTVJ";
inline constexpr uint32_t kVersion = 2;
// Length, its complement, CRC, type.
inline constexpr size_t kRecordHead = 13;
inline constexpr size_t kCrcAt = 8;
// No record comes near this: a longer length can only be damage.
inline constexpr uint32_t kMaxPayload = 1u << 20;

inline constexpr uint8_t kHeaderAttributes = 1;

inline constexpr uint8_t kIntentIdKnown = 1;
inline constexpr uint8_t kIntentAttributes = 2;
inline constexpr uint8_t kIntentGeneration = 4;
inline constexpr uint8_t kIntentTakesTakenName = 8;

inline constexpr uint8_t kCompletionRenamed = 1;
inline constexpr uint8_t kCompletionReplaced = 2;
inline constexpr uint8_t kCompletionIdentity = 4;
inline constexpr uint8_t kCompletionGeneration = 8;
inline constexpr uint8_t kCompletionWitness = 16;

inline void PutU8(std::string& out, uint8_t v) { out.push_back(static_cast<char>(v)); }

inline void PutU32(std::string& out, uint32_t v) {
  char bytes[4];
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>(v >> (8 * i));
  out.append(bytes, 4);
}

inline void PutU64(std::string& out, uint64_t v) {
  char bytes[8];
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<char>(v >> (8 * i));
  out.append(bytes, 8);
}

inline void PutBytes(std::string& out, std::string_view bytes) {
  PutU32(out, static_cast<uint32_t>(bytes.size()));
  out.append(bytes);
}

inline uint32_t GetU32At(std::string_view in, size_t at) {
  uint32_t v = 0;
  for (int i = 0; i < 4; ++i)
    v |= static_cast<uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
  return v;
}

// Starts a record of `type` at the end of `out`; FinishRecord fills its head.
inline size_t BeginRecord(std::string& out, RecordType type) {
  const size_t start = out.size();
  out.append(kRecordHead - 1, '\0');
  out.push_back(type);
  return start;
}

void FinishRecord(std::string& out, size_t start);

// Reads the fields of one record's contents in order; any read past the end
// makes the record malformed.
class FieldReader {
 public:
  explicit FieldReader(std::string_view bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  bool at_end() const { return at_ == bytes_.size(); }

  uint8_t U8() {
    if (!Have(1)) return 0;
    return static_cast<uint8_t>(bytes_[at_++]);
  }
  uint32_t U32() {
    if (!Have(4)) return 0;
    const uint32_t v = GetU32At(bytes_, at_);
    at_ += 4;
    return v;
  }
  uint64_t U64() {
    const uint64_t low = U32();
    return low | static_cast<uint64_t>(U32()) << 32;
  }
  std::string Bytes() {
    const uint32_t size = U32();
    if (!Have(size)) return {};
    std::string out(bytes_.substr(at_, size));
    at_ += size;
    return out;
  }

 private:
  bool Have(size_t n) {
    if (ok_ && bytes_.size() - at_ >= n) return true;
    ok_ = false;
    return false;
  }
  std::string_view bytes_;
  size_t at_ = 0;
  bool ok_ = true;
};

}  // namespace qtarvox
