// The run-wide index of NameIndex (unique_number.h).
#include <algorithm>
#include <bit>
#include <deque>
#include <map>

#include "engine/name_table.h"
#include "engine/unique_number.h"
#include "engine/used_numbers.h"
#include "platform/attributes.h"
#include "platform/dir_search.h"
#include "platform/wildcard_pattern.h"

namespace qtarvox {
namespace {

// The index key of a name: its upper-cased bytes. Upper-casing keeps every
// character whole and Encode(Decode(x)) == x, so equal keys mean names equal
// but for case, and every name that starts with a text (but for case) has a
// key that starts with that text's key, which is all the ordered scans need.
std::string UpperKey(std::string_view name) {
  std::string key(name);
  for (char& c : key) {
    if (static_cast<unsigned char>(c) >= 0x80) return ToUpperBytes(name);
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return key;
}

}  // namespace

struct NameIndex::Directory {
  // Search patterns whose used numbers are kept, at most one per bit of an
  // entry's membership mask.
  static constexpr size_t kMaxPatterns = 64;

  struct Entry;
  using ByKey = std::multimap<std::string, Entry*>;
  struct Entry {
    std::string_view name;       // in `store`; empty: a free place
    std::string_view listed_as;  // the name the listing found it under
    ByKey::iterator key_at{};    // its place in `by_key`, once that is made
    uint32_t attributes = 0;
    bool complete = true;  // false: the stored bits are not read yet
    // The patterns (bits by slot) this entry takes part in, valid while
    // `generation` is the directory's: a reset of the patterns needs no walk.
    uint32_t generation = 0;
    uint64_t patterns = 0;
  };
  // Used numbers of the files that match one search pattern.
  struct Pattern {
    std::string pattern;
    WildcardPattern matcher;  // the pattern, prepared once for every rename
    UsedNumbers numbers;
  };

  bool loaded = false;
  uint32_t generation = 1;
  std::vector<Pattern> slots;
  std::unordered_map<std::string, size_t> slot_of;  // pattern -> its slot

  uint64_t PatternsOf(const Entry& entry) const {
    return entry.generation == generation ? entry.patterns : 0;
  }
  void Join(Entry& entry, size_t slot) {
    if (entry.generation != generation) {
      entry.generation = generation;
      entry.patterns = 0;
    }
    entry.patterns |= uint64_t{1} << slot;
    slots[slot].numbers.Add(TrailingNumber(entry.name));
  }
  // Takes a leaving entry's number out of every pattern it was part of.
  void Leave(Entry& entry) {
    uint64_t bits = PatternsOf(entry);
    if (bits != 0) {
      const int64_t n = TrailingNumber(entry.name);
      for (; bits != 0; bits &= bits - 1) slots[std::countr_zero(bits)].numbers.Remove(n);
    }
    entry.patterns = 0;
  }
  void ResetPatterns() {
    slots.clear();
    slot_of.clear();
    ++generation;
  }

  std::string path_prefix;
  NameStore store;
  // The entries, where they never move; a taken-out entry's place is reused.
  std::deque<Entry> entries;
  std::vector<Entry*> free_places;
  // Exact name -> its entry: the lookups of every rename, without
  // upper-casing a name.
  NameTable<Entry*> by_name;
  // Upper-cased name -> entry, for the searches (case-insensitive, and by a
  // name's beginning). Made at the first search: a run that only renames
  // never needs it.
  bool ordered = false;
  ByKey by_key;

  void Load(const std::string& directory) {
    std::vector<DirEntry> listed;
    // The stored bits are read only for the entries a search looks at. A
    // folder that cannot be read holds nothing known: every rename in it
    // asks the file system, which never replaces a taken name.
    (void)ReadDirectoryTypes(directory, listed);
    Begin(directory, listed.size());
    for (const DirEntry& e : listed) Add(e.name, e.attributes, e.complete);
  }

  void Fill(const std::string& directory, const std::vector<ListedEntry>& listed) {
    Begin(directory, listed.size());
    const size_t first = entries.size();
    for (const ListedEntry& e : listed) Keep(e.name, e.attributes, false);
    by_name.InsertMany(listed.size(), [&](size_t i) { return &entries[first + i]; });
  }

