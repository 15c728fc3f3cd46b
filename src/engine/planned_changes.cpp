#include "engine/planned_changes.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/attributes.h"
#include "platform/paths.h"

namespace qtarvox {
namespace {

// Splits a path after its last "/" (the directory keeps it).
void SplitPath(const std::string& path, std::string& directory, std::string& name) {
  directory = FolderWithSlash(path);
  name = NameOfPath(path);
}

}  // namespace

PlannedChanges::PlannedChanges(NameIndex& names, bool settle_moved_entries)
    : names_(names), settle_moved_(settle_moved_entries) {
  absent_.stat_read = absent_.stored_read = true;
  absent_.entry.error = ENOENT;
}

PlannedChanges::~PlannedChanges() = default;

PlannedChanges::Folder& PlannedChanges::FolderOf(const std::string& directory) {
  if (last_folder_ != nullptr && *last_directory_ == directory) return *last_folder_;
  auto found = folders_.find(directory);
  if (found == folders_.end()) {
    auto folder = std::make_unique<Folder>();
    folder->facts = ReadDirectoryFacts(directory);
    found = folders_.emplace(directory, std::move(folder)).first;
  }
  last_directory_ = &found->first;
  last_folder_ = found->second.get();
  return *last_folder_;
}

PlannedChanges::File& PlannedChanges::At(const std::string& directory, const std::string& name) {
  Folder& folder = FolderOf(directory);
  // A plan that only renames keeps no file of its own: no name to hash.
  if (!folder.files.empty()) {
    const auto found = folder.files.find(name);
    if (found != folder.files.end()) return found->second;
  }
  File file;
  // The index lists a directory once and follows the planned renames; a
  // directory this user cannot list is asked about each name instead.
  if (folder.facts.listable) {
    // Most names asked about are free; they need no entry of their own.
    const std::string_view listed = names_.ListedName(directory, name);
    if (listed.empty()) return absent_;
    file.exists = true;
    file.origin.reserve(directory.size() + listed.size());
    file.origin.append(directory).append(listed);
  } else {
    file.origin = directory + name;
    file.entry = ReadEntryState(file.origin);
    file.stat_read = true;
    file.exists = file.entry.exists();
  }
  return folder.files.emplace(name, std::move(file)).first->second;
}

PlannedChanges::File& PlannedChanges::At(const std::string& path) {
  std::string directory, name;
  SplitPath(path, directory, name);
  return At(directory, name);
}

const EntryState& PlannedChanges::Entry(File& file) {
  if (!file.stat_read) {
    file.stat_read = true;
    file.entry = ReadEntryState(file.origin);
  }
  return file.entry;
}

void PlannedChanges::ReadStored(File& file) {
  if (file.stored_read) return;
  file.stored_read = true;
  const EntryState& entry = Entry(file);
  if (S_ISREG(entry.mode) || S_ISDIR(entry.mode)) file.stored = ReadStoredAttributes(file.origin);
}

void PlannedChanges::Move(const std::string& directory, const std::string& old_name,
                          const std::string& new_name) {
  Folder& folder = FolderOf(directory);
  if (folder.facts.listable) {
    if (settle_moved_) (void)names_.Holds(directory, old_name, true);
  } else {
    At(directory, old_name);  // the moving file has an entry of its own
  }
  auto moved = folder.files.empty() ? decltype(folder.files)::node_type()
                                     : folder.files.extract(old_name);
  if (!folder.files.empty()) folder.files.erase(new_name);
  // In a listed directory the index follows the renames and knows where
  // each file is on the disk: an entry of the plan's own is kept only for
  // what the plan read or changed of the file. So a plan of many renames
  // holds little more than the index.
  if (!moved.empty() && (!folder.facts.listable || moved.mapped().stat_read ||
                         moved.mapped().stored_read)) {
    moved.key() = new_name;
    folder.files.insert(std::move(moved));
  }
  // In a listed directory the index knows the old name is free.
  if (!folder.facts.listable) folder.files.emplace(old_name, absent_);
}

uint32_t PlannedChanges::GetFileAttributes(const std::string& path) {
  std::string directory, name;
  SplitPath(path, directory, name);
  File& file = At(directory, name);
  if (!file.exists || !Entry(file).exists()) return kAttrInvalid;
  ReadStored(file);
  return ComposeAttributes(file.entry.mode, name, file.stored);
}

bool PlannedChanges::SetFileAttributes(const std::string& path, uint32_t attributes) {
  std::string directory, name;
  SplitPath(path, directory, name);
  File& file = At(directory, name);
  if (!file.exists || !Entry(file).exists()) return false;
  ReadStored(file);
  AttributeState state{file.entry.mode, file.entry.owner, file.stored};
  if (!PlanSetFileAttributes(state, attributes, file.origin, FolderOf(directory).facts.read_only,
                             KeepsUserXattrs(file.origin))) {
    return false;
  }
  file.entry.mode = state.mode;
  file.stored = state.stored;
  return true;
}

RtError PlannedChanges::RenameNoReplace(const std::string& directory, const std::string& old_name,
                                        const std::string& new_name, DirectoryHandle*) {
  std::string scratch;
  return RenameCommitted(directory, old_name, CommittedName(new_name, scratch));
}

RtError PlannedChanges::RenameExactNoReplace(const std::string& directory,
                                             const std::string& old_name,
                                             const std::string& new_name) {
  return RenameCommitted(directory, old_name, new_name);
}

std::string PlannedChanges::DiskPathOf(const std::string& directory, const std::string& name) {
  const File& file = At(directory, name);
  return file.exists ? file.origin : std::string();
}

RtError PlannedChanges::RenameCommitted(const std::string& directory, const std::string& old_name,
                                        const std::string& committed) {
  if (RtError error = CheckRenameNames(old_name, committed)) return error;
  // The kernel's order: a read-only file system, the file itself, the taken
  // name, the name's length, then the permission.
  const DirectoryFacts& facts = FolderOf(directory).facts;
  if (facts.read_only) return ErrorFromErrno(EROFS);
  File& from = At(directory, old_name);
  if (!from.exists) return ErrorFromErrno(from.entry.error);
  // Nothing moves; the file is there.
  if (committed == old_name) return {};
  File& target = At(directory, committed);
  if (target.exists) {
    // A name that differs only in case and finds the file itself (a file
    // system that ignores case) is not taken.
    const bool itself =
        IsCaseOnlyChange(old_name, committed) && Entry(from).SameEntry(Entry(target));
    if (!itself) return ErrorFromErrno(EEXIST);
  }
  if (committed.size() > facts.name_max) return ErrorFromErrno(ENAMETOOLONG);
  // The file's owner matters only in a sticky directory: read it only there.
  if (const int refusal = ChangeRefusal(facts, facts.sticky ? Entry(from) : from.entry)) {
    return ErrorFromErrno(refusal);
  }
  Move(directory, old_name, committed);
  return {};
}

EntryState PlannedChanges::Entry(const std::string& path) {
  File& file = At(path);
  if (!file.exists) return absent_.entry;
  return Entry(file);
}

RtError PlannedChanges::CheckDeletable(const std::string& path) {
  File& file = At(path);
  if (!file.exists) return ErrorFromErrno(file.entry.error);
  return DeletableState(Entry(file));
}

RtError PlannedChanges::RenameReplacing(const std::string& directory, const std::string& old_name,
                                        const std::string& new_name) {
  const std::string committed = CommittedName(new_name);
  if (RtError error = CheckRenameNames(old_name, committed)) return error;
  File& from = At(directory, old_name);
  File& target = At(directory, committed);
  if (IsCaseOnlyChange(old_name, committed) && from.exists && target.exists &&
      Entry(from).SameEntry(Entry(target))) {
    return RenameNoReplace(directory, old_name, new_name, nullptr);
  }
  if (RtError error = CheckDeletable(directory + committed)) return error;
  const DirectoryFacts& facts = FolderOf(directory).facts;
  if (facts.read_only) return ErrorFromErrno(EROFS);
  if (!from.exists) return ErrorFromErrno(from.entry.error);
  if (committed == old_name) return {};
  if (const int refusal = ChangeRefusal(facts, Entry(from))) return ErrorFromErrno(refusal);
  if (const int refusal = ChangeRefusal(facts, Entry(target))) return ErrorFromErrno(refusal);
  Move(directory, old_name, committed);
  return {};
}

}  // namespace qtarvox
