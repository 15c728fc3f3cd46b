// A plan of the commits: the answers the disk would give to every change a
// run makes, worked out from the disk as it is now and the changes planned
// before, without changing anything.
#pragma once

#include <string>
#include <unordered_map>

#include "engine/file_changes.h"
#include "engine/unique_number.h"
#include "platform/attributes.h"
#include "platform/file_ops.h"

namespace qtarvox {

class PlannedChanges final : public FileChanges {
 public:
  // `names`: the run's index, when the run asks it for unique numbers; it is
  // then read ahead of the first planned move in each directory and follows
  // the planned moves, as it would follow the real ones. May be null.
  explicit PlannedChanges(NameIndex* names = nullptr) : names_(names) {}

  bool planned() const override { return true; }
  uint32_t GetFileAttributes(const std::string& path) override;
  bool SetFileAttributes(const std::string& path, uint32_t attributes) override;
  RtError RenameNoReplace(const std::string& directory, const std::string& old_name,
                          const std::string& new_name, DirectoryHandle* handle) override;
  RtError CheckDeletable(const std::string& path) override;
  RtError RenameReplacing(const std::string& directory, const std::string& old_name,
                          const std::string& new_name) override;

 private:
  // What is at one path in the plan.
  struct File {
    EntryState entry;    // as lstat gave it, with planned permission bits
    std::string origin;  // where this file is on disk now
    bool stored_read = false;
    uint32_t stored = 0;  // stored attribute bits (once read)
  };

  // The file at `path` in the plan; read from the disk the first time.
  File& At(const std::string& path);
  void ReadStored(File& file);
  const DirectoryFacts& FactsOf(const std::string& directory);
  // The file at `from` moves to `to`, replacing whatever was there.
  void Move(const std::string& directory, const std::string& old_name, const std::string& to);

  NameIndex* names_;
  std::unordered_map<std::string, File> files_;
  std::unordered_map<std::string, DirectoryFacts> directories_;
};

}  // namespace qtarvox
