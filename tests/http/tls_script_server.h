// A scripted TLS server on 127.0.0.1 for tests, on a thread of its own: each
// accepted connection makes the handshake, reads a request header and sends
// the next step's answer, then ends the session with or without its
// close_notify. For the endings a real server does not choose (a cut TLS
// close). Every wait is bounded; the destructor ends the thread.

#ifndef VELLORA_TESTS_HTTP_TLS_SCRIPT_SERVER_H_
#define VELLORA_TESTS_HTTP_TLS_SCRIPT_SERVER_H_

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "http/loopback_listener.h"

namespace vellora::testing {

struct TlsStep {
  std::string answer;
  bool close_notify = true;  // end the session properly before closing
};

class TlsScriptServer {
 public:
  TlsScriptServer(const std::string& certificate, const std::string& key,
                  std::vector<TlsStep> steps)
      : steps_(std::move(steps)) {
    // OpenSSL writes to the descriptor with write(2): a client that has
    // already closed must not end the test program by SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    context_ = SSL_CTX_new(TLS_server_method());
    if (context_ == nullptr ||
        SSL_CTX_use_certificate_chain_file(context_, certificate.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context_, key.c_str(), SSL_FILETYPE_PEM) != 1) {
      return;
    }
    listen_fd_ = ListenOnLoopback(0, 8, &port_);
    if (listen_fd_ < 0) return;
    thread_ = std::thread([this] { Run(); });
  }

  ~TlsScriptServer() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listen_fd_ >= 0) ::close(listen_fd_);
    if (context_ != nullptr) SSL_CTX_free(context_);
  }

  bool ok() const { return listen_fd_ >= 0; }
  // Connections whose handshake resumed an earlier session.
  int resumed() const { return resumed_.load(); }
  std::string url(const std::string& path) const {
    return "https://localhost:" + std::to_string(port_) + path;
  }

 private:
  void Run() {
    for (size_t next = 0; next < steps_.size() && !stop_;) {
      pollfd entry = {listen_fd_, POLLIN, 0};
      if (poll(&entry, 1, 100) <= 0) continue;
      int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      timeval limit = {5, 0};
      setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
      setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
      Serve(fd, steps_[next++]);
      ::close(fd);
    }
  }

  void Serve(int fd, const TlsStep& step) {
    SSL* ssl = SSL_new(context_);
    SSL_set_fd(ssl, fd);
    if (SSL_accept(ssl) == 1) {
      if (SSL_session_reused(ssl)) ++resumed_;
      std::string request;
      char buffer[4096];
      while (request.find("\r\n\r\n") == std::string::npos) {
        int count = SSL_read(ssl, buffer, sizeof buffer);
        if (count <= 0) break;
        request.append(buffer, static_cast<size_t>(count));
      }
      if (!step.answer.empty()) SSL_write(ssl, step.answer.data(), static_cast<int>(step.answer.size()));
      if (step.close_notify) SSL_shutdown(ssl);
    }
    SSL_free(ssl);
  }

  std::vector<TlsStep> steps_;
  SSL_CTX* context_ = nullptr;
  int listen_fd_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<int> resumed_{0};
};

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_HTTP_TLS_SCRIPT_SERVER_H_
