// HttpPageFetcher: the grabber's downloads through THttpClient, with the
// client settings the grabber relies on (its defaults: HTTP/1.0, relocations
// followed up to five times, no cache, the program's agent string).
//
// Get waits on the event loop the client was made with; in the desktop
// program that is the QtEventLoop, so the window stays usable. The stream
// is handed to the client only for the one request: once Fetch returns or
// raises, the client holds no pointer to it.

#ifndef VELLORA_PIPELINE_HTTP_PAGE_FETCHER_H_
#define VELLORA_PIPELINE_HTTP_PAGE_FETCHER_H_

#include <string>

#include "http/http_client.h"
#include "pipeline/grabber.h"

namespace vellora {

class HttpPageFetcher : public PageFetcher {
 public:
  explicit HttpPageFetcher(EventLoop& loop) : http_(loop) {}

  void Fetch(const std::string& url, std::string* stream) override;

  THttpClient& Http() { return http_; }

 private:
  THttpClient http_;
};

}  // namespace vellora

#endif  // VELLORA_PIPELINE_HTTP_PAGE_FETCHER_H_
