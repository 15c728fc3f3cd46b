#include "platform/attributes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <vector>

#include "platform/paths.h"

namespace qtarvox {
namespace {

// The bits kept in the extended attribute; the others come from the inode.
constexpr uint32_t kStoredMask = kAttrHidden | kAttrSystem | kAttrArchive;
constexpr uint32_t kSettableMask = kAttrReadOnly | kStoredMask;

constexpr mode_t kAllWriteBits = S_IWUSR | S_IWGRP | S_IWOTH;

uint32_t ReadLe16(std::string_view bytes, size_t at) {
  return static_cast<uint32_t>(static_cast<unsigned char>(bytes[at])) |
         static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + 1])) << 8;
}

uint32_t ReadLe32(std::string_view bytes, size_t at) {
  return ReadLe16(bytes, at) | ReadLe16(bytes, at + 2) << 16;
}

// "0x22" (the prefix is optional); digits stop at the first other character.
// A value that does not fit 32 bits or has no digit reads as 0.
uint32_t ParseHexText(std::string_view text) {
  if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
  }
  uint32_t value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value, 16);
  if (result.ec != std::errc()) return 0;
  return value;
}

// The raw stored value; false (and errno set) when there is none or it cannot be read.
bool ReadDosAttribValue(const std::string& path, std::string& value) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t n = lgetxattr(path.c_str(), kDosAttribXattr, buffer.data(), buffer.size());
    if (n >= 0) {
      value.assign(buffer.data(), static_cast<size_t>(n));
      return true;
    }
    if (errno != ERANGE) return false;
    // The value grew between the two calls, or is larger than the first guess.
    const ssize_t size = lgetxattr(path.c_str(), kDosAttribXattr, nullptr, 0);
    if (size < 0) return false;
    buffer.resize(static_cast<size_t>(size) + 1);
  }
}

std::string FormatDosAttrib(uint32_t bits) {
  char digits[16];
  const auto result = std::to_chars(digits, digits + sizeof digits, bits, 16);
  return "0x" + std::string(digits, result.ptr);
}

// Writes the stored bits; removes the attribute when none remains.
bool WriteStoredBits(const std::string& path, uint32_t bits) {
  if (bits == 0) {
    return lremovexattr(path.c_str(), kDosAttribXattr) == 0 || errno == ENODATA;
  }
  const std::string text = FormatDosAttrib(bits);
  return lsetxattr(path.c_str(), kDosAttribXattr, text.data(), text.size(), 0) == 0;
}

std::string_view LastComponent(std::string_view path) {
  while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
  return NameOfPath(path);
}

bool IsDotName(std::string_view name) {
  return !name.empty() && name[0] == '.' && name != "." && name != "..";
}

}  // namespace

uint32_t ParseDosAttrib(std::string_view value) {
  const size_t nul = value.find('\0');
  if (nul != std::string_view::npos) {
    // Binary form: the hex text, then version and level (16 bits each) and the
    // fields of that version. Versions whose layout is not known here fall back
    // to the text, which every version carries.
    const std::string_view binary = value.substr(nul + 1);
    constexpr size_t kHeader = 4;
    if (binary.size() >= kHeader) {
      const uint32_t version = ReadLe16(binary, 0);
      if (version == 1 && binary.size() >= kHeader + 4) {
        return ReadLe32(binary, kHeader) & kStoredMask;
      }
      if (version >= 3 && version <= 5 && binary.size() >= kHeader + 8) {
        // valid_flags comes first, then the attribute word.
        return ReadLe32(binary, kHeader + 4) & kStoredMask;
      }
    }
    value = value.substr(0, nul);
  }
  return ParseHexText(value) & kStoredMask;
}

uint32_t ReadStoredAttributes(const std::string& path) {
  std::string value;
  if (!ReadDosAttribValue(path, value)) return 0;
  return ParseDosAttrib(value);
}

namespace {

// getxattrat(2) reads an extended attribute of a name relative to an open
// directory, sparing the walk down the whole path that lgetxattr makes; it
// exists from Linux 6.13 on.
#if defined(SYS_getxattrat)
constexpr long kGetxattrat = SYS_getxattrat;
#elif defined(__x86_64__) || defined(__aarch64__)
constexpr long kGetxattrat = 464;
#else
constexpr long kGetxattrat = -1;
#endif

struct XattrArgs {
  uint64_t value;
  uint32_t size;
  uint32_t flags;
};

std::atomic<bool> g_getxattrat_missing{kGetxattrat < 0};

}  // namespace

uint32_t ReadStoredAttributesAt(int dir_fd, const char* name, std::string_view directory_prefix) {
  if (!g_getxattrat_missing.load(std::memory_order_relaxed)) {
    char buffer[256];
    XattrArgs args{reinterpret_cast<uintptr_t>(buffer), sizeof buffer, 0};
    const long n = syscall(kGetxattrat, dir_fd, name, AT_SYMLINK_NOFOLLOW, kDosAttribXattr, &args,
                           sizeof args);
    if (n >= 0) return ParseDosAttrib(std::string_view(buffer, static_cast<size_t>(n)));
    // An older kernel, a sandbox that refuses the call, or a value longer
    // than the buffer: the path-based read does it. Other errors mean no value.
    if (errno == ENOSYS) g_getxattrat_missing.store(true, std::memory_order_relaxed);
    if (errno != ENOSYS && errno != EPERM && errno != EINVAL && errno != ERANGE) return 0;
  }
  std::string path(directory_prefix);
  path += name;
  return ReadStoredAttributes(path);
}

