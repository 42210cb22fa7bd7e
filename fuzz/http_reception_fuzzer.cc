// The HTTP client's reception on untrusted answers: a GET goes to a peer on
// loopback that answers with the input's bytes, in pieces whose sizes come
// from the input (status line, header, identity, chunked or close-delimited
// body). The input may hold several answers, one per connection, separated
// by kNextConnection: relocations and authentication retries connect again
// and get the next one. Flags from the input choose HTTP/1.1 or 1.0, GET or
// HEAD, a small body limit, credentials, and whether relocations are
// followed. FUZZ_VERBOSE=1 prints what the client received. Properties:
//  - the client is back in httpReady after the peer closed (no hang);
//  - every request it sent is clean lines (no control byte but CR LF);
//  - the body is never larger than the bytes answered, nor than the limit.

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/poll_event_loop.h"
#include "fuzz_check.h"
#include "http/http_client.h"
#include "loopback_peer.h"

namespace {

using vellora::THttpClient;
using vellora::fuzz::LoopbackPeer;

constexpr char kNextConnection[] = "\r\n--next-connection--\r\n";

std::vector<std::string> SplitAnswers(const std::string& bytes) {
  std::vector<std::string> answers;
  size_t start = 0;
  for (;;) {
    size_t end = bytes.find(kNextConnection, start);
    answers.push_back(bytes.substr(start, end - start));
    if (end == std::string::npos) return answers;
    start = end + sizeof kNextConnection - 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static LoopbackPeer peer;
  FuzzedDataProvider input(data, size);
  uint8_t flags = input.ConsumeIntegral<uint8_t>();
  std::vector<size_t> pieces;
  for (int count = input.ConsumeIntegralInRange<int>(0, 4); count > 0; --count) {
    pieces.push_back(input.ConsumeIntegralInRange<size_t>(1, 64));
  }
  std::string bytes = input.ConsumeRemainingBytesAsString();
  std::vector<std::string> answers = SplitAnswers(bytes);

  vellora::PollEventLoop loop;
  THttpClient http(loop);
  peer.Confine(http);
  std::string body;
  http.ReceiveStream = &body;
  http.SetRequestVer((flags & 1) != 0 ? "1.1" : "1.0");
  if ((flags & 4) != 0) http.MaxBodySize = 100;
  if ((flags & 8) != 0) http.FollowRelocation = false;
  if ((flags & 16) != 0) {
    http.Username = "user";
    http.Password = "secret";
  }
  http.URL = peer.Origin() + "/dir/page.htm?q=1";
  http.StartRequest((flags & 2) != 0 ? vellora::httpHEAD : vellora::httpGET);
  LoopbackPeer::Outcome outcome = peer.Serve(loop, http, answers, pieces);

  if (std::getenv("FUZZ_VERBOSE") != nullptr) {
    std::fprintf(stderr, "%zu connection(s), status %d %s, body %s\n", outcome.requests.size(),
                 http.StatusCode(), http.ReasonPhrase().c_str(),
                 vellora::fuzz::Escape(body.substr(0, 80)).c_str());
  }
  FUZZ_CHECK(outcome.finished, "the client still waits after the peer closed: state " +
                                   std::to_string(http.State()) + ", " +
                                   std::to_string(outcome.requests.size()) + " connection(s)");
  vellora::fuzz::CheckRequests(outcome.requests);
  FUZZ_CHECK(body.size() <= bytes.size(), "a body larger than the answers");
  FUZZ_CHECK(body.size() <= http.MaxBodySize, "a body larger than the limit");
  return 0;
}
