// Everything the commit of one file changes on disk, and the reads it bases
// those changes on, behind one interface: a run goes to the disk itself, a
// plan (PlannedChanges) works out what the disk would say without changing it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/attributes.h"
#include "platform/file_ops.h"
#include "platform/file_state.h"
#include "platform/rt_error.h"

namespace qtarvox {

class FileChanges {
 public:
  virtual ~FileChanges() = default;

  // True when nothing is changed: the calls only work out their answers.
  virtual bool planned() const = 0;

  // As the platform functions of the same names.
  virtual uint32_t GetFileAttributes(const std::string& path) = 0;
  virtual bool SetFileAttributes(const std::string& path, uint32_t attributes) = 0;
  virtual RtError RenameNoReplace(const std::string& directory, const std::string& old_name,
                                  const std::string& new_name, DirectoryHandle* handle) = 0;
  virtual RtError CheckDeletable(const std::string& path) = 0;
  virtual RtError RenameReplacing(const std::string& directory, const std::string& old_name,
                                  const std::string& new_name) = 0;
  // What is at `path` (lstat): in a plan, the entry the planned changes put there.
  virtual EntryState Entry(const std::string& path) = 0;
  // As RenameNoReplace, for a new name kept byte for byte (trailing dots too).
  virtual RtError RenameExactNoReplace(const std::string& directory, const std::string& old_name,
                                       const std::string& new_name) = 0;
  // Where the file at directory + name is on the disk now: that path itself
  // (which the read that follows may not find); in a plan, the file the
  // planned changes put there, empty when they left none.
  virtual std::string DiskPathOf(const std::string& directory, const std::string& name) = 0;
};

// The disk itself.
class DiskChanges final : public FileChanges {
 public:
  bool planned() const override { return false; }
  uint32_t GetFileAttributes(const std::string& path) override {
    return qtarvox::GetFileAttributes(path);
  }
  bool SetFileAttributes(const std::string& path, uint32_t attributes) override {
    return qtarvox::SetFileAttributes(path, attributes);
  }
  RtError RenameNoReplace(const std::string& directory, const std::string& old_name,
                          const std::string& new_name, DirectoryHandle* handle) override {
    return qtarvox::RenameNoReplace(directory, old_name, new_name, handle);
  }
  RtError CheckDeletable(const std::string& path) override {
    return qtarvox::CheckDeletable(path);
  }
  RtError RenameReplacing(const std::string& directory, const std::string& old_name,
                          const std::string& new_name) override {
    return qtarvox::RenameReplacing(directory, old_name, new_name);
  }
  EntryState Entry(const std::string& path) override { return ReadEntryState(path); }
  RtError RenameExactNoReplace(const std::string& directory, const std::string& old_name,
                               const std::string& new_name) override {
    return qtarvox::RenameExactNoReplace(directory, old_name, new_name);
  }
  std::string DiskPathOf(const std::string& directory, const std::string& name) override {
    return directory + name;
  }
};

}  // namespace qtarvox
