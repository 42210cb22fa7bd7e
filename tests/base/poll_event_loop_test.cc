#include "base/poll_event_loop.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

namespace vellora {
namespace {

TEST(PollEventLoop, RunsPostedCallbacksInOrderAndNeverInsidePost) {
  PollEventLoop loop;
  std::vector<int> order;
  loop.post([&] {
    order.push_back(1);
    loop.post([&] { order.push_back(3); });
  });
  loop.post([&] { order.push_back(2); });
  EXPECT_TRUE(order.empty());
  loop.runOnce(0);
  loop.runOnce(0);
  // A callback posted by a callback runs after those queued before it.
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
}

TEST(PollEventLoop, AThrowingCallbackKeepsTheOthersQueued) {
  PollEventLoop loop;
  std::vector<int> order;
  loop.post([&] { order.push_back(1); });
  loop.post([] { throw std::runtime_error("handler failed"); });
  loop.post([&] { order.push_back(3); });
  EXPECT_THROW(loop.runOnce(0), std::runtime_error);
  loop.post([&] { order.push_back(4); });
  loop.runOnce(0);
  EXPECT_EQ(order, (std::vector<int>{1, 3, 4}));
}

TEST(PollEventLoop, APostFromAnotherThreadWakesAWaitingLoop) {
  PollEventLoop loop;
  bool ran = false;
  std::thread poster([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    loop.post([&] { ran = true; });
  });
  auto start = std::chrono::steady_clock::now();
  while (!ran && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
    loop.runOnce(5000);
  }
  poster.join();
  EXPECT_TRUE(ran);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(PollEventLoop, WatchesDescriptorsUntilUnwatched) {
  PollEventLoop loop;
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  int readable = 0;
  loop.watch(fds[0], EventLoop::kReadable, [&](unsigned ready) {
    EXPECT_EQ(ready, EventLoop::kReadable);
    ++readable;
    char c;
    ASSERT_EQ(read(fds[0], &c, 1), 1);
  });
  loop.runOnce(0);
  EXPECT_EQ(readable, 0);
  ASSERT_EQ(write(fds[1], "ab", 2), 2);
  loop.runOnce(1000);
  loop.runOnce(1000);
  EXPECT_EQ(readable, 2);
  loop.unwatch(fds[0]);
  ASSERT_EQ(write(fds[1], "c", 1), 1);
  loop.runOnce(0);
  EXPECT_EQ(readable, 2);
  close(fds[0]);
  close(fds[1]);
}

TEST(PollEventLoop, SigintSigtermAndSighupRequestTerminationAndWakeTheLoop) {
  for (int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    PollEventLoop loop;
    TerminateLoopOnSignals(&loop);
    EXPECT_FALSE(loop.TerminateRequested());
    std::thread sender([signal_number] {
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
      kill(getpid(), signal_number);
    });
    auto start = std::chrono::steady_clock::now();
    while (!loop.TerminateRequested() &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
      loop.runOnce(5000);
    }
    sender.join();
    TerminateLoopOnSignals(nullptr);
    EXPECT_TRUE(loop.TerminateRequested()) << signal_number;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    loop.ClearTerminateRequest();
    EXPECT_FALSE(loop.TerminateRequested());
  }
  // Uninstalled, the earlier actions are back: an ignored SIGHUP stays ignored.
  auto before = std::signal(SIGHUP, SIG_IGN);
  PollEventLoop loop;
  TerminateLoopOnSignals(&loop);
  TerminateLoopOnSignals(nullptr);
  EXPECT_EQ(std::signal(SIGHUP, before), SIG_IGN);
}

TEST(PollEventLoop, TimersFireOnceInDeadlineOrderAndCancelledOnesNever) {
  PollEventLoop loop;
  std::vector<int> order;
  EventLoop::TimerId late = loop.startTimer(60, [&] { order.push_back(3); });
  EventLoop::TimerId dropped = 0;
  loop.startTimer(20, [&] {
    order.push_back(1);
    loop.cancelTimer(dropped);  // cancelled by an earlier timer of the same round
  });
  dropped = loop.startTimer(40, [&] { order.push_back(99); });
  loop.startTimer(30, [&] { order.push_back(2); });
  EXPECT_NE(late, 0u);
  loop.runOnce(0);
  EXPECT_TRUE(order.empty());  // none is due yet
  std::this_thread::sleep_for(std::chrono::milliseconds(45));
  auto start = std::chrono::steady_clock::now();
  while (order.size() < 3 && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
    loop.runOnce(5000);
  }
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  loop.cancelTimer(late);  // a fired timer: ignored
  loop.cancelTimer(0);
}

TEST(PollEventLoop, AWaitEndsWhenATimerIsDue) {
  PollEventLoop loop;
  bool fired = false;
  loop.startTimer(50, [&] { fired = true; });
  auto start = std::chrono::steady_clock::now();
  loop.runOnce(-1);  // would wait forever without the timer
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(fired);
  EXPECT_GE(elapsed, std::chrono::milliseconds(45));
  EXPECT_LT(elapsed, std::chrono::seconds(2));

  EventLoop::TimerId id = loop.startTimer(30, [&] { ADD_FAILURE() << "a cancelled timer fired"; });
  loop.cancelTimer(id);
  loop.runOnce(80);
}

}  // namespace
}  // namespace vellora
