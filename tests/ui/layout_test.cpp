// The layout rules that a window test cannot see at a glance; that every
// screen keeps its controls whole and apart at every size is checked on the
// real window.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>

#include "ui/ui_texts.h"
#include "ui/widgets.h"

namespace qtarvox {
namespace {

// Captions that need more room push the second row down; the gap above the
// start-number box is a share of the window's height, not of the panel's.
TEST(Layout, Step1RowsFollowTheirCaptionsAndTheWindowHeight) {
  Step1Input in;
  in.window_height = 768;
  in.panel_width = 1024;
  in.panel_height = 533.76;
  in.line_height = 24;
  in.lblAI1_text_height = 40;
  in.lblAI2_text_height = 30;
  in.chkAI3_width = 160;
  const Step1Layout s = PositionStep1Screen(in);
  EXPECT_NEAR(s.lblAI1.height, 40, 1e-9);
  EXPECT_NEAR(s.txtAI1.height, 24, 1e-9);
  EXPECT_NEAR(s.lblAI2.top, s.lblAI1.bottom() + 9.3408, 1e-9);
  EXPECT_NEAR(s.lblAI2.height, 30, 1e-9);
  EXPECT_NEAR(s.optAI1.top, s.lblAI2.top, 1e-9);
  EXPECT_NEAR(s.chkAI3.top, s.optAI2.bottom() + 0.0175 * 768, 1e-9);
  EXPECT_NEAR(s.txtAI3.left, s.chkAI3.right(), 1e-9);
}

TEST(Layout, StartNumberBoxIsSizedByItsCaptionButNeverCutsIt) {
  EXPECT_NEAR(Chk3Width(8, 30, 100), 160, 1e-9);
  EXPECT_NEAR(Chk3Width(8, 30, 210), 210, 1e-9);
}

TEST(Layout, IntroLabelsStackBelowEachOtherAsTheyGrow) {
  // Label i needs (i + 1) * 10 pixels; the one-line height is 24.
  const auto rects = PositionIntroScreen(1000, 1000, 24, [](int i, double width) {
    EXPECT_NEAR(width, 950, 1e-9);
    return (i + 1) * 10.0;
  });
  ASSERT_EQ(rects.size(), 10u);
  EXPECT_NEAR(rects[0].top, 25, 1e-9);
  EXPECT_NEAR(rects[0].left, 25, 1e-9);
  EXPECT_NEAR(rects[0].height, 24, 1e-9);  // never below the one-line height
  EXPECT_NEAR(rects[1].height, 24, 1e-9);
  EXPECT_NEAR(rects[2].height, 30, 1e-9);
  for (size_t i = 1; i < rects.size(); ++i) {
    EXPECT_NEAR(rects[i].top, rects[i - 1].bottom() + 30, 1e-9) << i;
  }
}

TEST(Layout, IntroGapsShrinkBeforeTheLabelsRunPastThePanel) {
  // 10 labels of 40 need 400 of the 450 below the first top (11.25): the
  // nine gaps share what is left instead of taking 3% (13.5) each.
  const auto rects = PositionIntroScreen(800, 450, 20, [](int, double) { return 40.0; });
  EXPECT_NEAR(rects.back().bottom(), 450, 1e-9);
  EXPECT_NEAR(rects[1].top - rects[0].bottom(), (450 - 11.25 - 400) / 9, 1e-9);
  // No room at all: the labels touch, never overlap.
  const auto tight = PositionIntroScreen(800, 300, 20, [](int, double) { return 40.0; });
  EXPECT_NEAR(tight[1].top, tight[0].bottom(), 1e-9);
}

// Captions that need more room than their share get it, and what stands
// beside or below them gives way without overlapping.
TEST(Layout, Step2GivesLongCaptionsTheirRoom) {
  Step2Input in;
  in.window_width = 1024;
  in.panel_width = 1024;
  in.panel_height = 533.76;
  in.line_height = 20;
  in.lblDir_text_height = [](double) { return 40.0; };
  in.optIndividual_natural = 260;
  in.dir_buttons_natural = 120;
  in.ext_buttons_natural = 160;
  in.button_natural_height = 40;
  const Step2Layout s = PositionStep2Screen(in);
  EXPECT_EQ(s.extension.lblDir.height, 40);
  EXPECT_NEAR(s.extension.txtExt.top,
              s.extension.lblDir.bottom() + 0.025 * s.extension.pctDir.height, 1e-9);
  EXPECT_EQ(s.optIndividual.width, 260);
  EXPECT_NEAR(s.optExtension.left, s.optIndividual.right() + 25.6, 1e-9);
  EXPECT_EQ(s.cmdAddDir.width, 120);
  EXPECT_NEAR(s.lstDir.left, s.cmdAddDir.right() + 0.025 * 563.2, 1e-9);
  EXPECT_GE(s.txtExtList.width, 160);
  EXPECT_LE(s.lstExt.right(), s.txtExtList.left);
  // The three extension buttons stand under the text box within the list's height.
  EXPECT_GE(s.cmdAddExt.height, 40);
  EXPECT_LE(s.cmdRemoveExt.bottom(), s.lstExt.bottom() + 1e-9);
  EXPECT_LE(s.cmdRemoveDir.bottom(), s.lblExtList.top + 1e-9);
  EXPECT_LE(s.lstExt.bottom(), s.pctExtension.height + 1e-9);
}

Step3Input Step3At(double w, double h) {
  Step3Input in;
  in.window_width = w;
  in.window_height = h;
  in.panel_width = w;
  in.panel_height = PositionMainFrame(w, h).screen.height;
  // What the window's 8 point font needs: three lines of status text in a
  // narrow column, two in a wide one.
  in.line_height = 22;
  in.lblStatus_text_height = [](double width) { return width < 420 ? 39.0 : 26.0; };
  in.lblSep_text_height = [](double) { return 26.0; };
  in.min_button_height = 36;
  return in;
}

// Back, Perform and the status text always find room between SepH8 and
// SepH9, from the smallest window to a large one.
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

// A wrapped caption never leaves its closing colon alone on the last line:
// at every width from where the colon first wraps alone, the word before it
// goes down with it.
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
