#include "ui/layout.h"

#include <algorithm>

namespace qtarvox {

MainFrameLayout PositionMainFrame(double width, double height) {
  MainFrameLayout f;
  f.lblTitle = {0, Pct(height, 2), width, Pct(height, 10)};
  f.SepH1 = f.lblTitle.bottom();
  // Six gaps of 6% around five buttons; each next button starts 5% after the
  // previous one, so the row ends at 90% of the width.
  const double button_width = (width - 6 * Pct(width, 6)) / 5;
  double left = Pct(width, 6);
  for (Rect& button : f.buttons) {
    button = {left, f.SepH1 + Pct(height, 1.75), button_width, Pct(height, 5)};
    left = button.right() + Pct(width, 5);
  }
  f.SepH2 = f.buttons[3].bottom() + Pct(height, 1.75);
  f.screen = {0, f.SepH2 + Pct(height, 0.2), width, height - Pct(height, 10) - f.SepH2};
  return f;
}

std::vector<Rect> PositionIntroScreen(double panel_width, double panel_height, double line_height,
                                      const std::function<double(int, double)>& text_height) {
  constexpr int kLabels = 10;
  const double width = Pct(panel_width, 95);
  const double first_top = Pct(panel_height, 2.5);
  std::vector<double> heights(kLabels);
  double total = 0;
  for (int i = 0; i < kLabels; ++i) {
    heights[i] = std::max(line_height, text_height(i, width));
    total += heights[i];
  }
  const double room = panel_height - first_top - total;
  const double gap = std::clamp(room / (kLabels - 1), 0.0, Pct(panel_height, 3));

  std::vector<Rect> labels;
  double top = first_top;
  for (int i = 0; i < kLabels; ++i) {
    labels.push_back({Pct(panel_width, 2.5), top, width, heights[i]});
    top = labels.back().bottom() + gap;
  }
  return labels;
}

Step1Layout PositionStep1Screen(const Step1Input& in) {
  const double pw = in.panel_width;
  const double ph = in.panel_height;
  const double line = in.line_height;
  Step1Layout s;
  s.lblActions = {Pct(pw, 2.5), 0, Pct(pw, 40), line};
  s.lstActions = {s.lblActions.left, s.lblActions.bottom() + Pct(ph, 0.5), Pct(pw, 45),
                  Pct(ph, 80)};
  s.SepY1_x = s.lstActions.right() + Pct(pw, 2.5);
  s.SepY1_bottom = s.lstActions.bottom() + Pct(ph, 2.5);
  s.SepH3 = s.SepY1_bottom;
  s.lblAddInfo = {s.SepY1_x + Pct(pw, 2.5), s.lblActions.top, Pct(pw, 40), line};
  s.lblNone = {s.lblAddInfo.left, s.lblAddInfo.bottom() + Pct(ph, 2.5), Pct(pw, 10), Pct(ph, 10)};

  const double left = s.lblAddInfo.left;
  s.lblAI1 = {left, s.lblNone.top, Pct(pw, 25), std::max(line, in.lblAI1_text_height)};
  s.txtAI1 = {s.lblAI1.left + Pct(pw, 25), s.lblAI1.top, Pct(pw, 15), line};
  const double second_row = std::max(s.txtAI1.bottom(), s.lblAI1.bottom()) + Pct(ph, 1.75);
  s.lblAI2 = {left, second_row, Pct(pw, 25), std::max(line, in.lblAI2_text_height)};
  s.txtAI2 = {s.txtAI1.left, s.lblAI2.top, s.txtAI1.width, line};

  const Rect option = {left, s.lblAI2.top, Pct(pw, 15) + Pct(pw, 25), 2 * line};
  s.optAI1 = option;
  s.optAI2 = option;
  s.optAI2.top = s.optAI1.bottom() + Pct(ph, 1.75);
  s.optAI3 = option;
  s.optAI3.top = s.optAI2.top;
  s.optAI4 = option;
  s.optAI4.top = s.optAI3.bottom() + Pct(ph, 1.75);
  s.chkAI2 = option;
  s.chkAI2.top = s.txtAI2.top;
  // The first check box ends where the second begins, and the start-number
  // box takes one line, level with its text box: the boxes never overlap and
  // the description below keeps its room in the smallest window.
  s.chkAI1 = option;
  s.chkAI1.top = s.txtAI1.top;
  s.chkAI1.height = std::min(option.height, s.chkAI2.top - s.chkAI1.top);
  s.chkAI3 = {left, s.optAI2.bottom() + Pct(in.window_height, 1.75), in.chkAI3_width, line};
  s.txtAI3 = {s.chkAI3.right(), s.chkAI3.top, Pct(pw, 8), s.txtAI1.height};

  s.txtStep1Desc = {left, 0, Pct(pw, 45), Pct(ph, 30)};
  s.txtStep1Desc.top = s.SepH3 - s.txtStep1Desc.height - Pct(ph, 2.5);
  s.lblDesc = {left, s.txtStep1Desc.top - line, s.txtStep1Desc.width, line};

  s.cmdCancel1 = {0, 0, Pct(pw, 10), Pct(ph, 10)};
  s.cmdCancel1.top = s.SepH3 + (ph - s.SepH3) / 2 - s.cmdCancel1.height / 2;
  s.cmdCancel1.left = pw / 2 - s.cmdCancel1.width - Pct(pw, 2.5);
  s.cmdProceed1 = s.cmdCancel1;
  s.cmdProceed1.left = pw / 2 + Pct(pw, 2.5);
  return s;
}

double Chk3Width(double font_points, int caption_chars, double natural_width) {
  constexpr double kTwipsPerPixel = 15;
  return std::max(font_points * caption_chars * 10 / kTwipsPerPixel, natural_width);
}

}  // namespace qtarvox
