// The layout figures, checked against values worked out by hand.
#include "ui/layout.h"

#include <gtest/gtest.h>

namespace qtarvox {
namespace {

void ExpectRect(const Rect& actual, const Rect& expected, const char* name) {
  SCOPED_TRACE(name);
  EXPECT_NEAR(actual.left, expected.left, 1e-9);
  EXPECT_NEAR(actual.top, expected.top, 1e-9);
  EXPECT_NEAR(actual.width, expected.width, 1e-9);
  EXPECT_NEAR(actual.height, expected.height, 1e-9);
}

TEST(Layout, MainFrameOnA1024By768Screen) {
  const MainFrameLayout f = PositionMainFrame(1024, 768);
  ExpectRect(f.lblTitle, {0, 15.36, 1024, 76.8}, "lblTitle");
  EXPECT_NEAR(f.SepH1, 92.16, 1e-9);
  const double lefts[] = {61.44, 243.712, 425.984, 608.256, 790.528};
  for (size_t i = 0; i < 5; ++i)
    ExpectRect(f.buttons[i], {lefts[i], 105.6, 131.072, 38.4}, "button");
  EXPECT_NEAR(f.buttons[4].right(), 0.9 * 1024, 1e-9);
  EXPECT_NEAR(f.SepH2, 157.44, 1e-9);
  ExpectRect(f.screen, {0, 158.976, 1024, 533.76}, "screen");
}

TEST(Layout, Step1OnA1024By768Screen) {
  Step1Input in;
  in.window_height = 768;
  in.panel_width = 1024;
  in.panel_height = 533.76;
  in.line_height = 24;
  in.lblAI1_text_height = 14;  // one line of text fits the one-line height
  in.lblAI2_text_height = 14;
  in.chkAI3_width = 160;
  const Step1Layout s = PositionStep1Screen(in);
  const struct {
    const char* name;
    Rect actual, expected;
  } cases[] = {
      {"lblActions", s.lblActions, {25.6, 0, 409.6, 24}},
      {"lstActions", s.lstActions, {25.6, 26.6688, 460.8, 427.008}},
      {"lblAddInfo", s.lblAddInfo, {537.6, 0, 409.6, 24}},
      {"lblNone", s.lblNone, {537.6, 37.344, 102.4, 53.376}},
      {"lblAI1", s.lblAI1, {537.6, 37.344, 256, 24}},
      {"txtAI1", s.txtAI1, {793.6, 37.344, 153.6, 24}},
      {"lblAI2", s.lblAI2, {537.6, 70.6848, 256, 24}},
      {"txtAI2", s.txtAI2, {793.6, 70.6848, 153.6, 24}},
      {"optAI1", s.optAI1, {537.6, 70.6848, 409.6, 48}},
      {"optAI2", s.optAI2, {537.6, 128.0256, 409.6, 48}},
      {"optAI3", s.optAI3, {537.6, 128.0256, 409.6, 48}},
      {"optAI4", s.optAI4, {537.6, 185.3664, 409.6, 48}},
      // Down to where chkAI2 begins.
      {"chkAI1", s.chkAI1, {537.6, 37.344, 409.6, 33.3408}},
      {"chkAI2", s.chkAI2, {537.6, 70.6848, 409.6, 48}},
      // 1.75% of the window's height, not the panel's, below optAI2.
      {"chkAI3", s.chkAI3, {537.6, 189.4656, 160, 24}},
      {"txtAI3", s.txtAI3, {697.6, 189.4656, 81.92, 24}},
      {"txtStep1Desc", s.txtStep1Desc, {537.6, 293.5488, 460.8, 160.128}},
      {"lblDesc", s.lblDesc, {537.6, 269.5488, 460.8, 24}},
      {"cmdCancel1", s.cmdCancel1, {384, 473.7024, 102.4, 53.376}},
      {"cmdProceed1", s.cmdProceed1, {537.6, 473.7024, 102.4, 53.376}},
  };
  for (const auto& c : cases) ExpectRect(c.actual, c.expected, c.name);
  EXPECT_NEAR(s.SepY1_x, 512, 1e-9);
  EXPECT_NEAR(s.SepH3, 467.0208, 1e-9);
  EXPECT_NEAR(s.SepY1_bottom, s.SepH3, 1e-9);
  // The buttons sit in the middle of the band below SepH3.
  EXPECT_NEAR(s.cmdCancel1.top - s.SepH3, 533.76 - s.cmdCancel1.bottom(), 1e-9);
}

TEST(Layout, Step1CaptionsThatNeedMoreRoomPushTheSecondRowDown) {
  Step1Input in;
  in.window_height = 768;
  in.panel_width = 1024;
  in.panel_height = 533.76;
  in.line_height = 24;
  in.lblAI1_text_height = 40;
  in.lblAI2_text_height = 30;
  const Step1Layout s = PositionStep1Screen(in);
  EXPECT_NEAR(s.lblAI1.height, 40, 1e-9);
  EXPECT_NEAR(s.txtAI1.height, 24, 1e-9);
  EXPECT_NEAR(s.lblAI2.top, s.lblAI1.bottom() + 9.3408, 1e-9);
  EXPECT_NEAR(s.lblAI2.height, 30, 1e-9);
  EXPECT_NEAR(s.optAI1.top, s.lblAI2.top, 1e-9);
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

}  // namespace
}  // namespace qtarvox
