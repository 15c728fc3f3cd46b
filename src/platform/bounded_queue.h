// Items handed from a producing thread to a consuming one, in order, with at
// most a set number waiting, and a pool of spare items (used buffers) handed
// back to be filled again.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <limits>
#include <mutex>
#include <utility>
#include <vector>

namespace qtarvox {

// One producer pushes, one consumer pops (several may pop once the producer
// has closed). Each push and each pop takes the lock once: items meant to be
// handed over in numbers go over in batches or chunks, one item each.
//
// The producer ends with Close: pops then drain what waits and fail after it.
// The consumer ends with Stop: pushes fail from then on, a waiting one too.
// What still waits when the queue goes is freed with it.
template <typename T>
class BoundedQueue {
 public:
  static constexpr size_t kUnbounded = std::numeric_limits<size_t>::max();

  // At most `capacity` items wait (at least one). A push that finds the
  // queue full waits until no more than `refill` are left: a refill well
  // below the capacity makes the two threads wake each other seldom. By
  // default a push goes on as soon as there is room.
  explicit BoundedQueue(size_t capacity = kUnbounded, size_t refill = kUnbounded)
      : capacity_(capacity == 0 ? 1 : capacity),
        refill_(refill < capacity_ ? refill : capacity_ - 1) {}
  BoundedQueue(const BoundedQueue&) = delete;
  BoundedQueue& operator=(const BoundedQueue&) = delete;

  // Appends `item`, waiting while the queue is full. False (and `item` left
  // as it was) once the consumer has stopped.
  [[nodiscard]] bool Push(T&& item) {
    std::unique_lock lock(mutex_);
    if (items_.size() >= capacity_) {
      room_.wait(lock, [&] { return items_.size() <= refill_ || stopped_; });
    }
    if (stopped_) return false;
    items_.push_back(std::move(item));
    ready_.notify_one();
    return true;
  }

  // Takes the oldest item, waiting while there is none. False once the
  // producer has closed and nothing is left.
  [[nodiscard]] bool Pop(T& item) {
    std::unique_lock lock(mutex_);
    ready_.wait(lock, [&] { return !items_.empty() || closed_; });
    return TakeFront(item);
  }

  // Takes the oldest item when there is one; never waits.
  [[nodiscard]] bool TryPop(T& item) {
    std::lock_guard lock(mutex_);
    return TakeFront(item);
  }

  // For the producer: no more items will come.
  void Close() {
    std::lock_guard lock(mutex_);
    closed_ = true;
    ready_.notify_all();
  }

  // For the consumer: it takes no more items, so pushes fail, and a wait for
  // a returned item ends.
  void Stop() {
    std::lock_guard lock(mutex_);
    stopped_ = true;
    room_.notify_all();
    returned_.notify_all();
  }

  // Items pushed and not yet popped.
  size_t waiting() {
    std::lock_guard lock(mutex_);
    return items_.size();
  }

  // --- the spare pool

  // Keeps a used item to be handed out again by Reuse or TakeReturned.
  void Recycle(T&& item) {
    std::lock_guard lock(mutex_);
    spare_.push_back(std::move(item));
    returned_.notify_one();
  }

  // A recycled item, or a new one when none is kept; never waits.
  T Reuse() {
    std::lock_guard lock(mutex_);
    if (spare_.empty()) return T();
    return TakeSpare();
  }

  // A recycled item, waiting for one; false once the consumer has stopped
  // and none is kept.
  bool TakeReturned(T& item) {
    std::unique_lock lock(mutex_);
    returned_.wait(lock, [&] { return !spare_.empty() || stopped_; });
    if (spare_.empty()) return false;
    item = TakeSpare();
    return true;
  }

 private:
  // Under the lock.
  bool TakeFront(T& item) {
    if (items_.empty()) return false;
    item = std::move(items_.front());
    items_.pop_front();
    // The one place a full queue reaches its refill mark: a push waiting
    // for it wakes here and nowhere else.
    if (items_.size() == refill_) room_.notify_one();
    return true;
  }

  T TakeSpare() {
    T item = std::move(spare_.back());
    spare_.pop_back();
    return item;
  }

  const size_t capacity_;
  const size_t refill_;
  std::mutex mutex_;
  std::condition_variable ready_;
  std::condition_variable room_;
  std::condition_variable returned_;
  std::deque<T> items_;
  std::vector<T> spare_;
  bool closed_ = false;
  bool stopped_ = false;
};

}  // namespace qtarvox
