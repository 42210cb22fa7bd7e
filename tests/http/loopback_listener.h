// A listening TCP socket on 127.0.0.1 for the test servers.

#ifndef VELLORA_TESTS_HTTP_LOOPBACK_LISTENER_H_
#define VELLORA_TESTS_HTTP_LOOPBACK_LISTENER_H_

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>

namespace vellora::testing {

// Listens on 127.0.0.1:`port` (0: a free port). Returns the socket and sets
// `*bound_port`, or returns -1 when the port cannot be had.
inline int ListenOnLoopback(uint16_t port, int backlog, uint16_t* bound_port) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  int on = 1;
  setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      listen(fd, backlog) != 0) {
    ::close(fd);
    return -1;
  }
  socklen_t length = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  *bound_port = ntohs(address.sin_port);
  return fd;
}

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_HTTP_LOOPBACK_LISTENER_H_
