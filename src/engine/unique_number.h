// The number that "Add a unique number" gives a file whose new name is taken,
// and the run-wide index that answers it (and the preview's existence check)
// without reading a directory again for every file.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/chars.h"

namespace qtarvox {

struct ListedEntry;

// Trailing number of a similar file's name: the name is cut before its first
// dot, then trailing digits are collected while blanks among them are
// skipped (leading zeros count for nothing). Returns -1 when there is none,
// or when it does not fit a signed 64-bit integer (such a name is not a used
// number).
int64_t TrailingNumber(std::string_view filename);

// The new filename with the number inserted before its first dot, after the
// separator; without a dot, the number alone is appended.
std::string InsertNumber(const std::string& new_filename, const std::string& separator,
                         int64_t number);

// The search pattern of the files whose numbers count for a unique number:
// base + "*" + old_extension (base: the new filename before its last dot).
std::string UniqueNumberPattern(const std::string& new_filename, const std::string& old_extension);

// The smallest positive number not carried by a file of `directory` that
// matches UniqueNumberPattern, searching with the file filter. Reads the directory.
int64_t UniqueNumber(const std::string& directory, const std::string& new_filename,
                     const std::string& old_extension);

// Answers UniqueNumber and the preview's existence check for one run from an
// index of each directory read once, kept up to date with the renames the run
// makes. The no-replace rename still guards against anything that changed
// behind the run's back.
class NameIndex {
 public:
  NameIndex();
  ~NameIndex();
  NameIndex(const NameIndex&) = delete;
  NameIndex& operator=(const NameIndex&) = delete;

  // As UniqueNumber(directory, new_filename, old_extension), or 0 when every
  // positive 64-bit number is used. Once a pattern is indexed, a call costs
  // no search: the smallest free number is kept current as the run renames.
  int64_t UniqueNumber(const std::string& directory, const std::string& new_filename,
                       const std::string& old_extension);

  // Whether a search for directory + name with the normal-files filter finds
  // anything (case-insensitive; wildcards in the name act as wildcards).
  bool NormalFileExists(const std::string& directory, const std::string& name);

  // True when the directory is indexed already and holds an entry of exactly
  // this name (a rename to it would fail). Never reads the directory.
  bool KnownTaken(const std::string& directory, const std::string& name) const;

  // Indexes the directory unless it is already, and tells whether it holds
  // an entry of exactly this name. With `read_attributes` that entry's full
  // attributes are read now: a plan asks so before it moves the entry, so
  // that the index never reads the disk at a place the entry has only in the
  // plan.
  bool Holds(const std::string& directory, const std::string& name, bool read_attributes = false);

  // Indexes the directory unless it is already, and gives the name its
  // listing found the entry of exactly this name under (the run may have
  // renamed it since): where a plan finds the file on the disk. Empty when
  // the directory holds no entry of that name.
  std::string_view ListedName(const std::string& directory, const std::string& name);

  // Indexes the directory from a listing of every entry made by the caller
  // (ListForWalk's `all`), unless it is indexed already. Only for a run that
  // changes nothing on the disk between that listing and the index's use: a
  // plan.
  void Listed(const std::string& directory, const std::vector<ListedEntry>& entries);

  // The run renamed directory + old_name to directory + new_name (replacing
  // any file of that name).
  void Renamed(const std::string& directory, const std::string& old_name,
               const std::string& new_name);

 private:
  struct Directory;
  // Indexes the directory unless it is already.
  Directory& DirectoryOf(const std::string& directory);
  // The directory's index if it is read already, else nullptr.
  Directory* Loaded(const std::string& directory) const;

  std::unordered_map<std::string, std::unique_ptr<Directory>> directories_;
  // The directory asked about last.
  mutable const std::string* last_directory_ = nullptr;
  mutable Directory* last_ = nullptr;
};

}  // namespace qtarvox
