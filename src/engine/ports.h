// What the core needs from whoever drives it: a way to tell and ask a person
// (a dialog, stderr, or a recording fake) and a view of a run.
#pragma once

#include <cstdint>
#include <string>

namespace qtarvox {

inline constexpr const char* kAppTitle = "Q-Tarvox";

class Prompter {
 public:
  virtual ~Prompter() = default;
  // A message with one OK button.
  virtual void Tell(const std::string& text, const std::string& caption) = 0;
  // A question with Yes and No buttons; true for Yes. Closing it without a
  // choice (Escape) answers No.
  virtual bool Ask(const std::string& text, const std::string& caption) = 0;
  // The same, for a question whose No throws work away: closing it without a
  // choice answers Yes.
  virtual bool AskKeeping(const std::string& text, const std::string& caption) {
    return Ask(text, caption);
  }
};

// Nobody to tell or ask: for work that only looks (a plan, the arguments of
// a command line read before the window opens). Every question answers No.
class SilentPrompter final : public Prompter {
 public:
  void Tell(const std::string&, const std::string&) override {}
  bool Ask(const std::string&, const std::string&) override { return false; }
};

// What a run shows while it runs. ShowStatus and ShowProgress are called on
// the thread the run's passes run on, which may not be the caller's.
class RunView {
 public:
  virtual ~RunView() = default;
  // The status label changed.
  virtual void ShowStatus(const std::string& caption) = 0;
  // `done` of the `listed` files are through (listed grows while a walk finds files).
  virtual void ShowProgress(int64_t done, int64_t listed) {
    (void)done;
    (void)listed;
  }
  // Opens a report file in the desktop's text viewer without waiting for it.
  // Returns false when no viewer could be started.
  virtual bool StartViewer(const std::string& path) = 0;
};

}  // namespace qtarvox
