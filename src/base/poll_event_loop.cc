#include "base/poll_event_loop.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <thread>

#include "base/errors.h"

namespace vellora {

PollEventLoop::PollEventLoop() = default;
PollEventLoop::~PollEventLoop() = default;

void PollEventLoop::wake() noexcept { wake_pipe_.Wake(); }

void PollEventLoop::post(Callback callback) {
  bool was_empty;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    was_empty = posted_.empty();
    posted_.push_back(std::move(callback));
  }
  // The loop's own thread looks at the queue before it waits; only a post
  // from elsewhere has to interrupt a wait.
  if (was_empty && std::this_thread::get_id() != runner_.load()) wake();
}

void PollEventLoop::watch(int fd, unsigned events, FdCallback callback) {
  Watcher& watcher = watchers_[fd];
  watcher.events = events;
  watcher.serial = next_serial_++;
  watcher.callback = std::move(callback);
}

void PollEventLoop::unwatch(int fd) { watchers_.erase(fd); }

EventLoop::TimerId PollEventLoop::startTimer(int delay_ms, Callback callback) {
  TimerId id = next_timer_++;
  auto deadline =
      std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(0, delay_ms));
  timers_.emplace(id, Timer{deadline, std::move(callback)});
  return id;
}

void PollEventLoop::cancelTimer(TimerId id) { timers_.erase(id); }

int PollEventLoop::WaitLimit(int timeout_ms) const {
  if (timers_.empty() || timeout_ms == 0) return timeout_ms;
  auto earliest = timers_.begin()->second.deadline;
  for (const auto& [id, timer] : timers_) earliest = std::min(earliest, timer.deadline);
  auto left =
      std::chrono::ceil<std::chrono::milliseconds>(earliest - std::chrono::steady_clock::now());
  int limit = static_cast<int>(std::clamp<int64_t>(left.count(), 0, INT32_MAX));
  return timeout_ms < 0 ? limit : std::min(timeout_ms, limit);
}

void PollEventLoop::RunDueTimers() {
  if (timers_.empty()) return;
  auto now = std::chrono::steady_clock::now();
  std::vector<std::pair<std::chrono::steady_clock::time_point, TimerId>> due;
  for (const auto& [id, timer] : timers_) {
    if (timer.deadline <= now) due.emplace_back(timer.deadline, id);
  }
  std::sort(due.begin(), due.end());
  for (const auto& entry : due) {
    auto it = timers_.find(entry.second);
    if (it == timers_.end()) continue;  // an earlier timer's callback cancelled it
    Callback callback = std::move(it->second.callback);
    timers_.erase(it);
    callback();
  }
}

bool PollEventLoop::RunPosted() {
  std::deque<Callback> batch;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    batch.swap(posted_);
  }
  bool ran = !batch.empty();
  while (!batch.empty()) {
    Callback callback = std::move(batch.front());
    batch.pop_front();
    try {
      callback();
    } catch (...) {
      // The exception goes to the caller of runOnce; the callbacks behind
      // the failed one stay queued, in order.
      std::lock_guard<std::mutex> lock(mutex_);
      while (!batch.empty()) {
        posted_.push_front(std::move(batch.back()));
        batch.pop_back();
      }
      throw;
    }
  }
  return ran;
}

void PollEventLoop::runOnce(int timeout_ms) {
  runner_.store(std::this_thread::get_id());
  if (RunPosted()) timeout_ms = 0;  // something happened: only look, do not wait

  std::vector<pollfd> fds;
  std::vector<uint64_t> serials;
  fds.reserve(watchers_.size() + 1);
  fds.push_back({wake_pipe_.ReadFd(), POLLIN, 0});
  serials.push_back(0);
  for (const auto& [fd, watcher] : watchers_) {
    short events = 0;
    if (watcher.events & kReadable) events |= POLLIN;
    if (watcher.events & kWritable) events |= POLLOUT;
    fds.push_back({fd, events, 0});
    serials.push_back(watcher.serial);
  }
  bool more_posted;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    more_posted = !posted_.empty();
  }
  if (more_posted || TerminateRequested()) timeout_ms = 0;

  timeout_ms = WaitLimit(timeout_ms);
  int count = poll(fds.data(), fds.size(), timeout_ms < 0 ? -1 : timeout_ms);
  if (count <= 0) {
    // Time-out, or EINTR (a signal: the caller looks at its flags).
    RunDueTimers();
    return;
  }
  if (fds[0].revents != 0) {
    wake_pipe_.Drain();
    RunPosted();  // what woke us up runs in this turn
  }
  for (size_t i = 1; i < fds.size(); ++i) {
    if (fds[i].revents == 0) continue;
    auto it = watchers_.find(fds[i].fd);
    // Skip descriptors that an earlier callback of this round unwatched or
    // registered anew.
    if (it == watchers_.end() || it->second.serial != serials[i]) continue;
    unsigned ready = 0;
    if (fds[i].revents & POLLIN) ready |= kReadable;
    if (fds[i].revents & POLLOUT) ready |= kWritable;
    if (fds[i].revents & (POLLERR | POLLHUP | POLLNVAL)) ready |= it->second.events;
    ready &= it->second.events;
    if (ready == 0) continue;
    FdCallback callback = it->second.callback;  // the callback may unwatch itself
    callback(ready);
  }
  RunDueTimers();
}

}  // namespace vellora
