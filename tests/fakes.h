// Recording stand-ins for the ports, shared by the tests.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "engine/ports.h"

namespace qtarvox {

// Records every message and question.
class RecordingPrompter : public Prompter {
 public:
  struct Message {
    std::string text;
    std::string caption;
    bool question = false;
  };

  void Tell(const std::string& text, const std::string& caption) override {
    messages.push_back({text, caption, false});
  }

  bool Ask(const std::string& text, const std::string& caption) override {
    messages.push_back({text, caption, true});
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<Message> messages;
  std::deque<bool> answers;
};

// Records status captions and the files the viewer was started on.
class RecordingRunView : public RunView {
 public:
  void ShowStatus(const std::string& caption) override {
    std::lock_guard lock(mutex);
    statuses.push_back(caption);
  }
  // Called from a run's own thread: the latest figures, readable at any time.
  void ShowProgress(int64_t done, int64_t listed) override {
    files_done = done;
    files_listed = listed;
    std::unique_lock lock(mutex);
    if (hold_at < 0 || done < hold_at) return;
    held = true;
    gate.notify_all();
    gate.wait(lock, [this] { return hold_at < 0; });
  }
  void WaitUntilHeld() {
    std::unique_lock lock(mutex);
    gate.wait(lock, [this] { return held; });
  }
  void Resume() {
    std::lock_guard lock(mutex);
    hold_at = -1;
    gate.notify_all();
  }
  bool StartViewer(const std::string& path) override {
    viewed.push_back(path);
    return viewer_works;
  }

  std::mutex mutex;
  std::vector<std::string> statuses;
  std::vector<std::string> viewed;
  std::atomic<int64_t> files_done{0};
  std::atomic<int64_t> files_listed{0};
  bool viewer_works = true;
  int64_t hold_at = -1;
  bool held = false;
  std::condition_variable gate;
};

}  // namespace qtarvox
