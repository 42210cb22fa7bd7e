// The grab with several connections over real sockets, against a server
// that answers each request after a random delay: the files, texts and
// errors of the one-by-one grab, and every waiting download ended by the
// loop's terminate request (Ctrl-C) and by AbortDownloads (Stop).

#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <thread>

#include "base/errors.h"
#include "base/poll_event_loop.h"
#include "base/random.h"
#include "http/host_lookup.h"
#include "http/script_server.h"
#include "pipeline/delay_server.h"
#include "pipeline/grab_test_support.h"
#include "pipeline/grabber.h"
#include "pipeline/http_page_fetcher.h"
#include "test_util.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;
using testing::DelayedPage;
using testing::DelayServer;
using testing::GrabOutcome;

// Runs `action` on the loop's thread once `ready` holds (checked every 5 ms
// on a thread of its own, for at most ten seconds).
class WhenReady {
 public:
  WhenReady(EventLoop& loop, std::function<bool()> ready, std::function<void()> action)
      : thread_([&loop, ready, action] {
          for (int i = 0; i < 2000; ++i) {
            if (ready()) {
              loop.post(action);
              return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
          }
        }) {}
  ~WhenReady() { thread_.join(); }

 private:
  std::thread thread_;
};

bool Eventually(const std::function<bool()>& condition) {
  for (int i = 0; i < 1000 && !condition(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return condition();
}

class GrabberHttpTest : public ::testing::Test {
 protected:
  void SetUp() override { state_.eworkingfolder = dir_.path() + "/Files/"; }

  // Lines /1 to /count, each a page of its own in the server.
  void ListPages(int count) {
    std::string list;
    for (int i = 1; i <= count; ++i) list += server_.Url("/" + std::to_string(i)) + "\r\n";
    state_.urls2grab.SetText(list);
  }

  GrabOutcome Grab(int connections) {
    state_.grabconnections.SetValue(connections);
    return testing::GrabAndLook(state_, fetcher_);
  }

  TempDir dir_;
  MainState state_;
  DelayServer server_;
  PollEventLoop loop_;
  HttpPageFetcher fetcher_{loop_};
};

TEST_F(GrabberHttpTest, RandomDelaysGiveTheFilesAndTextsOfTheOneByOneGrab) {
  const int kPages = 24;
  RandomGenerator random(20261209);
  for (int i = 1; i <= kPages; ++i) {
    // Bodies from empty to 150 KB, so some take many reads.
    std::string body(random.Random(3) == 0 ? 0 : random.Random(150000), '\0');
    for (char& c : body) c = static_cast<char>(random.Random(256));
    server_.SetPage("/" + std::to_string(i), {body, 0});
  }
  ListPages(kPages);
  const GrabOutcome expected = Grab(1);
  ASSERT_EQ(expected.error, "");
  ASSERT_EQ(expected.files.size(), static_cast<size_t>(kPages));
  EXPECT_EQ(server_.MostWaiting(), 1);
  for (int connections : {2, 5, 16}) {
    for (uint32_t seed : {1u, 2u}) {
      RandomGenerator delays(seed * 100 + static_cast<uint32_t>(connections));
      for (int i = 1; i <= kPages; ++i) {
        DelayedPage page{expected.files.at(GrabbedFileName(i)),
                         static_cast<int>(delays.Random(40))};
        server_.SetPage("/" + std::to_string(i), page);
      }
      int most_before = server_.MostWaiting();
      EXPECT_EQ(Grab(connections), expected) << connections << " connections, seed " << seed;
      EXPECT_LE(server_.MostWaiting(), std::max(most_before, connections));
      EXPECT_TRUE(fetcher_.Idle());
    }
  }
  EXPECT_GT(server_.MostWaiting(), 2);  // the downloads did overlap
  EXPECT_EQ(server_.Requests(), kPages * 7);
}

TEST_F(GrabberHttpTest, A404InTheMiddleKeepsTheEarlierFilesAndAbortsTheRest) {
  const int kPages = 12;
  for (int i = 1; i <= kPages; ++i) {
    DelayedPage page{"page " + std::to_string(i), 20 + 10 * (i % 4)};
    if (i == 6) page = {"gone", 0, 404};  // fails before the lines above it end
    if (i == 8) page.held = true;         // would keep a grab waiting for ever
    server_.SetPage("/" + std::to_string(i), page);
  }
  ListPages(kPages);
  const GrabOutcome expected = Grab(1);
  ASSERT_EQ(expected.error, "Not Found\nAt line 6 of the list: " + server_.Url("/6"));
  ASSERT_EQ(expected.files.size(), 5u);
  ASSERT_EQ(expected.statuses.back(), "Processing URL \"" + server_.Url("/6") + "\", [6/12]");
  for (int connections : {3, 4, 8}) {
    EXPECT_EQ(Grab(connections), expected) << connections << " connections";
    EXPECT_TRUE(fetcher_.Idle());
    // Downloads of later lines still running were aborted, the held one too.
    EXPECT_TRUE(Eventually([&] { return server_.Waiting() == 0; })) << server_.Waiting();
  }
  EXPECT_GT(server_.Abandoned(), 0);
}

TEST_F(GrabberHttpTest, CtrlCAbortsEveryWaitingDownload) {
  server_.SetPage("/1", {"first", 0});
  for (int i = 2; i <= 7; ++i) server_.SetPage("/" + std::to_string(i), {"", 0, 200, true});
  ListPages(7);
  TerminateLoopOnSigint(&loop_);
  GrabOutcome outcome;
  {
    // Line 1 arrived (its lane went on to line 5) and four lanes wait.
    WhenReady ctrl_c(
        loop_, [&] { return server_.Requests() == 5 && server_.Waiting() == 4; },
        [] { raise(SIGINT); });
    outcome = Grab(4);
  }
  TerminateLoopOnSigint(nullptr);
  EXPECT_EQ(outcome.error, "Connection aborted on request");
  EXPECT_EQ(outcome.statuses.back(), "Processing URL \"" + server_.Url("/2") + "\", [2/7]");
  EXPECT_EQ(outcome.files, (std::map<std::string, std::string>{{"zarngrab#1.htm", "first"}}));
  EXPECT_TRUE(fetcher_.Idle());
  EXPECT_TRUE(Eventually([&] { return server_.Abandoned() == 4; })) << server_.Abandoned();
  EXPECT_EQ(server_.Requests(), 5);         // nothing was asked for after Ctrl-C
  EXPECT_TRUE(loop_.TerminateRequested());  // left for the caller to act on
}

TEST_F(GrabberHttpTest, AbortDownloadsStopsTheGrabAndTheNextGrabStartsAfresh) {
  for (int i = 1; i <= 6; ++i) server_.SetPage("/" + std::to_string(i), {"", 0, 200, true});
  ListPages(6);
  GrabOutcome stopped;
  {
    WhenReady stop(
        loop_, [&] { return server_.Waiting() == 3; }, [&] { fetcher_.AbortDownloads(); });
    stopped = Grab(3);
  }
  EXPECT_EQ(stopped.error, "Connection aborted on request");
  EXPECT_TRUE(stopped.files.empty());
  EXPECT_TRUE(fetcher_.Idle());
  EXPECT_EQ(server_.Requests(), 3);
  EXPECT_TRUE(Eventually([&] { return server_.Abandoned() == 3; }));

  // One connection: the same entry point ends the one waiting Get.
  {
    WhenReady stop(
        loop_, [&] { return server_.Waiting() == 1; }, [&] { fetcher_.AbortDownloads(); });
    stopped = Grab(1);
  }
  EXPECT_EQ(stopped.error, "Connection aborted on request");
  EXPECT_EQ(server_.Requests(), 4);

  for (int i = 1; i <= 6; ++i) server_.SetPage("/" + std::to_string(i), {"again", 5});
  EXPECT_EQ(Grab(3).files.size(), 6u);
  EXPECT_FALSE(loop_.TerminateRequested());
}

TEST_F(GrabberHttpTest, TheTimeLimitReachesEveryConnection) {
  server_.SetPage("/1", {"first", 0});
  server_.SetPage("/2", {"", 0, 200, true});
  server_.SetPage("/3", {"third", 0});
  ListPages(3);
  state_.grabtimeout.SetValue(1);
  for (int connections : {1, 3}) {
    GrabOutcome outcome = Grab(connections);
    EXPECT_EQ(outcome.error, "Connection timed out\nAt line 2 of the list: " + server_.Url("/2"))
        << connections << " connections";
    EXPECT_EQ(outcome.files, (std::map<std::string, std::string>{{"zarngrab#1.htm", "first"}}));
    EXPECT_TRUE(fetcher_.Idle());
  }
}

TEST_F(GrabberHttpTest, GoingOnPastFailedAddressesWritesEveryOtherLineUnderItsNumber) {
  // Line 2 is never answered (the time limit ends it), line 4 is missing.
  server_.SetPage("/1", {"one", 30});
  server_.SetPage("/2", {"", 0, 200, true});
  server_.SetPage("/3", {"three", 0});
  server_.SetPage("/5", {"five", 10});
  ListPages(5);
  state_.grabtimeout.SetValue(1);
  state_.grabgoon = true;
  const std::string list = "2 of 5 addresses failed\nLine 2 (" + server_.Url("/2") +
                           "): Connection timed out.\nLine 4 (" + server_.Url("/4") +
                           "): Not Found.";
  for (int connections : {1, 3}) {
    SCOPED_TRACE(std::to_string(connections) + " connections");
    const int requests_before = server_.Requests();
    GrabOutcome outcome = Grab(connections);
    EXPECT_EQ(outcome.error, list);
    EXPECT_EQ(outcome.files, (std::map<std::string, std::string>{{"zarngrab#1.htm", "one"},
                                                                 {"zarngrab#3.htm", "three"},
                                                                 {"zarngrab#5.htm", "five"}}));
    ASSERT_GE(outcome.statuses.size(), 2u);
    EXPECT_EQ(outcome.statuses.end()[-2], "Processing URL \"" + server_.Url("/5") + "\", [5/5]");
    EXPECT_EQ(outcome.statuses.back(), "Done, 2 failed.");
    EXPECT_EQ(server_.Requests() - requests_before, 5);
    EXPECT_TRUE(fetcher_.Idle());
  }

  // Without failures the grab that goes on ends as any other.
  server_.SetPage("/2", {"two", 0});
  server_.SetPage("/4", {"four", 0});
  GrabOutcome good = Grab(3);
  EXPECT_EQ(good.error, "");
  EXPECT_EQ(good.files.size(), 5u);
  EXPECT_EQ(good.statuses.back(), "Done.");
}

TEST_F(GrabberHttpTest, ABodyCutShortWritesNoFile) {
  // The server closes after 5 of 100 bytes (line 2), or before the last
  // chunk (line 3): neither page is written, as a failure of the line.
  testing::ScriptServer cut({
      {"HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nshort"},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"},
  });
  ASSERT_TRUE(cut.ok());
  server_.SetPage("/1", {"first", 0});
  for (const std::string& line : {cut.url("/length"), cut.url("/chunks")}) {
    state_.urls2grab.SetText(server_.Url("/1") + "\r\n" + line + "\r\n" + server_.Url("/1") +
                             "\r\n");
    GrabOutcome outcome = Grab(1);
    EXPECT_EQ(outcome.error.rfind("Connection closed before the end of the body (", 0), 0u)
        << outcome.error;
    EXPECT_EQ(outcome.files, (std::map<std::string, std::string>{{"zarngrab#1.htm", "first"}}));
  }
}

HostLookupResult ResolveExampleToLoopback(const std::string& host) {
  HostLookupResult result;
  if (host == "xn--bcher-kva.example")
    result.addresses.push_back("127.0.0.1");
  else
    result.error = 11001;  // host not found
  return result;
}

TEST_F(GrabberHttpTest, LinesAreReadAsABrowserReadsAddresses) {
  // A line pasted with blanks around it, one with a space in its path, and
  // one whose host name is beyond ASCII: each asks for the expected bytes
  // and keeps its number.
  testing::ScriptServer server({{"HTTP/1.0 200 OK\r\n\r\none"},
                                {"HTTP/1.0 200 OK\r\n\r\ntwo"},
                                {"HTTP/1.0 200 OK\r\n\r\nthree"}});
  ASSERT_TRUE(server.ok());
  const std::string port = server.url("/").substr(std::string("http://127.0.0.1:").size());
  const std::string idn =
      "http://B\xC3\xBC"
      "cher.example:" +
      port + "idn.htm";
  state_.urls2grab.SetText("  " + server.url("/trail.htm") + " \t\r\n" +
                           server.url("/a b.htm?q=x y") + "\r\n" + idn + "\r\n");
  HostLookup::SetResolverForTesting(&ResolveExampleToLoopback);
  const GrabOutcome one = Grab(1);
  HostLookup::SetResolverForTesting(nullptr);
  EXPECT_EQ(one.error, "");
  EXPECT_EQ(one.files, (std::map<std::string, std::string>{{"zarngrab#1.htm", "one"},
                                                           {"zarngrab#2.htm", "two"},
                                                           {"zarngrab#3.htm", "three"}}));
  std::vector<std::string> requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0].substr(0, requests[0].find("\r\n")), "GET /trail.htm HTTP/1.0");
  EXPECT_EQ(requests[1].substr(0, requests[1].find("\r\n")), "GET /a%20b.htm?q=x%20y HTTP/1.0");
  EXPECT_EQ(requests[2].substr(0, requests[2].find("\r\n")), "GET /idn.htm HTTP/1.0");
  EXPECT_NE(requests[2].find("\r\nHost: xn--bcher-kva.example:" + port.substr(0, port.size() - 1) +
                             "\r\n"),
            std::string::npos)
      << requests[2];
}

}  // namespace
}  // namespace vellora
