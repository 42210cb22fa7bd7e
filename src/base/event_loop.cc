#include "base/event_loop.h"

#include <signal.h>

namespace vellora {

static_assert(std::atomic<bool>::is_always_lock_free, "the flag is set from a signal handler");

void EventLoop::RequestTerminate() noexcept {
  terminate_.store(true);
  wake();
}

namespace {

std::atomic<EventLoop*> g_sigint_loop{nullptr};

void OnSigint(int) {
  EventLoop* loop = g_sigint_loop.load();
  if (loop != nullptr) loop->RequestTerminate();
}

}  // namespace

void TerminateLoopOnSigint(EventLoop* loop) {
  static struct sigaction previous;
  static bool installed = false;
  if (loop == nullptr) {
    if (installed) sigaction(SIGINT, &previous, nullptr);
    installed = false;
    g_sigint_loop.store(nullptr);
    return;
  }
  g_sigint_loop.store(loop);
  if (installed) return;
  struct sigaction action = {};
  sigemptyset(&action.sa_mask);
  action.sa_handler = OnSigint;
  action.sa_flags = 0;  // no SA_RESTART: a waiting poll returns at once
  sigaction(SIGINT, &action, &previous);
  installed = true;
}

}  // namespace vellora
