// The run view of a start without a window: the status goes nowhere, and a
// report file is opened in the desktop's viewer.
#pragma once

#include <string>

#include "engine/ports.h"

namespace qtarvox {

class SilentRunView final : public RunView {
 public:
  void ShowStatus(const std::string&) override {}
  bool StartViewer(const std::string& path) override;
};

}  // namespace qtarvox
