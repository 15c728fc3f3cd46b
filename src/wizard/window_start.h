// Filling the wizard from a command line: the window's start (everything
// but a silent run), and what both starts check of the files named.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/ports.h"
#include "wizard/wizard.h"

namespace qtarvox {

// The folder the program was started in, where a job from the command line
// begins.
std::string StartFolder();

// Whether the arguments (without the program name) open the window: neither
// --help, --version nor --preview, no -SU command among them, and nothing
// that makes the command line unusable (an unknown option, a long option
// with one dash, a file of FI that would be read as a command).
bool OpensWindow(const std::vector<std::string>& args);

// With the job filled from a command line: selects the Step 2 method the
// given files call for and presses the buttons a user would: Step 1's
// Proceed; on a failed check Step 1 again, else the method's OK and Step 2's
// Proceed, twice when both kinds of file were given. The wizard ends on
// Step 3, or on the step whose check failed, its message shown. `pressed`
// is called after each press.
void PressThroughSteps(Wizard& wizard, const std::function<void()>& pressed = {});

// The window's start: reads the job commands and the files given apart from
// them into the wizard's job (the only things told, through `prompter`, are
// the note on a vertical bar in FE and a --files0-from source that cannot be
// read), calls `shown` (the window appears then) and presses through the
// steps. A command line that ticks no action only chooses files: it leaves
// the wizard on Step 1 with them chosen (on the Intro screen when it names
// none), without any check or message.
// What a command line named that is not there: the files of FI (directory
// and name) and the directories of FE (without the subdirectories mark), in
// list order.
struct MissingEntries {
  std::vector<std::string> files;
  std::vector<std::string> directories;
};
MissingEntries MissingNamedEntries(const Job& job);

void FillWizard(Wizard& wizard, const std::vector<std::string>& args, Prompter& prompter,
                const std::function<void()>& shown = {}, const std::function<void()>& pressed = {});

}  // namespace qtarvox
