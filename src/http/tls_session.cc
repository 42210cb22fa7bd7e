#include "http/tls_session.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>

namespace vellora {

namespace {

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// The one client context of the process, made again when SSL_CERT_FILE or
// SSL_CERT_DIR changed since (the trust store is read when it is made), and
// the last session of every host and port for resumption.
class ClientContext {
 public:
  static ClientContext& Get() {
    static ClientContext* context = new ClientContext;  // lives as long as the process
    return *context;
  }

  // The current context, or nullptr with `error` set.
  std::shared_ptr<SSL_CTX> Current(std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::string cert_file = Env("SSL_CERT_FILE"), cert_dir = Env("SSL_CERT_DIR");
    if (context_ != nullptr && cert_file == cert_file_ && cert_dir == cert_dir_) return context_;
    SSL_CTX* made = SSL_CTX_new(TLS_client_method());
    if (made == nullptr) {
      error = "TLS: cannot set up the TLS library";
      return nullptr;
    }
    SSL_CTX_set_min_proto_version(made, TLS1_2_VERSION);
    SSL_CTX_set_verify(made, SSL_VERIFY_PEER, nullptr);
    if (SSL_CTX_set_default_verify_paths(made) != 1) {
      SSL_CTX_free(made);
      ERR_clear_error();
      error = "TLS: cannot load the trusted certificates";
      return nullptr;
    }
    SSL_CTX_set_session_cache_mode(made, SSL_SESS_CACHE_CLIENT | SSL_SESS_CACHE_NO_INTERNAL_STORE);
    SSL_CTX_sess_set_new_cb(made, &ClientContext::NewSession);
    context_.reset(made, SSL_CTX_free);
    cert_file_ = cert_file;
    cert_dir_ = cert_dir;
    for (auto& [key, session] : sessions_) SSL_SESSION_free(session);
    sessions_.clear();
    return context_;
  }

  void Resume(SSL* ssl, const std::string& key) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = sessions_.find(key);
    if (found != sessions_.end()) SSL_set_session(ssl, found->second);
  }

 private:
  // A session the server offers for resumption; kept per host and port.
  static int NewSession(SSL* ssl, SSL_SESSION* session) {
    const auto* key = static_cast<const std::string*>(SSL_get_app_data(ssl));
    if (key == nullptr) return 0;
    ClientContext& context = Get();
    std::lock_guard<std::mutex> lock(context.mutex_);
    if (SSL_get_SSL_CTX(ssl) != context.context_.get()) return 0;  // from a replaced context
    SSL_SESSION*& slot = context.sessions_[*key];
    if (slot != nullptr) SSL_SESSION_free(slot);
    slot = session;
    return 1;  // the reference is ours
  }

  std::mutex mutex_;
  std::shared_ptr<SSL_CTX> context_;
  std::string cert_file_, cert_dir_;
  std::map<std::string, SSL_SESSION*> sessions_;
};

bool IsAddress(const std::string& host) {
  unsigned char buffer[16];
  return inet_pton(AF_INET, host.c_str(), buffer) == 1 ||
         inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

}  // namespace

struct TlsSession::State {
  std::shared_ptr<SSL_CTX> context;
  SSL* ssl = nullptr;
  BIO* network_in = nullptr;   // owned by ssl
  BIO* network_out = nullptr;  // owned by ssl
  std::string key;             // host:port, for resumption
  ~State() {
    if (ssl != nullptr) SSL_free(ssl);
  }
};

std::unique_ptr<TlsSession> TlsSession::Create(const std::string& host, const std::string& port,
                                               std::string& error) {
  ERR_clear_error();
  auto state = std::make_unique<State>();
  state->context = ClientContext::Get().Current(error);
  if (state->context == nullptr) return nullptr;
  state->ssl = SSL_new(state->context.get());
  state->network_in = BIO_new(BIO_s_mem());
  state->network_out = BIO_new(BIO_s_mem());
  if (state->ssl == nullptr || state->network_in == nullptr || state->network_out == nullptr) {
    if (state->network_in != nullptr) BIO_free(state->network_in);
    if (state->network_out != nullptr) BIO_free(state->network_out);
    ERR_clear_error();
    error = "TLS: cannot start a session";
    return nullptr;
  }
  // An empty input buffer means "more to come", not the end.
  BIO_set_mem_eof_return(state->network_in, -1);
  BIO_set_mem_eof_return(state->network_out, -1);
  SSL_set_bio(state->ssl, state->network_in, state->network_out);
  SSL_set_connect_state(state->ssl);

  bool host_set;
  if (IsAddress(host)) {
    host_set = X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(state->ssl), host.c_str()) == 1;
  } else {
    host_set = SSL_set_tlsext_host_name(state->ssl, host.c_str()) == 1 &&
               SSL_set1_host(state->ssl, host.c_str()) == 1;
  }
  if (!host_set) {
    ERR_clear_error();
    error = "TLS: cannot check a certificate for host \"" + host + "\"";
    return nullptr;
  }
  state->key = host + ":" + port;
  SSL_set_app_data(state->ssl, &state->key);
  ClientContext::Get().Resume(state->ssl, state->key);

