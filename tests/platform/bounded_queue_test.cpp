// The queue between two threads: order, the producer's close, the
// consumer's stop, the refill mark of a full queue and the spare pool.
#include "platform/bounded_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <thread>
#include <vector>

namespace qtarvox {
namespace {

TEST(BoundedQueue, HandsItemsOverInOrderUntilCloseOrStop) {
  constexpr size_t kAll = BoundedQueue<int>::kUnbounded;
  const struct {
    const char* what;
    size_t capacity;
    size_t refill;  // where a full queue lets the producer in again
    int items;
    size_t stop_after;  // items the consumer takes before it stops; kAll: all
  } cases[] = {
      {"room at once", 3, 2, 300, kAll},
      {"refilled at half", 4, 2, 300, kAll},
      {"refilled when empty", 5, 0, 300, kAll},
      {"never full", BoundedQueue<int>::kUnbounded, BoundedQueue<int>::kUnbounded, 300, kAll},
      {"stopped with the producer waiting", 4, 2, 1000, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    BoundedQueue<int> queue(c.capacity, c.refill);
    std::atomic<bool> closed{false};
    int pushed = 0;
    bool refused = false;
    size_t returned = 0;
    std::thread producer([&] {
      for (int i = 0; i < c.items; ++i) {
        int item = i;
        if (!queue.Push(std::move(item))) {
          refused = true;
          break;
        }
        ++pushed;
      }
      queue.Close();
      closed = true;
      for (int spare = 0; queue.TakeReturned(spare);) ++returned;
    });
    std::vector<int> got;
    for (bool more = true; more && got.size() != c.stop_after;) {
      // Lets the queue fill up, so that the producer has to wait for room,
      // then takes items down to the refill mark only: a pop that does not
      // wake the producer there leaves both threads waiting.
      while (queue.waiting() < c.capacity && !closed) std::this_thread::yield();
      do {
        int item = -1;
        more = queue.Pop(item);
        if (more) got.push_back(item);
        if (more) queue.Recycle(std::move(item));
      } while (more && got.size() != c.stop_after && queue.waiting() > c.refill);
    }
    queue.Stop();
    producer.join();

    const size_t expected = c.stop_after == kAll ? c.items : c.stop_after;
    std::vector<int> in_order(expected);
    std::iota(in_order.begin(), in_order.end(), 0);
    EXPECT_EQ(got, in_order);
    EXPECT_EQ(refused, c.stop_after != kAll);
    if (c.stop_after == kAll) {
      EXPECT_EQ(pushed, c.items);
    }
    EXPECT_EQ(returned, got.size());
  }
}

}  // namespace
}  // namespace qtarvox
