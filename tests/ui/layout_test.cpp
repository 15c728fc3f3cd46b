// The layout rules that a window test cannot see at a glance.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>

#include "ui/ui_texts.h"
#include "ui/widgets.h"

namespace qtarvox {
namespace {

TEST(Layout, IntroGapsShrinkBeforeTheLabelsRunPastThePanel) {
  // 10 labels of 40 need 400 of the 450 below the first top (11.25).
  const auto rects = PositionIntroScreen(800, 450, 20, [](int, double) { return 40.0; });
  EXPECT_NEAR(rects.back().bottom(), 450, 1e-9);
  EXPECT_NEAR(rects[1].top - rects[0].bottom(), (450 - 11.25 - 400) / 9, 1e-9);
  // No room at all: the labels touch, never overlap.
  const auto tight = PositionIntroScreen(800, 300, 20, [](int, double) { return 40.0; });
  EXPECT_NEAR(tight[1].top, tight[0].bottom(), 1e-9);
}

Step3Input Step3At(double w, double h) {
  Step3Input in;
  in.window_width = w;
  in.window_height = h;
  in.panel_width = w;
  in.panel_height = PositionMainFrame(w, h).screen.height;
  // What the window's 8 point font needs.
  in.line_height = 22;
  in.lblStatus_text_height = [](double width) { return width < 420 ? 39.0 : 26.0; };
  in.lblSep_text_height = [](double) { return 26.0; };
  in.min_button_height = 36;
  return in;
}

// Back, Perform and the status always fit between SepH8 and SepH9, at every size.
TEST(Layout, Step3KeepsTheRunButtonsAndTheStatusInTheirBand) {
  for (const auto& [w, h] :
       {std::pair{800.0, 600.0}, {1024.0, 768.0}, {1280.0, 720.0}, {1920.0, 1080.0}}) {
    SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
    Step3Input in = Step3At(w, h);
    in.min_column_width = 330;
    const Step3Layout s = PositionStep3Screen(in);
    EXPECT_GE(s.SepV2_x - 0.05 * w, 330 - 1e-9);
    EXPECT_GE(s.cmdCancel3.top, s.SepH8);
    EXPECT_GE(s.cmdCancel3.height, 36);
    EXPECT_LE(s.cmdCancel3.height, 0.15 * in.panel_height + 1e-9);
    EXPECT_GE(s.lblStatus.top, s.cmdCancel3.bottom());
    EXPECT_LE(s.lblStatus.top + in.lblStatus_text_height(s.lblStatus.width), s.SepH9 + 1e-9);
    EXPECT_LE(s.lblStatus.right(), s.SepV2_x);
    EXPECT_LE(s.cmdErr.right(), s.SepV2_x);
    EXPECT_GE(s.cmdOP.top, s.chkProcess.bottom());
  }
}

TEST(Layout, WrappedCaptionKeepsItsColonWithTheWordBefore) {
  QLabel label(QString::fromLatin1(ui_text::kLblChoose));
  label.setWordWrap(true);
  const QFontMetrics metrics(label.font());
  const QString text = label.text().trimmed();
  const QString head = text.left(text.size() - 2);
  const auto lines = [&](const QString& shown, int width) {
    return metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, shown).height();
  };
  const int single = metrics.horizontalAdvance(head);
  for (int width = single; width < single + metrics.horizontalAdvance(QStringLiteral(" :"));
       ++width) {
    SCOPED_TRACE(width);
    PlaceCaption(&label, QRect(0, 0, width, 100));
    EXPECT_LE(label.width(), width);
    EXPECT_EQ(lines(text, label.width()), lines(head, label.width()));
  }
}

}  // namespace
}  // namespace qtarvox