  void Begin(const std::string& directory, size_t count) {
    loaded = true;
    path_prefix = directory;
    by_name.Reserve(count);
  }

  void Add(std::string_view listed_name, uint32_t attributes, bool complete) {
    by_name.Insert(&Keep(listed_name, attributes, complete));
  }

  // A new entry, not yet in `by_name`.
  Entry& Keep(std::string_view listed_name, uint32_t attributes, bool complete) {
    const std::string_view name = store.Keep(listed_name);
    Entry& entry = entries.emplace_back();
    entry.name = entry.listed_as = name;
    entry.attributes = attributes;
    entry.complete = complete;
    return entry;
  }

  // Makes the ordered index, unless it is made already.
  void Order() {
    if (ordered) return;
    ordered = true;
    // Keys sorted first go into the ordered index at its end, without a
    // search through it each.
    std::vector<std::pair<std::string, Entry*>> keys;
    keys.reserve(entries.size());
    for (Entry& entry : entries) {
      if (!entry.name.empty()) keys.emplace_back(UpperKey(entry.name), &entry);
    }
    std::sort(keys.begin(), keys.end());
    for (auto& [key, entry] : keys) {
      entry->key_at = by_key.emplace_hint(by_key.end(), std::move(key), entry);
    }
  }

  // The attributes of an entry, reading its stored bits when first needed.
  uint32_t AttributesOf(Entry& entry) {
    if (!entry.complete) {
      // Regular files and directories only can hold stored bits.
      if ((entry.attributes & kAttrSystem) == 0) {
        entry.attributes = GetFileAttributes(path_prefix + std::string(entry.name));
      }
      entry.complete = true;
    }
    return entry.attributes;
  }

  // Entries a search for `pattern` with `filter` returns.
  template <typename Fn>
  void ForEachMatch(std::string_view pattern, const WildcardPattern& matcher, SearchFilter filter,
                    Fn&& fn) {
    Order();
    // A literal prefix narrows the scan to one range of the ordered index.
    // Cut before the first dot too: "name.*" and "name." also match "name".
    const size_t wild = pattern.find_first_of("*?.");
    const std::string prefix =
        UpperKey(pattern.substr(0, wild == std::string_view::npos ? pattern.size() : wild));
    for (auto it = by_key.lower_bound(prefix); it != by_key.end() && it->first.starts_with(prefix);
         ++it) {
      if (matcher.Matches(it->second->name) &&
          PassesFilter(AttributesOf(*it->second), filter)) {
        fn(*it->second);
      }
    }
  }

  // Adds an entry whose name no entry has.
  void Insert(const Entry& entry) {
    Entry* place = nullptr;
    if (free_places.empty()) {
      place = &entries.emplace_back();
    } else {
      place = free_places.back();
      free_places.pop_back();
    }
    *place = entry;
    by_name.Insert(place);
    if (ordered) place->key_at = by_key.emplace(UpperKey(place->name), place);
  }

  Entry* Find(std::string_view name) const { return by_name.Find(name); }

