// The Intro screen: ten word-wrapped labels, one below the other.
#pragma once

#include <array>

#include "ui/screen.h"

class QLabel;

namespace qtarvox {

class IntroScreen final : public Screen {
 public:
  explicit IntroScreen(QWidget* parent);
  void Position(const FrameMetrics& metrics) override;

 private:
  std::array<QLabel*, 10> labels_{};
};

}  // namespace qtarvox
