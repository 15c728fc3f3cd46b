// The Step 3 summary: one line per chosen action, then the chosen files,
// directories and extensions.
#pragma once

#include "engine/job.h"
#include "wizard/screen_state.h"

namespace qtarvox {

// Rebuilds the summary (lstFinal and txtFinal) from the job.
void ShowSummary(const JobSettings& job, ScreenState& screen);

}  // namespace qtarvox
