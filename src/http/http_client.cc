// THttpClient, request side: starting a request, name lookup and connection,
// the request lines, relocation, authentication retry, completion and Abort.
// The reception of the answer is in http_client_receive.cc.

#include "http/http_client.h"

#include "base/code_page.h"
#include "http/base64.h"
#include "http/request_text.h"
#include "http/socket_errors.h"
#include "http/url.h"

namespace vellora {

namespace {

std::string ErrorWithNumber(uint16_t error) {
  return SocketErrorText(error) + " (Error #" + std::to_string(error) + ")";
}

const char* DefaultPort(const std::string& scheme) { return scheme == "https" ? "443" : "80"; }

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && EqualIgnoringCase(text.substr(0, prefix.size()), prefix);
}

// Why `url` cannot be requested, or empty: a control byte would reach the
// request line or the Host line.
std::string UrlProblem(const std::string& url) {
  std::string problem = ControlByteProblem(url);
  if (!problem.empty()) return "Invalid URL: it holds " + problem;
  return "";
}

}  // namespace

THttpClient::THttpClient(EventLoop& loop)
    : loop_(loop), socket_(loop), alive_(std::make_shared<int>(0)) {
  socket_.OnDnsLookupDone = [this](TAsyncSocket&, uint16_t error) { SocketDnsLookupDone(error); };
  socket_.OnSessionConnected = [this](TAsyncSocket&, uint16_t error) {
    SocketSessionConnected(error);
  };
  socket_.OnDataAvailable = [this](TAsyncSocket&, uint16_t) { SocketDataAvailable(); };
  socket_.OnSessionClosed = [this](TAsyncSocket&, uint16_t error) { SocketClosedEvent(error); };
  // Socket failures are reported here instead of being raised; those that
  // end a request are noticed where the operation was started.
  socket_.OnError = [this](TAsyncSocket&) {
    if (OnSocketError) OnSocketError(*this);
  };
}

THttpClient::~THttpClient() { DisarmTimeLimit(); }

void THttpClient::SetRequestVer(const std::string& version) {
  if (version == request_ver_) return;
  if (version != "1.0" && version != "1.1") throw EHttpError("Insupported HTTP version", 5);
  request_ver_ = version;
}

// ---------------------------------------------------------------- notifications

// Notifications are posted with the request's run number: one that comes
// after the request was aborted, or after the next one began, is dropped.
void THttpClient::PostReady() {
  std::weak_ptr<int> alive = alive_;
  uint64_t run = run_;
  loop_.post([this, alive, run] {
    if (!alive.expired() && run == run_) ReturnToReady();
  });
}

void THttpClient::PostLogin() {
  std::weak_ptr<int> alive = alive_;
  uint64_t run = run_;
  loop_.post([this, alive, run] {
    // The request may have ended in between (Abort, the time limit).
    if (!alive.expired() && run == run_ && state_ != httpReady) Login();
  });
}

void THttpClient::PostRequestDone() {
  std::weak_ptr<int> alive = alive_;
  // Taken now: by the time the event runs, a handler may have started the
  // next request.
  THttpRequest request = request_type_;
  uint16_t error = completion_error_;
  loop_.post([this, alive, request, error] {
    if (!alive.expired() && OnRequestDone) OnRequestDone(*this, request, error);
  });
}

void THttpClient::SetState(THttpClientState state) {
  if (state == state_) return;
  state_ = state;
  if (OnStateChange) OnStateChange(*this);
}

void THttpClient::ReturnToReady() {
  if (state_ == httpReady) return;
  DisarmTimeLimit();
  SetState(httpReady);
  // A Basic exchange that was answered by anything but 401 has succeeded.
  if (basic_auth_state_ == 1 && status_code_ != 401) basic_auth_state_ = 2;
  if (basic_auth_state_ == 2 && status_code_ == 401) basic_auth_state_ = 0;
  // A 401 with a Basic challenge is answered once more with the credentials;
  // the request is over only when that second exchange ends.
  if (!StartAuthRetry()) PostRequestDone();
}

