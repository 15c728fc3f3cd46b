// Closing a performed job, and quitting.
#pragma once

#include "engine/job.h"
#include "engine/ports.h"

namespace qtarvox {

inline constexpr const char* kSaveSettingsQuestion =
    "Click 'YES' to save all your current settings if you need to use them again now.\r\n"
    "Click 'NO' to clear all settings to that you can enter new values";
inline constexpr const char* kSaveSettingsCaption = "Save Settings?";

// The run button in its Finished state: asks whether to keep the settings,
// clears the job on No, drops the individually chosen files either way,
// removes the Process file and then the Error file, and puts the Step 3
// controls back to ready. The window then shows the Intro screen.
void FinishedSequence(Job& job, Prompter& prompter);

// Quit: removes the Process file, then the Error file, unless in suppressed
// mode (a silent run keeps both for whoever started it).
void QuitCleanup(const Job& job);

}  // namespace qtarvox
