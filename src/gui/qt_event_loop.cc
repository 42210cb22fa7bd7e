#include "gui/qt_event_loop.h"

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>

#include "base/errors.h"

namespace vellora {

QtEventLoop::QtEventLoop() {
  wake_notifier_ = new QSocketNotifier(wake_pipe_.ReadFd(), QSocketNotifier::Read, &context_);
  QObject::connect(wake_notifier_, &QSocketNotifier::activated, &context_, [this] { OnWake(); });
}

QtEventLoop::~QtEventLoop() {
  // The notifiers are children of context_ and go with it; the pipe after.
  for (auto& [fd, watcher] : watchers_) {
    delete watcher.read;
    delete watcher.write;
  }
  watchers_.clear();
  delete wake_notifier_;
  wake_notifier_ = nullptr;
}

void QtEventLoop::wake() noexcept { wake_pipe_.Wake(); }

void QtEventLoop::post(Callback callback) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    posted_.push_back(std::move(callback));
  }
  wake();
}

void QtEventLoop::OnWake() {
  wake_pipe_.Drain();
  RunPosted();
  // Every wake-up while the request stands reaches the handler; it must
  // tolerate being called again (closing a closing window does nothing).
  if (TerminateRequested() && terminate_handler_) Guard(terminate_handler_);
}

void QtEventLoop::RunPosted() {
  // Run what was posted before this call; later posts wrote their own byte.
  size_t count;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    count = posted_.size();
  }
  for (size_t i = 0; i < count; ++i) {
    Callback callback;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (posted_.empty()) return;
      callback = std::move(posted_.front());
      posted_.pop_front();
    }
    Guard(callback);
  }
}

void QtEventLoop::Guard(const std::function<void()>& call) {
  try {
    call();
  } catch (...) {
    if (depth_ > 0) {
      if (!pending_error_) pending_error_ = std::current_exception();
      return;
    }
    if (!error_handler_) return;
    try {
      throw;
    } catch (const std::exception& e) {
      error_handler_(ErrorMessageOf(e));
    } catch (...) {
      error_handler_("Unknown error");
    }
  }
}

void QtEventLoop::Retire(QSocketNotifier* notifier) {
  if (notifier == nullptr) return;
  // It may be the sender of the signal being handled: disable it now and
  // delete it once control is back in the event loop.
  notifier->setEnabled(false);
  notifier->deleteLater();
}

void QtEventLoop::watch(int fd, unsigned events, FdCallback callback) {
  auto it = watchers_.find(fd);
  if (it == watchers_.end()) {
    it = watchers_.emplace(fd, Watcher()).first;
    it->second.serial = next_serial_++;
  }
  Watcher& w = it->second;
  w.events = events;
  w.callback = std::move(callback);
  uint64_t serial = w.serial;
  auto ensure = [&](QSocketNotifier*& notifier, QSocketNotifier::Type type, bool wanted) {
    if (wanted && notifier == nullptr) {
      notifier = new QSocketNotifier(fd, type, &context_);
      QObject::connect(notifier, &QSocketNotifier::activated, &context_,
                       [this, fd, serial] { Dispatch(fd, serial); });
    }
    if (notifier != nullptr) notifier->setEnabled(wanted);
  };
  ensure(w.read, QSocketNotifier::Read, (events & kReadable) != 0);
  ensure(w.write, QSocketNotifier::Write, (events & kWritable) != 0);
}

void QtEventLoop::unwatch(int fd) {
  auto it = watchers_.find(fd);
  if (it == watchers_.end()) return;
  Retire(it->second.read);
  Retire(it->second.write);
  watchers_.erase(it);
}

EventLoop::TimerId QtEventLoop::startTimer(int delay_ms, Callback callback) {
  TimerId id = next_timer_++;
  auto* timer = new QTimer(&context_);
  timer->setSingleShot(true);
  QObject::connect(timer, &QTimer::timeout, &context_, [this, id, callback = std::move(callback)] {
    auto it = timers_.find(id);
    if (it == timers_.end()) return;
    it->second->deleteLater();
    timers_.erase(it);
    Guard(callback);
  });
  timers_.emplace(id, timer);
  timer->start(std::max(0, delay_ms));
  return id;
}

void QtEventLoop::cancelTimer(TimerId id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) return;
  it->second->stop();
  it->second->deleteLater();
  timers_.erase(it);
}

void QtEventLoop::Dispatch(int fd, uint64_t serial) {
  auto it = watchers_.find(fd);
  if (it == watchers_.end() || it->second.serial != serial) return;
  pollfd p = {fd, 0, 0};
  if (it->second.events & kReadable) p.events |= POLLIN;
  if (it->second.events & kWritable) p.events |= POLLOUT;
  int count;
  do {
    count = poll(&p, 1, 0);
  } while (count < 0 && errno == EINTR);
  if (count <= 0) return;
  unsigned ready = 0;
  if (p.revents & POLLIN) ready |= kReadable;
  if (p.revents & POLLOUT) ready |= kWritable;
  if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) ready |= it->second.events;
  ready &= it->second.events;
  if (ready == 0) return;
  FdCallback callback = it->second.callback;  // the callback may unwatch itself
  Guard([&] { callback(ready); });
}

void QtEventLoop::runOnce(int timeout_ms) {
  ++depth_;
  struct DepthGuard {
    int& depth;
    ~DepthGuard() { --depth; }
  } guard{depth_};
  bool queued;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    queued = !posted_.empty();
  }
  if (timeout_ms == 0 || queued || TerminateRequested()) {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
  } else {
    QTimer timer;  // wakes the wait below when it fires
    if (timeout_ms > 0) {
      timer.setSingleShot(true);
      timer.start(timeout_ms);
    }
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
  if (pending_error_) {
    std::exception_ptr error = pending_error_;
    pending_error_ = nullptr;
    std::rethrow_exception(error);
  }
}

}  // namespace vellora
