// The Step 1 check and the forbidden-character test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/job.h"

namespace qtarvox {

// The first of "/", "\", "?", "*", ":", "|", "<", ">" (tested in that order)
// that the text contains, as a one-character text; empty when none is.
std::string InvalidNameChar(std::string_view text);

// The outcome of the Step 1 check.
struct Step1Check {
  bool passed = false;
  int failing = -1;  // list index of the action whose check failed, -1: none
  // What to tell the user (OK only) when the check failed; empty when it passed.
  std::string message;
};

// Checks the parameters of every ticked action in list order. Returns the
// first failure's message and names the failing entry; in suppressed mode
// it unticks each failing action instead and passes. Normalises
// NewExtension to begin with ".". In suppressed mode the message of every
// action it unticks is added to `dropped` when that is given. It tells
// nobody anything itself.
Step1Check ValidateStep1(JobSettings& job, std::vector<std::string>* dropped = nullptr);

}  // namespace qtarvox
