// A small HTTP/1.0 server on 127.0.0.1 for the desktop program's tests. It
// runs on its own thread with blocking-free poll(2), serves fixed pages by
// path, answers 404 for other paths, and can hold a request unanswered
// ("/slow...") until Release() or until the client gives up.

#ifndef VELLORA_TESTS_GUI_TEST_HTTP_SERVER_H_
#define VELLORA_TESTS_GUI_TEST_HTTP_SERVER_H_

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace vellora::testing {

class TestHttpServer {
 public:
  TestHttpServer() {
    listen_fd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listen_fd_, 16);
    socklen_t length = sizeof address;
    getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) == 0) {
      stop_read_ = fds[0];
      stop_write_ = fds[1];
    }
    thread_ = std::thread([this] { Run(); });
  }

  ~TestHttpServer() {
    stopping_ = true;
    Wake();
    thread_.join();
    close(listen_fd_);
    close(stop_read_);
    close(stop_write_);
  }

  int Port() const { return port_; }
  std::string Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  void SetPage(const std::string& path, const std::string& body) {
    std::lock_guard<std::mutex> lock(mutex_);
    pages_[path] = body;
  }

  // Answers every held request with `body`.
  void Release(const std::string& body) {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      release_body_ = body;
      released_ = true;
    }
    Wake();
  }

  int Requests() const { return requests_.load(); }
  int HeldRequests() const { return held_.load(); }
  // Held requests whose client closed the connection before an answer.
  int AbandonedRequests() const { return abandoned_.load(); }
  std::vector<std::string> Paths() {
    std::lock_guard<std::mutex> lock(mutex_);
    return paths_;
  }

 private:
  struct Connection {
    int fd;
    std::string request;
    bool held = false;
  };

  void Wake() {
    char c = 1;
    ssize_t ignored = write(stop_write_, &c, 1);
    (void)ignored;
  }

  static void Send(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
      ssize_t n = send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return;
      done += static_cast<size_t>(n);
    }
  }

  static std::string Response(int code, const std::string& reason, const std::string& body) {
    return "HTTP/1.0 " + std::to_string(code) + " " + reason +
           "\r\nContent-Type: text/html\r\nContent-Length: " + std::to_string(body.size()) +
           "\r\n\r\n" + body;
  }

  // A whole request has arrived: answer it, or hold it.
  bool Answer(Connection& c) {
    size_t first_space = c.request.find(' ');
    size_t second_space = c.request.find(' ', first_space + 1);
    std::string path = c.request.substr(first_space + 1, second_space - first_space - 1);
    ++requests_;
    std::lock_guard<std::mutex> lock(mutex_);
    paths_.push_back(path);
    if (path.rfind("/slow", 0) == 0 && !released_) {
      c.held = true;
      ++held_;
      return false;
    }
    auto it = pages_.find(path);
    if (path.rfind("/slow", 0) == 0) {
      Send(c.fd, Response(200, "OK", release_body_));
    } else if (it != pages_.end()) {
      Send(c.fd, Response(200, "OK", it->second));
    } else {
      Send(c.fd, Response(404, "Not Found", "<h1>missing</h1>"));
    }
    return true;
  }

  void Run() {
    std::vector<Connection> connections;
    while (!stopping_) {
      std::vector<pollfd> fds{{listen_fd_, POLLIN, 0}, {stop_read_, POLLIN, 0}};
      for (const Connection& c : connections) fds.push_back({c.fd, POLLIN, 0});
      if (poll(fds.data(), fds.size(), 1000) < 0) continue;
      if (fds[1].revents) {
        char buffer[64];
        while (read(stop_read_, buffer, sizeof buffer) > 0) {
        }
      }
      std::vector<Connection> kept;
      bool released;
      {
        std::lock_guard<std::mutex> lock(mutex_);
        released = released_;
      }
      for (size_t i = 0; i < connections.size(); ++i) {
        Connection c = connections[i];
        bool done = false;
        if (fds[i + 2].revents) {
          char buffer[4096];
          ssize_t n = recv(c.fd, buffer, sizeof buffer, 0);
          if (n <= 0) {
            if (c.held) ++abandoned_;
            done = true;
          } else if (!c.held) {
            c.request.append(buffer, static_cast<size_t>(n));
            if (c.request.find("\r\n\r\n") != std::string::npos) done = Answer(c);
          }
        }
        if (!done && c.held && released) {
          Send(c.fd, Response(200, "OK", release_body_));
          done = true;
        }
        if (done) {
          close(c.fd);
        } else {
          kept.push_back(c);
        }
      }
      connections.swap(kept);
      if (fds[0].revents & POLLIN) {
        int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd >= 0) connections.push_back({fd, std::string()});
      }
    }
    for (const Connection& c : connections) close(c.fd);
  }

  int listen_fd_ = -1;
  int port_ = 0;
  int stop_read_ = -1, stop_write_ = -1;
  std::thread thread_;
  std::atomic<bool> stopping_{false};
  std::atomic<int> requests_{0}, held_{0}, abandoned_{0};
  std::mutex mutex_;
  std::map<std::string, std::string> pages_;
  std::vector<std::string> paths_;
  std::string release_body_;
  bool released_ = false;
};

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_GUI_TEST_HTTP_SERVER_H_
