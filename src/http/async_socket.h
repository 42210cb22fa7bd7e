// TAsyncSocket: an event-driven, non-blocking TCP client socket.
//
// Every operation starts work and returns; outcomes come back later as
// events on the event loop's thread: OnDnsLookupDone, OnSessionConnected,
// OnDataAvailable, OnDataSent, OnSessionClosed. Guarantees the HTTP client
// relies on:
//   - no event fires inside Send, CloseLater or a DnsLookup of a host name
//     (a dotted address is answered inside DnsLookup);
//   - a connection attempt ends with OnSessionConnected(error); a failed one
//     is then closed, with OnSessionClosed;
//   - every received byte is offered through OnDataAvailable before
//     OnSessionClosed reports that the peer closed;
//   - OnSessionClosed fires at most once per connection;
//   - failures known at once (a refused connection on loopback) are still
//     delivered on a later turn of the loop.
// Errors carry socket error numbers (socket_errors.h). A failure is reported
// through OnError when it is assigned (the operation then returns normally),
// and raised as ESocketError otherwise.
//
// Not thread-safe: use it on the thread that runs its loop. The loop must
// outlive it. Destroying it cancels a lookup and closes the connection
// without OnSessionClosed.

#ifndef VELLORA_HTTP_ASYNC_SOCKET_H_
#define VELLORA_HTTP_ASYNC_SOCKET_H_

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/errors.h"
#include "base/event_loop.h"
#include "http/send_queue.h"

namespace vellora {

class HostLookup;

enum TSocketState {
  ssInvalidState,
  ssOpened,
  ssBound,
  ssConnecting,
  ssSocksConnected,
  ssConnected,
  ssAccepting,
  ssListening,
  ssClosed,
};

const char* SocketStateName(TSocketState state);

class ESocketError : public VelloraError {
 public:
  explicit ESocketError(const std::string& message) : VelloraError(message) {}
};

class TAsyncSocket {
 public:
  using Event = std::function<void(TAsyncSocket& sender, uint16_t error)>;

  explicit TAsyncSocket(EventLoop& loop);
  ~TAsyncSocket();
  TAsyncSocket(const TAsyncSocket&) = delete;
  TAsyncSocket& operator=(const TAsyncSocket&) = delete;

  // Settings of the next connection; changeable only while closed (a change
  // otherwise is reported as "Cannot change Addr if not closed", ...). Values
  // are trimmed. Addr and Port must be set again after every close.
  const std::string& Addr() const { return addr_; }
  void SetAddr(const std::string& value);
  const std::string& Port() const { return port_; }
  void SetPort(const std::string& value);
  const std::string& Proto() const { return proto_; }
  void SetProto(const std::string& value);
  const std::string& LocalAddr() const { return local_addr_; }
  void SetLocalAddr(const std::string& value);
  const std::string& LocalPort() const { return local_port_; }
  void SetLocalPort(const std::string& value);
  bool TcpNoDelay = false;     // asoTcpNoDelay
  bool NoReceiveLoop = false;  // asoNoReceiveLoop: one OnDataAvailable per readiness

  TSocketState State() const { return state_; }
  uint16_t LastError() const { return last_error_; }
  // The text of the last reported failure.
  const std::string& LastErrorMessage() const { return last_error_message_; }
  const std::string& DnsResult() const { return dns_result_; }
  const std::vector<std::string>& DnsResultList() const { return dns_result_list_; }
  uint64_t ReadCount() const { return read_count_; }
  size_t QueuedBytes() const { return send_queue_.Size(); }
  size_t QueuedBlocks() const { return send_queue_.BlockCount(); }
  bool AllSent() const { return send_queue_.Empty(); }
  bool DnsLookupRunning() const { return lookup_ != nullptr; }

  // Resolves `host` (IPv4). The result arrives as OnDnsLookupDone; a dotted
  // address and an empty name (error 10022, after a reported failure) are
  // answered inside the call. When the lookup cannot be started, a failure
  // is reported and no OnDnsLookupDone follows.
  void DnsLookup(const std::string& host);
  void CancelDnsLookup();