  // Removes the entry of exactly this name into `out`; false when there was none.
  bool Take(std::string_view name, Entry& out) {
    Entry* found = by_name.Take(name);
    if (found == nullptr) return false;
    if (ordered) by_key.erase(found->key_at);
    out = *found;
    found->name = {};  // a free place: Order() passes over it
    free_places.push_back(found);
    return true;
  }
};

NameIndex::NameIndex() = default;
NameIndex::~NameIndex() = default;

NameIndex::Directory& NameIndex::DirectoryOf(const std::string& directory) {
  Directory* dir = Loaded(directory);
  if (dir != nullptr) return *dir;
  const auto [it, added] = directories_.try_emplace(directory);
  if (added) it->second = std::make_unique<Directory>();
  it->second->Load(directory);
  last_directory_ = &it->first;
  last_ = it->second.get();
  return *last_;
}

void NameIndex::Listed(const std::string& directory, const std::vector<ListedEntry>& entries) {
  const auto [it, added] = directories_.try_emplace(directory);
  if (!added && it->second->loaded) return;
  if (added) it->second = std::make_unique<Directory>();
  it->second->Fill(directory, entries);
}

NameIndex::Directory* NameIndex::Loaded(const std::string& directory) const {
  // A run asks about one directory's files one after another.
  if (last_ != nullptr && *last_directory_ == directory) return last_;
  // Most runs never read a folder into the index: no key to hash then.
  if (directories_.empty()) return nullptr;
  const auto it = directories_.find(directory);
  if (it == directories_.end() || !it->second->loaded) return nullptr;
  last_directory_ = &it->first;
  last_ = it->second.get();
  return last_;
}

int64_t NameIndex::UniqueNumber(const std::string& directory, const std::string& new_filename,
                                const std::string& old_extension) {
  Directory& dir = DirectoryOf(directory);
  std::string pattern = UniqueNumberPattern(new_filename, old_extension);
  const auto known = dir.slot_of.find(pattern);
  if (known != dir.slot_of.end()) return dir.slots[known->second].numbers.SmallestFree();
  // Many distinct patterns in one directory would make every rename pay
  // for keeping them all current; start afresh instead.
  if (dir.slots.size() == Directory::kMaxPatterns) dir.ResetPatterns();
  const size_t slot = dir.slots.size();
  dir.slots.push_back({pattern, WildcardPattern(pattern), {}});
  dir.ForEachMatch(pattern, dir.slots[slot].matcher, SearchFilter::kFiles,
                   [&](Directory::Entry& entry) { dir.Join(entry, slot); });
  dir.slot_of.emplace(std::move(pattern), slot);
  return dir.slots[slot].numbers.SmallestFree();
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
    dir.Order();
    auto range = dir.by_key.equal_range(UpperKey(literal));
    for (auto it = range.first; it != range.second && !found; ++it) {
      found = PassesFilter(dir.AttributesOf(*it->second), SearchFilter::kNormalFiles);
    }
    return found;
  }
  dir.ForEachMatch(name, WildcardPattern(name), SearchFilter::kNormalFiles,
                   [&](const Directory::Entry&) { found = true; });
  return found;
}

bool NameIndex::KnownTaken(const std::string& directory, const std::string& name) const {
  const Directory* dir = Loaded(directory);
  return dir != nullptr && dir->Find(name) != nullptr;
}

bool NameIndex::Holds(const std::string& directory, const std::string& name, bool read_attributes) {
  Directory& dir = DirectoryOf(directory);
  Directory::Entry* entry = dir.Find(name);
  if (entry != nullptr && read_attributes) dir.AttributesOf(*entry);
  return entry != nullptr;
}

std::string_view NameIndex::ListedName(const std::string& directory, const std::string& name) {
  const Directory::Entry* entry = DirectoryOf(directory).Find(name);
  return entry == nullptr ? std::string_view() : entry->listed_as;
}

void NameIndex::Renamed(const std::string& directory, const std::string& old_name,
                        const std::string& new_name) {
  Directory* loaded = Loaded(directory);
  if (loaded == nullptr) return;
  Directory& dir = *loaded;
  Directory::Entry entry;
  Directory::Entry replaced;
  const bool known = dir.Take(old_name, entry);
  if (known) dir.Leave(entry);
  if (dir.Take(new_name, replaced)) dir.Leave(replaced);
  if (!known) {
    entry.attributes = GetFileAttributes(directory + new_name);
    if (entry.attributes == kAttrInvalid) return;
    entry.listed_as = dir.store.Keep(new_name);
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
  entry.name = known ? dir.store.Keep(new_name) : entry.listed_as;
  // Files the run renames came from a file search, so their type decides
  // whether they take part; stored bits are not read again for that.
  if (PassesFilter(entry.attributes, SearchFilter::kFiles)) {
    for (size_t slot = 0; slot < dir.slots.size(); ++slot) {
      if (dir.slots[slot].matcher.Matches(new_name)) dir.Join(entry, slot);
    }
  }
  dir.Insert(entry);
}

}  // namespace qtarvox
