// THttpClient: fetches one web document over HTTP/1.0 into a byte buffer.
//
// Typical use (the grabber's):
//   THttpClient http(loop);
//   std::string body;
//   http.URL = "http://host/page.htm";
//   http.ReceiveStream = &body;      // the client only appends to it
//   http.Get();                      // raises EHttpError on a failed request
//   WriteWholeFile(path, body);
//
// Get is synchronous: it starts the request and runs the event loop until
// the client is back in httpReady, following relocations on the way. A
// request ends early through Abort or when the loop's terminate request is
// set (then with 404 kAbortedReason, see IsAbortError), and when Timeout is
// set and the server sent nothing for that long (404 "Connection timed
// out"). Underneath is an event-driven state machine over TAsyncSocket;
// every transition goes through SetState, so OnStateChange sees them all.
//
// Limits that protect the caller from a hostile server (each failure ends
// the request with status 404 and the text given):
//   - a body held in ReceiveStream may not exceed MaxBodySize bytes
//     ("Document too large (more than N bytes)");
//   - a chunk may not exceed ChunkedDecoder::kMaxChunkSize ("Invalid chunk size");
//   - a response header may not exceed kMaxHeaderBytes nor kMaxHeaderLines
//     lines ("Response header too large");
//   - header lines are cut at 8,189 bytes (no error);
//   - a body that ends before its Content-Length or its last chunk fails
//     ("Connection closed before the end of the body (...)").
// No control byte reaches a request line: a URL holding one, or a space in
// its path, ends the request before connecting ("Invalid URL: ..."); a
// followed Location holding one fails ("Invalid relocation target: ...")
// and its spaces are sent as %20.
//
// Not thread-safe: use it on the loop's thread. The loop must outlive it,
// and the ReceiveStream must outlive a request in progress.

#ifndef VELLORA_HTTP_HTTP_CLIENT_H_
#define VELLORA_HTTP_HTTP_CLIENT_H_

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/event_loop.h"
#include "http/async_socket.h"
#include "http/chunked_decoder.h"
#include "http/http_types.h"
#include "http/line_buffer.h"
#include "http/tls_session.h"

namespace vellora {

class THttpClient {
 public:
  static constexpr uint64_t kDefaultMaxBodySize = 64ull << 20;  // 64 MiB
  static constexpr size_t kMaxHeaderBytes = 1u << 20;           // 1 MiB
  static constexpr size_t kMaxHeaderLines = 10000;

  explicit THttpClient(EventLoop& loop);
  ~THttpClient();
  THttpClient(const THttpClient&) = delete;
  THttpClient& operator=(const THttpClient&) = delete;

  // ---- Configuration (read when a request starts).
  std::string URL;
  std::string Name = "Http";  // appears in the "is busy" message
  std::string LocalAddr = "0.0.0.0";
  std::string Agent = "Mozilla/4.0 (compatible; Vellora)";
  std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
  bool NoCache = true;
  bool FollowRelocation = true;
  int LocationChangeMaxCount = 5;
  // Each adds its request line only when not empty.
  std::string Sender, Reference, AcceptLanguage, Connection, Cookie;
  std::string ContentRangeBegin, ContentRangeEnd;  // cleared after use
  std::string Username, Password;                  // for Basic authentication
  unsigned Options = 0;                            // THttpClientOption bits
  std::string* ReceiveStream = nullptr;            // not owned
  uint64_t MaxBodySize = kDefaultMaxBodySize;
  // https URLs, and relocations between http and https, are allowed (over
  // TLS 1.2 or later, the certificate verified for the host; port 443 when
  // the URL names none). When off, an https target ends the request with
  // 501 "Protocol "https" not implemented", as any scheme other than http
  // does. A failure of TLS ends the request with 404 and a reason starting
  // with "TLS".
  bool AllowHttps = false;
  // The time limit of a request in seconds: the longest time without any
  // byte from the server, covering the name lookup, the connection, the TLS
  // handshake and the transfer. 0 (or less) means none. On expiry the request
  // ends with 404 "Connection timed out".
  int Timeout = 0;

