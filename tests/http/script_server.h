// A scripted HTTP server on 127.0.0.1 for tests, on a thread of its own.
//
// Each accepted connection is served by the next steps of the script: read a
// request header (up to the empty line), record it, then send the step's
// answer. Every wait is bounded, and Stop (or the destructor) ends the
// thread within a fraction of a second, so a faulty client cannot hang a
// test through the server.

#ifndef VELLORA_TESTS_HTTP_SCRIPT_SERVER_H_
#define VELLORA_TESTS_HTTP_SCRIPT_SERVER_H_

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "http/loopback_listener.h"

namespace vellora::testing {

struct ServerStep {
  std::string answer;          // bytes sent once the request has arrived
  bool read_request = true;    // wait for a request header first
  bool dribble = false;        // send the answer one byte at a time
  int dribble_pause_us = 300;  // the pause after each byte of a dribbled answer
  bool silent = false;         // never answer; hold the connection until Stop
  bool keep_open = false;      // serve the next step on the same connection
  int delay_ms = 0;            // pause before answering
  int close_delay_ms = 0;      // pause after answering, before closing
  bool reset = false;          // end the connection with a reset instead of a close
};

class ScriptServer {
 public:
  explicit ScriptServer(std::vector<ServerStep> steps, uint16_t port = 0)
      : steps_(std::move(steps)) {
    listen_fd_ = ListenOnLoopback(port, 16, &port_);
    if (listen_fd_ < 0) return;
    thread_ = std::thread([this] { Run(); });
  }

  ~ScriptServer() { Stop(); }

  bool ok() const { return listen_fd_ >= 0; }
  uint16_t port() const { return port_; }
  std::string url(const std::string& path = "/") const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  std::vector<std::string> requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
  }
  int connections() const { return connections_.load(); }

  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listen_fd_ >= 0) ::close(listen_fd_);
    listen_fd_ = -1;
  }

 private:
  // Waits for `fd` to become readable; false on stop or after `limit_ms`.
  bool WaitReadable(int fd, int limit_ms) {
    for (int waited = 0; waited < limit_ms && !stop_; waited += 50) {
      pollfd entry = {fd, POLLIN, 0};
      if (poll(&entry, 1, 50) > 0) return true;
    }
    return false;
  }

  // Reads one request header; false when the peer closed or time ran out.
  bool ReadRequest(int fd, std::string& pending) {
    for (;;) {
      size_t end = pending.find("\r\n\r\n");
      if (end != std::string::npos) {
        std::lock_guard<std::mutex> lock(mutex_);
        requests_.push_back(pending.substr(0, end + 4));
        pending.erase(0, end + 4);
        return true;
      }
      if (!WaitReadable(fd, 5000)) return false;
      char buffer[4096];
      ssize_t count = recv(fd, buffer, sizeof buffer, 0);
      if (count <= 0) return false;
      pending.append(buffer, static_cast<size_t>(count));
    }
  }

  void SendAll(int fd, const std::string& bytes, bool dribble, int pause_us) {
    if (dribble) {
      int on = 1;
      setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
      for (char c : bytes) {
        if (stop_ || send(fd, &c, 1, MSG_NOSIGNAL) != 1) return;
        std::this_thread::sleep_for(std::chrono::microseconds(pause_us));
      }
      return;
    }
    size_t sent = 0;
    while (sent < bytes.size() && !stop_) {
      ssize_t count = send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
      if (count <= 0) return;
      sent += static_cast<size_t>(count);
    }
  }

  void Serve(int fd) {
    std::string pending;
    while (next_step_ < steps_.size() && !stop_) {
      const ServerStep& step = steps_[next_step_++];
      if (step.read_request && !ReadRequest(fd, pending)) return;
      if (step.silent) {
        while (!stop_) {
          if (WaitReadable(fd, 100)) {
            char buffer[256];
            if (recv(fd, buffer, sizeof buffer, 0) <= 0) return;
          }
        }
        return;
      }
      if (step.delay_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(step.delay_ms));
      SendAll(fd, step.answer, step.dribble, step.dribble_pause_us);
      if (step.close_delay_ms > 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(step.close_delay_ms));
      }
      if (!step.keep_open) {
        reset_ = step.reset;
        return;
      }
    }
  }

  void Run() {
    while (!stop_) {
      if (!WaitReadable(listen_fd_, 100)) continue;
      int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      ++connections_;
      reset_ = false;
      Serve(fd);
      if (reset_) {
        linger abortive = {1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &abortive, sizeof abortive);
        ::close(fd);
        continue;
      }
      shutdown(fd, SHUT_WR);
      // Let the client read everything before the descriptor goes away.
      WaitReadable(fd, 200);
      ::close(fd);
    }
  }

  std::vector<ServerStep> steps_;
  size_t next_step_ = 0;
  bool reset_ = false;  // the step just served ends its connection with a reset
  int listen_fd_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> connections_{0};
  std::mutex mutex_;
  std::vector<std::string> requests_;
};

// A port on 127.0.0.1 on which nothing listens (bound, then released).
inline uint16_t UnusedPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_HTTP_SCRIPT_SERVER_H_