  // Connects to Addr:Port; the outcome arrives as OnSessionConnected.
  void Connect();

  // Appends bytes to the send queue without sending.
  void QueueForSend(const char* data, size_t length);
  // Appends and sends what the network takes now; the rest goes when the
  // socket becomes writable, and OnDataSent follows once the queue is empty.
  // Returns `length`, or -1 when not connected.
  int Send(const char* data, size_t length);
  // Takes at most `size` received bytes. Returns the count, 0 when the peer
  // has closed, -1 when nothing can be read now or on an error (LastError
  // tells: 10035 when nothing is there yet).
  int Receive(char* buffer, size_t size);

  // Graceful close (shuts down sending, then closes); OnSessionClosed(0).
  void Close();
  // Close, performed on a later turn of the loop.
  void CloseLater();
  // Cancels a lookup, drops the send queue and closes at once.
  void Abort();
  // Stop and restart the delivery of network readiness.
  void Pause();
  void Resume();

  Event OnDnsLookupDone;
  Event OnSessionConnected;
  Event OnDataAvailable;
  Event OnDataSent;
  Event OnSessionClosed;
  std::function<void(TAsyncSocket&, TSocketState old_state, TSocketState new_state)> OnChangeState;
  std::function<void(TAsyncSocket&)> OnError;
  std::function<void(TAsyncSocket&, const std::exception&, bool& can_close)> OnBgException;

  // Makes the next DnsLookup of a name fail to start with `error_number`.
  void FailNextLookupStartForTesting(int error_number) { fail_lookup_start_ = error_number; }
  // Makes every connection to an address (dotted) and port that `allow`
  // refuses fail as a refused connection does, without reaching the network.
  using ConnectFilter = std::function<bool(const std::string& address, uint16_t port)>;
  void FilterConnectionsForTesting(ConnectFilter allow) { allow_connection_ = std::move(allow); }

 private:
  bool SettingLocked(const char* name);
  void ChangeState(TSocketState state);
  void ReportFailure(const std::string& text);
  void ReportSocketError(uint16_t code, const std::string& operation);
  void UpdateWatch();
  void OnReady(unsigned ready);
  void ConnectionCompleted(uint16_t error);
  void HandleReadable();
  void ReceiveLoop(bool loop);
  bool PeerHasClosed();
  void PeerClosed(uint16_t error);
  // Pushes the send queue; returns a socket error that ends the connection, or 0.
  uint16_t TryToSend();
  void HandleWritable();
  void CloseSocket(bool graceful, uint16_t error, bool fire_event = true);
  void ResetConnectionSettings();
  void FireSessionClosed(uint16_t error);
  void FireEvent(const Event& event, uint16_t error);
  void BackgroundException(const std::exception& e);
  // Posts `action` to run later on this socket's current connection.
  void PostForConnection(std::function<void()> action);

  EventLoop& loop_;
  std::shared_ptr<int> alive_;  // posted callbacks hold a weak reference
  int fd_ = -1;
  uint64_t connection_ = 0;  // increases with every Connect and close
  TSocketState state_ = ssClosed;
  std::string addr_, port_, proto_ = "tcp", local_addr_ = "0.0.0.0", local_port_ = "0";
  uint16_t last_error_ = 0;
  std::string last_error_message_;
  std::string dns_result_;
  std::vector<std::string> dns_result_list_;
  std::shared_ptr<HostLookup> lookup_;
  uint64_t read_count_ = 0;
  SendQueue send_queue_;
  bool closed_fired_ = false;
  bool peer_closed_ = false;
  bool paused_ = false;
  uint16_t pending_close_error_ = 0;  // a receive failure that ends the connection
  int fail_lookup_start_ = 0;
  ConnectFilter allow_connection_;
};

}  // namespace vellora

#endif  // VELLORA_HTTP_ASYNC_SOCKET_H_
