#include "engine/used_numbers.h"

namespace qtarvox {

void UsedNumbers::Add(int64_t n) {
  if (n < 1 || ++counts_[n] > 1) return;
  if (n < next_) {
    holes_.erase(n);
  } else if (n == next_) {
    while (next_ < kMaxNumber && counts_.contains(next_)) ++next_;
  }
}

void UsedNumbers::Remove(int64_t n) {
  if (n < 1) return;
  const auto it = counts_.find(n);
  if (it == counts_.end() || --it->second > 0) return;
  counts_.erase(it);
  if (n < next_) holes_.insert(n);
}

int64_t UsedNumbers::SmallestFree() const {
  if (!holes_.empty()) return *holes_.begin();
  return next_ == kMaxNumber && counts_.contains(kMaxNumber) ? 0 : next_;
}

}  // namespace qtarvox
