#include "platform/dir_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>

#include "platform/attributes.h"
#include "platform/chars.h"
#include "platform/directory_listing.h"
#include "platform/paths.h"
#include "platform/wildcard_pattern.h"

namespace qtarvox {

bool PassesFilter(uint32_t attributes, SearchFilter filter) {
  if (attributes == kAttrInvalid || (attributes & kAttrSystem) != 0) return false;
  const bool directory = (attributes & kAttrDirectory) != 0;
  const bool hidden = (attributes & kAttrHidden) != 0;
  switch (filter) {
    case SearchFilter::kFiles:
      return !directory;
    case SearchFilter::kNormalFiles:
      return !directory && !hidden;
    case SearchFilter::kDirectories:
      return directory || !hidden;
  }
  return false;
}

RtError SearchDirectory(const std::string& directory, std::string_view pattern, SearchFilter filter,
                        std::vector<std::string>& names) {
  names.clear();
  Listing listing;
  const WildcardPattern matcher(pattern);
  // The name is matched first: the attributes cost system calls, and most
  // entries of a large folder usually fail the pattern.
  if (RtError error = listing.ReadSorted(
          directory, [&](const Candidate& c) { return matcher.Matches(c.name); })) {
    return error;
  }
  for (const Candidate* c : listing.wanted) {
    if (PassesFilter(c->attributes, filter)) names.emplace_back(c->name);
  }
  return {};
}

RtError CheckListable(const std::string& directory) {
  DIR* dir = opendir(directory.empty() ? "." : directory.c_str());
  if (dir == nullptr) return ErrorFromErrno(errno);
  closedir(dir);
  return {};
}

namespace {

// The subdirectories a walk enters, and how many it leaves out.
void CollectSubdirectories(const Listing& listing, WalkListing& out) {
  for (const Candidate* c : listing.wanted) {
    if (!Listing::MaybeDirectory(*c)) continue;
    if (c->attributes == kAttrDirectory) {
      out.subdirectories.emplace_back(c->name);
    } else if ((c->attributes & kAttrDirectory) != 0 && (c->attributes & kAttrSystem) == 0) {
      ++out.subdirectories_not_entered;
    }
  }
}

// What the listing tells of an entry whose type it gives: the type and a
// leading dot, with the owner's write bit assumed.
uint32_t TypeAttributes(const Candidate& c) {
  return ComposeAttributes(DTTOIF(c.type) | S_IWUSR, c.name, 0);
}

void ListAll(const Listing& listing, WalkListing& out) {
  out.all.clear();
  bool typed = true;
  listing.entries.ForEach([&](const Candidate& c) { typed = typed && c.type != DT_UNKNOWN; });
  out.all_listed = typed;
  if (!typed) return;
  // In the order the walk's files are asked about after it.
  for (const Candidate* c : listing.wanted) out.all.push_back({c->name, TypeAttributes(*c)});
  listing.entries.ForEach([&](const Candidate& c) {
    if (!c.wanted) out.all.push_back({c.name, TypeAttributes(c)});
  });
}

}  // namespace

RtError ListForWalk(const std::string& directory, const std::vector<std::string>& patterns,
                    bool with_subdirectories, WalkListing& out, bool share_reads,
                    bool files_stored_later, bool with_all) {
  out.files.assign(patterns.size(), {});
  out.subdirectories.clear();
  out.subdirectories_not_entered = 0;
  std::vector<WildcardPattern> matchers;
  matchers.reserve(patterns.size());
  for (const auto& pattern : patterns) matchers.emplace_back(pattern);
  // Every attribute the searches need is read in one batch; each name is
  // matched once (the first 64 patterns remember it).
  constexpr size_t kRemembered = 64;
  const auto matches = [&](const Candidate& c, size_t i) {
    return i < kRemembered ? (c.matches >> i & 1u) != 0 : matchers[i].Matches(c.name);
  };
  Listing listing;
  if (RtError error = listing.ReadSorted(
          directory,
          [&](Candidate& c) {
            bool any = false;
            for (size_t i = 0; i < matchers.size(); ++i) {
              if (i >= kRemembered) {
                any = any || matchers[i].Matches(c.name);
                continue;
              }
              if (matchers[i].Matches(c.name)) {
                c.matches |= uint64_t{1} << i;
                any = true;
              }
            }
            return any || (with_subdirectories && Listing::MaybeDirectory(c));
          },
          share_reads, files_stored_later)) {
    return error;
  }
  for (size_t i = 0; i < matchers.size(); ++i) {
    out.files[i].reserve(listing.wanted.size());
    for (const Candidate* c : listing.wanted) {
      if (PassesFilter(c->attributes, SearchFilter::kFiles) && matches(*c, i)) {
        out.files[i].push_back(c->name);
      }
    }
  }
  if (with_all) ListAll(listing, out);
  out.text = listing.pool.TakeBlocks();
  struct stat st;
  if (fstat(dirfd(listing.dir.get()), &st) == 0) {
    out.device = static_cast<uint64_t>(st.st_dev);
    out.inode = static_cast<uint64_t>(st.st_ino);
  }
  if (with_subdirectories) CollectSubdirectories(listing, out);
  return {};
}

RtError SearchPath(const std::string& path_with_pattern, SearchFilter filter,
                   std::vector<std::string>& names) {
  return SearchDirectory(std::string(FolderWithSlash(path_with_pattern)),
                         NameOfPath(path_with_pattern), filter, names);
}

RtError ReadDirectory(const std::string& directory, std::vector<DirEntry>& entries,
                      bool with_read_only) {
  entries.clear();
  Listing listing;
  if (RtError error = listing.ReadAll(directory)) return error;
  const int fd = dirfd(listing.dir.get());
  listing.entries.ForEach([&](const Candidate& c) {
    const uint32_t attributes =
        EntryAttributes(fd, listing.prefix, c.name.data(), c.type, with_read_only);
    if (attributes != kAttrInvalid) entries.push_back({std::string(c.name), attributes});
  });
  return {};
}

RtError ReadDirectoryTypes(const std::string& directory, std::vector<DirEntry>& entries) {
  entries.clear();
  Listing listing;
  if (RtError error = listing.ReadAll(directory)) return error;
  const int fd = dirfd(listing.dir.get());
  listing.entries.ForEach([&](const Candidate& c) {
    if (c.type == DT_UNKNOWN) {
      const uint32_t attributes = EntryAttributes(fd, listing.prefix, c.name.data(), c.type, true);
      if (attributes != kAttrInvalid) entries.push_back({std::string(c.name), attributes, true});
      return;
    }
    entries.push_back({std::string(c.name), TypeAttributes(c), false});
  });
  return {};
}

RtError ListSubdirectories(const std::string& directory, std::vector<std::string>& names) {
  names.clear();
  std::vector<DirEntry> entries;
  if (RtError error = ReadDirectoryTypes(directory, entries)) return error;
  for (DirEntry& entry : entries) {
    if ((entry.attributes & kAttrDirectory) != 0 && (entry.attributes & kAttrSystem) == 0) {
      names.push_back(std::move(entry.name));
    }
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return CompareNames(a, b) < 0; });
  return {};
}

}  // namespace qtarvox