  // "1.0" or "1.1"; anything else raises EHttpError "Insupported HTTP version" (5).
  const std::string& RequestVer() const { return request_ver_; }
  void SetRequestVer(const std::string& version);

  // ---- Requests.
  // Fetches URL into ReceiveStream. Raises EHttpError when the client is busy
  // (code 1) or the final status is above 399 other than 401 and 407 (the
  // reason phrase, with the status as ErrorNumber).
  void Get();
  // The two halves of Get for callers that drive several clients on one
  // loop: StartGet resets the relocation count and starts the GET (the
  // request has ended once State() is httpReady again); RaiseForStatus then
  // raises what Get would raise for the request's final status.
  void StartGet();
  void RaiseForStatus() const;
  // Starts a request and returns at once; OnRequestDone and the return to
  // httpReady signal its end. Supports httpGET, httpHEAD and httpCLOSE.
  void StartRequest(THttpRequest request);
  // Ends a running request at once (404 kAbortedReason);
  // on a ready client it closes the connection and reports 200 "OK".
  void Abort();

  // ---- Results of the last request.
  THttpClientState State() const { return state_; }
  int StatusCode() const { return status_code_; }
  const std::string& ReasonPhrase() const { return reason_phrase_; }
  const std::string& ResponseVersion() const { return response_version_; }
  const std::vector<std::string>& RcvdHeader() const { return rcvd_header_; }
  const std::string& ContentType() const { return content_type_; }
  const std::string& TransferEncoding() const { return transfer_coding_; }
  int64_t ContentLength() const { return body_length_; }
  const std::string& Location() const { return current_url_; }  // URL last fetched
  const std::string& DocName() const { return document_file_name_; }
  int LocationChangeCurCount() const { return location_change_cur_count_; }
  uint16_t CompletionError() const { return completion_error_; }
  uint64_t BodyBytesReceived() const { return body_bytes_received_; }
  TAsyncSocket& CtrlSocket() { return socket_; }

  // ---- Events (each optional).
  using Notify = std::function<void(THttpClient&)>;
  Notify OnStateChange, OnSessionConnected, OnSessionClosed;
  Notify OnRequestHeaderBegin, OnRequestHeaderEnd;
  Notify OnHeaderBegin, OnHeaderData, OnHeaderEnd;
  Notify OnDocBegin, OnDocEnd, OnLocationChange, OnSocketError;
  std::function<void(THttpClient&, const char* data, size_t length)> OnDocData;
  std::function<void(THttpClient&, std::string& line)> OnCommand;
  std::function<void(THttpClient&, const std::string& data, bool& accept)> OnCookie;
  std::function<void(THttpClient&, int count, bool& allow_more)> OnLocationChangeExceeded;
  std::function<void(THttpClient&, THttpRequest request, uint16_t error)> OnRequestDone;
  // Bytes outside any response (after a complete one) were dropped.
  std::function<void(THttpClient&, uint16_t error)> OnDataPush;

 private:
  enum class LineHandler { kNone, kHeader, kBody };
  enum class ClosedRoute { kClosedHandler, kReconnect };

  // Request side (http_client.cc).
  // The one setter of state_: every transition is seen by OnStateChange.
  void SetState(THttpClientState state);
  // The request is over: httpReady, then the Basic retry or OnRequestDone.
  void ReturnToReady();
  // Every failure of a request ends here, with the final status and
  // reason: nothing opened yet, it is over at once; after Abort or the time
  // limit, the connection closes and it is over at once; otherwise the
  // connection is dropped and the closed handler ends it.
  void EndRequest(int status, const std::string& reason);
  // Where the close of the connection leaves the response: inside its
  // header, or inside a body whose end is known.
  bool HeaderStillOpen() const;
  bool BodyStillOpen() const;
  bool BodyCutShort() const;
  void ResetResponse();
  void Login();
  void SocketDnsLookupDone(uint16_t error);
  void SocketSessionConnected(uint16_t error);
  void SocketSessionClosed(uint16_t error);
  void SocketClosedEvent(uint16_t error);
  std::string BodyCutReason(uint16_t error) const;
  void SendRequest(const std::string& method, const std::string& version);
  void LocationRule(const std::string& value);
  void BeginRelocation();
  void ReconnectForRelocation();
  bool RelocationBudgetSpent();
  bool StartAuthRetry();
  void CutBackStream();
  void PostReady();
  void PostLogin();
  void PostRequestDone();
  void EndRunningRequest(const std::string& reason, uint16_t error);
  void ArmTimeLimit();
  void DisarmTimeLimit();
  void CheckTimeLimit();

