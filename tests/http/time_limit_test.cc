// The client's time limit: the longest time without a byte from the server.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "base/poll_event_loop.h"
#include "http/http_client.h"
#include "http/http_test_util.h"
#include "http/script_server.h"

namespace vellora {
namespace {

using testing::GetOutcome;
using testing::GetWithWatchdog;
using testing::ScriptServer;
using testing::ServerStep;

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

ServerStep Silent() {
  ServerStep step;
  step.silent = true;
  return step;
}

// A client with a one-second limit, aimed at a server playing `step`.
class TimeLimitTest : public ::testing::Test {
 protected:
  void Serve(ServerStep step) {
    server_ = std::make_unique<ScriptServer>(std::vector<ServerStep>{std::move(step)});
    ASSERT_TRUE(server_->ok());
    http_.ReceiveStream = &body_;
    http_.URL = server_->url("/slow");
    http_.Timeout = 1;
  }

  PollEventLoop loop_;
  THttpClient http_{loop_};
  std::string body_;
  std::unique_ptr<ScriptServer> server_;
};

TEST_F(TimeLimitTest, ASilentServerEndsTheRequestWithConnectionTimedOut) {
  Serve(Silent());
  auto start = std::chrono::steady_clock::now();
  GetOutcome outcome = GetWithWatchdog(http_, loop_);
  double elapsed = SecondsSince(start);
  EXPECT_FALSE(outcome.timed_out);
  EXPECT_TRUE(outcome.raised);
  EXPECT_EQ(outcome.message, "Connection timed out");
  EXPECT_EQ(outcome.error_number, 404);
  EXPECT_FALSE(outcome.aborted);  // a time-out is the server's fault, not an abort
  EXPECT_EQ(http_.StatusCode(), 404);
  EXPECT_EQ(http_.State(), httpReady);
  EXPECT_GE(elapsed, 0.95);
  EXPECT_LT(elapsed, 3.0);

  // The next request starts with a fresh limit and no stale timer.
  ScriptServer second({ServerStep{"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok"}});
  ASSERT_TRUE(second.ok());
  http_.URL = second.url("/");
  outcome = GetWithWatchdog(http_, loop_);
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(body_, "ok");
  for (int i = 0; i < 15; ++i) loop_.runOnce(100);  // past the first request's deadline
  EXPECT_EQ(http_.StatusCode(), 200);
}

TEST_F(TimeLimitTest, BytesArrivingInTimeKeepTheRequestAlive) {
  // 29 bytes at one every 60 ms: 1.7 s in all, never 1 s without a byte.
  ServerStep slow{"HTTP/1.0 200 OK\r\n\r\n0123456789"};
  slow.dribble = true;
  slow.dribble_pause_us = 60000;
  Serve(slow);
  GetOutcome outcome = GetWithWatchdog(http_, loop_);
  EXPECT_FALSE(outcome.raised) << outcome.message;
  EXPECT_EQ(body_, "0123456789");
}

TEST_F(TimeLimitTest, ALimitOfZeroWaitsUntilTheLoopIsTerminated) {
  Serve(Silent());
  http_.Timeout = 0;
  GetOutcome outcome = GetWithWatchdog(http_, loop_, 1500);
  EXPECT_TRUE(outcome.timed_out);
  EXPECT_EQ(outcome.message, "Connection aborted on request");
  EXPECT_TRUE(outcome.aborted);
}

TEST_F(TimeLimitTest, AnAsynchronousRequestTimesOutAndReportsItsEnd) {
  Serve(Silent());
  int done = 0;
  uint16_t error = 0;
  http_.OnRequestDone = [&](THttpClient&, THttpRequest, uint16_t e) {
    ++done;
    error = e;
  };
  http_.StartRequest(httpGET);
  auto start = std::chrono::steady_clock::now();
  while (done == 0 && SecondsSince(start) < 5) loop_.runOnce(1000);
  EXPECT_EQ(done, 1);
  EXPECT_EQ(error, 10060);
  EXPECT_EQ(http_.ReasonPhrase(), "Connection timed out");
  EXPECT_EQ(http_.State(), httpReady);
}

}  // namespace
}  // namespace vellora
