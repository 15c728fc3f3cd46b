// A command line that fills the window: everything but a silent run.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/ports.h"
#include "run/wizard.h"

namespace qtarvox {

// Whether the arguments (without the program name) open the window: neither
// --help, --version nor --preview, and no -SU command among them.
bool OpensWindow(const std::vector<std::string>& args);

// With the job filled from a command line: selects the Step 2 method the
// given files call for and presses the buttons a user would: Step 1's
// Proceed; on a failed check Step 1 again, else the method's OK and Step 2's
// Proceed, twice when both kinds of file were given. The wizard ends on
// Step 3, or on the step whose check failed, its message shown. `pressed`
// is called after each press.
void PressThroughSteps(Wizard& wizard, const std::function<void()>& pressed = {});

// The window's start: reads the job commands into the wizard's job (the only
// thing told, through `prompter`, is the note on a vertical bar in FE), calls
// `shown` (the window appears then) and presses through the steps.
void FillWizard(Wizard& wizard, const std::vector<std::string>& args, Prompter& prompter,
                const std::function<void()>& shown = {}, const std::function<void()>& pressed = {});

}  // namespace qtarvox