void THttpClient::EndRequest(int status, const std::string& reason) {
  status_code_ = status;
  reason_phrase_ = reason;
  // An ended request neither relocates nor reads on, and the close that
  // follows is ours, not a server's answer to a handshake.
  relocation_pending_ = false;
  next_line_handler_ = LineHandler::kNone;
  closed_route_ = ClosedRoute::kClosedHandler;
  line_buffer_.Clear();
  tls_handshaking_ = false;
  if (state_ == httpNotConnected || (state_ == httpDnsLookup && !lookup_answered_)) {
    // Nothing was opened for the request: it is over now. A connection
    // kept alive from an earlier request stays open for the next one.
    ReturnToReady();
  } else if (state_ == httpAborting) {
    // Abort and the time limit end the request before they return.
    if (socket_.State() == ssClosed) {
      SocketSessionClosed(0);
    } else {
      socket_.Close();
    }
    ReturnToReady();
  } else if (socket_.State() != ssClosed) {
    socket_.Abort();  // the closed handler ends the request
  } else {
    SocketSessionClosed(0);
  }
}

// ---------------------------------------------------------------- starting

void THttpClient::Get() {
  StartGet();
  while (state_ != httpReady) {
    loop_.runOnce(1000);
    if (loop_.TerminateRequested() && state_ != httpReady) {
      Abort();
      break;
    }
  }
  RaiseForStatus();
}

void THttpClient::StartGet() {
  location_change_cur_count_ = 0;
  StartRequest(httpGET);
}

// 401 and 407 are answers, not failures: the caller reads the challenge and
// may ask again with credentials.
void THttpClient::RaiseForStatus() const {
  if (status_code_ > 399 && status_code_ != 401 && status_code_ != 407) {
    throw EHttpError(reason_phrase_, static_cast<uint16_t>(status_code_));
  }
}

void THttpClient::ResetResponse() {
  rcvd_header_.clear();
  completion_error_ = 0;
  document_file_name_.clear();
  status_code_ = 0;
  body_bytes_received_ = 0;
  header_line_count_ = 0;
  header_in_progress_ = false;
  header_done_ = false;
  header_bytes_ = 0;
  body_block_count_ = 0;
  body_length_ = -1;
  content_type_.clear();
  transfer_coding_.clear();
  content_coding_.clear();
  current_url_ = URL;
  challenges_.clear();
  close_req_ = request_ver_ == "1.0";
}

void THttpClient::StartRequest(THttpRequest request) {
  if (request != httpCLOSE && state_ != httpReady) {
    throw EHttpError("HTTP component " + Name + " is busy", 1);
  }
  if (request == httpPOST || request == httpPUT) {
    throw EHttpError("HTTP component has nothing to post or put", 2);
  }
  ++run_;  // notifications still posted for the last request are dropped
  if (request == httpCLOSE) {
    status_code_ = 200;
    reason_phrase_ = "OK";
    SetState(httpClosing);
    if (socket_.State() == ssClosed) {
      PostReady();
    } else {
      socket_.CloseLater();
    }
    return;
  }
  request_type_ = request;
  ResetResponse();
  // Bytes left over from an earlier response never belong to this one.
  line_buffer_.Clear();
  relocation_pending_ = false;
  next_line_handler_ = LineHandler::kNone;
  closed_route_ = ClosedRoute::kClosedHandler;
  stream_size_at_body_ = ReceiveStream != nullptr ? ReceiveStream->size() : 0;

  request_user_ = Username;
  request_password_ = Password;
  connection_value_ = Connection;
  // The URL as a browser reads it: blanks around it dropped, spaces inside
  // sent as %20, a host name beyond ASCII in its IDNA form.
  const std::string url = TrimBlanks(URL);
  std::string scheme, user, password, host, port, path = request_path_;
  SplitUrl(url, scheme, user, password, host, port, path);
  path = EncodeSpaces(path);
  std::string problem = UrlProblem(url);
  if (problem.empty() && !AsciiHostName(host)) problem = "Invalid host name \"" + host + "\"";
  request_path_ = path;
  request_host_ = host;
  document_file_name_ = path;
  target_scheme_ = scheme;
  if (!user.empty()) request_user_ = user;
  if (!password.empty()) request_password_ = password;
  if (port.empty()) port = DefaultPort(scheme);
  request_port_ = port;
  if (target_scheme_.empty()) target_scheme_ = "http";
  if (request_path_.empty()) request_path_ = "/";
  document_file_name_ = DeriveDocName(document_file_name_);
  target_host_ = host;
  target_port_ = port;
  basic_auth_state_ = 0;
  if (!problem.empty()) {
    // Ends like a failure to reach the server, before any connection.
    SetState(httpNotConnected);
    return EndRequest(404, problem);
  }
  ArmTimeLimit();

  // A kept connection serves only the same server, port and scheme, and an
  // https one only while AllowHttps holds: reusing it would skip the check
  // made when connecting.
  if (socket_.State() == ssConnected) {
    if (target_host_ == open_host_ && target_port_ == open_port_ &&
        target_scheme_ == open_scheme_ && (target_scheme_ != "https" || AllowHttps)) {
      reused_connection_ = true;
      SocketSessionConnected(0);
      return;
    }
    socket_.Abort();
  }
  SetState(httpNotConnected);
  Login();
}

