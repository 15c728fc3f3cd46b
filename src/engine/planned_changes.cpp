#include "engine/planned_changes.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/attributes.h"

namespace qtarvox {
namespace {

// The directory part of a path, with its "/" ("" for a bare name).
std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string_view NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string_view(path)
                                    : std::string_view(path).substr(slash + 1);
}

}  // namespace

PlannedChanges::File& PlannedChanges::At(const std::string& path) {
  const auto found = files_.find(path);
  if (found != files_.end()) return found->second;
  File file;
  file.entry = ReadEntryState(path);
  file.origin = path;
  return files_.emplace(path, std::move(file)).first->second;
}

void PlannedChanges::ReadStored(File& file) {
  if (file.stored_read) return;
  file.stored_read = true;
  if (S_ISREG(file.entry.mode) || S_ISDIR(file.entry.mode)) {
    file.stored = ReadStoredAttributes(file.origin);
  }
}

const DirectoryFacts& PlannedChanges::FactsOf(const std::string& directory) {
  const auto found = directories_.find(directory);
  if (found != directories_.end()) return found->second;
  return directories_.emplace(directory, ReadDirectoryFacts(directory)).first->second;
}

void PlannedChanges::Move(const std::string& directory, const std::string& old_name,
                          const std::string& to) {
  // The index must hold the directory as it is before the first planned
  // move in it, and the moving entry's attributes as read at its real place.
  if (names_ != nullptr) names_->LoadEntry(directory, old_name);
  const std::string from = directory + old_name;
  File moved = At(from);
  File gone;
  gone.entry.error = ENOENT;
  gone.origin = from;
  gone.stored_read = true;
  files_[from] = std::move(gone);
  files_[to] = std::move(moved);
}

uint32_t PlannedChanges::GetFileAttributes(const std::string& path) {
  File& file = At(path);
  if (!file.entry.exists()) return kAttrInvalid;
  ReadStored(file);
  return ComposeAttributes(file.entry.mode, NameOf(path), file.stored);
}

bool PlannedChanges::SetFileAttributes(const std::string& path, uint32_t attributes) {
  File& file = At(path);
  if (!file.entry.exists()) return false;
  ReadStored(file);
  const DirectoryFacts& facts = FactsOf(DirectoryOf(path));
  AttributeState state{file.entry.mode, file.entry.owner, file.stored};
  const bool user_xattrs = KeepsUserXattrs(file.origin);
  if (!PlanSetFileAttributes(state, attributes, file.origin, facts.read_only, user_xattrs)) {
    return false;
  }
  file.entry.mode = state.mode;
  file.stored = state.stored;
  return true;
}

RtError PlannedChanges::RenameNoReplace(const std::string& directory, const std::string& old_name,
                                        const std::string& new_name, DirectoryHandle*) {
  const std::string committed = CommittedName(new_name);
  if (RtError error = CheckRenameNames(old_name, committed)) return error;
  // The kernel's order: a read-only file system, the file itself, the taken
  // name, the name's length, then the permission.
  const DirectoryFacts& facts = FactsOf(directory);
  if (facts.read_only) return ErrorFromErrno(EROFS);
  File& from = At(directory + old_name);
  if (!from.entry.exists()) return ErrorFromErrno(from.entry.error);
  // Nothing moves; the file is there.
  if (committed == old_name) return {};
  const std::string to = directory + committed;
  const File& target = At(to);
  // A name that differs only in case and finds the file itself (a file
  // system that ignores case) is not taken.
  if (target.entry.exists() &&
      !(IsCaseOnlyChange(old_name, committed) && from.entry.SameEntry(target.entry))) {
    return ErrorFromErrno(EEXIST);
  }
  if (committed.size() > facts.name_max) return ErrorFromErrno(ENAMETOOLONG);
  if (const int refusal = ChangeRefusal(facts, from.entry)) return ErrorFromErrno(refusal);
  Move(directory, old_name, to);
  return {};
}

RtError PlannedChanges::CheckDeletable(const std::string& path) {
  return DeletableState(At(path).entry);
}

RtError PlannedChanges::RenameReplacing(const std::string& directory, const std::string& old_name,
                                        const std::string& new_name) {
  const std::string committed = CommittedName(new_name);
  if (RtError error = CheckRenameNames(old_name, committed)) return error;
  const std::string to = directory + committed;
  const EntryState from = At(directory + old_name).entry;
  const EntryState target = At(to).entry;
  if (IsCaseOnlyChange(old_name, committed) && from.SameEntry(target)) {
    return RenameNoReplace(directory, old_name, new_name, nullptr);
  }
  if (RtError error = DeletableState(target)) return error;
  const DirectoryFacts& facts = FactsOf(directory);
  if (facts.read_only) return ErrorFromErrno(EROFS);
  if (!from.exists()) return ErrorFromErrno(from.error);
  if (committed == old_name) return {};
  if (const int refusal = ChangeRefusal(facts, from)) return ErrorFromErrno(refusal);
  if (const int refusal = ChangeRefusal(facts, target)) return ErrorFromErrno(refusal);
  Move(directory, old_name, to);
  return {};
}

}  // namespace qtarvox
