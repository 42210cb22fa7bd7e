#include "base/event_loop.h"

#include <signal.h>

namespace vellora {

static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

void EventLoop::RequestTerminate() noexcept {
  terminate_.store(true);
  wake();
}

namespace {

// The signals that mean "the application is ending": Ctrl-C, kill and the
// end of a session, and a closed terminal.
constexpr int kTerminationSignals[] = {SIGINT, SIGTERM, SIGHUP};

std::atomic<EventLoop*> g_signal_loop{nullptr};

void OnTerminationSignal(int) {
  EventLoop* loop = g_signal_loop.load();
  if (loop != nullptr) loop->RequestTerminate();
}

}  // namespace

void TerminateLoopOnSignals(EventLoop* loop) {
  constexpr size_t kCount = sizeof kTerminationSignals / sizeof kTerminationSignals[0];
  static struct sigaction previous[kCount];
  static bool installed = false;
  if (loop == nullptr) {
    if (installed) {
      for (size_t i = 0; i < kCount; ++i) sigaction(kTerminationSignals[i], &previous[i], nullptr);
    }
    installed = false;
    g_signal_loop.store(nullptr);
    return;
  }
  g_signal_loop.store(loop);
  if (installed) return;
  struct sigaction action = {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = OnTerminationSignal;
  action.sa_flags = 0;  // no SA_RESTART: a waiting poll returns at once
  for (size_t i = 0; i < kCount; ++i) sigaction(kTerminationSignals[i], &action, &previous[i]);
  installed = true;
}

}  // namespace vellora
