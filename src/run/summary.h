// The Step 3 summary: one line per chosen action, then the chosen files,
// directories and extensions.
#pragma once

#include "engine/job.h"

namespace qtarvox {

// Rebuilds job.lstFinal and job.txtFinal from the job.
void ShowSummary(Job& job);

}  // namespace qtarvox
