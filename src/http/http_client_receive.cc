// THttpClient, reception: the socket's data handler, line splitting in the
// fixed buffer, the status line and header fields, the decision whether a
// body follows, and identity and chunked bodies.

#include <algorithm>
#include <cstring>

#include "base/code_page.h"
#include "base/numbers.h"
#include "http/http_client.h"

namespace vellora {

namespace {

std::string Trim(const std::string& value) {
  size_t begin = value.find_first_not_of(" \t");
  if (begin == std::string::npos) return "";
  size_t end = value.find_last_not_of(" \t");
  return value.substr(begin, end - begin + 1);
}

// The value of a Content-Length field: a non-negative decimal integer, or -1
// when the text is anything else (a sign, other characters, an overflow).
int64_t ParseContentLength(const std::string& text) {
  std::string value = Trim(text);
  if (value.size() > 18) return -1;
  return ParseDecimal(value, 0, INT64_MAX).value_or(-1);
}

// The text from `from` up to, not including, `to`; empty when `to` is
// missing or does not come after `from`.
std::string Between(const std::string& text, size_t from, size_t to) {
  if (to == std::string::npos || to <= from || from >= text.size()) return "";
  return text.substr(from, to - from);
}

bool IsNoBodyStatus(int status) {
  return status < 200 || status == 204 || status == 301 || status == 302 || status == 304 ||
         status == 401 || status == 407;
}

}  // namespace

bool THttpClient::ReceptionStopped() const {
  return state_ == httpReady || state_ == httpAborting || socket_.State() != ssConnected;
}

void THttpClient::SocketDataAvailable() {
  if (tls_connection_) return TlsDataAvailable();
  TakeReceived();
}

bool THttpClient::TakeReceived() {
  int count;
  if (line_buffer_.Room() > 0) {
    count = ReadTransport(line_buffer_.WritePosition(), line_buffer_.Room());
    // Bytes before the first request (whose kind is still httpABORT) belong
    // to no answer.
    if (count <= 0 || request_type_ == httpABORT) return false;
    line_buffer_.Commit(static_cast<size_t>(count));
  } else {
    // Full buffer without a line end: a header line longer than the buffer.
    char scratch[LineBuffer::kScratchSize];
    count = ReadTransport(scratch, sizeof scratch);
    if (count <= 0 || request_type_ == httpABORT) return false;
    if (time_limit_timer_ != 0) last_server_byte_ = std::chrono::steady_clock::now();
    if (state_ == httpWaitingHeader) header_bytes_ += static_cast<size_t>(count);
    if (!line_buffer_.CutOverlongLine(scratch, static_cast<size_t>(count))) {
      if (header_bytes_ > kMaxHeaderBytes) {
        EndRequest(404, "Response header too large");
        return false;
      }
      return true;
    }
    count = 0;
  }
  if (time_limit_timer_ != 0) last_server_byte_ = std::chrono::steady_clock::now();
  if (state_ == httpWaitingHeader) {
    header_bytes_ += static_cast<size_t>(count);
    if (header_bytes_ > kMaxHeaderBytes) {
      EndRequest(404, "Response header too large");
      return false;
    }
  }
  ProcessReceived();
  return socket_.State() == ssConnected;
}

void THttpClient::ProcessReceived() {
  if (state_ == httpWaitingBody) return DeliverBody();
  while (line_buffer_.Used() > 0) {
    if (!line_buffer_.TakeLine(current_line_)) return;
    if (state_ == httpWaitingHeader || state_ == httpWaitingBody) {
      if (next_line_handler_ == LineHandler::kHeader) {
        ProcessHeaderLine();
      } else {
        PostReady();
      }
    } else if (OnDataPush) {
      OnDataPush(*this, 0);  // bytes that belong to no response are dropped
    }
    if (ReceptionStopped() || state_ == httpWaitingBody) return;
  }
}

void THttpClient::ProcessHeaderLine() {
  if (header_line_count_ == 0) {
    header_in_progress_ = true;
    if (OnHeaderBegin) OnHeaderBegin(*this);
  } else if (header_line_count_ == -1) {
    header_line_count_ = 0;
  }
  ++header_line_count_;
  const std::string& line = current_line_;

  if (header_line_count_ == 1 && !line.empty() && line[0] == '<' &&
      (UpperCase(line.substr(0, 6)) == "<HTML>" || UpperCase(line.substr(0, 9)) == "<!DOCTYPE")) {
    // An answer without status line and header: it is all body.
    if (content_type_.empty()) content_type_ = "text/html";
    SetState(httpWaitingBody);
    next_line_handler_ = LineHandler::kBody;
    header_in_progress_ = false;
    header_done_ = true;
    if (OnHeaderEnd) OnHeaderEnd(*this);
    std::string first_line = line;
    GetBodyLineNext(first_line.data(), first_line.size());
    if (ReceptionStopped()) return;
    // The lines behind it reach the body as they came, line ends included.
    DeliverBody();
    return;
  }

  if (line.empty()) return EndOfHeader();

  if (rcvd_header_.size() >= kMaxHeaderLines) return EndRequest(404, "Response header too large");
  rcvd_header_.push_back(line);
  if (header_line_count_ == 1) {
    if (line.compare(0, 8, "HTTP/1.0") == 0 || line.compare(0, 8, "HTTP/1.1") == 0) {
      response_version_ = line.substr(5, 3);
      // A 1.0 server closes after its answer unless a field says otherwise;
      // a 1.0 request asked for that anyway.
      if (request_ver_ == "1.1" && response_version_ == "1.0") {
        close_req_ = true;
      } else {
        close_req_ = request_ver_ == "1.0";
      }
      size_t digit = 9;
      while (digit < line.size() && !(line[digit] >= '0' && line[digit] <= '9')) ++digit;
      std::string code = digit < line.size() ? line.substr(digit, 3) : "";
      std::optional<int64_t> number = ParseDecimal(code, 0, 999);
      if (number) {
        status_code_ = static_cast<int>(*number);
        reason_phrase_ = digit + 4 <= line.size() ? line.substr(digit + 4) : "";
      } else {
        // A status line without a status code: the request fails.
        status_code_ = 404;
        reason_phrase_ = "Malformed status line";
      }
    }
  } else {
    ProcessHeaderField(line);
  }
  if (OnHeaderData) OnHeaderData(*this);
}

void THttpClient::ProcessHeaderField(const std::string& line) {
  size_t colon = line.find(':');
  if (colon == std::string::npos) return;
  std::string name = LowerCase(line.substr(0, colon));
  size_t start = colon + 1;
  while (start + 1 < line.size() && line[start] == ' ') ++start;
  std::string value = line.substr(std::min(start, line.size()));

  if (name == "location") {
    LocationRule(value);
  } else if (name == "content-length") {
    body_length_ = ParseContentLength(value);
  } else if (name == "transfer-encoding") {
    transfer_coding_ = LowerCase(value);
  } else if (name == "content-range") {
    // "bytes first-last/total"
    size_t dash = value.find('-');
    content_range_begin_ = Between(value, 6, dash);
    content_range_end_ = dash == std::string::npos ? "" : Between(value, dash + 1, value.find('/'));
  } else if (name == "accept-ranges") {
    accept_ranges_ = value;
  } else if (name == "content-type") {
    content_type_ = LowerCase(value);
  } else if (name == "www-authenticate" || name == "proxy-authenticate") {
    challenges_.push_back(value);
  } else if (name == "set-cookie") {
    bool accept = true;
    if (OnCookie) OnCookie(*this, value, accept);
  } else if (name == "connection" || name == "proxy-connection") {
    std::string token = LowerCase(Trim(value));
    if (token == "close") close_req_ = true;
    if (token == "keep-alive") close_req_ = false;
  } else if (name == "content-encoding") {
    content_coding_ = value;
  }
}

void THttpClient::EndOfHeader() {
  if (response_version_ == "1.1" && status_code_ == 100) {
    // An interim "100 Continue": the real header follows.
    rcvd_header_.clear();
    header_line_count_ = -1;
    return;
  }
  header_in_progress_ = false;
  header_done_ = true;
  if (OnHeaderEnd) OnHeaderEnd(*this);
  if (state_ == httpReady) {  // the handler ended the request
    line_buffer_.Clear();
    return;
  }
  bool no_body =
      (body_length_ == -1 && transfer_coding_ != "chunked" && IsNoBodyStatus(status_code_)) ||
      body_length_ == 0 || request_type_ == httpHEAD;
  if (no_body) {
    // A relocation is followed also when the connection stays open.
    if (relocation_pending_) {
      BeginRelocation();
    } else if (!close_req_) {
      PostReady();
    } else {
      if (request_type_ == httpHEAD) {
        line_buffer_.Clear();
        SetState(httpWaitingBody);
        next_line_handler_ = LineHandler::kNone;
      }
      socket_.CloseLater();
    }
    return;
  }
  // A page saved under its URL's name gets an extension that opens it as a
  // page.
  if (content_type_ == "text/html") {
    size_t dot = document_file_name_.rfind('.');
    std::string extension =
        dot == std::string::npos ? "" : LowerCase(document_file_name_.substr(dot + 1));
    if (extension.empty() || extension == "exe") {
      document_file_name_ = (dot == std::string::npos ? document_file_name_ + "."
                                                      : document_file_name_.substr(0, dot + 1)) +
                            "htm";
    }
  }
  SetState(httpWaitingBody);
  next_line_handler_ = LineHandler::kBody;
  // A declared length over the limit fails before a byte is stored.
  if (ReceiveStream != nullptr && body_length_ > 0 &&
      static_cast<uint64_t>(body_length_) > MaxBodySize) {
    return EndRequest(404,
                      "Document too large (more than " + std::to_string(MaxBodySize) + " bytes)");
  }
  HandBufferToBody();
  if (ReceptionStopped()) return;
  if (next_line_handler_ == LineHandler::kNone) {
    if (relocation_pending_) {
      BeginRelocation();
    } else {
      PostReady();
    }
  }
}

void THttpClient::HandBufferToBody() {
  size_t length = line_buffer_.Used();
  // Bytes past the declared length are no part of this body.
  if (body_length_ >= 0 && body_bytes_received_ + length > static_cast<uint64_t>(body_length_)) {
    length = static_cast<size_t>(static_cast<uint64_t>(body_length_) - body_bytes_received_);
  }
  GetBodyLineNext(line_buffer_.Data(), length);
  line_buffer_.Consume(length);  // safe when a failure has emptied the buffer
}

void THttpClient::DeliverBody() {
  if (request_type_ == httpHEAD) {
    // Bytes after a HEAD answer's header belong to nothing we asked for: the
    // connection cannot be trusted for another request.
    line_buffer_.Clear();
    socket_.Abort();
    return;
  }
  if (line_buffer_.Used() > 0) {
    HandBufferToBody();
    if (ReceptionStopped()) return;
  }
  if (next_line_handler_ != LineHandler::kNone) return;
  if (relocation_pending_) {
    BeginRelocation();
  } else {
    PostReady();
  }
}

void THttpClient::GetBodyLineNext(const char* data, size_t length) {
  if (body_block_count_ == 0) {
    chunk_.Reset();
    if (OnDocBegin) OnDocBegin(*this);
    // Where this body starts in the caller's stream: the size limit counts
    // from here, and a cut-back removes only this body.
    stream_size_at_body_ = ReceiveStream != nullptr ? ReceiveStream->size() : 0;
  }
  ++body_block_count_;
  if (transfer_coding_ != "chunked") {
    if (length > 0) {
      body_bytes_received_ += length;
      if (!WriteBody(data, length)) return;
    }
    if (body_length_ >= 0 && body_bytes_received_ == static_cast<uint64_t>(body_length_)) {
      CompleteDocument();
    }
    return;
  }
  ChunkedDecoder::Result result =
      chunk_.Feed(data, length, [this](const char* bytes, size_t count) {
        body_bytes_received_ += count;
        return WriteBody(bytes, count);
      });
  if (result == ChunkedDecoder::Result::kChunkTooLarge) {
    return EndRequest(404, "Invalid chunk size (more than " +
                               std::to_string(ChunkedDecoder::kMaxChunkSize) + " bytes)");
  }
  if (result == ChunkedDecoder::Result::kOk && chunk_.Done()) CompleteDocument();
}

bool THttpClient::WriteBody(const char* data, size_t length) {
  if (ReceiveStream != nullptr) {
    size_t held = ReceiveStream->size() - std::min(ReceiveStream->size(), stream_size_at_body_);
    if (held + length > MaxBodySize) {
      EndRequest(404, "Document too large (more than " + std::to_string(MaxBodySize) + " bytes)");
      return false;
    }
    ReceiveStream->append(data, length);
  }
  if (OnDocData) OnDocData(*this, data, length);
  return !ReceptionStopped();
}

void THttpClient::CompleteDocument() {
  body_block_count_ = 0;
  next_line_handler_ = LineHandler::kNone;
  SetState(httpBodyReceived);
  if (OnDocEnd) OnDocEnd(*this);
  if (close_req_) socket_.CloseLater();
}

}  // namespace vellora
