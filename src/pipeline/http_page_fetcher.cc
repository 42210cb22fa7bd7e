#include "pipeline/http_page_fetcher.h"

namespace vellora {

void HttpPageFetcher::Fetch(const std::string& url, std::string* stream) {
  struct Release {
    THttpClient& http;
    ~Release() { http.ReceiveStream = nullptr; }
  } release{http_};
  http_.URL = url;
  stream->clear();
  http_.ReceiveStream = stream;
  http_.Get();
}

}  // namespace vellora
