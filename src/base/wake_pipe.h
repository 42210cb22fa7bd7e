// WakePipe: a non-blocking pipe that wakes an event loop waiting on its read
// end. Wake() is async-signal-safe and may be called from any thread; a
// full pipe already holds a pending wake-up, so a failed write loses nothing.

#ifndef VELLORA_BASE_WAKE_PIPE_H_
#define VELLORA_BASE_WAKE_PIPE_H_

namespace vellora {

class WakePipe {
 public:
  // Raises VelloraError when the pipe cannot be made.
  WakePipe();
  ~WakePipe();
  WakePipe(const WakePipe&) = delete;
  WakePipe& operator=(const WakePipe&) = delete;

  // The descriptor to wait on for readability.
  int ReadFd() const { return read_fd_; }
  void Wake() noexcept;
  // Empties the pipe after a wake-up.
  void Drain() noexcept;

 private:
  int read_fd_ = -1;
  int write_fd_ = -1;
};

}  // namespace vellora

#endif  // VELLORA_BASE_WAKE_PIPE_H_
