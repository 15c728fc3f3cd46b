#include "ui/help_layout.h"

#include <algorithm>

namespace qtarvox::help {

HelpLayout PositionHelpScreen(double panel_width, double panel_height, double line_height,
                              double caption_height) {
  const double pw = panel_width;
  const double ph = panel_height;
  HelpLayout h;
  h.lblTOC = {Pct(pw, 1), Pct(ph, 2.5), Pct(pw, 40), std::max(line_height, caption_height)};
  // The list gives up what the caption grows, so the buttons keep their place.
  h.lstTOC = {h.lblTOC.left, h.lblTOC.bottom() + Pct(ph, 1), h.lblTOC.width,
              std::max(0.0, ph - Pct(ph, 12.5) - h.lblTOC.height)};
  h.txtHelp = {h.lstTOC.right() + Pct(pw, 2.5), h.lstTOC.top, Pct(pw, 55), h.lstTOC.height};
  const double width = (pw - 4 * Pct(pw, 5)) / 3;
  double left = Pct(pw, 5);
  for (Rect& button : h.buttons) {
    button = {left, h.lstTOC.bottom() + Pct(ph, 2.5), width, Pct(ph, 5)};
    left = button.right() + Pct(pw, 5);
  }
  return h;
}

}  // namespace qtarvox::help
