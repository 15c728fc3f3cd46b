// What Step 1 shows for a highlighted action: its description with examples,
// and which parameter controls appear with which captions and values. Pure
// functions of the job; the Step 1 screen only renders them.
#pragma once

#include <optional>
#include <string>

#include "engine/actions.h"
#include "engine/job.h"

namespace qtarvox {

// The description box's text for an action: the description, a line break,
// then per example a line break, "Example : ", a line break and the example,
// with the spacing of the numbering actions, Capitalize Words and Clear
// original filename as they have always been shown. Lines end in CR LF.
std::string ActionDescription(ActionId id);

// The parameter controls of one action. A caption or text that is not set
// stands for a control that stays hidden.
struct ActionControls {
  bool lblNone = false;
  std::optional<std::string> lblAI1, txtAI1, lblAI2, txtAI2;
  bool numbering = false;  // optAI1, optAI2, chkAI3, txtAI3
  bool optAI1_selected = false;
  bool chkAI3_ticked = false;
  std::string txtAI3;        // enabled exactly when chkAI3 is ticked
  bool case_choice = false;  // optAI3, optAI4
  bool optAI4_selected = false;
  bool capitalize = false;  // chkAI1, chkAI2
  bool chkAI1_ticked = false;
  bool chkAI2_ticked = false;
};

ActionControls ControlsFor(const Job& job, ActionId id);

// The text box that gets the keyboard focus when the Step 1 check fails on
// this action.
enum class FailedBox { kNone, kTxtAI1, kTxtAI2, kTxtAI3 };
FailedBox BoxOfFailedCheck(const Job& job, ActionId id);

}  // namespace qtarvox
