// What Step 1 shows for an action: the description box's text.
#include "ui/step1_info.h"

#include <gtest/gtest.h>

namespace qtarvox {
namespace {

TEST(ActionDescription, ExamplesFollowTheDescriptionInTheirOwnSpacing) {
  EXPECT_EQ(ActionDescription(ActionId::kUppercase),
            "This action will convert all characters present in the filename of the files that "
            "you choose into Uppercase.\r\n\r\nExample : \r\n'This is the NAME of my File.txt' == "
            "'THIS IS THE NAME OF MY FILE.txt'");
  EXPECT_EQ(ActionDescription(ActionId::kHidden),
            "This action will add the Hidden attribute (+h) to all of the selected files.\r\n");
}

TEST(ActionDescription, EveryActionHasOne) {
  for (int id = 1; id <= kActionCount; ++id) {
    EXPECT_NE(ActionDescription(static_cast<ActionId>(id)).find("This action will"),
              std::string::npos)
        << id;
  }
}

}  // namespace
}  // namespace qtarvox
