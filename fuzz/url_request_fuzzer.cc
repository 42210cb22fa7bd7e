// URL splitting and the requests built from untrusted URLs, relocation
// targets and configured header values. The URL is either the input whole
// (its host is refused unless it is the peer) or the input behind the
// peer's origin; the peer answers with a relocation to a target from the
// input, then with a short page. Properties:
//  - every request the client sent is clean lines (no control byte but the
//    CR LF that ends each line), whatever the URL, the Location or the
//    configured values held;
//  - the parts SplitUrl gives: a lower-case scheme; the document name is at
//    most 255 characters; the path base is a prefix of the path;
//  - TrimBlanks leaves no blank at either end, EncodeSpaces no space, and a
//    host name AsciiHostName accepts is ASCII.

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "base/poll_event_loop.h"
#include "fuzz_check.h"
#include "http/http_client.h"
#include "http/request_text.h"
#include "http/url.h"
#include "loopback_peer.h"

namespace {

using vellora::THttpClient;
using vellora::fuzz::Escape;
using vellora::fuzz::LoopbackPeer;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

void CheckUrlParts(const std::string& url, const std::string& base) {
  std::string scheme, user, password, host, port, path = base;
  vellora::SplitUrl(url, scheme, user, password, host, port, path);
  for (char c : scheme) FUZZ_CHECK(!(c >= 'A' && c <= 'Z'), "scheme " + Escape(scheme));
  std::string name = vellora::DeriveDocName(path);
  FUZZ_CHECK(name.size() <= 255, "document name of " + std::to_string(name.size()) + " bytes");
  std::string path_base = vellora::PathBase(path);
  FUZZ_CHECK(path.compare(0, path_base.size(), path_base) == 0,
             "path base " + Escape(path_base) + " of " + Escape(path));

  std::string trimmed = vellora::TrimBlanks(url);
  FUZZ_CHECK(trimmed.empty() || (!IsBlank(trimmed.front()) && !IsBlank(trimmed.back())),
             "blanks kept by TrimBlanks: " + Escape(trimmed));
  FUZZ_CHECK(vellora::EncodeSpaces(url).find(' ') == std::string::npos, "a space not encoded");
  std::string ascii = host;
  if (vellora::AsciiHostName(ascii)) {
    for (unsigned char c : ascii) FUZZ_CHECK(c < 0x80, "IDNA gave " + Escape(ascii));
  } else {
    FUZZ_CHECK(ascii == host, "a refused host name changed");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static LoopbackPeer peer;
  FuzzedDataProvider input(data, size);
  uint8_t flags = input.ConsumeIntegral<uint8_t>();
  std::string url = input.ConsumeRandomLengthString(2048);
  std::string location = input.ConsumeRandomLengthString(2048);
  std::string value = input.ConsumeRemainingBytesAsString();

  CheckUrlParts(url, "/dir/page.htm");
  CheckUrlParts(location, "/a/b/c.htm");

  vellora::PollEventLoop loop;
  THttpClient http(loop);
  peer.Confine(http);
  std::string body;
  http.ReceiveStream = &body;
  http.URL = (flags & 1) != 0 ? url : peer.Origin() + url;
  if ((flags & 2) != 0) http.SetRequestVer("1.1");
  if ((flags & 4) != 0) http.Reference = value;
  if ((flags & 8) != 0) http.Cookie = value;
  if ((flags & 16) != 0) http.Agent = value;
  if ((flags & 32) != 0) {
    http.Username = value;
    http.Password = value;
  }
  if ((flags & 64) != 0) http.Connection = value;
  if ((flags & 128) != 0) http.ContentRangeBegin = value;
  const std::vector<std::string> answers = {
      "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\n\r\n",
      "HTTP/1.0 401 Unauthorized\r\nWWW-Authenticate: Basic realm=\"r\"\r\n\r\n",
      "HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok"};
  http.StartGet();
  LoopbackPeer::Outcome outcome = peer.Serve(loop, http, answers, {});
  FUZZ_CHECK(outcome.finished, "the client still waits after the peer closed");
  vellora::fuzz::CheckRequests(outcome.requests);
  return 0;
}
