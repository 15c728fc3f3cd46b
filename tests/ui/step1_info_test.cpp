// What Step 1 shows for an action: the description box's text.
#include "ui/step1_info.h"

#include <gtest/gtest.h>

namespace qtarvox {
namespace {

TEST(ActionDescription, ExamplesFollowTheDescriptionInTheirOwnSpacing) {
  const std::string numbering_end =
      "This action will add a number to the end of each of the selected filename(s) in ascending "
      "order of the number.'\r\n"
      "\r\nExample : \r\nIf the 'normal' format of numbering was choosen then 'This is the NAME "
      "of my File.txt' == 'This is the NAME of my File1.txt'\r\n"
      "\r\nExample : \r\nIf the 'even' format of numbering was choosen and if there were <= 100 "
      "files then 'This is the NAME of my File.txt' == 'This is the NAME of my File001.txt'\r\n"
      "\r\nExample : \r\nIf the 'even' format of numbering was choosen and also the 'broken "
      "numbering' was choosen and the start number given as '95' and if there were >= 5 files "
      "then 'This is the NAME of my File.txt' == 'This is the NAME of my File095.txt'\r\n";
  const std::string numbering_beginning =
      "This action will add a number to the start of each of the selected filename(s) in "
      "ascending order of the number.'\r\n"
      "\r\nExample : \r\nIf the 'normal' format of numbering was choosen then 'This is the NAME "
      "of my File.txt' == '1This is the NAME of my File.txt'"
      "\r\nExample : \r\nIf the 'even' format of numbering was choosen and if there were <= 100 "
      "files then 'This is the NAME of my File.txt' == '001This is the NAME of my File.txt'\r\n"
      "\r\nExample : \r\nIf the 'even' format of numbering was choosen and also the 'broken "
      "numbering' was choosen and the start number given as '95' and if there were >= 5 files "
      "then 'This is the NAME of my File.txt' == '095This is the NAME of my File.txt'\r\n";
  const std::string capitalize =
      "This action will capitalize the starting letter of words seperated by either spaces or "
      "underscores.\r\n"
      "\r\nExample : \r\nIf both words seperated by spaces and underscores were selected, then "
      "'This is_the NAME of_my File.txt' == 'This Is The NAME Of My File.txt'"
      "\r\n\r\nExample :If only words seperated by spaces was choosen then 'This is_the NAME "
      "of_my File.txt' == 'This Is_the NAME Of_my File.txt'";
  const std::string clear =
      "This action will get rid of the original filename completely so that you can have a "
      "fresh empty filename to make changes on such as adding strings, adding numbers etc. This "
      "option is most useful when you want to give all the selected files the same filename "
      "with numbers at the beginning or end of the filename. If you think you know a better use "
      "for this action, let me know and I'll be sure to add it to this help text :)\r\n"
      "Example : \r\n'This is the NAME of my File.txt' == '.txt'";
  const struct {
    ActionId id;
    std::string text;
  } cases[] = {
      {ActionId::kUppercase,
       "This action will convert all characters present in the filename of the files that you "
       "choose into Uppercase.\r\n\r\nExample : \r\n'This is the NAME of my File.txt' == 'THIS "
       "IS THE NAME OF MY FILE.txt'"},
      {ActionId::kHidden,
       "This action will add the Hidden attribute (+h) to all of the selected files.\r\n"},
      {ActionId::kNumberEnd, numbering_end},
      {ActionId::kNumberBeginning, numbering_beginning},
      {ActionId::kCapitalize, capitalize},
      {ActionId::kClearName, clear},
  };
  for (const auto& c : cases) EXPECT_EQ(ActionDescription(c.id), c.text) << static_cast<int>(c.id);
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
