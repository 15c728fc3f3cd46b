// The numbers a set of names carries, and the smallest free one.
#pragma once

#include <cstdint>
#include <limits>
#include <set>
#include <unordered_map>

namespace qtarvox {

// The positive numbers a set of names carries (each as often as it occurs),
// and the smallest positive number none of them carries, kept current as
// names come and go: a cursor that only ever moves forward, over numbers in
// use (amortised constant cost), and the numbers freed below it, ordered
// (logarithmic in how many such holes there are; usually none).
class UsedNumbers {
 public:
  // A name carrying `n` came (numbers below 1 count for nothing).
  void Add(int64_t n);
  // A name carrying `n` went.
  void Remove(int64_t n);
  // 0 when every positive 64-bit number is used.
  int64_t SmallestFree() const;

 private:
  static constexpr int64_t kMaxNumber = std::numeric_limits<int64_t>::max();

  std::unordered_map<int64_t, uint32_t> counts_;  // used number -> how many names carry it
  int64_t next_ = 1;                              // every number below it is used or a hole
  std::set<int64_t> holes_;                       // free numbers below next_
};

}  // namespace qtarvox
