#include "platform/directory_listing.h"

#include <fcntl.h>

#include <system_error>

#include "platform/chars.h"
#include "platform/paths.h"

namespace qtarvox {

uint32_t EntryAttributes(int dir_fd, std::string_view prefix, const char* name, unsigned char type,
                         bool need_mode) {
  uint32_t mode = 0;
  if (type == DT_UNKNOWN || need_mode) {
    struct stat st;
    if (fstatat(dir_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return kAttrInvalid;
    mode = st.st_mode;
  } else {
    mode = DTTOIF(type) | S_IWUSR;
  }
  // Only regular files and directories can carry user extended attributes.
  const uint32_t stored =
      S_ISREG(mode) || S_ISDIR(mode) ? ReadStoredAttributesAt(dir_fd, name, prefix) : 0;
  return ComposeAttributes(mode, name, stored);
}

// --- AttributeReads ------------------------------------------------------------

AttributeReads::~AttributeReads() {
  chunks_.Close();
  if (helper_.joinable()) helper_.join();
}

void AttributeReads::Publish(Chunk chunk) {
  (void)chunks_.Push(std::move(chunk));  // never refused: the readers never stop it
  if (++published_ == 2 && share_ && std::thread::hardware_concurrency() >= 2) {
    try {
      helper_ = std::thread([this] { ReadWhatComes(); });
    } catch (const std::system_error&) {
      // No second thread: this one reads them all.
    }
  }
}

void AttributeReads::Finish() {
  chunks_.Close();
  ReadWhatComes();
  if (helper_.joinable()) helper_.join();
}

void AttributeReads::ReadWhatComes() {
  Chunk chunk;
  while (chunks_.Pop(chunk)) {
    for (Candidate* c : chunk) {
      c->attributes = EntryAttributes(fd_, prefix_, c->name.data(), c->type, c->type == DT_DIR);
    }
  }
}

// --- Listing -------------------------------------------------------------------

RtError Listing::Open(const std::string& directory) {
  prefix = WithTrailingSlash(directory);
  dir.reset(opendir(directory.empty() ? "." : directory.c_str()));
  return dir ? RtError{} : ErrorFromErrno(errno);
}

RtError Listing::ReadAll(const std::string& directory) {
  if (RtError error = Open(directory)) return error;
  const RtError error = ForEachEntry(dir.get(), [&](const dirent& entry) {
    entries.push_back({pool.Add(entry.d_name), entry.d_type});
  });
  if (error) entries.clear();
  return error;
}

void Listing::SortByName() {
  // Below this many names a second thread would cost more than it saves.
  constexpr size_t kHalvesFrom = 16384;
  const size_t n = wanted.size();
  // Left unset: each half is first written by the thread that keys it.
  std::unique_ptr<Keyed[]> keyed(new Keyed[n]);
  TextPool keys;  // only while sorting
  const size_t half = n / 2;
  TextPool other_keys;
  std::thread other;
  if (n >= kHalvesFrom && std::thread::hardware_concurrency() >= 2) {
    try {
      other = std::thread([&] { SortKeyed(keyed.get(), half, n, other_keys); });
    } catch (const std::system_error&) {
      // No second thread: sorted here in one piece.
    }
  }
  const bool halves = other.joinable();
  if (halves) {
    struct Joined {
      std::thread& thread;
      ~Joined() { thread.join(); }
    } joined{other};
    SortKeyed(keyed.get(), 0, half, keys);
  } else {
    SortKeyed(keyed.get(), 0, n, keys);
  }
  if (halves) {
    std::inplace_merge(keyed.get(), keyed.get() + half, keyed.get() + n, KeyedBefore);
  }
  for (size_t i = 0; i < n; ++i) wanted[i] = keyed[i].c;
}

bool Listing::KeyedBefore(const Keyed& a, const Keyed& b) {
  if (a.head != b.head) return a.head < b.head;
  const int order =
      std::string_view(a.key, a.key_size).compare(std::string_view(b.key, b.key_size));
  if (order != 0) return order < 0;
  return a.c->name < b.c->name;
}

void Listing::SortKeyed(Keyed* keyed, size_t from, size_t to, TextPool& keys) const {
  std::string key;
  for (size_t i = from; i < to; ++i) {
    Candidate* c = wanted[i];
    key.clear();
    AppendNameSortKey(c->name, key);
    uint64_t head = 0;
    for (size_t k = 0; k < 8; ++k) {
      head = (head << 8) | (k < key.size() ? static_cast<unsigned char>(key[k]) : 0u);
    }
    const std::string_view kept = keys.Add(key);
    keyed[i] = {head, kept.data(), kept.size(), c};
  }
  std::sort(keyed + from, keyed + to, KeyedBefore);
}

}  // namespace qtarvox
