// TlsSession: the client side of one TLS connection, over memory buffers.
//
// The session owns no socket: the caller feeds it the bytes that came from
// the network (Feed) and sends the bytes it produces (TakeOutput), so the
// socket and the event loop stay in charge of the descriptor. Handshake and
// Read never block; they say when they need more bytes from the server.
//
// Guarantees:
//   - TLS 1.2 or later; the server's certificate is verified against the
//     system's trust store (SSL_CERT_FILE and SSL_CERT_DIR override it, as
//     for every OpenSSL program) and must be valid for the host: a name is
//     checked against the certificate's names and sent as SNI, an IPv4 or
//     IPv6 address is checked against its addresses;
//   - every failure leaves a text that says what went wrong, e.g.
//     "TLS handshake failed: certificate verify failed (self-signed
//     certificate)" or "TLS: certificate is not valid for host.example";
//   - Read tells a close the server announced (close_notify) apart from
//     one it did not, so a cut answer cannot pass for a whole one.
//
// Sessions of the same host and port resume one another when the server
// allows it. Not thread-safe; sessions on different threads are fine.

#ifndef VELLORA_HTTP_TLS_SESSION_H_
#define VELLORA_HTTP_TLS_SESSION_H_

#include <cstddef>
#include <memory>
#include <string>

namespace vellora {

class TlsSession {
 public:
  enum class Step { kDone, kNeedMore, kFailed };
  // Read's results other than a byte count.
  static constexpr int kNothingYet = 0;  // more bytes from the server are needed
  static constexpr int kClosed = -1;     // the server ended the session (close_notify)
  static constexpr int kFailed = -2;     // Error() tells why

  // A session for `host` (as written in the URL) and `port`; nullptr with
  // `error` set when the TLS library cannot make one.
  static std::unique_ptr<TlsSession> Create(const std::string& host, const std::string& port,
                                            std::string& error);
  ~TlsSession();
  TlsSession(const TlsSession&) = delete;
  TlsSession& operator=(const TlsSession&) = delete;

  // Bytes received from the server.
  void Feed(const char* data, size_t length);
  // Bytes to send to the server, appended to `out`.
  void TakeOutput(std::string& out);

  // Advances the handshake with what has been fed.
  Step Handshake();
  bool HandshakeDone() const { return handshake_done_; }
  // Encrypts `data` for sending (TakeOutput then holds it). False after a failure.
  bool Write(const char* data, size_t length);
  // Decrypted bytes: a count above 0, or kNothingYet, kClosed, kFailed.
  int Read(char* buffer, size_t size);

  const std::string& Error() const { return error_; }
  // The protocol agreed on, e.g. "TLSv1.3"; empty before the handshake.
  std::string Protocol() const;

 private:
  struct State;
  explicit TlsSession(std::unique_ptr<State> state);
  void SetFailure(const std::string& prefix, int ssl_error);

  std::unique_ptr<State> state_;
  std::string host_;
  bool handshake_done_ = false;
  std::string error_;
};

}  // namespace vellora

#endif  // VELLORA_HTTP_TLS_SESSION_H_
