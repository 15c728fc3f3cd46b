// The Step 1 check and the forbidden-character test.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/job.h"
#include "engine/ports.h"

namespace qtarvox {

// The first of "/", "\", "?", "*", ":", "|", "<", ">" (tested in that order)
// that the text contains, as a one-character text; empty when none is.
std::string InvalidNameChar(std::string_view text);

// Checks the parameters of every ticked action in list order. Shows the
// first failure through the prompter (OK only, caption "Q-Tarvox"),
// highlights the failing entry and sets StepCheckFailed; in suppressed mode
// it unticks each failing action instead and passes. Normalises NewExtension
// to begin with ".". Returns true when the job may go on to Step 2. In
// suppressed mode the message of every action it unticks is added to
// `dropped` when that is given.
bool ValidateStep1(Job& job, Prompter& prompter, std::vector<std::string>* dropped = nullptr);

// What accepting Step 1 does besides the check and what the caller does
// itself (restoring the directory, showing Step 2): takes the snapshot and
// enables the method button. Returns the check's result.
bool AcceptStep1(Job& job, Prompter& prompter, std::vector<std::string>* dropped = nullptr);

}  // namespace qtarvox
