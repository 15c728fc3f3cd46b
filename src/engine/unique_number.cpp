#include "engine/unique_number.h"

#include <algorithm>

#include "platform/attributes.h"
#include "platform/dir_search.h"

namespace qtarvox {
namespace {

constexpr int kMaxNumber = 32767;

std::string BaseOf(const std::string& new_filename) {
  const size_t dot = new_filename.rfind('.');
  return dot == std::string::npos ? new_filename : new_filename.substr(0, dot);
}

// Smallest positive number whose count is zero, from 1 upwards.
int SmallestFree(const std::vector<uint32_t>& counts) {
  for (int n = 1; n <= kMaxNumber; ++n) {
    if (counts[static_cast<size_t>(n)] == 0) return n;
  }
  return kMaxNumber + 1;
}

CharText UpperKey(std::string_view name) {
  CharText key = Decode(name);
  ToUpperInPlace(key);
  return key;
}

bool StartsWith(const CharText& text, const CharText& prefix) {
  return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

}  // namespace

int TrailingNumber(std::string_view filename) {
  const size_t dot = filename.find('.');
  std::string_view text = dot == std::string_view::npos ? filename : filename.substr(0, dot);
  std::string digits;
  while (!text.empty() && ((text.back() >= '0' && text.back() <= '9') || text.back() == ' ')) {
    if (text.back() != ' ') digits.insert(digits.begin(), text.back());
    text.remove_suffix(1);
  }
  if (digits.empty()) return -1;
  const size_t first = digits.find_first_not_of('0');
  if (first == std::string::npos) return 0;
  if (digits.size() - first > 5) return -1;
  const int value = std::stoi(digits.substr(first));
  return value > kMaxNumber ? -1 : value;
}

std::string InsertNumber(const std::string& new_filename, const std::string& separator,
                         int number) {
  const size_t dot = new_filename.find('.');
  if (dot == std::string::npos) return new_filename + std::to_string(number);
  return new_filename.substr(0, dot) + separator + std::to_string(number) +
         new_filename.substr(dot);
}

int UniqueNumber(const std::string& directory, const std::string& new_filename,
                 const std::string& old_extension) {
  std::vector<std::string> names;
  SearchDirectory(directory, BaseOf(new_filename) + "*" + old_extension, SearchFilter::kFiles,
                  names);
  std::vector<uint32_t> counts(kMaxNumber + 1, 0);
  for (const auto& name : names) {
    const int n = TrailingNumber(name);
    if (n >= 0) ++counts[static_cast<size_t>(n)];
  }
  return SmallestFree(counts);
}

// ---------------------------------------------------------------------------

struct NameIndex::Directory {
  struct Entry {
    std::string name;
    uint32_t attributes;
    bool complete = true;  // false: the stored bits are not read yet
  };
  // Used numbers of the files that match one search pattern.
  struct Pattern {
    std::string pattern;
    std::unordered_map<std::string, int> members;  // name -> its number (-1 none)
    std::vector<uint32_t> counts = std::vector<uint32_t>(kMaxNumber + 1, 0);
    int first_free = 1;

    void Add(const std::string& name) {
      const int n = TrailingNumber(name);
      members[name] = n;
      if (n < 0) return;
      ++counts[static_cast<size_t>(n)];
      if (n == first_free) {
        while (first_free <= kMaxNumber && counts[static_cast<size_t>(first_free)] != 0) {
          ++first_free;
        }
      }
    }
    void Remove(const std::string& name) {
      const auto it = members.find(name);
      if (it == members.end()) return;
      const int n = it->second;
      members.erase(it);
      if (n < 0) return;
      if (--counts[static_cast<size_t>(n)] == 0 && n >= 1 && n < first_free) first_free = n;
    }
  };

  bool loaded = false;
  std::string path_prefix;
  std::multimap<CharText, Entry> by_key;  // upper-cased name -> entry
  std::unordered_map<std::string, std::unique_ptr<Pattern>> patterns;

  void Load(const std::string& directory) {
    loaded = true;
    std::vector<DirEntry> entries;
    // The stored bits are read only for the entries a search looks at.
    ReadDirectoryTypes(directory, entries);
    for (auto& e : entries) {
      CharText key = UpperKey(e.name);
      by_key.emplace(std::move(key), Entry{std::move(e.name), e.attributes, e.complete});
    }
    path_prefix = directory;
  }

  // The attributes of an entry, reading its stored bits when first needed.
  uint32_t AttributesOf(Entry& entry) {
    if (!entry.complete) {
      // Regular files and directories only can hold stored bits.
      if ((entry.attributes & kAttrSystem) == 0) {
        entry.attributes = GetFileAttributes(path_prefix + entry.name);
      }
      entry.complete = true;
    }
    return entry.attributes;
  }

  // Entries a search for `pattern` with `filter` returns.
  template <typename Fn>
  void ForEachMatch(std::string_view pattern, SearchFilter filter, Fn&& fn) {
    // A literal prefix narrows the scan to one range of the ordered index.
    // Cut before the first dot too: "name.*" and "name." also match "name".
    const size_t wild = pattern.find_first_of("*?.");
    const CharText prefix =
        UpperKey(pattern.substr(0, wild == std::string_view::npos ? pattern.size() : wild));
    for (auto it = by_key.lower_bound(prefix); it != by_key.end() && StartsWith(it->first, prefix);
         ++it) {
      if (WildcardMatch(pattern, it->second.name) &&
          PassesFilter(AttributesOf(it->second), filter)) {
        fn(it->second.name);
      }
    }
  }

