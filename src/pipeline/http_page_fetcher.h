// HttpPageFetcher: the grabber's downloads through THttpClient, with the
// client settings the grabber relies on (its defaults: HTTP/1.0, relocations
// followed up to five times, no cache, the program's agent string), and the
// preset's allowhttps and grabtimeout handed to every client.
//
// One client serves Fetch and lane 0; each further lane of a grab with
// several connections has a client of its own, made on first use and kept
// for later grabs. All of them run on the event loop the fetcher was made
// with; in the desktop program that is the QtEventLoop, so the window stays
// usable while they wait.
//
// Fetch waits like THttpClient::Get. WaitForAny runs the loop the same way:
// when the loop's terminate request is set (the window closing, Ctrl-C) it
// aborts every running download, each then ending with the abort error
// (IsAbortError). A stream is handed to a client only for the one
// download: once Fetch returns or raises, or WaitForAny reported the lane,
// or AbandonAll ran, no client holds a pointer to it.

#ifndef VELLORA_PIPELINE_HTTP_PAGE_FETCHER_H_
#define VELLORA_PIPELINE_HTTP_PAGE_FETCHER_H_

#include <memory>
#include <string>
#include <vector>

#include "http/http_client.h"
#include "pipeline/grabber.h"

namespace vellora {

class HttpPageFetcher : public PageFetcher {
 public:
  static constexpr int kMaxLanes = 16;

  explicit HttpPageFetcher(EventLoop& loop);

  void Configure(const GrabSettings& settings) override;
  void Fetch(const std::string& url, std::string* stream) override;
  int Lanes() const override { return lanes_; }
  void Start(int lane, const std::string& url, std::string* stream) override;
  int WaitForAny(std::exception_ptr* failure) override;
  void AbandonAll() override;
  void AbortDownloads() override;

  // The client of Fetch and lane 0.
  THttpClient& Http() { return http_; }
  // True when no client runs a request or holds a stream.
  bool Idle() const;

 private:
  struct Lane {
    explicit Lane(THttpClient* c) : client(c) {}
    THttpClient* client;
    bool busy = false;               // started and not yet reported
    std::exception_ptr start_error;  // raised by the start itself
  };

  THttpClient& MakeClient();
  void AbortRunning();
  // The lane's download has ended: the lane is idle again, its outcome
  // goes to `*failure`.
  void Report(Lane& lane, std::exception_ptr* failure);

  EventLoop& loop_;
  THttpClient http_;
  std::vector<std::unique_ptr<THttpClient>> more_clients_;  // lanes 1 and up
  std::vector<Lane> lanes_of_grab_;
  int lanes_ = 1;
  bool abort_requested_ = false;  // AbortDownloads during this grab
};

}  // namespace vellora

#endif  // VELLORA_PIPELINE_HTTP_PAGE_FETCHER_H_
