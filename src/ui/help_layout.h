// Where the Help screen's controls go, in the panel's coordinates: the table
// of contents on the left under its caption, the topic's text on the right,
// the three buttons in a row below both.
#pragma once

#include <array>

#include "ui/layout.h"

namespace qtarvox::help {

struct HelpLayout {
  Rect lblTOC, lstTOC, txtHelp;
  std::array<Rect, 3> buttons;  // cmdAbout, cmdContact, cmdThank
};

// `caption_height` is what the caption needs for its wrapped text at 40% of
// the panel's width; it is never given less than the one-line height.
HelpLayout PositionHelpScreen(double panel_width, double panel_height, double line_height,
                              double caption_height);

}  // namespace qtarvox::help
