// THttpClient, TLS: the handshake of a new https connection, and the bytes
// of the request and the answer passing through the connection's session.
// The socket keeps the descriptor and the event loop drives everything:
// bytes the socket receives are fed to the session, and what the session
// has to send goes out through the socket's send queue.

#include "http/http_client.h"

namespace vellora {

void THttpClient::StartTls() {
  std::string error;
  tls_ = TlsSession::Create(open_host_, open_port_, error);
  if (tls_ == nullptr) return EndRequest(404, error);
  tls_handshaking_ = true;
  tls_close_notified_ = false;
  ContinueHandshake();
}

void THttpClient::ContinueHandshake() {
  TlsSession::Step step = tls_->Handshake();
  if (step == TlsSession::Step::kFailed) return EndRequest(404, tls_->Error());
  FlushTls();  // our part of the handshake goes out before we wait for more
  if (step == TlsSession::Step::kNeedMore) return;
  tls_handshaking_ = false;
  SocketSessionConnected(0);
}

void THttpClient::FlushTls() {
  if (tls_ == nullptr) return;
  std::string out;
  tls_->TakeOutput(out);
  if (!out.empty()) socket_.Send(out.data(), out.size());
}

void THttpClient::SendBytes(const std::string& bytes) {
  if (!tls_connection_) {
    socket_.Send(bytes.data(), bytes.size());
    return;
  }
  if (tls_ == nullptr || !tls_->Write(bytes.data(), bytes.size())) {
    return EndRequest(404, tls_ != nullptr ? tls_->Error() : "TLS: the session is gone");
  }
  FlushTls();
}

int THttpClient::ReadTransport(char* buffer, size_t size) {
  if (!tls_connection_) return socket_.Receive(buffer, size);
  if (tls_ == nullptr) return -1;
  int count = tls_->Read(buffer, size);
  if (count > 0) return count;
  if (count == TlsSession::kClosed && !tls_close_notified_) {
    // The server ended the session; the connection ends with it, as when
    // a plain connection is closed by the server.
    tls_close_notified_ = true;
    socket_.CloseLater();
  } else if (count == TlsSession::kFailed) {
    if (state_ == httpReady) {
      socket_.Abort();  // between requests: no request to fail
    } else {
      EndRequest(404, tls_->Error());
    }
  }
  return -1;
}

void THttpClient::TlsDataAvailable() {
  char raw[16 * 1024];
  int count = socket_.Receive(raw, sizeof raw);
  if (count <= 0 || tls_ == nullptr) return;
  if (time_limit_timer_ != 0) last_server_byte_ = std::chrono::steady_clock::now();
  tls_->Feed(raw, static_cast<size_t>(count));
  if (tls_handshaking_) return ContinueHandshake();
  // The bytes may hold more than one read of plaintext, and the socket
  // offers no more until new bytes arrive: take all of it now.
  while (tls_ != nullptr && TakeReceived()) {
  }
  FlushTls();  // a session may answer the server (key updates)
}

bool THttpClient::BodyCutByTls() const {
  return tls_connection_ && !tls_close_notified_ && BodyStillOpen();
}

}  // namespace vellora