bool StoredSystemBit(int dir_fd, const std::string& directory, const std::string& filename) {
  const uint32_t stored = dir_fd >= 0 ? ReadStoredAttributesAt(dir_fd, filename.c_str(), directory)
                                      : ReadStoredAttributes(directory + filename);
  return (stored & kAttrSystem) != 0;
}

uint32_t ComposeAttributes(uint32_t mode, std::string_view name, uint32_t stored) {
  uint32_t attributes = stored & kStoredMask;
  if (S_ISDIR(mode)) {
    attributes |= kAttrDirectory;
  } else if (!S_ISREG(mode)) {
    attributes |= kAttrSystem;
  }
  if ((mode & S_IWUSR) == 0) attributes |= kAttrReadOnly;
  if (IsDotName(name)) attributes |= kAttrHidden;
  return attributes == 0 ? kAttrNormal : attributes;
}

uint32_t GetFileAttributes(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return kAttrInvalid;
  // Only regular files and directories can carry user extended attributes.
  const bool can_store = S_ISREG(st.st_mode) || S_ISDIR(st.st_mode);
  const uint32_t stored = can_store ? ReadStoredAttributes(path) : 0;
  return ComposeAttributes(st.st_mode, LastComponent(path), stored);
}

namespace {

// What setting `attributes` makes of a file with these permission bits and
// stored bits.
struct AttributeChange {
  mode_t final_mode;       // permission bits afterwards
  uint32_t stored;         // stored bits afterwards
  bool stored_changes;     // the extended attribute has to be written
};

AttributeChange ChangeFor(mode_t mode, uint32_t current_stored, uint32_t attributes) {
  // Normal on its own selects none of the settable bits, so it clears them all;
  // combined with other bits it adds nothing to them.
  const uint32_t wanted = attributes & kSettableMask;
  const mode_t final_mode =
      (wanted & kAttrReadOnly) != 0 ? (mode & ~kAllWriteBits) : (mode | S_IWUSR);
  const uint32_t wanted_stored = wanted & kStoredMask;
  return {final_mode, wanted_stored, current_stored != wanted_stored};
}

bool CanStore(uint32_t mode) { return S_ISREG(mode) || S_ISDIR(mode); }

}  // namespace

bool SetFileAttributes(const std::string& path, uint32_t attributes) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return false;
  if (!CanStore(st.st_mode)) return false;

  const mode_t mode = st.st_mode & 07777;
  std::string current_value;
  const bool has_value = ReadDosAttribValue(path, current_value);
  const AttributeChange change =
      ChangeFor(mode, has_value ? ParseDosAttrib(current_value) : 0, attributes);

  mode_t actual_mode = mode;
  if (change.stored_changes) {
    // Writing a user extended attribute needs write access, which the owner of
    // a read-only file has only after lending it to themselves for a moment.
    if ((mode & S_IWUSR) == 0) {
      if (chmod(path.c_str(), mode | S_IWUSR) != 0) return false;
      actual_mode = mode | S_IWUSR;
    }
    if (!WriteStoredBits(path, change.stored)) {
      const int err = errno;
      if (actual_mode != mode) chmod(path.c_str(), mode);
      errno = err;
      return false;
    }
  }
  return change.final_mode == actual_mode || chmod(path.c_str(), change.final_mode) == 0;
}

bool KeepsUserXattrs(const std::string& path) {
  if (lgetxattr(path.c_str(), kDosAttribXattr, nullptr, 0) >= 0) return true;
  return errno != ENOTSUP && errno != EOPNOTSUPP;
}

bool PlanSetFileAttributes(AttributeState& state, uint32_t attributes, const std::string& origin,
                           bool read_only_fs, bool user_xattrs) {
  if (!CanStore(state.mode)) return false;
  const mode_t mode = state.mode & 07777;
  const AttributeChange change = ChangeFor(mode, state.stored, attributes);
  const uid_t user = geteuid();
  // Only the owner (or root) may change permission bits.
  const bool may_chmod = user == 0 || user == state.owner;
  mode_t actual_mode = mode;
  if (change.stored_changes) {
    if (read_only_fs || !user_xattrs) return false;
    if ((mode & S_IWUSR) == 0) {
      if (!may_chmod) return false;
      actual_mode = mode | S_IWUSR;
    }
    const bool may_write = may_chmod || faccessat(AT_FDCWD, origin.c_str(), W_OK, AT_EACCESS) == 0;
    if (!may_write) return false;
    state.stored = change.stored;
  }
  if (change.final_mode != actual_mode && (read_only_fs || !may_chmod)) return false;
  state.mode = (state.mode & ~07777u) | change.final_mode;
  return true;
}

}  // namespace qtarvox