  const Entry* Find(const std::string& name) const {
    auto range = by_key.equal_range(UpperKey(name));
    for (auto it = range.first; it != range.second; ++it) {
      if (it->second.name == name) return &it->second;
    }
    return nullptr;
  }

  // Removes the entry of exactly this name into `out`; false when there was none.
  bool Take(const std::string& name, Entry& out) {
    auto range = by_key.equal_range(UpperKey(name));
    for (auto it = range.first; it != range.second; ++it) {
      if (it->second.name == name) {
        out = std::move(it->second);
        by_key.erase(it);
        return true;
      }
    }
    return false;
  }
};

NameIndex::NameIndex() = default;
NameIndex::~NameIndex() = default;

NameIndex::Directory& NameIndex::DirectoryOf(const std::string& directory) {
  auto& slot = directories_[directory];
  if (!slot) slot = std::make_unique<Directory>();
  if (!slot->loaded) slot->Load(directory);
  return *slot;
}

int NameIndex::UniqueNumber(const std::string& directory, const std::string& new_filename,
                            const std::string& old_extension) {
  Directory& dir = DirectoryOf(directory);
  const std::string pattern = BaseOf(new_filename) + "*" + old_extension;
  auto& slot = dir.patterns[pattern];
  if (!slot) {
    // Many distinct patterns in one directory would make every rename pay
    // for keeping them all current; start afresh instead.
    if (dir.patterns.size() > 64) {
      dir.patterns.clear();
      return UniqueNumber(directory, new_filename, old_extension);
    }
    slot = std::make_unique<Directory::Pattern>();
    slot->pattern = pattern;
    dir.ForEachMatch(pattern, SearchFilter::kFiles,
                     [&](const std::string& name) { slot->Add(name); });
  }
  return slot->first_free;
}

bool NameIndex::NormalFileExists(const std::string& directory, const std::string& name) {
  Directory& dir = DirectoryOf(directory);
  bool found = false;
  if (!HasWildcard(name)) {
    // A name ending in dots matches only names without a dot.
    std::string_view literal = name;
    while (!literal.empty() && literal.back() == '.') literal.remove_suffix(1);
    if (literal.size() != name.size() && literal.find('.') != std::string_view::npos) {
      return false;
    }
    auto range = dir.by_key.equal_range(UpperKey(literal));
    for (auto it = range.first; it != range.second && !found; ++it) {
      found = PassesFilter(dir.AttributesOf(it->second), SearchFilter::kNormalFiles);
    }
    return found;
  }
  dir.ForEachMatch(name, SearchFilter::kNormalFiles, [&](const std::string&) { found = true; });
  return found;
}

bool NameIndex::KnownTaken(const std::string& directory, const std::string& name) const {
  const auto it = directories_.find(directory);
  return it != directories_.end() && it->second->loaded && it->second->Find(name) != nullptr;
}

bool NameIndex::Holds(const std::string& directory, const std::string& name,
                      bool read_attributes) {
  Directory& dir = DirectoryOf(directory);
  const auto range = dir.by_key.equal_range(UpperKey(name));
  for (auto it = range.first; it != range.second; ++it) {
    if (it->second.name != name) continue;
    if (read_attributes) dir.AttributesOf(it->second);
    return true;
  }
  return false;
}

void NameIndex::Renamed(const std::string& directory, const std::string& old_name,
                        const std::string& new_name) {
  const auto it = directories_.find(directory);
  if (it == directories_.end() || !it->second->loaded) return;
  Directory& dir = *it->second;
  Directory::Entry entry;
  Directory::Entry replaced;
  const bool known = dir.Take(old_name, entry);
  dir.Take(new_name, replaced);
  if (!known) {
    entry = {new_name, GetFileAttributes(directory + new_name), true};
    if (entry.attributes == kAttrInvalid) return;
  }
  // A rename keeps the file and its attributes; only a leading dot (hidden)
  // depends on the name.
  const bool old_dot = !old_name.empty() && old_name[0] == '.';
  const bool new_dot = !new_name.empty() && new_name[0] == '.';
  if (new_dot) {
    entry.attributes |= kAttrHidden;
  } else if (old_dot) {
    entry.attributes &= ~kAttrHidden;
    entry.complete = false;  // a stored hidden bit is read again when needed
  }
  entry.name = new_name;
  // Files the run renames came from a file search, so their type decides
  // whether they take part; stored bits are not read again for that.
  const uint32_t attributes = entry.attributes;
  dir.by_key.emplace(UpperKey(new_name), std::move(entry));
  for (auto& [pattern, slot] : dir.patterns) {
    slot->Remove(old_name);
    slot->Remove(new_name);
    if (PassesFilter(attributes, SearchFilter::kFiles) && WildcardMatch(pattern, new_name)) {
      slot->Add(new_name);
    }
  }
}

}  // namespace qtarvox
