// Starts a private nginx on 127.0.0.1 for tests and benchmarks.
//
// Everything nginx writes (pid, error log, temporary folders) stays inside
// the given folder, and the document root is `folder`/www. nginx runs in the
// foreground as a child process; Stop (or the destructor) ends it with
// SIGTERM, then SIGKILL after a bounded wait.
//
// Besides its plain-HTTP port it can listen with TLS on ports of their own,
// one per certificate, all serving the same root.

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
#include <vector>

namespace vellora::testing {

inline constexpr const char kNginxPath[] = "/usr/sbin/nginx";

// A TLS port: its certificate chain and key files.
struct NginxTlsListener {
  std::string certificate, key;
};

struct NginxOptions {
  std::vector<NginxTlsListener> tls;
  // Lines added to every server block; "{http}" and "{tls0}", "{tls1}", ...
  // stand for the ports.
  std::string server_lines;
};

class NginxServer {
 public:
  // `folder` must exist and hold www/. Returns with running() false when
  // nginx is missing or did not start listening within five seconds.
  explicit NginxServer(const std::string& folder, NginxOptions options = {})
      : folder_(folder), options_(std::move(options)) {
    if (access(kNginxPath, X_OK) != 0) return;
    for (int attempt = 0; attempt < 3 && pid_ < 0; ++attempt) Start();
  }
  ~NginxServer() { Stop(); }

  bool running() const { return pid_ > 0; }
  uint16_t port() const { return port_; }
  std::string url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  // The port of TLS listener `index`.
  uint16_t tls_port(size_t index = 0) const { return tls_ports_.at(index); }
  std::string https_url(const std::string& path, size_t index = 0,
                        const std::string& host = "localhost") const {
    return "https://" + host + ":" + std::to_string(tls_port(index)) + path;
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

  static bool Listening(uint16_t port) {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
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
    std::string lines = options_.server_lines;
    Replace(lines, "{http}", std::to_string(port_));
    for (size_t i = 0; i < tls_ports_.size(); ++i) {
      Replace(lines, "{tls" + std::to_string(i) + "}", std::to_string(tls_ports_[i]));
    }
    config += "  server {\n    listen 127.0.0.1:" + std::to_string(port_) + ";\n";
    config += "    root " + d + "/www;\n" + lines + "  }\n";
    for (size_t i = 0; i < tls_ports_.size(); ++i) {
      config += "  server {\n    listen 127.0.0.1:" + std::to_string(tls_ports_[i]) + " ssl;\n";
      config += "    ssl_protocols TLSv1.2 TLSv1.3;\n";
      config += "    ssl_certificate " + options_.tls[i].certificate + ";\n";
      config += "    ssl_certificate_key " + options_.tls[i].key + ";\n";
      config += "    root " + d + "/www;\n" + lines + "  }\n";
    }
    config += "}\n";
    FILE* file = std::fopen((d + "/nginx.conf").c_str(), "w");
    if (file == nullptr) return;
    std::fputs(config.c_str(), file);
    std::fclose(file);
  }

  static void Replace(std::string& text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
      text.replace(at, from.size(), to);
    }
  }

  bool AllListening() const {
    if (!Listening(port_)) return false;
    for (uint16_t port : tls_ports_) {
      if (!Listening(port)) return false;
    }
    return true;
  }

  void Start() {
    port_ = FreePort();
    tls_ports_.clear();
    for (size_t i = 0; i < options_.tls.size(); ++i) tls_ports_.push_back(FreePort());
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
      if (AllListening()) return;
      if (waitpid(pid_, nullptr, WNOHANG) == pid_) break;  // it gave up (port taken?)
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    Stop();
  }

  std::string folder_;
  NginxOptions options_;
  uint16_t port_ = 0;
  std::vector<uint16_t> tls_ports_;
  pid_t pid_ = -1;
};

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_HTTP_NGINX_SERVER_H_
