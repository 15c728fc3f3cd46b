// The seventeen rename actions: their fixed identifiers, list positions, list
// texts and chosen-action flags.
#pragma once

#include <array>

namespace qtarvox {

// The fixed number of an action, independent of its place in the list.
enum class ActionId : int {
  kUppercase = 1,
  kLowercase = 2,
  kDeleteLast = 3,
  kDeleteFirst = 4,
  kReplace = 5,
  kAddBeginning = 6,
  kAddEnd = 7,
  kNumberEnd = 8,
  kNumberBeginning = 9,
  kReadOnly = 10,
  kHidden = 11,
  kNormal = 12,
  kChangeExtension = 13,
  kCapitalize = 14,
  kCompleteRename = 15,
  kArchive = 16,
  kClearName = 17,
};

inline constexpr int kActionCount = 17;

// Snapshot of which actions were ticked when Step 1 was accepted. "Clear
// original filename" has no flag.
struct ChosenActions {
  bool DoUppercase = false;
  bool DoLowercase = false;
  bool DoDeleteLast = false;
  bool DoDeleteFirst = false;
  bool DoReplace = false;
  bool DoAddBeginning = false;
  bool DoAddEnd = false;
  bool DoNumberEnd = false;
  bool DoNumberBeginning = false;
  bool DoReadOnly = false;
  bool DoHidden = false;
  bool DoNormal = false;
  bool DoChangeExtension = false;
  bool DoCapitalize = false;
  bool DoCompleteRename = false;
  bool DoArchive = false;
};

struct ActionInfo {
  int position;  // 1-based place in the list
  ActionId id;
  const char* text;           // list text, letter for letter
  bool ChosenActions::*flag;  // nullptr for "Clear original filename"
};

// The actions in list order (index = position - 1).
extern const std::array<ActionInfo, kActionCount> kActions;

// The table row of an identifier.
const ActionInfo& ActionInfoOf(ActionId id);

}  // namespace qtarvox
