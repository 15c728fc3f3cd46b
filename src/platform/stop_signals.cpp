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
  // A hang-up (the terminal gone) stops the run like Ctrl-C, unless the run
  // was started to outlive its terminal (nohup), which ignores it.
  struct sigaction hangup {};
  if (sigaction(SIGHUP, nullptr, &hangup) == 0 && hangup.sa_handler != SIG_IGN) {
    sigaction(SIGHUP, &action, nullptr);
  }
  // A reader that goes away (`| head`) must not end the run halfway: what
  // cannot be written to it is dropped and the renames go on to the end.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
  return g_signal_stop;
}

}  // namespace qtarvox
