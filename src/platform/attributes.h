// DOS-style file attributes on a POSIX file system.
//
// Read-only is the owner's write bit being clear (setting it clears every write
// bit; clearing it gives the owner write back). Hidden is a name starting with
// "." or the stored hidden bit. Hidden, system and archive bits are stored in
// the extended attribute user.DOSATTRIB as ASCII "0x" + lowercase hex without
// leading zeros and without a NUL ("0x22"), a form Samba and Wine both read;
// Samba's binary form is accepted when reading. A real directory (never a
// symbolic link) is the directory bit; anything that is neither a regular file
// nor a directory (symbolic links included) counts as system.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qtarvox {

inline constexpr uint32_t kAttrReadOnly = 1;
inline constexpr uint32_t kAttrHidden = 2;
inline constexpr uint32_t kAttrSystem = 4;
inline constexpr uint32_t kAttrDirectory = 16;
inline constexpr uint32_t kAttrArchive = 32;
inline constexpr uint32_t kAttrNormal = 128;
inline constexpr uint32_t kAttrInvalid = 0xFFFFFFFFu;

inline constexpr const char* kDosAttribXattr = "user.DOSATTRIB";

// The attribute bits of a path (not following a final symbolic link);
// kAttrInvalid when the path cannot be read. A regular file with no bit set
// reads as kAttrNormal.
uint32_t GetFileAttributes(const std::string& path);

// Sets the read-only, hidden, system and archive bits of a path to exactly
// those in `attributes` (kAttrNormal clears all four; other bits are ignored).
// Returns false on failure: a missing path, a symbolic link or other system
// entry, or a file system that refuses user extended attributes when a stored
// bit has to change.
[[nodiscard]] bool SetFileAttributes(const std::string& path, uint32_t attributes);

// What SetFileAttributes reads of a file and changes: its type and
// permission bits, its owner and its stored bits.
struct AttributeState {
  uint32_t mode = 0;    // st_mode
  uint32_t owner = 0;   // st_uid
  uint32_t stored = 0;  // hidden, system and archive bits kept in user.DOSATTRIB
};

// Whether the file system that holds `path` keeps user extended attributes
// (asked by reading one, never by writing).
bool KeepsUserXattrs(const std::string& path);

// SetFileAttributes(path, attributes) worked out for a file in `state`
// without touching it: false where the call would fail; otherwise `state`
// becomes what the call would leave. `origin` is where the file is on disk
// now (asked only whether this user may write it); `read_only_fs` and
// `user_xattrs` are what its file system allows.
bool PlanSetFileAttributes(AttributeState& state, uint32_t attributes, const std::string& origin,
                           bool read_only_fs, bool user_xattrs);

// Parses a stored user.DOSATTRIB value (text or Samba's binary form) into its
// hidden, system and archive bits; 0 when it cannot be read.
uint32_t ParseDosAttrib(std::string_view value);

// The hidden, system and archive bits stored for a path, not following a final
// symbolic link; 0 when nothing is stored or the file system keeps no user
// extended attributes.
uint32_t ReadStoredAttributes(const std::string& path);

// As ReadStoredAttributes for `name` in the open directory `dir_fd`, which is
// cheaper where the kernel allows it; where it does not, the full path
// `directory_prefix` + `name` is read instead (the prefix ends in "/").
uint32_t ReadStoredAttributesAt(int dir_fd, const char* name, std::string_view directory_prefix);

// Whether the system bit is stored for `filename` in `directory` (ending in
// "/"), read relative to `dir_fd`, an open descriptor of the directory, or by
// the full path when it is -1.
bool StoredSystemBit(int dir_fd, const std::string& directory, const std::string& filename);

// The attribute bits of an entry from its st_mode (file type and permission
// bits, as lstat reports them), its last path component and its stored bits.
// GetFileAttributes is this over lstat and ReadStoredAttributes; a directory
// listing can call it with what it already knows.
uint32_t ComposeAttributes(uint32_t mode, std::string_view name, uint32_t stored);

}  // namespace qtarvox