  std::unique_ptr<TlsSession> session(new TlsSession(std::move(state)));
  session->host_ = host;
  return session;
}

TlsSession::TlsSession(std::unique_ptr<State> state) : state_(std::move(state)) {}

TlsSession::~TlsSession() {
  // A session that ends without a TLS failure stays resumable: without the
  // shutdown OpenSSL takes the end for a cut and drops the session.
  if (handshake_done_ && error_.empty()) {
    ERR_clear_error();
    SSL_shutdown(state_->ssl);
    ERR_clear_error();
  }
}

void TlsSession::Feed(const char* data, size_t length) {
  while (length > 0) {
    int piece = static_cast<int>(std::min<size_t>(length, INT_MAX));
    int written = BIO_write(state_->network_in, data, piece);
    if (written <= 0) return;  // a memory buffer only fails without memory
    data += written;
    length -= static_cast<size_t>(written);
  }
}

void TlsSession::TakeOutput(std::string& out) {
  size_t pending = BIO_ctrl_pending(state_->network_out);
  if (pending == 0) return;
  size_t at = out.size();
  out.resize(at + pending);
  int read = BIO_read(state_->network_out, out.data() + at, static_cast<int>(pending));
  out.resize(at + static_cast<size_t>(std::max(read, 0)));
}

TlsSession::Step TlsSession::Handshake() {
  if (handshake_done_) return Step::kDone;
  if (!error_.empty()) return Step::kFailed;
  ERR_clear_error();
  int result = SSL_do_handshake(state_->ssl);
  if (result == 1) {
    handshake_done_ = true;
    return Step::kDone;
  }
  int ssl_error = SSL_get_error(state_->ssl, result);
  if (ssl_error == SSL_ERROR_WANT_READ || ssl_error == SSL_ERROR_WANT_WRITE) {
    return Step::kNeedMore;
  }
  SetFailure("TLS handshake failed: ", ssl_error);
  return Step::kFailed;
}

bool TlsSession::Write(const char* data, size_t length) {
  if (!error_.empty() || !handshake_done_) return false;
  while (length > 0) {
    ERR_clear_error();
    int piece = static_cast<int>(std::min<size_t>(length, INT_MAX));
    int written = SSL_write(state_->ssl, data, piece);
    if (written <= 0) {
      SetFailure("TLS: ", SSL_get_error(state_->ssl, written));
      return false;
    }
    data += written;
    length -= static_cast<size_t>(written);
  }
  return true;
}

int TlsSession::Read(char* buffer, size_t size) {
  if (!error_.empty()) return kFailed;
  if (size == 0) return kNothingYet;
  ERR_clear_error();
  int count = SSL_read(state_->ssl, buffer, static_cast<int>(std::min<size_t>(size, INT_MAX)));
  if (count > 0) return count;
  int ssl_error = SSL_get_error(state_->ssl, count);
  if (ssl_error == SSL_ERROR_WANT_READ || ssl_error == SSL_ERROR_WANT_WRITE) return kNothingYet;
  if (ssl_error == SSL_ERROR_ZERO_RETURN) return kClosed;
  SetFailure("TLS: ", ssl_error);
  return kFailed;
}

std::string TlsSession::Protocol() const {
  return handshake_done_ ? SSL_get_version(state_->ssl) : "";
}

void TlsSession::SetFailure(const std::string& prefix, int ssl_error) {
  long verify = SSL_get_verify_result(state_->ssl);
  if (!handshake_done_ && verify != X509_V_OK) {
    if (verify == X509_V_ERR_HOSTNAME_MISMATCH || verify == X509_V_ERR_IP_ADDRESS_MISMATCH) {
      error_ = "TLS: certificate is not valid for " + host_;
    } else {
      error_ = prefix + "certificate verify failed (" + X509_verify_cert_error_string(verify) + ")";
    }
    ERR_clear_error();
    return;
  }
  unsigned long code = ERR_get_error();
  const char* reason = code != 0 ? ERR_reason_error_string(code) : nullptr;
  if (reason != nullptr) {
    error_ = prefix + reason;
  } else if (ssl_error == SSL_ERROR_SYSCALL) {
    error_ = prefix + "unexpected end of the connection";
  } else {
    error_ = prefix + "error " + std::to_string(ssl_error);
  }
  ERR_clear_error();
}

}  // namespace vellora
