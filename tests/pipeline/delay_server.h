// A web server on 127.0.0.1 that answers many connections at once, each
// after a delay of its own, for the grabber's tests and its benchmark. One
// thread polls every connection; a request is answered (HTTP/1.0, with a
// Content-Length, then the connection is closed) once its page's delay has
// passed since the request arrived. Unknown paths answer 404 "Not Found";
// a held page is never answered. The server stops on destruction, and by
// itself after `lifetime_s` seconds.

#ifndef VELLORA_TESTS_PIPELINE_DELAY_SERVER_H_
#define VELLORA_TESTS_PIPELINE_DELAY_SERVER_H_

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vellora::testing {

struct DelayedPage {
  std::string body;
  int delay_ms = 0;
  int status = 200;   // 200 "OK" or 404 "Not Found"
  bool held = false;  // never answered
};

class DelayServer {
 public:
  explicit DelayServer(int lifetime_s = 120) : lifetime_(std::chrono::seconds(lifetime_s)) {
    listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    int on = 1;
    setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listen_fd_, 128);
    socklen_t length = sizeof address;
    getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
      wake_read_ = fds[0];
      wake_write_ = fds[1];
    }
    thread_ = std::thread([this] { Run(); });
  }

  ~DelayServer() {
    stopping_ = true;
    char c = 1;
    ssize_t ignored = write(wake_write_, &c, 1);
    (void)ignored;
    thread_.join();
    close(listen_fd_);
    close(wake_read_);
    close(wake_write_);
  }

  DelayServer(const DelayServer&) = delete;
  DelayServer& operator=(const DelayServer&) = delete;

  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  void SetPage(const std::string& path, DelayedPage page) {
    std::lock_guard<std::mutex> lock(mutex_);
    pages_[path] = std::move(page);
  }

  int Requests() const { return requests_.load(); }
  // Requests that arrived and were not yet answered (held ones included).
  int Waiting() const { return waiting_.load(); }
  int MostWaiting() const { return most_waiting_.load(); }
  // Connections whose client went away before an answer.
  int Abandoned() const { return abandoned_.load(); }
  std::vector<std::string> Paths() {
    std::lock_guard<std::mutex> lock(mutex_);
    return paths_;
  }

 private:
  using Clock = std::chrono::steady_clock;

  struct Connection {
    int fd = -1;
    std::string received;
    bool asked = false;  // the whole request header arrived
    bool held = false;
    Clock::time_point due;
    std::string out;  // the answer, once due
    size_t sent = 0;
    bool answered = false;
  };

  void Asked(Connection& c) {
    c.asked = true;
    size_t first = c.received.find(' ');
    size_t second = c.received.find(' ', first + 1);
    std::string path = first == std::string::npos
                           ? std::string()
                           : c.received.substr(first + 1, second - first - 1);
    std::lock_guard<std::mutex> lock(mutex_);
    paths_.push_back(path);
    ++requests_;
    most_waiting_ = std::max(most_waiting_.load(), ++waiting_);
    auto it = pages_.find(path);
    DelayedPage page = it != pages_.end() ? it->second : DelayedPage{"<h1>missing</h1>", 0, 404};
    c.held = page.held;
    c.due = Clock::now() + std::chrono::milliseconds(page.delay_ms);
    std::string reason = page.status == 200 ? "OK" : "Not Found";
    c.out = "HTTP/1.0 " + std::to_string(page.status) + " " + reason +
            "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(page.body.size()) +
            "\r\n\r\n" + page.body;
  }

  // Reads what arrived; false when the connection is over.
  bool Receive(Connection& c) {
    char buffer[4096];
    ssize_t n = recv(c.fd, buffer, sizeof buffer, 0);
    if (n < 0) return errno == EAGAIN || errno == EINTR;
    if (n == 0) {
      if (c.asked && !c.answered) {
        ++abandoned_;
        --waiting_;
      }
      return false;
    }
    if (!c.asked) {
      c.received.append(buffer, static_cast<size_t>(n));
      if (c.received.find("\r\n\r\n") != std::string::npos) Asked(c);
    }
    return true;
  }

  // Sends what the socket takes; false when the answer is out.
  bool Send(Connection& c) {
    if (!c.answered) {
      c.answered = true;
      --waiting_;
    }
    while (c.sent < c.out.size()) {
      ssize_t n = send(c.fd, c.out.data() + c.sent, c.out.size() - c.sent, MSG_NOSIGNAL);
      if (n < 0) return errno == EAGAIN || errno == EINTR;
      c.sent += static_cast<size_t>(n);
    }
    return false;
  }

  void Run() {
    const Clock::time_point end = Clock::now() + lifetime_;
    std::vector<Connection> connections;
    while (!stopping_ && Clock::now() < end) {
      Clock::time_point now = Clock::now();
      int timeout_ms = 200;
      std::vector<pollfd> fds{{listen_fd_, POLLIN, 0}, {wake_read_, POLLIN, 0}};
      for (const Connection& c : connections) {
        short events = POLLIN;
        if (c.asked && !c.held && c.due <= now) events |= POLLOUT;
        if (c.asked && !c.held && c.due > now) {
          auto left = std::chrono::duration_cast<std::chrono::milliseconds>(c.due - now).count();
          timeout_ms = std::min<int>(timeout_ms, static_cast<int>(left) + 1);
        }
        fds.push_back({c.fd, events, 0});
      }
      if (poll(fds.data(), fds.size(), timeout_ms) < 0) continue;
      if (fds[1].revents) {
        char buffer[64];
        while (read(wake_read_, buffer, sizeof buffer) > 0) {
        }
      }
      std::vector<Connection> kept;
      for (size_t i = 0; i < connections.size(); ++i) {
        Connection& c = connections[i];
        bool open = true;
        if (fds[i + 2].revents & (POLLIN | POLLHUP | POLLERR)) open = Receive(c);
        if (open && (fds[i + 2].revents & POLLOUT)) {
          if (!Send(c)) {
            shutdown(c.fd, SHUT_WR);
            open = false;
          }
        }
        if (open) {
          kept.push_back(c);
        } else {
          close(c.fd);
        }
      }
      connections.swap(kept);
      for (;;) {
        int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0) break;
        Connection c;
        c.fd = fd;
        connections.push_back(c);
      }
    }
    for (const Connection& c : connections) close(c.fd);
  }

  std::chrono::seconds lifetime_;
  int listen_fd_ = -1;
  int port_ = 0;
  int wake_read_ = -1, wake_write_ = -1;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0}, waiting_{0}, most_waiting_{0}, abandoned_{0};
  std::mutex mutex_;
  std::map<std::string, DelayedPage> pages_;
  std::vector<std::string> paths_;
};

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_PIPELINE_DELAY_SERVER_H_
