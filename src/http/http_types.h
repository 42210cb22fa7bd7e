// The enumerations and the exception of the HTTP client.

#ifndef VELLORA_HTTP_HTTP_TYPES_H_
#define VELLORA_HTTP_HTTP_TYPES_H_

#include <cstdint>
#include <exception>
#include <string>

#include "base/errors.h"

namespace vellora {

enum THttpRequest { httpABORT, httpGET, httpPOST, httpPUT, httpHEAD, httpCLOSE };

enum THttpClientState {
  httpReady,
  httpNotConnected,
  httpConnected,
  httpDnsLookup,
  httpDnsLookupDone,
  httpWaitingHeader,
  httpWaitingBody,
  httpBodyReceived,
  httpWaitingProxyConnect,
  httpClosing,
  httpAborting,
};

// "httpReady", "httpNotConnected", ...: for traces and test messages.
const char* HttpClientStateName(THttpClientState state);

// THttpClientOption values as bits of THttpClient::Options.
enum THttpClientOption : unsigned {
  hcoNoBasicAuth = 1u << 0,
  hcoNoNTLMAuth = 1u << 1,
  hcoBandwidthControl = 1u << 2,
  hcoEnableContentCoding = 1u << 3,
  hcoUseQuality = 1u << 4,
};

// The reason phrase of a request ended by THttpClient::Abort, or by the
// event loop's terminate request while Get waits (status 404).
extern const char kAbortedReason[];

// A failed HTTP request. ErrorNumber is below 100 for the client's own
// faults (1 busy, 2 nothing to post or put, 5 unsupported version, 6
// authentication state), otherwise the final status code: the server's, or
// 404/501 when the document could not be fetched.
class EHttpError : public VelloraError {
 public:
  EHttpError(const std::string& message, uint16_t error_number)
      : VelloraError(message), error_number_(error_number) {}
  // What Get raises for a request ended by Abort: 404 with kAbortedReason.
  static EHttpError Aborted() { return EHttpError(kAbortedReason, 404); }

  uint16_t ErrorNumber() const { return error_number_; }
  // Whether this is the error of an aborted request (see Aborted), as
  // opposed to a failure of the server or the connection.
  bool IsAborted() const;

 private:
  uint16_t error_number_;
};

// Whether error is an EHttpError for which IsAborted holds.
bool IsAbortError(const std::exception& error);

}  // namespace vellora

#endif  // VELLORA_HTTP_HTTP_TYPES_H_
