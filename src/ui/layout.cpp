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

Rect PositionUndoButton(const MainFrameLayout& frame, double height, double caption_width) {
  const Rect& last = frame.buttons.back();
  const double band_top = frame.screen.bottom();
  const double band = std::max(0.0, height - band_top);
  Rect button;
  button.width = std::max(last.width, caption_width);
  button.height = std::min(last.height, band);
  button.left = last.right() - button.width;
  button.top = band_top + (band - button.height) / 2;
  return button;
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

FileChoosersLayout PositionFileChoosers(bool extension, const Step2Input& in, double SepH4) {
  const double pw = in.panel_width;
  const double ph = in.panel_height;
  const double line = in.line_height;
  FileChoosersLayout f;
  f.pctDir = {Pct(pw, 2.5), SepH4 + Pct(ph, 2.5), Pct(pw, extension ? 40 : 50),
              ph - SepH4 - Pct(ph, 20)};
  const double dw = f.pctDir.width;
  const double dh = f.pctDir.height;
  // The caption grows downward when its text needs more lines.
  const double caption = in.lblDir_text_height ? in.lblDir_text_height(dw) : 0;
  f.lblDir = {0, Pct(dh, 2.5), dw, std::max(Pct(dh, 5), caption)};
  if (extension) {
    // Pattern and file list on the left, drive list and folder tree on the right.
    f.txtExt = {f.lblDir.left, f.lblDir.bottom() + Pct(dh, 2.5), dw / 2 - Pct(dw, 12.5), line};
    f.drvDrive = {f.txtExt.right() + Pct(dw, 2.5), f.txtExt.top, Pct(dw, 15) + f.txtExt.width,
                  line};
    f.filFile = {f.txtExt.left, f.txtExt.bottom() + Pct(dh, 2.5), f.txtExt.width,
                 dh - Pct(dh, 2.5) - f.txtExt.bottom()};
    f.dirDir = {f.drvDrive.left, f.filFile.top, f.drvDrive.width, f.filFile.height};
    return f;
  }
  // The folder tree and the file list share the browser about equally, so
  // that folder names are seen whole in the tree as well.
  f.drvDrive = {f.lblDir.left, f.lblDir.bottom() + Pct(dh, 2.5), Pct(dw, 45), line};
  f.txtExt = {f.drvDrive.right() + Pct(dw, 2.5), f.drvDrive.top, Pct(dw, 47.5), line};
  f.dirDir = {f.drvDrive.left, f.txtExt.bottom() + Pct(dh, 2.5), f.drvDrive.width,
              dh - Pct(dh, 2.5) - f.txtExt.bottom()};
  f.filFile = {f.txtExt.left, f.dirDir.top, f.txtExt.width, f.dirDir.height};

  // The list panel starts over the browser's empty right margin.
  f.pctIndividual = {dw, f.pctDir.top, Pct(pw, 47.5), dh};
  const double iw = f.pctIndividual.width;
  const double ih = f.pctIndividual.height;
  // A button is never smaller than its caption needs.
  const Rect button = {Pct(iw, 2.5), 0, std::max(Pct(iw, 20), in.file_buttons_natural),
                       std::max(Pct(ih, 12), in.button_natural_height)};
  f.lstFile = {button.right() + Pct(iw, 2.5), f.drvDrive.top, iw - button.width - Pct(iw, 7.5),
               std::min(Pct(ih, 90), ih - f.drvDrive.top)};
  f.lblFileList = {f.lstFile.left, f.lblDir.top, f.lstFile.width, line};
  f.cmdAddFile = button;
  f.cmdAddFile.top =
      f.lstFile.height / 2 - 1.5 * button.height + f.lblFileList.height + Pct(ih, 2.5);
  f.cmdSelectAllFile = button;
  f.cmdSelectAllFile.top = f.cmdAddFile.bottom() + Pct(ih, 2.5);
  f.cmdRemoveFile = button;
  f.cmdRemoveFile.top = f.cmdSelectAllFile.bottom() + Pct(ih, 2.5);
  return f;
}

namespace {

// The widths the three option buttons of Step 2 ask for; the file-type
// button takes its width from the second.
struct Step2OptionWidths {
  double individual;
  double by_extension;
  double both;
};

Step2OptionWidths OptionWidthsOf(const Step2Input& in) {
  const double pw = in.panel_width;
  const double w = in.window_width;
  Step2OptionWidths o;
  o.individual = (Pct(w, 60) - 5 * Pct(w, 2.5)) / 4 + Pct(pw, 10);
  o.by_extension = o.individual - Pct(pw, 10);
  o.both = o.by_extension - Pct(w, 5);
  return o;
}

// The caption and the option buttons along the top, and the rule under them.
void PositionChooseRow(const Step2Input& in, const Step2OptionWidths& o, Step2Layout& s) {
  const double pw = in.panel_width;
  const double ph = in.panel_height;
  const double choose = in.lblChoose_text_height ? in.lblChoose_text_height(Pct(pw, 35)) : 0;
  s.lblChoose = {Pct(pw, 2.5), Pct(ph, 2.5), Pct(pw, 35), std::max(Pct(ph, 10), choose)};
  // An option button is never narrower than its caption; the next one moves
  // along with it.
  s.optIndividual = {s.lblChoose.right() + Pct(pw, 2.5), s.lblChoose.top,
                     std::max(o.individual, in.optIndividual_natural), s.lblChoose.height};
  s.optExtension = {s.optIndividual.right() + Pct(pw, 2.5), s.lblChoose.top,
                    std::max(o.by_extension, in.optExtension_natural), s.lblChoose.height};
  s.optBoth = {s.optExtension.right() + Pct(pw, 2.5), s.lblChoose.top,
               std::max(o.both, in.optBoth_natural), s.lblChoose.height};
  s.SepH4 = s.lblChoose.bottom() + Pct(ph, 2.5);
}

// The directory and extension lists with their buttons, in the panel beside
// the file choosers of the extension screen.
void PositionListsPanel(const Step2Input& in, Step2Layout& s) {
  const double pw = in.panel_width;
  const double line = in.line_height;
  const Rect& dir = s.extension.pctDir;
  const double eh = dir.height;
  s.pctExtension = {dir.left + dir.width, dir.top, Pct(pw, 55), eh};
  const double ew = s.pctExtension.width;
  // The list buttons are never smaller than their captions need; the lists
  // beside them give up the room.
  const Rect button = {Pct(ew, 2.5), 0, std::max(Pct(ew, 15), in.dir_buttons_natural),
                       std::max(Pct(eh, 10), in.button_natural_height)};
  s.lstDir = {button.right() + Pct(ew, 2.5), s.extension.drvDrive.top,
              ew - button.width - Pct(ew, 7.5), Pct(eh, 45)};
  s.lblDirList = {s.lstDir.left, s.extension.lblDir.top, s.lstDir.width, line};
  const double ext_caption =
      in.lblExtList_text_height ? in.lblExtList_text_height(s.lstDir.width) : 0;
  s.lblExtList = {button.left, 0, s.lstDir.width, std::max(line, ext_caption)};
  const auto ext_list_height = [&] {
    return eh - s.lstDir.top - s.lstDir.height - s.lblExtList.height - Pct(eh, 7.5);
  };
  // The extension buttons stand under the text box beside the list; when the
  // list is too low for them, the directory list above gives up height.
  const double ext_button =
      std::max((ext_list_height() - line - 4 * Pct(eh, 1.5)) / 3, in.button_natural_height);
  const double ext_column = line + 3 * ext_button + 4 * Pct(eh, 1.5);
  s.lstDir.height -= std::max(0.0, ext_column - ext_list_height());
  s.cmdAddDir = button;
  s.cmdAddDir.top = s.lstDir.height / 2 - 1.5 * button.height + s.lblDirList.height + Pct(eh, 2.5);
  s.cmdSelectAllDir = button;
  s.cmdSelectAllDir.top = s.cmdAddDir.bottom() + Pct(eh, 2.5);
  s.cmdRemoveDir = button;
  s.cmdRemoveDir.top = s.cmdSelectAllDir.bottom() + Pct(eh, 2.5);
  s.lblExtList.top = s.lstDir.bottom() + Pct(eh, 2.5);
  const double ext_width =
      std::min(s.lstDir.width - Pct(ew, 10), ew - in.ext_buttons_natural - Pct(ew, 7.5));
  s.lstExt = {s.lblExtList.left, s.lblExtList.bottom() + Pct(eh, 2.5), ext_width,
              ext_list_height()};
  s.txtExtList = {s.lstExt.right() + Pct(ew, 2.5), s.lstExt.top, ew - s.lstExt.width - Pct(ew, 7.5),
                  line};
  s.cmdAddExt = {s.txtExtList.left, s.txtExtList.bottom() + Pct(eh, 1.5), s.txtExtList.width,
                 ext_button};
  s.cmdSelectAllExt = s.cmdAddExt;
  s.cmdSelectAllExt.top = s.cmdAddExt.bottom() + Pct(eh, 1.5);
  s.cmdRemoveExt = s.cmdSelectAllExt;
  s.cmdRemoveExt.top = s.cmdSelectAllExt.bottom() + Pct(eh, 1.5);
}

}  // namespace

Step2Layout PositionStep2Screen(const Step2Input& in) {
  const double pw = in.panel_width;
  const double ph = in.panel_height;
  Step2Layout s;
  const Step2OptionWidths options = OptionWidthsOf(in);
  PositionChooseRow(in, options, s);

  s.extension = PositionFileChoosers(true, in, s.SepH4);
  s.individual = PositionFileChoosers(false, in, s.SepH4);
  // The list panel keeps one height, so the OK button's margin is taken from it.
  const double eh = s.extension.pctDir.height;
  s.cmdFileType.height = s.SepH4 - Pct(eh, 4);
  s.cmdFileType.width = std::max(options.by_extension - Pct(pw, 5), in.cmdFileType_natural);
  s.cmdFileType.top = (s.SepH4 - s.cmdFileType.height) / 2;
  s.cmdFileType.left = s.optBoth.right() + Pct(pw, 2.5);

  PositionListsPanel(in, s);

  s.SepH5 = s.pctExtension.bottom() + Pct(eh, 1);
  s.cmdCancel2 = {pw / 2 - Pct(pw, 10) - Pct(pw, 2.5), s.SepH5 + Pct(ph, 2.5), Pct(pw, 10),
                  Pct(ph, 10)};
  s.cmdProceed2 = s.cmdCancel2;
  s.cmdProceed2.left = pw / 2 + Pct(pw, 2.5);
  return s;
}

namespace {

// The caption and box of the actions, beside them those of the files, and
// the preview box under the files: the part of Step 3 that never squeezes.
void PositionFinalLists(const Step3Input& in, Step3Layout& s) {
  const double pw = in.panel_width;
  const double ph = in.panel_height;
  const double line = in.line_height;
  s.lblActionsFinal = {Pct(pw, 2.5), Pct(ph, 2.5), Pct(pw, 35), line};
  s.lstFinal = {s.lblActionsFinal.left, s.lblActionsFinal.bottom() + Pct(ph, 2.5),
                s.lblActionsFinal.width, Pct(ph, 30)};
  // The left column below SepH6 is never narrower than its controls need;
  // the right side gives up the room.
  const double right_side =
      std::max(s.lblActionsFinal.right() + Pct(pw, 2.5), in.min_column_width + Pct(pw, 6.25));
  const double files_width = pw - right_side - Pct(pw, 5);
  const double files_text =
      in.lblFilesFinal_text_height ? in.lblFilesFinal_text_height(files_width) : 0;
  s.lblFilesFinal = {right_side, s.lblActionsFinal.top, files_width, std::max(line, files_text)};
  // A caption that needs two lines moves both boxes down.
  s.lstFinal.top = std::max(s.lblActionsFinal.bottom(), s.lblFilesFinal.bottom()) + Pct(ph, 2.5);
  s.txtFinal = {s.lblFilesFinal.left, s.lstFinal.top, s.lblFilesFinal.width, s.lstFinal.height};
  s.SepH6 = s.lstFinal.bottom() + Pct(ph, 2.5);
  s.SepV2_x = s.txtFinal.left - Pct(pw, 1.25);
  s.lblPreview = {s.txtFinal.left, s.SepH6 + Pct(ph, 2.5), pw - s.SepV2_x - Pct(pw, 5), line};
  s.txtOP = {s.lblPreview.left, s.lblPreview.bottom() + Pct(ph, 1), s.lblPreview.width,
             ph - s.SepH6 - Pct(ph, 6) - s.lblPreview.height};
  s.txtFinal.width = s.txtOP.width;
}

// Back and Perform sit in the band between SepH8 and SepH9, the status
// label below them; where the band is too low for the buttons' share of
// the panel and the status text, the buttons give up height first. False
// when the buttons do not find their least height there.
bool PositionRunButtons(const Step3Input& in, double squeeze, double column, Step3Layout& s) {
  const double pw = in.panel_width;
  const double ph = in.panel_height;
  const double line = in.line_height;
  const double gap = squeeze * Pct(ph, 1);
  const double width = Pct(pw, 15);
  const double left = s.SepV2_x / 2 - width - Pct(pw, 1.25);
  // The status label starts under Back and stops short of the rule.
  const double status_width = std::min(column, s.SepV2_x - Pct(pw, 1.25) - left);
  const double status =
      std::max(line, in.lblStatus_text_height ? in.lblStatus_text_height(status_width) : 0);
  // The status keeps a gap above the rule under it too.
  const double room = s.SepH9 - s.SepH8 - 3 * gap - status;
  const double height = std::max(in.min_button_height, std::min(Pct(ph, 15), room));
  double top = s.SepH8 + (s.SepH9 - s.SepH8) / 2 - height / 2 - height / 3;
  top = std::max(std::min(top, s.SepH9 - status - 2 * gap - height), s.SepH8 + gap);
  s.cmdCancel3 = {left, top, width, height};
  s.cmdProceed3 = s.cmdCancel3;
  s.cmdProceed3.left = s.cmdCancel3.right() + Pct(pw, 1.25);
  s.lblStatus = {left, s.cmdProceed3.bottom() + gap, status_width, 0};
  s.lblStatus.height = std::max(status, s.SepH9 - gap - s.lblStatus.top);
  return room >= in.min_button_height;
}

// Step 3 with the Process-file box `chk_height` high and the gaps of the
// left column below SepH6 at `squeeze` of their share; `fits` tells whether
// Back, Perform and the status label find room below SepH8.
Step3Layout Step3With(const Step3Input& in, double chk_height, double squeeze, bool& fits) {
  const double pw = in.panel_width;
  const double ph = in.panel_height;
  const double w = in.window_width;
  const double h = in.window_height;
  const double line = in.line_height;
  Step3Layout s;
  PositionFinalLists(in, s);

  const double column = s.SepV2_x - Pct(pw, 5);
  s.lblExisting = {s.lstFinal.left, s.lblPreview.top, column, line};
  // An option is never narrower than its caption; the next one moves along.
  const double option = column / 3 - Pct(w, 1);
  s.optDoNotRename = {s.lblExisting.left, s.lblExisting.bottom() + squeeze * Pct(h, 1),
                      std::max(option, in.optDoNotRename_natural), line};
  s.optOverwrite = {s.optDoNotRename.right() + Pct(w, 0.5), s.optDoNotRename.top,
                    std::max(option, in.optOverwrite_natural), line};
  s.optAppendNumber = {s.optOverwrite.right() + Pct(w, 0.5), s.optDoNotRename.top,
                       std::max(column / 2.5, in.optAppendNumber_natural), line};
  const double sep_width = 2.8 * option;
  const double sep_text = in.lblSep_text_height ? in.lblSep_text_height(sep_width) : 0;
  s.lblSep = {s.optDoNotRename.left, s.optAppendNumber.bottom() + squeeze * Pct(h, 0.5), sep_width,
              std::max(line, sep_text)};
  s.txtSep = {s.lblSep.right(), s.lblSep.top, column / 2.5 / 3.5, line};
  s.SepH7 = std::max(s.lblSep.bottom(), s.txtSep.bottom()) + squeeze * Pct(h, 1);
  s.cmdPreview = {s.lstFinal.left, s.SepH7 + squeeze * Pct(h, 1), column, Pct(ph, 5)};
  s.chkProcess = {s.cmdPreview.left, s.cmdPreview.bottom() + squeeze * Pct(ph, 1.25), column,
                  chk_height};
  s.cmdOP = {s.cmdPreview.left, s.chkProcess.bottom() + squeeze * Pct(ph, 1.25), column / 2,
             s.cmdPreview.height};
  s.cmdErr = s.cmdOP;
  s.cmdErr.left = s.cmdOP.right() + Pct(pw, 1.25);
  s.SepH8 = s.cmdErr.bottom() + (s.cmdPreview.top - s.SepH7);
  s.SepH9 = s.txtOP.bottom() + Pct(ph, 1);
  s.SepV2_bottom = s.SepH9;
  fits = PositionRunButtons(in, squeeze, column, s);
  return s;
}

}  // namespace

Step3Layout PositionStep3Screen(const Step3Input& in) {
  // Where the panel is too low, the Process-file box takes one line, then
  // the gaps of the left column shrink.
  const struct { double chk_lines, squeeze; } tries[] = {{2, 1}, {1, 1}, {1, 0.5}, {1, 0.25}};
  bool fits = false;
  Step3Layout s;
  for (const auto& t : tries) {
    s = Step3With(in, t.chk_lines * in.line_height, t.squeeze, fits);
    if (fits) break;
  }
  return s;
}

double Chk3Width(double font_points, int caption_chars, double natural_width) {
  constexpr double kTwipsPerPixel = 15;
  return std::max(font_points * caption_chars * 10 / kTwipsPerPixel, natural_width);
}

}  // namespace qtarvox
