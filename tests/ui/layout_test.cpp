// The layout figures, checked against values worked out by hand.
#include "ui/layout.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLabel>

#include "ui/ui_texts.h"
#include "ui/widgets.h"

namespace qtarvox {
namespace {

void ExpectRect(const Rect& actual, const Rect& expected, const char* name,
                double tolerance = 1e-9) {
  SCOPED_TRACE(name);
  EXPECT_NEAR(actual.left, expected.left, tolerance);
  EXPECT_NEAR(actual.top, expected.top, tolerance);
  EXPECT_NEAR(actual.width, expected.width, tolerance);
  EXPECT_NEAR(actual.height, expected.height, tolerance);
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

Step2Input Step2At1024By768() {
  Step2Input in;
  in.window_width = 1024;
  in.panel_width = 1024;
  in.panel_height = 533.76;
  in.line_height = 20;
  return in;
}

// Step 2 by the figures where every caption fits its share.
TEST(Layout, Step2OnA1024By768Screen) {
  const Step2Layout s = PositionStep2Screen(Step2At1024By768());
  const double dh = 346.944;  // 533.76 - 80.064 - 20% of 533.76
  const struct {
    const char* name;
    Rect actual, expected;
  } rects[] = {
      {"lblChoose", s.lblChoose, {25.6, 13.344, 358.4, 53.376}},
      {"optIndividual", s.optIndividual, {409.6, 13.344, 224, 53.376}},
      {"optExtension", s.optExtension, {659.2, 13.344, 121.6, 53.376}},
      {"optBoth", s.optBoth, {806.4, 13.344, 70.4, 53.376}},
      {"cmdFileType",
       s.cmdFileType,
       {902.4, (80.064 - (80.064 - 0.04 * dh)) / 2, 70.4, 80.064 - 0.04 * dh}},
      {"pctDir (extension)", s.extension.pctDir, {25.6, 93.408, 409.6, dh}},
      {"txtExt (extension)", s.extension.txtExt, {0, 0.1 * dh, 153.6, 20}},
      {"drvDrive (extension)", s.extension.drvDrive, {163.84, 0.1 * dh, 215.04, 20}},
      {"dirDir (extension)",
       s.extension.dirDir,
       {163.84, 0.125 * dh + 20, 215.04, 0.875 * dh - 20}},
      {"pctExtension", s.pctExtension, {435.2, 93.408, 563.2, dh}},
      {"lstDir", s.lstDir, {112.64, 0.1 * dh, 436.48, 0.45 * dh}},
      {"lstExt", s.lstExt, {14.08, 0.6 * dh + 20, 380.16, 0.375 * dh - 20}},
      {"txtExtList", s.txtExtList, {408.32, 0.6 * dh + 20, 140.8, 20}},
      {"pctDir (individual)", s.individual.pctDir, {25.6, 93.408, 512, dh}},
      {"drvDrive (individual)", s.individual.drvDrive, {0, 0.1 * dh, 230.4, 20}},
      {"txtExt (individual)", s.individual.txtExt, {243.2, 0.1 * dh, 243.2, 20}},
      {"pctIndividual", s.individual.pctIndividual, {512, 93.408, 486.4, dh}},
      {"lstFile", s.individual.lstFile, {121.6, 0.1 * dh, 352.64, 0.9 * dh}},
      {"cmdCancel2", s.cmdCancel2, {384, 93.408 + dh + 0.01 * dh + 13.344, 102.4, 53.376}},
      {"cmdProceed2", s.cmdProceed2, {537.6, 93.408 + dh + 0.01 * dh + 13.344, 102.4, 53.376}},
  };
  for (const auto& r : rects) ExpectRect(r.actual, r.expected, r.name, 1e-6);
  EXPECT_NEAR(s.SepH4, 80.064, 1e-9);
}

// Captions that need more room than their share get it, and what stands
// beside or below them gives way without overlapping.
TEST(Layout, Step2GivesLongCaptionsTheirRoom) {
  Step2Input in = Step2At1024By768();
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

// The top half of Step 3 by the figures.
TEST(Layout, Step3OnA1024By768Screen) {
  Step3Input in = Step3At(1024, 768);
  in.line_height = 20;
  const Step3Layout s = PositionStep3Screen(in);
  const struct {
    const char* name;
    Rect actual, expected;
  } rects[] = {
      {"lblActionsFinal", s.lblActionsFinal, {25.6, 13.344, 358.4, 20}},
      {"lstFinal", s.lstFinal, {25.6, 46.688, 358.4, 160.128}},
      {"lblFilesFinal", s.lblFilesFinal, {409.6, 13.344, 563.2, 20}},
      {"txtFinal", s.txtFinal, {409.6, 46.688, 576, 160.128}},
      {"lblPreview", s.lblPreview, {409.6, 233.504, 576, 20}},
      {"txtOP", s.txtOP, {409.6, 258.8416, 576, 533.76 - 220.16 - 32.0256 - 20}},
      {"lblExisting", s.lblExisting, {25.6, 233.504, 345.6, 20}},
      {"optDoNotRename", s.optDoNotRename, {25.6, 261.184, 104.96, 20}},
      {"optOverwrite", s.optOverwrite, {135.68, 261.184, 104.96, 20}},
      {"optAppendNumber", s.optAppendNumber, {245.76, 261.184, 138.24, 20}},
  };
  for (const auto& r : rects) ExpectRect(r.actual, r.expected, r.name, 1e-6);
  EXPECT_NEAR(s.SepH6, 220.16, 1e-9);
  EXPECT_NEAR(s.SepV2_x, 396.8, 1e-9);
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
