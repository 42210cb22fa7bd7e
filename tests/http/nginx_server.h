// Starts a private nginx on 127.0.0.1 for tests and benchmarks.
//
// Everything nginx writes (pid, error log, temporary folders) stays inside
// the given folder, and the document root is `folder`/www. nginx runs in the
// foreground as a child process; Stop (or the destructor) ends it with
// SIGTERM, then SIGKILL after a bounded wait.

#ifndef VELLORA_TESTS_HTTP_NGINX_SERVER_H_
#define VELLORA_TESTS_HTTP_NGINX_SERVER_H_

#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

namespace vellora::testing {

inline constexpr const char kNginxPath[] = "/usr/sbin/nginx";

class NginxServer {
 public:
  // `folder` must exist and hold www/. Returns with running() false when
  // nginx is missing or did not start listening within five seconds.
  explicit NginxServer(const std::string& folder) : folder_(folder) {
    if (access(kNginxPath, X_OK) != 0) return;
    for (int attempt = 0; attempt < 3 && pid_ < 0; ++attempt) Start();
  }
  ~NginxServer() { Stop(); }

  bool running() const { return pid_ > 0; }
  uint16_t port() const { return port_; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }

  void Stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    for (int i = 0; i < 100; ++i) {
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) {
        pid_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  static uint16_t FreePort() {
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

  bool Listening() const {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
  }

  void WriteConfig() {
    const std::string& d = folder_;
    std::string config;
    if (geteuid() == 0) config += "user root;\n";
    config += "daemon off;\nworker_processes 1;\n";
    config += "pid " + d + "/nginx.pid;\nerror_log " + d + "/error.log;\n";
    config += "events { worker_connections 256; }\n";
    config += "http {\n  access_log off;\n  default_type application/octet-stream;\n";
    config += "  types { text/html html htm; text/plain txt; }\n";
    config += "  client_body_temp_path " + d + "/client_body;\n";
    config += "  proxy_temp_path " + d + "/proxy;\n  fastcgi_temp_path " + d + "/fastcgi;\n";
    config += "  uwsgi_temp_path " + d + "/uwsgi;\n  scgi_temp_path " + d + "/scgi;\n";
    config += "  keepalive_timeout 5;\n";
    config += "  server {\n    listen 127.0.0.1:" + std::to_string(port_) + ";\n";
    config += "    root " + d + "/www;\n  }\n}\n";
    FILE* file = std::fopen((d + "/nginx.conf").c_str(), "w");
    if (file == nullptr) return;
    std::fputs(config.c_str(), file);
    std::fclose(file);
  }

  void Start() {
    port_ = FreePort();
    WriteConfig();
    pid_t pid = fork();
    if (pid < 0) return;
    if (pid == 0) {
      std::string conf = folder_ + "/nginx.conf";
      std::string log = folder_ + "/error.log";
      freopen("/dev/null", "w", stdout);
      freopen((folder_ + "/stderr.log").c_str(), "w", stderr);
      execl(kNginxPath, "nginx", "-p", folder_.c_str(), "-e", log.c_str(), "-c", conf.c_str(),
            static_cast<char*>(nullptr));
      _exit(127);
    }
    pid_ = pid;
    for (int i = 0; i < 250; ++i) {
      if (Listening()) return;
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;  // it gave up (port taken?)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
  }

  std::string folder_;
  uint16_t port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_HTTP_NGINX_SERVER_H_
