#include "http/http_types.h"

namespace vellora {

const char* HttpClientStateName(THttpClientState state) {
  static const char* const kNames[] = {
      "httpReady",       "httpNotConnected",  "httpConnected",
      "httpDnsLookup",   "httpDnsLookupDone", "httpWaitingHeader",
      "httpWaitingBody", "httpBodyReceived",  "httpWaitingProxyConnect",
      "httpClosing",     "httpAborting"};
  return kNames[state];
}

}  // namespace vellora
