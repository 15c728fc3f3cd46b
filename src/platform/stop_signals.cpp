#include "platform/stop_signals.h"

#include <signal.h>
#include <string.h>

namespace qtarvox {
namespace {

// The one request a signal handler can reach; lock-free, so safe to set there.
StopRequest g_signal_stop{0};
static_assert(StopRequest::is_always_lock_free);

extern "C" void OnStopSignal(int signal_number) {
  g_signal_stop.store(signal_number, std::memory_order_relaxed);
}

}  // namespace

std::string SignalName(int signal_number) {
  const char* name = strsignal(signal_number);
  return name != nullptr ? name : std::to_string(signal_number);
}

StopRequest& CatchStopSignals() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  // The handler is for the first signal only: the next one ends the process.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  return g_signal_stop;
}

}  // namespace qtarvox
