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

// The undo button, in the band between the screen rectangle and the
// window's bottom edge that no screen uses: as high as a navigation button
// (never higher than the band), as wide as one or as its caption needs,
// whichever is wider, its right edge under that of the last navigation
// button, and in the middle of the band's height.
Rect PositionUndoButton(const MainFrameLayout& frame, double height, double caption_width);

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

// Step 2: the method row, the browser with the list panel of each method, and
// the Back and Proceed buttons. Panels are placed in the Step 2 panel's
// coordinates, their controls in their own panel's.
struct Step2Input {
  double window_width = 0;  // W
  double panel_width = 0;
  double panel_height = 0;
  double line_height = 0;
  // What the two long captions need for their wrapped text at a width.
  std::function<double(double)> lblChoose_text_height;
  std::function<double(double)> lblDir_text_height;
  std::function<double(double)> lblExtList_text_height;
  // The widths the three option buttons need to show their captions whole.
  double optIndividual_natural = 0;
  double optExtension_natural = 0;
  double optBoth_natural = 0;
  // What the push buttons need to show their captions whole: the widest of
  // each column of list buttons, and the height of one.
  double cmdFileType_natural = 0;
  double dir_buttons_natural = 0;
  double ext_buttons_natural = 0;
  double file_buttons_natural = 0;
  double button_natural_height = 0;
};

// The browser (pctDir) and the list panel beside it, for one method.
struct FileChoosersLayout {
  Rect pctDir;
  Rect lblDir, txtExt, drvDrive, dirDir, filFile;
  // The individual method's list panel (empty for the extension method).
  Rect pctIndividual;
  Rect lblFileList, lstFile, cmdAddFile, cmdSelectAllFile, cmdRemoveFile;
};

struct Step2Layout {
  Rect lblChoose, optIndividual, optExtension, optBoth, cmdFileType;
  double SepH4 = 0;
  FileChoosersLayout extension;   // PositionFileChoosers(True)
  FileChoosersLayout individual;  // PositionFileChoosers(False)
  Rect pctExtension;
  Rect lblDirList, lstDir, cmdAddDir, cmdSelectAllDir, cmdRemoveDir;
  Rect lblExtList, lstExt, txtExtList, cmdAddExt, cmdSelectAllExt, cmdRemoveExt;
  double SepH5 = 0;
  Rect cmdCancel2, cmdProceed2;
};

Step2Layout PositionStep2Screen(const Step2Input& in);
FileChoosersLayout PositionFileChoosers(bool extension, const Step2Input& in, double SepH4);

// Step 3 in the panel's coordinates.
struct Step3Input {
  double window_width = 0;   // W
  double window_height = 0;  // H
  double panel_width = 0;
  double panel_height = 0;
  double line_height = 0;
  // What the files caption, the separator's caption and the status label
  // need at a width.
  std::function<double(double)> lblFilesFinal_text_height;
  std::function<double(double)> lblSep_text_height;
  std::function<double(double)> lblStatus_text_height;
  // The least height of the Back and Perform buttons (two lines of caption).
  double min_button_height = 0;
  // The widths the three collision options need to show their captions whole.
  double optDoNotRename_natural = 0;
  double optOverwrite_natural = 0;
  double optAppendNumber_natural = 0;
  // The least width of the left column: what the Preview button's caption
  // and the row of options need.
  double min_column_width = 0;
};

struct Step3Layout {
  Rect lblActionsFinal, lstFinal, lblFilesFinal, txtFinal;
  double SepH6 = 0;
  double SepV2_x = 0, SepV2_bottom = 0;
  Rect lblPreview, txtOP;
  Rect lblExisting, optDoNotRename, optOverwrite, optAppendNumber, lblSep, txtSep;
  double SepH7 = 0;
  Rect cmdPreview, chkProcess, cmdOP, cmdErr;
  double SepH8 = 0, SepH9 = 0;
  Rect cmdCancel3, cmdProceed3, lblStatus;
};

Step3Layout PositionStep3Screen(const Step3Input& in);

// The width of the start-number check box: its font size times the characters
// of its caption times ten, in twentieths of a point (15 of them to a pixel);
// never narrower than what the box needs to show its caption whole.
double Chk3Width(double font_points, int caption_chars, double natural_width);

}  // namespace qtarvox
