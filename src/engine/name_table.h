// The parts a directory's name index is made of: a hash table from exact
// names to entries, and a store that keeps the names' bytes in place.
#pragma once

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace qtarvox {

// Exact name -> an entry (a pointer whose ->name is the name), by open
// addressing with linear probing: a lookup reads one slot, and the entry's
// name only when the hashes agree, where a node-based map first walks a
// bucket list.
template <typename Pointer>
class NameTable {
 public:
  void Reserve(size_t count) {
    if (count * 2 > slots_.size()) Rehash(std::bit_ceil(count * 2));
  }

  // The entry of exactly this name, or nullptr.
  Pointer Find(std::string_view name) const {
    const size_t at = IndexOf(name);
    return at == kNone ? nullptr : slots_[at].it;
  }

  // The name must not be in the table yet.
  void Insert(Pointer it) { InsertTagged(it, Tag(it->name)); }

  // Many names at once, `pointer_of(i)` for i < count, none in the table yet
  // nor twice among them. The slot of each is asked for a few names ahead of
  // its turn: in a large table nearly every slot is a wait on memory, and
  // those waits then overlap.
  template <typename PointerOf>
  void InsertMany(size_t count, PointerOf pointer_of) {
    Reserve(size_ + count);
    constexpr size_t kAhead = 8;
    uint64_t tags[kAhead];
    const auto fetch = [&](size_t i) {
      tags[i % kAhead] = Tag(pointer_of(i)->name);
      __builtin_prefetch(&slots_[tags[i % kAhead] & mask_]);
    };
    for (size_t i = 0; i < std::min(count, kAhead); ++i) fetch(i);
    for (size_t i = 0; i < count; ++i) {
      const uint64_t tag = tags[i % kAhead];
      if (i + kAhead < count) fetch(i + kAhead);
      InsertTagged(pointer_of(i), tag);
    }
  }

  // Removes the entry of exactly this name and returns it; nullptr when none.
  Pointer Take(std::string_view name) {
    size_t hole = IndexOf(name);
    if (hole == kNone) return nullptr;
    const Pointer taken = slots_[hole].it;
    // Shift back the slots after it that may sit in the hole, so that no
    // probe sequence has a gap.
    for (size_t j = (hole + 1) & mask_; slots_[j].tag != 0; j = (j + 1) & mask_) {
      const size_t home = slots_[j].tag & mask_;
      if (((j - home) & mask_) >= ((j - hole) & mask_)) {
        slots_[hole] = slots_[j];
        hole = j;
      }
    }
    slots_[hole].tag = 0;
    --size_;
    return taken;
  }

 private:
  struct Slot {
    uint64_t tag = 0;  // the name's hash with the top bit set; 0: empty
    Pointer it{};
  };
  static constexpr size_t kNone = static_cast<size_t>(-1);

  static uint64_t Tag(std::string_view name) {
    return std::hash<std::string_view>{}(name) | (uint64_t{1} << 63);
  }

  size_t IndexOf(std::string_view name) const {
    if (slots_.empty()) return kNone;
    const uint64_t tag = Tag(name);
    for (size_t i = tag & mask_;; i = (i + 1) & mask_) {
      const Slot& slot = slots_[i];
      if (slot.tag == 0) return kNone;
      if (slot.tag == tag && slot.it->name == name) return i;
    }
  }

  void InsertTagged(Pointer it, uint64_t tag) {
    if ((size_ + 1) * 2 > slots_.size()) Rehash(std::max<size_t>(16, slots_.size() * 2));
    Place({tag, it});
    ++size_;
  }

  void Place(const Slot& slot) {
    size_t i = slot.tag & mask_;
    while (slots_[i].tag != 0) i = (i + 1) & mask_;
    slots_[i] = slot;
  }

  void Rehash(size_t capacity) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(capacity, Slot{});
    mask_ = capacity - 1;
    for (const Slot& slot : old) {
      if (slot.tag != 0) Place(slot);
    }
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t size_ = 0;
};

// The bytes of a directory's names, kept where they never move: a name is
// copied once, into large blocks, and is never freed before the index.
class NameStore {
 public:
  std::string_view Keep(std::string_view name) {
    if (name.size() > room_) {
      const size_t size = std::max(kBlock, name.size());
      blocks_.push_back(std::make_unique<char[]>(size));
      next_ = blocks_.back().get();
      room_ = size;
    }
    std::copy(name.begin(), name.end(), next_);
    const std::string_view kept(next_, name.size());
    next_ += name.size();
    room_ -= name.size();
    return kept;
  }

 private:
  static constexpr size_t kBlock = 64 * 1024;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* next_ = nullptr;
  size_t room_ = 0;
};

}  // namespace qtarvox
