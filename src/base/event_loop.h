// The event loop that drives everything asynchronous in the core: the
// socket layer's readiness notifications, callbacks posted for later, timers
// (the HTTP client's time limit), and the wait of a synchronous HTTP request.
//
// The interface is deliberately small so that a front end can implement it
// on its own loop: the headless command uses PollEventLoop (poll(2)); the
// desktop program implements it on Qt's loop (QSocketNotifier for watch,
// a queued call for post, a single-shot QTimer for startTimer), so a waiting
// request keeps the window alive.
//
// Threads: every method except post and RequestTerminate must be called on
// the thread that runs the loop. post may be called from any thread;
// RequestTerminate additionally from a signal handler. Callbacks always run
// on the loop's thread, never inside the call that registered them.

#ifndef VELLORA_BASE_EVENT_LOOP_H_
#define VELLORA_BASE_EVENT_LOOP_H_

#include <atomic>
#include <cstdint>
#include <functional>

namespace vellora {

class EventLoop {
 public:
  using Callback = std::function<void()>;
  // Readiness bits for watch; an error or hang-up on the descriptor is
  // reported as every bit that was asked for.
  enum : unsigned { kReadable = 1, kWritable = 2 };
  using FdCallback = std::function<void(unsigned ready)>;

  EventLoop() = default;
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;
  virtual ~EventLoop() = default;

  // Queues `callback` to run on the loop's thread. Callbacks run in the order
  // they were posted. Thread-safe.
  virtual void post(Callback callback) = 0;

  // Calls `callback` whenever `fd` is ready for one of `events`. Watching a
  // descriptor again replaces its events and callback. The descriptor must
  // stay open until unwatch; unwatch inside any callback takes effect at once
  // (a pending readiness of that descriptor is then not delivered).
  virtual void watch(int fd, unsigned events, FdCallback callback) = 0;
  virtual void unwatch(int fd) = 0;

  // Calls `callback` once, no sooner than `delay_ms` (clamped to 0 and up)
  // from now. Returns the timer's id, never 0. cancelTimer drops a timer that
  // has not fired; an id that fired, was cancelled or is 0 is ignored.
  // Cancelling inside any callback takes effect at once.
  using TimerId = uint64_t;
  virtual TimerId startTimer(int delay_ms, Callback callback) = 0;
  virtual void cancelTimer(TimerId id) = 0;

  // Waits at most `timeout_ms` (0: not at all) for a posted callback, a
  // ready descriptor, a due timer or a terminate request, then runs what is
  // due.
  virtual void runOnce(int timeout_ms) = 0;

  // Asks the application to terminate: sets a flag that waits (such as a
  // synchronous HTTP request) observe, and wakes the loop. Async-signal-safe.
  void RequestTerminate() noexcept;
  bool TerminateRequested() const noexcept { return terminate_.load(); }
  void ClearTerminateRequest() noexcept { terminate_.store(false); }

 protected:
  // Makes a runOnce that waits return soon. Must be async-signal-safe.
  virtual void wake() noexcept = 0;

 private:
  std::atomic<bool> terminate_{false};
};

// Makes SIGINT (Ctrl-C), SIGTERM (kill, the end of a desktop session) and
// SIGHUP (a closed terminal) request termination of `loop` instead of
// killing the process, so that the program ends the way closing it does.
// Passing nullptr restores the actions that were in place before. The loop
// must outlive the installation. Call from the main thread.
void TerminateLoopOnSignals(EventLoop* loop);
inline void TerminateLoopOnSigint(EventLoop* loop) { TerminateLoopOnSignals(loop); }

}  // namespace vellora

#endif  // VELLORA_BASE_EVENT_LOOP_H_