// ---------------------------------------------------------------- connecting

void THttpClient::Login() {
  closed_route_ = ClosedRoute::kClosedHandler;
  if (socket_.State() == ssConnected) {
    reused_connection_ = true;
    SocketSessionConnected(0);
    return;
  }
  reused_connection_ = false;
  SetState(httpDnsLookup);
  socket_.SetLocalAddr(LocalAddr);
  lookup_answered_ = false;
  try {
    socket_.DnsLookup(target_host_);
  } catch (const std::exception& e) {
    return EndRequest(404, e.what());
  }
  if (!lookup_answered_ && !socket_.DnsLookupRunning() && state_ == httpDnsLookup) {
    // The lookup could not be started; the socket reported why.
    completion_error_ = socket_.LastError();
    EndRequest(404, socket_.LastErrorMessage());
  }
}

void THttpClient::SocketDnsLookupDone(uint16_t error) {
  lookup_answered_ = true;
  if (error != 0) {
    if (state_ == httpAborting) return;  // the abort ends the request itself
    completion_error_ = error;
    return EndRequest(404, "can't resolve hostname to IP address");
  }
  SetState(httpDnsLookupDone);
  socket_.SetAddr(socket_.DnsResult());
  socket_.SetLocalAddr(LocalAddr);
  socket_.SetPort(target_port_);
  socket_.SetProto("tcp");
  open_host_ = target_host_;
  open_port_ = target_port_;
  open_scheme_ = target_scheme_;
  // A new connection: nothing of the last one's TLS session carries over.
  tls_.reset();
  tls_connection_ = target_scheme_ == "https";
  tls_handshaking_ = false;
  tls_close_notified_ = false;
  if (target_scheme_ != "http" && !(target_scheme_ == "https" && AllowHttps)) {
    completion_error_ = socket_.LastError();
    return EndRequest(501, "Protocol \"" + target_scheme_ + "\" not implemented");
  }
  socket_.Connect();
  // A failure known at once leaves the socket closed (reported through
  // OnError); a later one comes as OnSessionConnected(error).
  if (socket_.State() != ssConnecting && socket_.State() != ssConnected) {
    completion_error_ = socket_.LastError();
    EndRequest(404, "can't connect: " + ErrorWithNumber(completion_error_));
  }
}

void THttpClient::SocketSessionConnected(uint16_t error) {
  if (error != 0) {
    completion_error_ = error;
    status_code_ = 404;
    reason_phrase_ = ErrorWithNumber(error);
    if (OnSessionConnected) OnSessionConnected(*this);
    return;  // the socket closes itself; the closed handler ends the request
  }
  // A new https connection first makes its TLS session, which comes back
  // here once the handshake is done.
  if (tls_connection_ && tls_ == nullptr) return StartTls();
  relocation_pending_ = false;
  SetState(httpConnected);
  if (OnSessionConnected) OnSessionConnected(*this);
  next_line_handler_ = LineHandler::kHeader;
  SetState(httpWaitingHeader);
  std::string failure;
  try {
    SendRequest(request_type_ == httpHEAD ? "HEAD" : "GET", request_ver_);
    return;
  } catch (const std::exception& e) {
    failure = e.what();  // an event handler's, the socket's or the TLS session's
  } catch (...) {
    failure = "an exception of unknown type";
  }
  reused_connection_ = false;  // our failure: the request is not made again
  EndRequest(404, "Request not sent: " + failure);
}

