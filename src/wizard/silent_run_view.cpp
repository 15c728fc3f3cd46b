#include "wizard/silent_run_view.h"

#include "platform/desktop_viewer.h"

namespace qtarvox {

bool SilentRunView::StartViewer(const std::string& path) { return StartDesktopViewer(path); }

}  // namespace qtarvox
