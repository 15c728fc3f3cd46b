// The Help screen's geometry as fractions of its panel.
#include "ui/help_layout.h"

#include <gtest/gtest.h>

namespace qtarvox {
namespace {

TEST(HelpLayout, FractionsOfThePanel) {
  // A panel 1000 x 600, one line 20 high, a caption that needs 50.
  const help::HelpLayout h = help::PositionHelpScreen(1000, 600, 20, 50);
  EXPECT_EQ(h.lblTOC, (Rect{10, 15, 400, 50}));
  EXPECT_EQ(h.lstTOC, (Rect{10, 71, 400, 475}));
  EXPECT_EQ(h.txtHelp, (Rect{435, 71, 550, 475}));
  const double width = 800.0 / 3;
  EXPECT_EQ(h.buttons[0], (Rect{50, 561, width, 30}));
  EXPECT_DOUBLE_EQ(h.buttons[1].left, 50 + width + 50);
  EXPECT_DOUBLE_EQ(h.buttons[2].left, 50 + 2 * (width + 50));
  // A caption lower than one line still takes one line.
  EXPECT_DOUBLE_EQ(help::PositionHelpScreen(1000, 600, 20, 5).lblTOC.height, 20);
}

}  // namespace
}  // namespace qtarvox