void THttpClient::SendRequest(const std::string& method, const std::string& version) {
  if (OnRequestHeaderBegin) OnRequestHeaderBegin(*this);
  std::vector<std::string> lines;
  lines.push_back(method + " " + request_path_ + " HTTP/" + version);
  if (!Sender.empty()) lines.push_back("From: " + Sender);
  if (!Accept.empty()) lines.push_back("Accept: " + Accept);
  if (!Reference.empty()) lines.push_back("Referer: " + Reference);
  if (!connection_value_.empty()) lines.push_back("Connection: " + connection_value_);
  if (!AcceptLanguage.empty()) lines.push_back("Accept-Language: " + AcceptLanguage);
  if (!Agent.empty()) lines.push_back("User-Agent: " + Agent);
  if (request_port_ == DefaultPort(target_scheme_) || request_port_.empty()) {
    lines.push_back("Host: " + request_host_);
  } else {
    lines.push_back("Host: " + request_host_ + ":" + request_port_);
  }
  if (NoCache) lines.push_back("Pragma: no-cache");
  if (basic_auth_state_ == 1) {
    lines.push_back("Authorization: Basic " +
                    Base64Encode(request_user_ + ":" + request_password_));
  }
  if (!Cookie.empty()) lines.push_back("Cookie: " + Cookie);
  if (!ContentRangeBegin.empty() || !ContentRangeEnd.empty()) {
    lines.push_back("Range: bytes=" + ContentRangeBegin + "-" + ContentRangeEnd);
    ContentRangeBegin.clear();
    ContentRangeEnd.clear();
  }
  accept_ranges_.clear();

  std::string request;
  for (std::string& line : lines) {
    if (OnCommand) OnCommand(*this, line);
    // A configured value (or an edit of OnCommand) may not add a line.
    std::string problem = ControlByteProblem(line);
    if (!problem.empty()) {
      reused_connection_ = false;  // not a connection the server gave up on
      return EndRequest(404, "Request not sent: a request line holds " + problem);
    }
    request += line;
    request += "\r\n";
  }
  if (OnRequestHeaderEnd) OnRequestHeaderEnd(*this);
  request += "\r\n";
  SendBytes(request);
}

// ---------------------------------------------------------------- closing

void THttpClient::SocketClosedEvent(uint16_t error) {
  bool handshaking = tls_handshaking_;
  tls_.reset();
  tls_handshaking_ = false;
  // A close during the handshake means the server would not make the
  // session (another protocol on the port, nothing in common): a TLS failure
  // rather than a lost connection.
  if (handshaking) {
    completion_error_ = error;
    status_code_ = 404;
    reason_phrase_ = "TLS handshake failed: the server closed the connection";
    if (error != 0) reason_phrase_ += " (" + ErrorWithNumber(error) + ")";
    SocketSessionClosed(error);
  } else if (closed_route_ == ClosedRoute::kReconnect) {
    ReconnectForRelocation();
  } else {
    SocketSessionClosed(error);
  }
}

bool THttpClient::HeaderStillOpen() const { return state_ == httpWaitingHeader && !header_done_; }

bool THttpClient::BodyStillOpen() const {
  // A failure ends the body's reading (no line handler) but not its state.
  return state_ == httpWaitingBody && next_line_handler_ == LineHandler::kBody &&
         request_type_ != httpHEAD;
}

bool THttpClient::BodyCutShort() const {
  return BodyStillOpen() && (body_length_ >= 0 || transfer_coding_ == "chunked");
}

void THttpClient::SocketSessionClosed(uint16_t error) {
  const bool header_open = HeaderStillOpen();
  if (header_open && reused_connection_ && header_bytes_ == 0 && !relocation_pending_) {
    // A kept-alive connection that the server had closed before the request
    // arrived: the request is made once more on a new connection, and the
    // error of the dropped one is not the request's.
    reused_connection_ = false;
    SetState(httpNotConnected);
    PostLogin();
    return;
  }
  if (error != 0) completion_error_ = error;
  const bool body_cut = BodyCutShort();
  // A header or a body that the close cut off still gets its end event.
  if (header_in_progress_) {
    header_in_progress_ = false;
    if (OnHeaderEnd) OnHeaderEnd(*this);
  }
  if (body_block_count_ > 0) {
    body_block_count_ = 0;
    if (OnDocEnd) OnDocEnd(*this);
  }
  if (relocation_pending_) return ReconnectForRelocation();
  if (header_open) {
    // The request ends with the status read so far, or with 404 when there
    // is none.
    if (status_code_ == 0) {
      status_code_ = 404;
      reason_phrase_ = error != 0 ? ErrorWithNumber(error)
                                  : "Connection closed before the response header ended";
    }
  } else if (body_cut) {
    next_line_handler_ = LineHandler::kNone;
    status_code_ = 404;
    reason_phrase_ = BodyCutReason(error);
  } else if (BodyCutByTls()) {
    // A body that ends at the close needs the server's close_notify over
    // TLS: without it the end may be an attacker's or a broken link's.
    next_line_handler_ = LineHandler::kNone;
    status_code_ = 404;
    reason_phrase_ = "TLS: the connection closed without close_notify (the body may be cut)";
  }
  if (OnSessionClosed) OnSessionClosed(*this);
  if (state_ != httpReady) PostReady();
}

