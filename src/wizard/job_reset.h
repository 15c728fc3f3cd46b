// Closing a performed job, and quitting.
#pragma once

#include "engine/job.h"
#include "engine/ports.h"

namespace qtarvox {

inline constexpr const char* kSaveSettingsQuestion =
    "Click 'YES' to save all your current settings if you need to use them again now.\r\n"
    "Click 'NO' to clear all settings to that you can enter new values";
inline constexpr const char* kSaveSettingsCaption = "Save Settings?";

// What the run button in its Finished state does to the job: asks whether to
// keep the settings, clears the job on No, drops the individually chosen
// files either way, and removes the Process file and then the Error file.
// (The wizard puts its screens back to ready and shows the Intro screen.)
// Returns whether the settings were kept.
bool FinishJob(Job& job, Prompter& prompter);

// Quit: removes the Process file, then the Error file, unless in suppressed
// mode (a silent run keeps both for whoever started it).
void QuitCleanup(const Job& job);

}  // namespace qtarvox
