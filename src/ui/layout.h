// Where every control of the window goes, as pure arithmetic on the window's
// width and height and the one-line height: fractions of the window for the
// frame, fractions of the panel for each screen. No widget is involved, so the
// figures can be checked on their own; the screens apply them at start and on
// every resize. Units are device-independent pixels.
#pragma once

#include <array>
#include <functional>
#include <vector>

namespace qtarvox {

struct Rect {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;

  double right() const { return left + width; }
  double bottom() const { return top + height; }
  bool operator==(const Rect&) const = default;
};

// p% of x.
inline double Pct(double x, double p) { return x * p / 100; }

// The frame: title, the two rules, the five navigation buttons (cmdStep1,
// cmdStep2, cmdStep3, cmdHelp, cmdQuit) and the screen rectangle that every
// screen panel takes.
struct MainFrameLayout {
  Rect lblTitle;
  double SepH1 = 0;  // y of the rule under the title
  std::array<Rect, 5> buttons;
  double SepH2 = 0;  // y of the rule under the buttons
  Rect screen;
};

MainFrameLayout PositionMainFrame(double width, double height);

// The ten Intro labels, in the panel's coordinates. `text_height(i, width)`
// is the height label i needs for its wrapped text at that width; a label is
// never lower than the one-line height. The gap between labels is 3% of the
// panel's height, made smaller only when the labels would otherwise run past
// the panel's bottom.
std::vector<Rect> PositionIntroScreen(double panel_width, double panel_height, double line_height,
                                      const std::function<double(int, double)>& text_height);

// Step 1 in the panel's coordinates.
struct Step1Layout {
  Rect lblActions, lstActions;
  double SepY1_x = 0, SepY1_bottom = 0;
  double SepH3 = 0;
  Rect lblAddInfo, lblNone;
  Rect lblAI1, txtAI1, lblAI2, txtAI2;
  Rect optAI1, optAI2, optAI3, optAI4;
  Rect chkAI1, chkAI2, chkAI3, txtAI3;
  Rect txtStep1Desc, lblDesc;
  Rect cmdCancel1, cmdProceed1;
};

struct Step1Input {
  double window_height = 0;  // H: one gap of the panel is a share of the window
  double panel_width = 0;
  double panel_height = 0;
  double line_height = 0;
  // What the two parameter captions need for their wrapped text at their
  // width (a caption with a line break needs two lines); never less than the
  // one-line height is used. The second caption moves down when the first one
  // has grown past its text box.
  double lblAI1_text_height = 0;
  double lblAI2_text_height = 0;
  double chkAI3_width = 0;  // see Chk3Width
};

Step1Layout PositionStep1Screen(const Step1Input& in);

// The width of the start-number check box: its font size times the characters
// of its caption times ten, in twentieths of a point (15 of them to a pixel);
// never narrower than what the box needs to show its caption whole.
double Chk3Width(double font_points, int caption_chars, double natural_width);

}  // namespace qtarvox
