#include "base/wake_pipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "base/errors.h"

namespace vellora {

WakePipe::WakePipe() {
  int fds[2];
  if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0) {
    throw VelloraError("Cannot create the event loop's wake-up pipe: " + SystemReason(errno));
  }
  read_fd_ = fds[0];
  write_fd_ = fds[1];
}

WakePipe::~WakePipe() {
  close(read_fd_);
  close(write_fd_);
}

void WakePipe::Wake() noexcept {
  char byte = 1;
  ssize_t ignored = write(write_fd_, &byte, 1);
  (void)ignored;
}

void WakePipe::Drain() noexcept {
  char buffer[256];
  while (read(read_fd_, buffer, sizeof buffer) > 0) {
  }
}

}  // namespace vellora