std::string THttpClient::BodyCutReason(uint16_t error) const {
  std::string reason = "Connection closed before the end of the body (";
  if (transfer_coding_ == "chunked") {
    reason += "the last chunk did not come";
  } else {
    reason += std::to_string(body_bytes_received_) + " of " + std::to_string(body_length_) +
              " bytes came";
  }
  reason += ")";
  if (error != 0) reason += ": " + ErrorWithNumber(error);
  return reason;
}

void THttpClient::Abort() {
  if (state_ == httpReady) {
    // No request to end: the connection goes, and the client reports a
    // completed exchange without passing through a request's states.
    state_ = httpAborting;
    if (socket_.State() != ssClosed) socket_.Abort();
    status_code_ = 200;
    reason_phrase_ = "OK";
    completion_error_ = 0;
    state_ = httpReady;
    if (OnStateChange) OnStateChange(*this);
    if (OnRequestDone) OnRequestDone(*this, request_type_, completion_error_);
    return;
  }
  EndRunningRequest(kAbortedReason, 3);
}

void THttpClient::EndRunningRequest(const std::string& reason, uint16_t error) {
  bool during_lookup = state_ == httpDnsLookup;
  SetState(httpAborting);
  // A lookup left running would answer into the next request.
  if (during_lookup) socket_.CancelDnsLookup();
  completion_error_ = error;
  ++run_;  // notifications posted for the request are dropped
  EndRequest(404, reason);
}

// ---------------------------------------------------------------- time limit

void THttpClient::ArmTimeLimit() {
  DisarmTimeLimit();
  // At most a day: the timer counts milliseconds in an int.
  time_limit_s_ = std::min(Timeout, 24 * 3600);
  if (time_limit_s_ <= 0) return;
  last_server_byte_ = std::chrono::steady_clock::now();
  time_limit_timer_ = loop_.startTimer(time_limit_s_ * 1000, [this] { CheckTimeLimit(); });
}

void THttpClient::DisarmTimeLimit() {
  if (time_limit_timer_ == 0) return;
  loop_.cancelTimer(time_limit_timer_);
  time_limit_timer_ = 0;
}

void THttpClient::CheckTimeLimit() {
  time_limit_timer_ = 0;
  if (state_ == httpReady) return;
  // The timer runs from the start; bytes that arrived since move the end.
  auto left =
      last_server_byte_ + std::chrono::seconds(time_limit_s_) - std::chrono::steady_clock::now();
  if (left > std::chrono::milliseconds(0)) {
    auto left_ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    time_limit_timer_ = loop_.startTimer(static_cast<int>(left_ms), [this] { CheckTimeLimit(); });
    return;
  }
  EndRunningRequest("Connection timed out", kSocketTimedOut);
}

// ---------------------------------------------------------------- relocation

void THttpClient::LocationRule(const std::string& field_value) {
  if (request_type_ == httpPUT) {
    current_url_ = field_value;
    return;
  }
  if (!FollowRelocation) return;
  // The target goes into the next request line: a control byte ends the
  // request, and spaces are sent encoded (as curl follows such a target).
  std::string value = TrimBlanks(field_value);
  std::string problem = ControlByteProblem(value);
  if (!problem.empty()) return EndRequest(404, "Invalid relocation target: it holds " + problem);
  value = EncodeSpaces(value);
  relocation_pending_ = true;
  if (!value.empty() && value[0] == '/') {
    request_path_ = value;
    current_url_ = target_scheme_ + "://" + target_host_ + value;
  } else if (!StartsWithIgnoringCase(value, "http://") &&
             !StartsWithIgnoringCase(value, "https://")) {
    request_path_ = PathBase(request_path_) + value;
    current_url_ = target_scheme_ + "://" + target_host_ + request_path_;
  } else {
    std::string scheme, user, password, host, port, path = request_path_;
    SplitUrl(value, scheme, user, password, host, port, path);
    if (!AsciiHostName(host)) return EndRequest(404, "Invalid host name \"" + host + "\"");
    target_host_ = host;
    target_port_ = port.empty() ? DefaultPort(scheme) : port;
    target_scheme_ = scheme;
    request_path_ = path.empty() ? "/" : path;
    if (!user.empty() && !password.empty()) {
      request_user_ = user;
      request_password_ = password;
    }
    if (!scheme.empty() && !host.empty()) {
      request_host_ = host;
      // The Host line names the port of the new target.
      request_port_ = target_port_;
      current_url_ = scheme + "://" + host + (path.empty() ? "" : request_path_);
    }
  }
}

