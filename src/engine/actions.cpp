#include "engine/actions.h"

namespace qtarvox {

const std::array<ActionInfo, kActionCount> kActions{{
    {1, ActionId::kUppercase, "1) Make filename into fully UPPERCASE", &ChosenActions::DoUppercase},
    {2, ActionId::kLowercase, "2) Make filename into fully LOWERCASE", &ChosenActions::DoLowercase},
    {3, ActionId::kClearName, "3) Clear original filename", nullptr},
    {4, ActionId::kDeleteLast, "4) Delete last 'n' characters from filename",
     &ChosenActions::DoDeleteLast},
    {5, ActionId::kDeleteFirst, "5) Delete first 'n' characters from filename",
     &ChosenActions::DoDeleteFirst},
    {6, ActionId::kReplace, "6) Replace 'string1' with 'string2'", &ChosenActions::DoReplace},
    {7, ActionId::kAddBeginning, "7) Add string to beginning of filename",
     &ChosenActions::DoAddBeginning},
    {8, ActionId::kAddEnd, "8) Add string to end of filename", &ChosenActions::DoAddEnd},
    {9, ActionId::kNumberEnd, "9) Add numbers in sequence to end of each filename",
     &ChosenActions::DoNumberEnd},
    {10, ActionId::kNumberBeginning, "10) Add numbers in sequence to beginning of each filename",
     &ChosenActions::DoNumberBeginning},
    {11, ActionId::kReadOnly, "11) Add read only attribute(+r) to all files",
     &ChosenActions::DoReadOnly},
    {12, ActionId::kHidden, "12) Add hidden attribute(+h) to all files", &ChosenActions::DoHidden},
    {13, ActionId::kArchive, "13) Add archive attribute(+a) to all files",
     &ChosenActions::DoArchive},
    {14, ActionId::kNormal, "14) Remove all attributes and make file normal (-r -h -a)",
     &ChosenActions::DoNormal},
    {15, ActionId::kChangeExtension, "15) Change file Extension",
     &ChosenActions::DoChangeExtension},
    {16, ActionId::kCapitalize, "16) Capitalize Words", &ChosenActions::DoCapitalize},
    {17, ActionId::kCompleteRename, "17) Completely rename Filename",
     &ChosenActions::DoCompleteRename},
}};

const ActionInfo& ActionInfoOf(ActionId id) {
  for (const auto& info : kActions) {
    if (info.id == id) return info;
  }
  return kActions[0];
}

}  // namespace qtarvox
