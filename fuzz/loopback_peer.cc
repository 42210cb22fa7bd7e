#include "loopback_peer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "fuzz_check.h"
#include "http/request_text.h"

namespace vellora::fuzz {

namespace {

// Turns of the loop without a byte or a connection either way that a client
// may take before it counts as hung: it waits for nothing the peer would send.
constexpr int kIdleTurns = 2000;
constexpr int kMaxPieces = 64;

// Closing resets the connection instead of leaving it in TIME_WAIT, so that
// millions of runs do not use up the loopback ports.
void CloseAtOnce(int fd) {
  linger hard_close = {1, 0};
  setsockopt(fd, SOL_SOCKET, SO_LINGER, &hard_close, sizeof hard_close);
  ::close(fd);
}

}  // namespace

LoopbackPeer::LoopbackPeer() {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      listen(listener_, 16) != 0 ||
      getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    std::perror("fuzz: cannot listen on 127.0.0.1");
    std::abort();
  }
  port_ = ntohs(address.sin_port);
}

LoopbackPeer::~LoopbackPeer() { ::close(listener_); }

std::string LoopbackPeer::Origin() const { return "http://127.0.0.1:" + std::to_string(port_); }

void LoopbackPeer::Confine(THttpClient& client) {
  uint16_t port = port_;
  client.CtrlSocket().FilterConnectionsForTesting([port](const std::string& address, uint16_t to) {
    return address == "127.0.0.1" && to == port;
  });
  // Set before each lookup: a host name fails to resolve at once; a dotted
  // address is answered without a lookup and meets the filter.
  client.OnStateChange = [](THttpClient& http) {
    if (http.State() == httpDnsLookup) http.CtrlSocket().FailNextLookupStartForTesting(ENETUNREACH);
  };
}

LoopbackPeer::Outcome LoopbackPeer::Serve(EventLoop& loop, THttpClient& client,
                                          const std::vector<std::string>& answers,
                                          const std::vector<size_t>& pieces) {
  Outcome outcome;
  int connection = -1;
  size_t answer = 0;   // index of the connection's answer
  size_t written = 0;  // bytes of it written
  int writes = 0;
  bool shut = false;
  int idle_turns = 0;
  char buffer[16384];
  while (client.State() != httpReady) {
    loop.runOnce(0);
    bool progress = false;
    int accepted = accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (accepted >= 0) {
      if (connection >= 0) CloseAtOnce(connection);
      connection = accepted;
      answer = outcome.requests.size();
      outcome.requests.emplace_back();
      written = 0;
      writes = 0;
      shut = false;
      progress = true;
    }
    if (connection >= 0) {
      ssize_t count;
      while ((count = recv(connection, buffer, sizeof buffer, 0)) > 0) {
        outcome.requests.back().append(buffer, static_cast<size_t>(count));
        progress = true;
      }
      if (count == 0 || (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)) {
        CloseAtOnce(connection);  // the client closed it
        connection = -1;
      }
    }
    if (connection >= 0 && !shut) {
      const std::string& text = answer < answers.size() ? answers[answer] : std::string();
      if (written < text.size()) {
        size_t piece = pieces.empty() ? text.size() : pieces[writes % pieces.size()];
        if (piece == 0 || ++writes > kMaxPieces) piece = text.size();
        piece = std::min(piece, text.size() - written);
        ssize_t sent = send(connection, text.data() + written, piece, MSG_NOSIGNAL);
        if (sent > 0) {
          written += static_cast<size_t>(sent);
          progress = true;
        }
        if (sent < 0 && errno != EAGAIN && errno != EWOULDBLOCK) written = text.size();
      } else {
        shutdown(connection, SHUT_WR);
        shut = true;
        progress = true;
      }
    }
    idle_turns = progress ? 0 : idle_turns + 1;
    if (idle_turns > kIdleTurns) break;
  }
  outcome.finished = client.State() == httpReady;
  if (connection >= 0) CloseAtOnce(connection);
  for (int late; (late = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;)
    CloseAtOnce(late);
  return outcome;
}

void CheckRequests(const std::vector<std::string>& requests) {
  for (const std::string& request : requests) {
    if (request.empty()) continue;
    FUZZ_CHECK(request.size() >= 4 && request.compare(request.size() - 4, 4, "\r\n\r\n") == 0,
               "a request not closed by an empty line: " + Escape(request));
    size_t start = 0;
    while (start < request.size() - 2) {
      size_t end = request.find("\r\n", start);
      std::string line = request.substr(start, end - start);
      FUZZ_CHECK(ControlByteProblem(line).empty(),
                 "a request line with a control byte: " + Escape(line));
      start = end + 2;
    }
  }
}

}  // namespace vellora::fuzz
