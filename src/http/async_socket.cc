#include "http/async_socket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "base/numbers.h"
#include "http/host_lookup.h"
#include "http/socket_errors.h"

namespace vellora {

namespace {

// Upper bound of OnDataAvailable rounds for one readiness, so that one busy
// connection cannot starve the rest of the loop.
constexpr int kMaxReceivePasses = 64;

std::string Trim(const std::string& value) {
  size_t begin = value.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = value.find_last_not_of(" \t\r\n");
  return value.substr(begin, end - begin + 1);
}

bool ParsePort(const std::string& text, uint16_t& port) {
  if (text.empty()) return false;
  if (IsDecimalDigits(text)) {
    if (text.size() > 5) return false;
    std::optional<int64_t> value = ParseDecimal(text, 0, 65535);
    if (!value) return false;
    port = static_cast<uint16_t>(*value);
    return true;
  }
  servent* service = getservbyname(text.c_str(), "tcp");
  if (service == nullptr) return false;
  port = ntohs(static_cast<uint16_t>(service->s_port));
  return true;
}

// A connect() failure that is the outcome of the attempt rather than a
// fault of the call; it is delivered like an asynchronous one.
bool IsConnectOutcome(int error_number) {
  return error_number == ECONNREFUSED || error_number == ENETUNREACH ||
         error_number == EHOSTUNREACH || error_number == ETIMEDOUT || error_number == ECONNRESET;
}

}  // namespace

const char* SocketStateName(TSocketState state) {
  static const char* const kNames[] = {"ssInvalidState", "ssOpened",         "ssBound",
                                       "ssConnecting",   "ssSocksConnected", "ssConnected",
                                       "ssAccepting",    "ssListening",      "ssClosed"};
  return kNames[state];
}

TAsyncSocket::TAsyncSocket(EventLoop& loop) : loop_(loop), alive_(std::make_shared<int>(0)) {}

TAsyncSocket::~TAsyncSocket() {
  CancelDnsLookup();
  if (fd_ >= 0) {
    loop_.unwatch(fd_);
    ::close(fd_);
  }
}

bool TAsyncSocket::SettingLocked(const char* name) {
  if (state_ == ssClosed) return false;
  ReportFailure(std::string("Cannot change ") + name + " if not closed");
  return true;
}

void TAsyncSocket::SetAddr(const std::string& value) {
  if (Trim(value) != addr_ && !SettingLocked("Addr")) addr_ = Trim(value);
}
void TAsyncSocket::SetPort(const std::string& value) {
  if (Trim(value) != port_ && !SettingLocked("Port")) port_ = Trim(value);
}
void TAsyncSocket::SetProto(const std::string& value) {
  if (Trim(value) != proto_ && !SettingLocked("Proto")) proto_ = Trim(value);
}
void TAsyncSocket::SetLocalAddr(const std::string& value) {
  if (Trim(value) != local_addr_ && !SettingLocked("LocalAddr")) local_addr_ = Trim(value);
}
void TAsyncSocket::SetLocalPort(const std::string& value) {
  if (Trim(value) != local_port_ && !SettingLocked("LocalPort")) local_port_ = Trim(value);
}

void TAsyncSocket::ChangeState(TSocketState state) {
  TSocketState old_state = state_;
  state_ = state;
  if (OnChangeState) OnChangeState(*this, old_state, state);
}

void TAsyncSocket::ReportFailure(const std::string& text) {
  last_error_message_ = text;
  if (!OnError) throw ESocketError(text);
  OnError(*this);
}

void TAsyncSocket::ReportSocketError(uint16_t code, const std::string& operation) {
  last_error_ = code;
  std::string text =
      SocketErrorText(code) + " (#" + std::to_string(code) + " in " + operation + ")";
  // A reset or lost connection leaves nothing to use: it is closed (with
  // OnSessionClosed) before the report, so the error handler sees it closed.
  if ((code == kSocketConnectionReset || code == kSocketNotConnected) && state_ != ssClosed) {
    CloseSocket(false, code);
  }
  ReportFailure(text);
}

void TAsyncSocket::PostForConnection(std::function<void()> action) {
  std::weak_ptr<int> alive = alive_;
  uint64_t connection = connection_;
  // Work posted for one connection must not land on the next: a close or a
  // new Connect changes connection_, and the action is then dropped.
  loop_.post([this, alive, connection, action = std::move(action)] {
    if (alive.expired() || connection != connection_) return;
    action();
  });
}

void TAsyncSocket::FireEvent(const Event& event, uint16_t error) {
  if (!event) return;
  try {
    event(*this, error);
  } catch (const std::exception& e) {
    BackgroundException(e);
  }
}

// Runs inside the loop's event delivery, where nobody could catch a throw:
// nothing escapes. A handler that failed leaves the connection in an unknown
// state, so it is aborted unless OnBgException keeps it (can_close = false).
void TAsyncSocket::BackgroundException(const std::exception& e) {
  bool can_close = true;
  if (OnBgException) {
    try {
      OnBgException(*this, e, can_close);
    } catch (...) {
    }
  }
  if (can_close) {
    try {
      Abort();
    } catch (...) {
    }
  }
}

// ---------------------------------------------------------------- lookup

void TAsyncSocket::DnsLookup(const std::string& host) {
  if (host.empty()) {
    last_error_ = kSocketInvalidArgument;
    ReportFailure("DNS lookup: invalid host name.");
    FireEvent(OnDnsLookupDone, kSocketInvalidArgument);
    return;
  }
  CancelDnsLookup();
  dns_result_.clear();
  dns_result_list_.clear();

  in_addr numeric;
  if (inet_pton(AF_INET, host.c_str(), &numeric) == 1) {
    char text[INET_ADDRSTRLEN];
    inet_ntop(AF_INET, &numeric, text, sizeof text);
    dns_result_ = text;
    dns_result_list_.push_back(dns_result_);
    FireEvent(OnDnsLookupDone, 0);
    return;
  }

  std::weak_ptr<int> alive = alive_;
  try {
    if (fail_lookup_start_ != 0) {
      int error_number = fail_lookup_start_;
      fail_lookup_start_ = 0;
      throw std::system_error(error_number, std::generic_category());
    }
    lookup_ = HostLookup::Start(loop_, host, [this, alive](const HostLookupResult& result) {
      if (alive.expired()) return;  // the socket went while the lookup ran
      lookup_.reset();
      dns_result_list_ = result.addresses;
      dns_result_ = result.addresses.empty() ? "" : result.addresses.front();
      FireEvent(OnDnsLookupDone, result.error);
    });
  } catch (const std::system_error& e) {
    uint16_t code = ErrnoToSocketError(e.code().value());
    last_error_ = code;
    ReportFailure(host + ": can't start DNS lookup - " + SocketErrorText(code) + " (#" +
                  std::to_string(code) + ")");
  }
}

void TAsyncSocket::CancelDnsLookup() {
  if (lookup_ == nullptr) return;
  lookup_->Cancel();
  lookup_.reset();
}

// ---------------------------------------------------------------- connecting

void TAsyncSocket::Connect() {
  if (fd_ >= 0 && state_ != ssClosed) return ReportFailure("Connect: Socket already in use");
  if (port_.empty()) return ReportFailure("Connect: No Port Specified");
  if (addr_.empty()) return ReportFailure("Connect: No IP Address Specified");
  if (proto_.empty()) return ReportFailure("Connect: No Protocol Specified");
  if (proto_ != "tcp" && proto_ != "6") {
    last_error_ = 10043;
    return ReportFailure("connect: Protocol not supported: " + proto_);
  }
  uint16_t port = 0;
  uint16_t local_port = 0;
  if (!ParsePort(port_, port) || !ParsePort(local_port_, local_port)) {
    last_error_ = kSocketInvalidArgument;
    return ReportFailure("connect: Invalid port " + port_);
  }
  sockaddr_in remote = {};
  remote.sin_family = AF_INET;
  remote.sin_port = htons(port);
  if (inet_pton(AF_INET, addr_.c_str(), &remote.sin_addr) != 1) {
    HostLookupResult result = HostLookup::Resolve(addr_);
    if (result.error != 0) {
      last_error_ = result.error;
      return ReportFailure("connect: " + SocketErrorText(result.error));
    }
    inet_pton(AF_INET, result.addresses.front().c_str(), &remote.sin_addr);
  }
  sockaddr_in local = {};
  local.sin_family = AF_INET;
  local.sin_port = htons(local_port);
  if (inet_pton(AF_INET, local_addr_.c_str(), &local.sin_addr) != 1) {
    last_error_ = kSocketInvalidArgument;
    return ReportFailure("connect: Invalid local address " + local_addr_);
  }

  send_queue_.Clear();
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (fd < 0) return ReportSocketError(ErrnoToSocketError(errno), "Connect (socket)");
  fd_ = fd;
  ++connection_;  // what is still posted for the last connection is dropped
  closed_fired_ = false;
  peer_closed_ = false;
  pending_close_error_ = 0;
  read_count_ = 0;
  ChangeState(ssOpened);
  // The OnChangeState handler may have closed the socket: connecting anyway
  // would open a connection its owner no longer expects.
  if (state_ != ssOpened) {
    CloseSocket(false, 0, false);
    return ReportSocketError(kSocketInvalidArgument,
                             "Connect (Invalid operation in OnChangeState)");
  }

  int on = 1;
  setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (TcpNoDelay) setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
  // Lingering on with a time-out of 0: closing resets the connection instead
  // of leaving it in TIME_WAIT, as the client closes only finished exchanges.
  linger hard_close = {1, 0};
  setsockopt(fd_, SOL_SOCKET, SO_LINGER, &hard_close, sizeof hard_close);
  // Bound only to a chosen local address or port (and then through ssBound);
  // otherwise the kernel picks both when connecting.
  if (local_port != 0 || local.sin_addr.s_addr != htonl(INADDR_ANY)) {
    if (bind(fd_, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) {
      uint16_t code = ErrnoToSocketError(errno);
      CloseSocket(false, 0, false);
      return ReportSocketError(code, "Bind");
    }
    ChangeState(ssBound);
  }

  bool refused = false;
  if (allow_connection_) {
    char remote_text[INET_ADDRSTRLEN] = "";
    inet_ntop(AF_INET, &remote.sin_addr, remote_text, sizeof remote_text);
    refused = !allow_connection_(remote_text, port);
  }
  int rc;
  if (refused) {
    rc = -1;
    errno = ECONNREFUSED;
  } else {
    do {
      rc = ::connect(fd_, reinterpret_cast<sockaddr*>(&remote), sizeof remote);
    } while (rc != 0 && errno == EINTR);
  }
  // EINPROGRESS is the usual start. A refusal known at once (loopback) is the
  // attempt's outcome, delivered later like one learnt asynchronously;
  // anything else is a fault of the call and reported now.
  if (rc != 0 && errno != EINPROGRESS && !IsConnectOutcome(errno)) {
    uint16_t code = ErrnoToSocketError(errno);
    CloseSocket(false, 0, false);
    return ReportSocketError(code, "Connect");
  }
  // ssConnecting first: an immediate failure passes through the same states
  // as an asynchronous one.
  ChangeState(ssConnecting);
  if (rc != 0 && errno != EINPROGRESS) {
    uint16_t code = ErrnoToSocketError(errno);
    PostForConnection([this, code] { ConnectionCompleted(code); });
    return;
  }
  UpdateWatch();
}

void TAsyncSocket::UpdateWatch() {
  if (fd_ < 0) return;
  if (paused_) {
    loop_.unwatch(fd_);
    return;
  }
  // While connecting, writability signals the outcome. Once connected, it
  // is watched only while bytes wait: a connected socket is nearly always
  // writable, and the level-triggered watch would wake the loop every turn.
  unsigned events = EventLoop::kReadable;
  if (state_ == ssConnecting) {
    events = EventLoop::kWritable;
  } else if (!send_queue_.Empty()) {
    events |= EventLoop::kWritable;
  }
  std::weak_ptr<int> alive = alive_;
  loop_.watch(fd_, events, [this, alive](unsigned ready) {
    if (!alive.expired()) OnReady(ready);
  });
}

void TAsyncSocket::OnReady(unsigned ready) {
  if (paused_ || fd_ < 0) return;
  if (state_ == ssConnecting) {
    int error_number = 0;
    socklen_t length = sizeof error_number;
    if (getsockopt(fd_, SOL_SOCKET, SO_ERROR, &error_number, &length) != 0) error_number = errno;
    ConnectionCompleted(ErrnoToSocketError(error_number));
    return;
  }
  uint64_t connection = connection_;
  if (ready & EventLoop::kReadable) {
    HandleReadable();
    // The data handler may have closed or reconnected: the writability was
    // reported for the connection that is gone.
    if (connection != connection_ || fd_ < 0) return;
  }
  if (ready & EventLoop::kWritable) HandleWritable();
}

// Every attempt ends with OnSessionConnected, a failed one too; a failed one
// is then closed, unless the handler already did.
void TAsyncSocket::ConnectionCompleted(uint16_t error) {
  if (state_ != ssConnected) {
    ChangeState(ssConnected);
    FireEvent(OnSessionConnected, error);
  }
  if (error != 0) {
    last_error_ = error;
    if (state_ != ssClosed) Close();
    return;
  }
  UpdateWatch();
}

// ---------------------------------------------------------------- receiving

int TAsyncSocket::Receive(char* buffer, size_t size) {
  if (fd_ < 0) {
    last_error_ = kSocketNotConnected;
    return -1;
  }
  if (size == 0) return 0;
  for (;;) {
    ssize_t count = ::recv(fd_, buffer, size, 0);
    if (count > 0) {
      read_count_ += static_cast<uint64_t>(count);
      return static_cast<int>(count);
    }
    if (count == 0) {
      // The peer's orderly close: noted here and reported by HandleReadable
      // once every byte before it has been offered.
      peer_closed_ = true;
      return 0;
    }
    if (errno == EINTR) continue;
    last_error_ = ErrnoToSocketError(errno == EWOULDBLOCK ? EAGAIN : errno);
    // A hard failure ends the connection, but not from inside Receive, which
    // runs in the data handler: HandleReadable ends it when that returns.
    if (last_error_ != kSocketWouldBlock) pending_close_error_ = last_error_;
    return -1;
  }
}

void TAsyncSocket::ReceiveLoop(bool loop) {
  uint64_t connection = connection_;
  for (int pass = 0; pass < kMaxReceivePasses; ++pass) {
    last_error_ = 0;  // the check below looks at this pass's reads only
    if (OnDataAvailable) {
      try {
        OnDataAvailable(*this, 0);
      } catch (const std::exception&) {
        // The data handler's failure costs the bytes it was handling only;
        // the next readiness starts the loop again.
        break;
      }
    } else {
      char discard[1024];
      if (Receive(discard, sizeof discard) <= 0) break;
    }
    if (connection != connection_ || fd_ < 0) return;
    if (!loop || last_error_ != 0 || pending_close_error_ != 0 || peer_closed_) break;
    int available = 0;
    if (ioctl(fd_, FIONREAD, &available) != 0) {
      last_error_ = ErrnoToSocketError(errno);
      break;
    }
    if (available == 0) break;  // the handler is never called with nothing to read
  }
}

bool TAsyncSocket::PeerHasClosed() {
  if (peer_closed_) return true;
  // A peek: a byte that arrived meanwhile stays for the data handler.
  char byte;
  ssize_t count = ::recv(fd_, &byte, 1, MSG_PEEK | MSG_DONTWAIT);
  if (count == 0) return true;
  if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
    pending_close_error_ = ErrnoToSocketError(errno);
  }
  return false;
}

void TAsyncSocket::HandleReadable() {
  uint64_t connection = connection_;
  ReceiveLoop(!NoReceiveLoop);
  if (connection != connection_ || fd_ < 0) return;
  if (pending_close_error_ != 0) {
    PeerClosed(pending_close_error_);
    return;
  }
  int available = 0;
  // Bytes left after kMaxReceivePasses: they come on the next turn, and the
  // close, if any, is looked at once they are delivered.
  if (ioctl(fd_, FIONREAD, &available) == 0 && available > 0) return;
  if (PeerHasClosed()) {
    PeerClosed(0);
  } else if (pending_close_error_ != 0) {
    PeerClosed(pending_close_error_);
  }
}

void TAsyncSocket::PeerClosed(uint16_t error) {
  uint64_t connection = connection_;
  // Only an orderly close owes the reader the bytes still held; a broken
  // connection is reported at once.
  if (error == 0) {
    // Deliver what is still held before reporting the close.
    for (int round = 0; round < 1024 && fd_ >= 0 && connection == connection_; ++round) {
      int available = 0;
      if (ioctl(fd_, FIONREAD, &available) != 0 || available == 0) break;
      ReceiveLoop(true);
    }
    if (connection != connection_ || fd_ < 0) return;
  }
  last_error_ = error;
  FireSessionClosed(error);
  if (connection == connection_ && state_ != ssClosed) Close();
}

// ---------------------------------------------------------------- sending

void TAsyncSocket::QueueForSend(const char* data, size_t length) {
  send_queue_.Append(data, length);
}

int TAsyncSocket::Send(const char* data, size_t length) {
  if (state_ != ssConnected && state_ != ssSocksConnected) {
    ReportSocketError(kSocketNotConnected, "Send");
    return -1;
  }
  if (length > 0) send_queue_.Append(data, length);
  uint16_t error = TryToSend();
  if (error != 0) {
    // Ending the connection fires events, which never happens inside Send.
    PostForConnection([this, error] {
      last_error_ = error;
      FireSessionClosed(error);
      if (state_ != ssClosed) CloseSocket(false, error);
    });
  } else if (send_queue_.Empty()) {
    // OnDataSent comes on a later turn, and only if nothing was queued in
    // between (that Send then owes its own).
    PostForConnection([this] {
      if (send_queue_.Empty()) FireEvent(OnDataSent, 0);
    });
  } else {
    UpdateWatch();
  }
  return static_cast<int>(length);
}

uint16_t TAsyncSocket::TryToSend() {
  while (fd_ >= 0 && !send_queue_.Empty()) {
    std::string_view block = send_queue_.Front();
    if (block.empty()) {  // dropped without a system call
      send_queue_.Consume(0);
      continue;
    }
    ssize_t sent = ::send(fd_, block.data(), block.size(), MSG_NOSIGNAL);
    if (sent < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) return 0;
      return ErrnoToSocketError(errno);
    }
    send_queue_.Consume(static_cast<size_t>(sent));
    // A short write: the kernel's buffer is full; the rest waits for
    // writability.
    if (static_cast<size_t>(sent) < block.size()) return 0;
  }
  return 0;
}