  // TLS over the socket (http_client_tls.cc).
  void StartTls();
  void ContinueHandshake();
  void FlushTls();
  void SendBytes(const std::string& bytes);
  int ReadTransport(char* buffer, size_t size);
  void TlsDataAvailable();
  bool BodyCutByTls() const;

  // Reception (http_client_receive.cc).
  void SocketDataAvailable();
  bool TakeReceived();
  void ProcessReceived();
  void ProcessHeaderLine();
  void ProcessHeaderField(const std::string& line);
  void EndOfHeader();
  void DeliverBody();
  void HandBufferToBody();
  void GetBodyLineNext(const char* data, size_t length);
  bool WriteBody(const char* data, size_t length);
  void CompleteDocument();
  bool ReceptionStopped() const;

  EventLoop& loop_;
  TAsyncSocket socket_;
  std::shared_ptr<int> alive_;  // posted notifications hold a weak reference
  uint64_t run_ = 0;            // one per request run; stale notifications are dropped

  std::string request_ver_ = "1.0";
  THttpClientState state_ = httpReady;
  THttpRequest request_type_ = httpABORT;

  // Connection target and the target of the open connection.
  std::string target_host_, target_port_, target_scheme_;
  std::string open_host_, open_port_, open_scheme_;
  bool reused_connection_ = false;  // the request went out on a kept-alive connection
  ClosedRoute closed_route_ = ClosedRoute::kClosedHandler;
  bool lookup_answered_ = false;

  // TLS of the open connection: the session (none before the connection is
  // made and after it closed), whether the connection is one, whether the
  // handshake runs, and whether the server announced its close.
  std::unique_ptr<TlsSession> tls_;
  bool tls_connection_ = false;
  bool tls_handshaking_ = false;
  bool tls_close_notified_ = false;

  // Request.
  std::string request_path_, request_host_, request_port_;
  std::string request_user_, request_password_, connection_value_;
  std::string document_file_name_, current_url_;

  // Response.
  LineBuffer line_buffer_;
  std::string current_line_;
  int status_code_ = 0;
  std::string reason_phrase_, response_version_;
  int64_t body_length_ = -1;
  std::string content_type_, transfer_coding_, content_coding_;
  std::string content_range_begin_, content_range_end_, accept_ranges_;
  std::vector<std::string> rcvd_header_, challenges_;
  int header_line_count_ = 0;
  bool header_in_progress_ = false;
  bool header_done_ = false;  // the header of the current response has ended
  size_t header_bytes_ = 0;
  int body_block_count_ = 0;
  uint64_t body_bytes_received_ = 0;
  size_t stream_size_at_body_ = 0;
  LineHandler next_line_handler_ = LineHandler::kNone;
  ChunkedDecoder chunk_;
  bool close_req_ = true;
  bool relocation_pending_ = false;
  uint16_t completion_error_ = 0;
  int location_change_cur_count_ = 0;
  int basic_auth_state_ = 0;  // 0 none, 1 credentials sent, 2 done

  // Time limit: the running timer (0 when none) and the last byte's arrival.
  EventLoop::TimerId time_limit_timer_ = 0;
  int time_limit_s_ = 0;
  std::chrono::steady_clock::time_point last_server_byte_;
};

}  // namespace vellora

#endif  // VELLORA_HTTP_HTTP_CLIENT_H_
