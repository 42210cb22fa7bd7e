#include "pipeline/http_page_fetcher.h"

#include <algorithm>
#include <stdexcept>

namespace vellora {
namespace {

// What THttpClient::Get raises for a request ended by Abort.
std::exception_ptr AbortedError() { return std::make_exception_ptr(EHttpError::Aborted()); }

}  // namespace

HttpPageFetcher::HttpPageFetcher(EventLoop& loop) : loop_(loop), http_(loop) {
  lanes_of_grab_.emplace_back(&http_);
}

void HttpPageFetcher::Configure(const GrabSettings& settings) {
  abort_requested_ = false;
  lanes_ = std::clamp(settings.connections, 1, kMaxLanes);
  while (static_cast<int>(lanes_of_grab_.size()) < lanes_) {
    lanes_of_grab_.emplace_back(&MakeClient());
  }
  for (Lane& lane : lanes_of_grab_) {
    lane.client->AllowHttps = settings.allow_https;
    lane.client->Timeout = settings.timeout_seconds;
  }
}

THttpClient& HttpPageFetcher::MakeClient() {
  more_clients_.push_back(std::make_unique<THttpClient>(loop_));
  THttpClient& client = *more_clients_.back();
  client.Name = "Http" + std::to_string(more_clients_.size() + 1);
  return client;
}

void HttpPageFetcher::Fetch(const std::string& url, std::string* stream) {
  struct Release {
    THttpClient& http;
    ~Release() { http.ReceiveStream = nullptr; }
  } release{http_};
  stream->clear();
  if (abort_requested_) std::rethrow_exception(AbortedError());
  http_.URL = url;
  http_.ReceiveStream = stream;
  http_.Get();
}

void HttpPageFetcher::Start(int lane_number, const std::string& url, std::string* stream) {
  if (lane_number < 0 || lane_number >= lanes_ || lanes_of_grab_[lane_number].busy) {
    throw std::logic_error("HttpPageFetcher::Start on a lane that is not idle");
  }
  Lane& lane = lanes_of_grab_[static_cast<size_t>(lane_number)];
  lane.busy = true;
  lane.start_error = nullptr;
  stream->clear();
  // Once the grab is to end, no further request goes out.
  if (abort_requested_ || loop_.TerminateRequested()) {
    lane.start_error = AbortedError();
    return;
  }
  THttpClient& client = *lane.client;
  client.URL = url;
  client.ReceiveStream = stream;
  try {
    client.StartGet();
  } catch (...) {
    lane.start_error = std::current_exception();
    client.ReceiveStream = nullptr;
  }
}

int HttpPageFetcher::WaitForAny(std::exception_ptr* failure) {
  for (;;) {
    bool waiting = false;
    for (int number = 0; number < lanes_; ++number) {
      Lane& lane = lanes_of_grab_[static_cast<size_t>(number)];
      if (!lane.busy) continue;
      if (lane.start_error || lane.client->State() == httpReady) {
        Report(lane, failure);
        return number;
      }
      waiting = true;
    }
    if (!waiting) throw std::logic_error("HttpPageFetcher::WaitForAny without a download");
    loop_.runOnce(1000);
    if (loop_.TerminateRequested()) AbortRunning();
  }
}

void HttpPageFetcher::Report(Lane& lane, std::exception_ptr* failure) {
  lane.busy = false;
  lane.client->ReceiveStream = nullptr;
  *failure = nullptr;
  if (lane.start_error) {
    std::swap(*failure, lane.start_error);
    return;
  }
  try {
    lane.client->RaiseForStatus();
  } catch (...) {
    *failure = std::current_exception();
  }
}

void HttpPageFetcher::AbortRunning() {
  for (Lane& lane : lanes_of_grab_) {
    if (lane.client->State() != httpReady) lane.client->Abort();
  }
}

void HttpPageFetcher::AbandonAll() {
  for (Lane& lane : lanes_of_grab_) {
    if (!lane.busy) continue;
    try {
      if (lane.client->State() != httpReady) lane.client->Abort();
    } catch (...) {
      // The request is over either way; nothing is left to report it to.
    }
    lane.client->ReceiveStream = nullptr;
    lane.busy = false;
    lane.start_error = nullptr;
  }
}

void HttpPageFetcher::AbortDownloads() {
  abort_requested_ = true;
  AbortRunning();
}

bool HttpPageFetcher::Idle() const {
  return std::all_of(lanes_of_grab_.begin(), lanes_of_grab_.end(), [](const Lane& lane) {
    return lane.client->State() == httpReady && lane.client->ReceiveStream == nullptr;
  });
}

}  // namespace vellora
