#include "http/http_types.h"

namespace vellora {

const char kAbortedReason[] = "Connection aborted on request";

bool EHttpError::IsAborted() const {
  return error_number_ == 404 && what() == std::string(kAbortedReason);
}

bool IsAbortError(const std::exception& error) {
  const auto* http = dynamic_cast<const EHttpError*>(&error);
  return http != nullptr && http->IsAborted();
}

const char* HttpClientStateName(THttpClientState state) {
  static const char* const kNames[] = {
      "httpReady",       "httpNotConnected",  "httpConnected",
      "httpDnsLookup",   "httpDnsLookupDone", "httpWaitingHeader",
      "httpWaitingBody", "httpBodyReceived",  "httpWaitingProxyConnect",
      "httpClosing",     "httpAborting"};
  return kNames[state];
}

}  // namespace vellora
