// Ctrl-C (SIGINT), SIGTERM and a hang-up (SIGHUP) during a run: instead of
// ending the process in the middle of a rename, they ask the run to stop
// between two files. A closed pipe (SIGPIPE) ends nothing: the output is
// dropped and the run goes on.
#pragma once

#include <atomic>
#include <string>

namespace qtarvox {

// A request to stop a run between two files: 0 while it may go on; the
// number of the signal that asked, or kStopByCaller.
using StopRequest = std::atomic<int>;
inline constexpr int kStopByCaller = -1;

// From now on SIGINT, SIGTERM and SIGHUP (unless SIGHUP was ignored, as under
// nohup) set the returned request instead of ending the process; a second
// such signal ends the process at once, as usual. SIGPIPE is ignored from
// now on, so writing to a reader that has gone fails instead of ending the run.
StopRequest& CatchStopSignals();

// The system's description of a signal ("Interrupt").
std::string SignalName(int signal_number);

// Whether a stop was asked for (a null request never is).
inline bool StopRequested(const StopRequest* request) {
  return request != nullptr && request->load(std::memory_order_relaxed) != 0;
}

}  // namespace qtarvox