bool THttpClient::RelocationBudgetSpent() {
  ++location_change_cur_count_;
  if (location_change_cur_count_ <= LocationChangeMaxCount) return false;
  bool allow_more = false;
  if (OnLocationChangeExceeded) {
    OnLocationChangeExceeded(*this, location_change_cur_count_, allow_more);
  }
  if (allow_more) return false;
  relocation_pending_ = false;
  PostReady();
  return true;
}

// The bytes of an answer that is being replaced (a relocation, an
// authentication retry) do not stay in the caller's stream.
void THttpClient::CutBackStream() {
  if (ReceiveStream != nullptr && ReceiveStream->size() != stream_size_at_body_) {
    ReceiveStream->resize(std::min(ReceiveStream->size(), stream_size_at_body_));
  }
}

void THttpClient::BeginRelocation() {
  body_bytes_received_ = 0;
  line_buffer_.Clear();
  header_line_count_ = 0;
  body_block_count_ = 0;
  if (RelocationBudgetSpent()) return;
  // Another server, port or scheme, or a server that closes after this
  // answer: the next request waits for the close and goes on a new
  // connection (ReconnectForRelocation). Otherwise it reuses this one.
  if (open_host_ != target_host_ || open_port_ != target_port_ || open_scheme_ != target_scheme_ ||
      close_req_) {
    closed_route_ = ClosedRoute::kReconnect;
    socket_.CloseLater();
    return;
  }
  if (OnLocationChange) OnLocationChange(*this);
  std::string url = current_url_;
  ResetResponse();
  current_url_ = url;
  document_file_name_ = DeriveDocName(request_path_);
  CutBackStream();
  PostLogin();
}

void THttpClient::ReconnectForRelocation() {
  closed_route_ = ClosedRoute::kClosedHandler;
  // A fragment names a place in the page and is never sent.
  std::string url = current_url_.substr(0, current_url_.find('#'));
  std::string scheme, user, password, host, port, path = request_path_;
  SplitUrl(url, scheme, user, password, host, port, path);
  document_file_name_ = DeriveDocName(path);
  relocation_pending_ = false;
  if (RelocationBudgetSpent()) return;
  if (OnLocationChange) OnLocationChange(*this);
  rcvd_header_.clear();
  header_line_count_ = 0;
  header_in_progress_ = false;
  header_done_ = false;
  header_bytes_ = 0;
  body_block_count_ = 0;
  body_bytes_received_ = 0;
  body_length_ = -1;
  content_type_.clear();
  status_code_ = 0;
  transfer_coding_.clear();
  content_coding_.clear();
  challenges_.clear();
  close_req_ = request_ver_ == "1.0";
  line_buffer_.Clear();
  CutBackStream();
  PostLogin();
}

// ---------------------------------------------------------------- authentication

bool THttpClient::StartAuthRetry() {
  if (status_code_ != 401 || challenges_.empty() || request_user_.empty() ||
      request_password_.empty() || (Options & hcoNoBasicAuth) != 0) {
    if (basic_auth_state_ == 1 && status_code_ == 401) basic_auth_state_ = 0;
    return false;
  }
  if (basic_auth_state_ != 0) {
    // A second 401 after the credentials were sent: they were refused.
    basic_auth_state_ = 0;
    return false;
  }
  bool basic_offered = false;
  for (auto it = challenges_.rbegin(); it != challenges_.rend(); ++it) {
    basic_offered = basic_offered || StartsWithIgnoringCase(*it, "Basic");
  }
  if (!basic_offered) return false;
  basic_auth_state_ = 1;
  CutBackStream();
  line_buffer_.Clear();
  std::string doc_name = document_file_name_;
  ResetResponse();
  document_file_name_ = doc_name;
  ++run_;  // what was posted for the refused exchange belongs to no request now
  SetState(httpNotConnected);
  PostLogin();
  return true;
}

}  // namespace vellora
