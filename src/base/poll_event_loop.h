// EventLoop on poll(2), for the headless command and the tests.
//
// A non-blocking self-pipe wakes a waiting runOnce when a callback is posted
// from another thread (the host-name lookup worker) or when a signal handler
// requests termination. One runOnce first runs the callbacks that were
// posted before it started, then polls the watched descriptors (without
// waiting when a callback ran or more are queued), runs callbacks whose post
// woke it, dispatches the readiness of the descriptors, and runs the timers
// that are due (earliest first). A wait never outlasts the earliest timer.

#ifndef VELLORA_BASE_POLL_EVENT_LOOP_H_
#define VELLORA_BASE_POLL_EVENT_LOOP_H_

#include <chrono>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include "base/event_loop.h"
#include "base/wake_pipe.h"

namespace vellora {

class PollEventLoop : public EventLoop {
 public:
  // Raises VelloraError when the wake-up pipe cannot be made.
  PollEventLoop();
  ~PollEventLoop() override;

  void post(Callback callback) override;
  void watch(int fd, unsigned events, FdCallback callback) override;
  void unwatch(int fd) override;
  TimerId startTimer(int delay_ms, Callback callback) override;
  void cancelTimer(TimerId id) override;
  void runOnce(int timeout_ms) override;

 protected:
  void wake() noexcept override;

 private:
  struct Watcher {
    unsigned events = 0;
    uint64_t serial = 0;  // tells a re-registered descriptor from the old one
    FdCallback callback;
  };

  struct Timer {
    std::chrono::steady_clock::time_point deadline;
    Callback callback;
  };

  bool RunPosted();  // true when a callback ran
  // `timeout_ms` shortened to the earliest timer (-1 waits without limit).
  int WaitLimit(int timeout_ms) const;
  void RunDueTimers();

  WakePipe wake_pipe_;
  std::atomic<std::thread::id> runner_;  // the thread that runs runOnce
  std::mutex mutex_;                     // guards posted_
  std::deque<Callback> posted_;
  std::map<int, Watcher> watchers_;
  uint64_t next_serial_ = 1;
  std::map<TimerId, Timer> timers_;
  TimerId next_timer_ = 1;
};

}  // namespace vellora

#endif  // VELLORA_BASE_POLL_EVENT_LOOP_H_
