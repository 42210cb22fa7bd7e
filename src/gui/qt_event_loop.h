// QtEventLoop: the core's EventLoop on Qt's own event loop, so that a
// synchronous HTTP request waits while the window keeps working.
//
// watch() registers QSocketNotifiers; the readiness they announce is checked
// again with a zero-time poll(2) before a callback runs, so a callback sees
// the same bits as under PollEventLoop (an error or hang-up reports every
// bit that was asked for). A timer is a single-shot QTimer. post() and
// RequestTerminate() write one byte to a
// self-pipe whose notifier runs the posted callbacks, which makes them safe
// from other threads and from a signal handler. runOnce() processes Qt's
// events, waiting for the next one at most `timeout_ms`.
//
// An exception thrown by a callback must not unwind through Qt's event
// dispatch: it is caught there and raised again from the runOnce() in
// progress, or, when none is, handed to the error handler.
//
// REQUIRES: a QCoreApplication exists; every method except post() and
// RequestTerminate() is called on its thread.

#ifndef VELLORA_GUI_QT_EVENT_LOOP_H_
#define VELLORA_GUI_QT_EVENT_LOOP_H_

#include <QObject>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "base/event_loop.h"
#include "base/wake_pipe.h"

class QSocketNotifier;
class QTimer;

namespace vellora {

class QtEventLoop : public EventLoop {
 public:
  // Raises VelloraError when the wake-up pipe cannot be made.
  QtEventLoop();
  ~QtEventLoop() override;

  void post(Callback callback) override;
  void watch(int fd, unsigned events, FdCallback callback) override;
  void unwatch(int fd) override;
  TimerId startTimer(int delay_ms, Callback callback) override;
  void cancelTimer(TimerId id) override;
  void runOnce(int timeout_ms) override;

  // Receives the message of an exception that a callback raised outside
  // any runOnce(). Without a handler such an exception is dropped.
  void SetErrorHandler(std::function<void(const std::string&)> handler) {
    error_handler_ = std::move(handler);
  }
  // Called on the loop's thread when it wakes up with a terminate request
  // standing (possibly more than once per request); the window uses it to
  // close on Ctrl-C.
  void SetTerminateHandler(std::function<void()> handler) {
    terminate_handler_ = std::move(handler);
  }

  // The number of descriptors being watched (for tests).
  size_t WatchCount() const { return watchers_.size(); }

 protected:
  void wake() noexcept override;

 private:
  struct Watcher {
    unsigned events = 0;
    uint64_t serial = 0;
    FdCallback callback;
    QSocketNotifier* read = nullptr;
    QSocketNotifier* write = nullptr;
  };

  void OnWake();
  void RunPosted();
  void Dispatch(int fd, uint64_t serial);
  void Guard(const std::function<void()>& call);
  static void Retire(QSocketNotifier* notifier);

  QObject context_;  // parent of the notifiers
  WakePipe wake_pipe_;
  QSocketNotifier* wake_notifier_ = nullptr;
  std::mutex mutex_;  // guards posted_
  std::deque<Callback> posted_;
  std::map<int, Watcher> watchers_;
  uint64_t next_serial_ = 1;
  std::map<TimerId, QTimer*> timers_;  // children of context_
  TimerId next_timer_ = 1;
  int depth_ = 0;  // runOnce() calls in progress
  std::exception_ptr pending_error_;
  std::function<void(const std::string&)> error_handler_;
  std::function<void()> terminate_handler_;
};

}  // namespace vellora

#endif  // VELLORA_GUI_QT_EVENT_LOOP_H_