void TAsyncSocket::HandleWritable() {
  uint16_t error = TryToSend();
  if (error != 0) {
    last_error_ = error;
    FireSessionClosed(error);
    if (state_ != ssClosed) CloseSocket(false, error);
    return;
  }
  if (send_queue_.Empty()) {
    // The watch drops writability before the event: a handler that sends
    // again arms it anew.
    UpdateWatch();
    FireEvent(OnDataSent, 0);
  }
}

// ---------------------------------------------------------------- closing

void TAsyncSocket::FireSessionClosed(uint16_t error) {
  if (closed_fired_) return;
  closed_fired_ = true;
  FireEvent(OnSessionClosed, error);
}

void TAsyncSocket::ResetConnectionSettings() {
  addr_.clear();
  port_.clear();
  proto_ = "tcp";
  local_addr_ = "0.0.0.0";
  local_port_ = "0";
  send_queue_.Clear();
  paused_ = false;
  read_count_ = 0;
  peer_closed_ = false;
  pending_close_error_ = 0;
}

void TAsyncSocket::CloseSocket(bool graceful, uint16_t error, bool fire_event) {
  if (state_ == ssClosed && fd_ < 0) return;
  if (fd_ >= 0) {
    loop_.unwatch(fd_);
    if (graceful) ::shutdown(fd_, SHUT_WR);
    ::close(fd_);
    fd_ = -1;
  }
  ++connection_;  // work posted for this connection is dropped from here on
  bool fire = fire_event && !closed_fired_;
  // The settings go and the state is ssClosed before the event, so that its
  // handler sees the socket closed and may set up the next connection.
  ResetConnectionSettings();
  ChangeState(ssClosed);
  if (fire) {
    closed_fired_ = true;
    FireEvent(OnSessionClosed, error);
  }
  closed_fired_ = false;  // the next connection reports its own close
}

void TAsyncSocket::Close() {
  if (state_ == ssClosed) return;
  CloseSocket(true, 0);
}

void TAsyncSocket::CloseLater() {
  PostForConnection([this] { Close(); });
}

// A lookup and queued bytes go even when no connection is open: after Abort
// nothing of this socket is left running.
void TAsyncSocket::Abort() {
  CancelDnsLookup();
  send_queue_.Clear();
  if (state_ == ssClosed) return;
  CloseSocket(false, 0);
}

void TAsyncSocket::Pause() {
  paused_ = true;
  UpdateWatch();
}

void TAsyncSocket::Resume() {
  paused_ = false;
  UpdateWatch();
}

}  // namespace vellora
