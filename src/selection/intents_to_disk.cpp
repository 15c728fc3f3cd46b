#include "selection/intents_to_disk.h"

#include <string>
#include <system_error>
#include <utility>

namespace qtarvox {

void AddIntents(std::vector<PassFile>& files, bool attributes, RunJournal::Batch& intents) {
  std::string scratch;
  const std::string none;
  for (PassFile& file : files) {
    file.intent = -1;
    if (file.skip) continue;
    const bool renames = file.changed && file.new_filename != file.filename;
    if (!renames && !attributes) continue;
    file.intent = intents.Add(file.directory, file.filename,
                              renames ? CommittedName(file.new_filename, scratch) : none);
  }
}

IntentsToDisk::IntentsToDisk(RunJournal& journal, PreparedQueue& queue, bool threaded, bool listed)
    : journal_(journal), queue_(queue), listed_(listed) {
  if (!threaded) return;
  try {
    thread_ = std::thread([this] { Run(); });
  } catch (const std::system_error&) {
    // No further thread: each batch is flushed here, when it is handed over.
  }
}

std::unique_ptr<RunJournal::Batch> IntentsToDisk::Intents() {
  std::lock_guard lock(mutex_);
  if (spare_.empty()) return std::make_unique<RunJournal::Batch>(journal_, listed_);
  std::unique_ptr<RunJournal::Batch> intents = std::move(spare_.back());
  spare_.pop_back();
  return intents;
}

bool IntentsToDisk::Hand(std::unique_ptr<RunJournal::Batch> intents, PreparedBatch files) {
  if (!thread_.joinable()) {
    const bool handed =
        (intents->empty() || journal_.Write(*intents)) && queue_.Push(std::move(files));
    std::lock_guard lock(mutex_);
    spare_.push_back(std::move(intents));
    return handed;
  }
  std::unique_lock lock(mutex_);
  room_.wait(lock, [&] { return pending_.size() < kMaxPending || ended_; });
  if (ended_) return false;
  pending_.push_back({std::move(intents), std::move(files)});
  ready_.notify_one();
  return true;
}

void IntentsToDisk::Finish() {
  {
    std::lock_guard lock(mutex_);
    finishing_ = true;
    ready_.notify_one();
  }
  if (thread_.joinable()) thread_.join();
}

void IntentsToDisk::Run() {
  for (;;) {
    std::deque<Pending> taken;
    {
      std::unique_lock lock(mutex_);
      for (;;) {
        if (pending_.empty()) {
          if (finishing_) return;
          ready_.wait(lock);
        } else if (finishing_ || pending_.size() >= kGroup || queue_.waiting() <= kLow) {
          break;
        } else {
          ready_.wait_for(lock, kLook);
        }
      }
      taken.swap(pending_);
      room_.notify_one();
    }
    size_t last = taken.size();  // the last batch with intents: its write flushes them all
    for (size_t i = 0; i < taken.size(); ++i) {
      if (!taken[i].intents->empty()) last = i;
    }
    bool ok = true;
    for (size_t i = 0; ok && last < taken.size() && i <= last; ++i) {
      ok = taken[i].intents->empty() || journal_.Write(*taken[i].intents, i == last);
    }
    for (size_t i = 0; ok && i < taken.size(); ++i) ok = queue_.Push(std::move(taken[i].files));
    std::lock_guard lock(mutex_);
    for (auto& batch : taken) spare_.push_back(std::move(batch.intents));
    if (!ok) {
      ended_ = true;
      pending_.clear();
      room_.notify_all();
      return;
    }
  }
}

}  // namespace qtarvox
