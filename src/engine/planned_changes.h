// A plan of the commits: the answers the disk would give to every change a
// run makes, worked out from the disk as it is now and the changes planned
// before, without changing anything. An undo's preview plans its renames
// here too.
#pragma once

#include <memory>
#include <string>
#include <unordered_map>

#include "engine/file_changes.h"
#include "engine/unique_number.h"
#include "platform/attributes.h"
#include "platform/file_ops.h"

namespace qtarvox {

class PlannedChanges final : public FileChanges {
 public:
  // `names` is the run's index, which the commit keeps up to date with the
  // renames it makes (here: the planned ones). It tells which names a
  // directory holds, read once before the first planned change in it. With
  // `settle_moved_entries` (a run that asks the index for unique numbers)
  // each entry's attributes are read before it moves, as the index would
  // otherwise read them at a place the entry has only in the plan.
  PlannedChanges(NameIndex& names, bool settle_moved_entries);
  ~PlannedChanges() override;

  bool planned() const override { return true; }
  uint32_t GetFileAttributes(const std::string& path) override;
  bool SetFileAttributes(const std::string& path, uint32_t attributes) override;
  RtError RenameNoReplace(const std::string& directory, const std::string& old_name,
                          const std::string& new_name, DirectoryHandle* handle) override;
  RtError CheckDeletable(const std::string& path) override;
  RtError RenameReplacing(const std::string& directory, const std::string& old_name,
                          const std::string& new_name) override;
  EntryState Entry(const std::string& path) override;

  RtError RenameExactNoReplace(const std::string& directory, const std::string& old_name,
                               const std::string& new_name) override;
  std::string DiskPathOf(const std::string& directory, const std::string& name) override;

 private:
  // What is at one path in the plan.
  struct File {
    bool exists = false;
    std::string origin;      // where this file is on disk now
    bool stat_read = false;  // `entry` holds what lstat says of `origin`
    EntryState entry;        // with planned permission bits
    bool stored_read = false;
    uint32_t stored = 0;  // stored attribute bits (once read)
  };
  // One directory: what it allows, and the names looked at or changed.
  struct Folder {
    DirectoryFacts facts;
    std::unordered_map<std::string, File> files;
  };

  Folder& FolderOf(const std::string& directory);
  // The file at directory + name in the plan; absent_ for a free name that
  // no planned change touched (never to be changed).
  File& At(const std::string& directory, const std::string& name);
  File& At(const std::string& path);
  // The file's type, permission bits and owner, read when first needed.
  const EntryState& Entry(File& file);
  void ReadStored(File& file);
  // RenameNoReplace to the name as it is committed.
  RtError RenameCommitted(const std::string& directory, const std::string& old_name,
                          const std::string& committed);
  // The file at directory + old_name moves to directory + new_name,
  // replacing whatever was there.
  void Move(const std::string& directory, const std::string& old_name,
            const std::string& new_name);

  NameIndex& names_;
  bool settle_moved_;
  File absent_;
  std::unordered_map<std::string, std::unique_ptr<Folder>> folders_;
  // The folder asked for last: a run takes a directory's files one after another.
  const std::string* last_directory_ = nullptr;
  Folder* last_folder_ = nullptr;
};

}  // namespace qtarvox
