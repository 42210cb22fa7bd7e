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
  struct sigaction action = {};
  sigemptyset(&action.sa_mask);
  if (loop == nullptr) {
    action.sa_handler = SIG_DFL;
    sigaction(SIGINT, &action, nullptr);
    g_sigint_loop.store(nullptr);
    return;
  }
  g_sigint_loop.store(loop);
  action.sa_handler = OnSigint;
  action.sa_flags = 0;  // no SA_RESTART: a waiting poll returns at once
  sigaction(SIGINT, &action, nullptr);
}

}  // namespace vellora
