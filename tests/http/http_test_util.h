// Helpers for tests that run requests: a Get that can never hang a test.

#ifndef VELLORA_TESTS_HTTP_HTTP_TEST_UTIL_H_
#define VELLORA_TESTS_HTTP_HTTP_TEST_UTIL_H_

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "base/event_loop.h"
#include "http/http_client.h"

namespace vellora::testing {

struct GetOutcome {
  bool raised = false;
  std::string message;
  int error_number = 0;
  bool aborted = false;    // IsAbortError held for what Get raised
  bool timed_out = false;  // the watchdog had to stop the request
};

// Runs http.Get(); after `limit_ms` a watchdog asks the loop to terminate,
// which aborts the request, and the outcome says so.
inline GetOutcome GetWithWatchdog(THttpClient& http, EventLoop& loop, int limit_ms = 10000) {
  GetOutcome outcome;
  std::mutex mutex;
  std::condition_variable done_signal;
  bool done = false;
  bool fired = false;
  std::thread watchdog([&] {
    std::unique_lock<std::mutex> lock(mutex);
    if (!done_signal.wait_for(lock, std::chrono::milliseconds(limit_ms), [&] { return done; })) {
      fired = true;
      loop.RequestTerminate();
    }
  });
  try {
    http.Get();
  } catch (const EHttpError& e) {
    outcome.raised = true;
    outcome.message = e.what();
    outcome.error_number = e.ErrorNumber();
    outcome.aborted = IsAbortError(e);
  }
  {
    std::lock_guard<std::mutex> lock(mutex);
    done = true;
  }
  done_signal.notify_all();
  watchdog.join();
  outcome.timed_out = fired;
  if (fired) loop.ClearTerminateRequest();
  return outcome;
}

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_HTTP_HTTP_TEST_UTIL_H_
