// What a URL, a Location answer or a configured value can put into a
// request, and bodies that end before their announced end.

#include <gtest/gtest.h>

#include <stdexcept>

#include "base/poll_event_loop.h"
#include "http/host_lookup.h"
#include "http/http_client.h"
#include "http/http_test_util.h"
#include "http/request_text.h"
#include "http/script_server.h"

namespace vellora {
namespace {

using testing::GetOutcome;
using testing::GetWithWatchdog;
using testing::ScriptServer;
using testing::ServerStep;

struct Client {
  PollEventLoop loop;
  THttpClient http{loop};
  std::string body;

  Client() { http.ReceiveStream = &body; }

  GetOutcome Get(const std::string& url) {
    http.URL = url;
    body.clear();
    GetOutcome outcome = GetWithWatchdog(http, loop);
    EXPECT_FALSE(outcome.timed_out) << url;
    return outcome;
  }
};

std::string FirstLine(const std::string& request) {
  return request.substr(0, request.find("\r\n"));
}

TEST(RequestText, FindsControlBytesAndEncodesSpaces) {
  EXPECT_EQ(ControlByteProblem("/plain/path?q=1&r=%20 ok\x80\xff"), "");
  EXPECT_EQ(ControlByteProblem("/a\rb"), "a control character (0x0D)");
  EXPECT_EQ(ControlByteProblem(std::string("/a\0b", 4)), "a control character (0x00)");
  EXPECT_EQ(ControlByteProblem("/a\tb\n"), "a control character (0x09)");
  EXPECT_EQ(ControlByteProblem("/a\x7f"), "a control character (0x7F)");
  EXPECT_EQ(EncodeSpaces(" a b  c"), "%20a%20b%20%20c");
}

TEST(RequestSafety, AUrlThatWouldBreakTheRequestIsRefusedBeforeConnecting) {
  ScriptServer server({ServerStep{"HTTP/1.0 200 OK\r\n\r\nx"}});
  ASSERT_TRUE(server.ok());
  Client c;
  const std::string base = server.url("/ok");
  struct Case {
    std::string url, reason;
  } cases[] = {
      {base + "\r\nX-Injected: 1", "Invalid URL: it holds a control character (0x0D)"},
      {base + "\nX: 1", "Invalid URL: it holds a control character (0x0A)"},
      {base + std::string("\0evil", 5), "Invalid URL: it holds a control character (0x00)"},
      {base + "\tx", "Invalid URL: it holds a control character (0x09)"},
      {base + " HTTP/1.1\r\n", "Invalid URL: it holds a control character (0x0D)"},
      // A host name that IDNA refuses (a left-to-right mark in a label).
      {"http://b\xC3\xBC\xE2\x80\x8E"
       "cher.example/",
       "Invalid host name \"b\xC3\xBC\xE2\x80\x8E"
       "cher.example\""},
  };
  for (const Case& test : cases) {
    GetOutcome outcome = c.Get(test.url);
    EXPECT_TRUE(outcome.raised);
    EXPECT_EQ(outcome.error_number, 404);
    EXPECT_EQ(outcome.message, test.reason);
    EXPECT_EQ(c.http.State(), httpReady);
  }
  EXPECT_EQ(server.connections(), 0);
  // The client is usable afterwards.
  EXPECT_FALSE(c.Get(base).raised);
  EXPECT_EQ(c.body, "x");
}

TEST(RequestSafety, ALocationWithAControlByteEndsTheRequestAndSpacesAreEncoded) {
  ScriptServer server({
      ServerStep{"HTTP/1.0 302 Found\r\nLocation: /ok\rX-Injected: 1\r\n\r\n"},
      ServerStep{std::string("HTTP/1.0 302 Found\r\nLocation: /ok\0X: 1\r\n\r\n", 42)},
      ServerStep{"HTTP/1.0 302 Found\r\nLocation: /a\tb\r\n\r\n"},
      ServerStep{"HTTP/1.0 302 Found\r\nLocation: /dir/a b.htm?q= x \r\n\r\n"},
      ServerStep{"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\npage"},
  });
  ASSERT_TRUE(server.ok());
  Client c;
  GetOutcome outcome = c.Get(server.url("/1"));
  EXPECT_EQ(outcome.error_number, 404);
  EXPECT_EQ(outcome.message, "Invalid relocation target: it holds a control character (0x0D)");
  outcome = c.Get(server.url("/2"));
  EXPECT_EQ(outcome.message, "Invalid relocation target: it holds a control character (0x00)");
  outcome = c.Get(server.url("/3"));
  EXPECT_EQ(outcome.message, "Invalid relocation target: it holds a control character (0x09)");
  EXPECT_EQ(server.requests().size(), 3u);  // none of them was followed

  outcome = c.Get(server.url("/4"));
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(c.body, "page");
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(requests.size(), 5u);
  // Spaces inside are encoded; those at the end of the field are not part of it.
  EXPECT_EQ(FirstLine(requests[4]), "GET /dir/a%20b.htm?q=%20x HTTP/1.0");
  for (const std::string& request : requests) {
    EXPECT_EQ(request.find("X-Injected"), std::string::npos);
    EXPECT_EQ(request.find('\0'), std::string::npos);
  }
}

// The name the test resolver was asked for last.
std::string& LookedUp() {
  static std::string name;
  return name;
}

HostLookupResult ResolveToLoopback(const std::string& host) {
  LookedUp() = host;
  HostLookupResult result;
  result.addresses.push_back("127.0.0.1");
  return result;
}

TEST(RequestSafety, AUrlIsReadAsABrowserReadsIt) {
  ScriptServer server({ServerStep{"HTTP/1.0 200 OK\r\n\r\none"},
                       ServerStep{"HTTP/1.0 200 OK\r\n\r\ntwo"},
                       ServerStep{"HTTP/1.0 200 OK\r\n\r\nthree"}});
  ASSERT_TRUE(server.ok());
  Client c;
  // Blanks around the address are dropped; spaces inside go as %20.
  EXPECT_FALSE(c.Get(" \t" + server.url("/page.htm") + " \t ").raised);
  EXPECT_EQ(c.body, "one");
  EXPECT_FALSE(c.Get(server.url("/my page.htm?q=a b")).raised);
  EXPECT_EQ(c.body, "two");
  // A host name beyond ASCII is looked up and sent in its IDNA form.
  HostLookup::SetResolverForTesting(&ResolveToLoopback);
  const std::string port = server.url("/").substr(std::string("http://127.0.0.1:").size());
  GetOutcome idn = c.Get("http://M\xC3\xBCnchen.example:" + port.substr(0, port.size() - 1) + "/x");
  HostLookup::SetResolverForTesting(nullptr);
  EXPECT_FALSE(idn.raised) << idn.message;
  EXPECT_EQ(c.body, "three");
  EXPECT_EQ(LookedUp(), "xn--mnchen-3ya.example");
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(FirstLine(requests[0]), "GET /page.htm HTTP/1.0");
  EXPECT_EQ(FirstLine(requests[1]), "GET /my%20page.htm?q=a%20b HTTP/1.0");
  EXPECT_EQ(FirstLine(requests[2]), "GET /x HTTP/1.0");
  EXPECT_NE(requests[2].find("\r\nHost: xn--mnchen-3ya.example:" + port.substr(0, port.size() - 1) +
                             "\r\n"),
            std::string::npos)
      << requests[2];
}

TEST(RequestSafety, AConfiguredValueWithALineBreakIsNeverSent) {
  ScriptServer server({ServerStep{"HTTP/1.0 200 OK\r\n\r\nx"}});
  ASSERT_TRUE(server.ok());
  Client c;
  c.http.Cookie = "a=1\r\nX-Injected: 1";
  GetOutcome outcome = c.Get(server.url());
  EXPECT_EQ(outcome.error_number, 404);
  EXPECT_EQ(outcome.message, "Request not sent: a request line holds a control character (0x0D)");
  c.http.Cookie.clear();
  c.http.Agent = "agent\x7f";
  outcome = c.Get(server.url());
  EXPECT_EQ(outcome.message, "Request not sent: a request line holds a control character (0x7F)");
  EXPECT_TRUE(server.requests().empty());
}

TEST(RequestSafety, AFailureWhileWritingTheRequestIsTheReason) {
  ServerStep first =
      ServerStep{"HTTP/1.0 200 OK\r\nConnection: keep-alive\r\nContent-Length: 3\r\n\r\none"};
  first.keep_open = true;
  ScriptServer server({first, ServerStep{"HTTP/1.0 200 OK\r\n\r\nx"}});
  ASSERT_TRUE(server.ok());
  Client c;
  int written = 0;
  c.http.OnRequestHeaderEnd = [&written](THttpClient&) {
    if (++written > 1) throw std::runtime_error("the request log is full");
  };
  EXPECT_FALSE(c.Get(server.url("/1")).raised);
  EXPECT_EQ(c.body, "one");
  // On the kept-alive connection: the handler's own text, and the request
  // is not made again on a new connection.
  GetOutcome outcome = c.Get(server.url("/2"));
  EXPECT_EQ(outcome.error_number, 404);
  EXPECT_EQ(outcome.message, "Request not sent: the request log is full");
  EXPECT_EQ(written, 2);
  // On a new connection, the same.
  outcome = c.Get(server.url("/3"));
  EXPECT_EQ(outcome.message, "Request not sent: the request log is full");
  EXPECT_EQ(c.http.State(), httpReady);
  EXPECT_EQ(server.requests().size(), 1u);
}

TEST(ShortBodies, ABodyEndingBeforeItsEndIsAFailure) {
  ServerStep reset{"HTTP/1.0 200 OK\r\nContent-Length: 50\r\n\r\nonly part"};
  reset.reset = true;
  ScriptServer server({
      ServerStep{"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nshort"},
      reset,
      ServerStep{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"},
      ServerStep{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel"},
      ServerStep{"HTTP/1.0 200 OK\r\nContent-Length: 20\r\n\r\n"},
      // Complete ones still succeed.
      ServerStep{"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"},
      ServerStep{"HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nfull"},
  });
  ASSERT_TRUE(server.ok());
  Client c;
  GetOutcome outcome = c.Get(server.url());
  EXPECT_EQ(outcome.error_number, 404);
  EXPECT_EQ(outcome.message, "Connection closed before the end of the body (5 of 100 bytes came)");
  outcome = c.Get(server.url());
  EXPECT_EQ(outcome.error_number, 404);
  EXPECT_EQ(
      outcome.message.rfind("Connection closed before the end of the body (9 of 50 bytes came)", 0),
      0u)
      << outcome.message;
  outcome = c.Get(server.url());
  EXPECT_EQ(outcome.message,
            "Connection closed before the end of the body (the last chunk did not come)");
  outcome = c.Get(server.url());
  EXPECT_EQ(outcome.message,
            "Connection closed before the end of the body (the last chunk did not come)");
  outcome = c.Get(server.url());
  EXPECT_EQ(outcome.message, "Connection closed before the end of the body (0 of 20 bytes came)");

  outcome = c.Get(server.url());
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(c.body, "hello");
  outcome = c.Get(server.url());
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(c.body, "full");
}

}  // namespace
}  // namespace vellora
