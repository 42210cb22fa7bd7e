// One asynchronous IPv4 host-name lookup.
//
// getaddrinfo runs on a worker thread of its own; the result is posted to
// the event loop and handed to the completion callback there. Cancel (on the
// loop's thread) guarantees that the callback will not run, and cuts the
// worker off from the loop, so the loop may be destroyed while a slow lookup
// is still running.

#ifndef VELLORA_HTTP_HOST_LOOKUP_H_
#define VELLORA_HTTP_HOST_LOOKUP_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "base/event_loop.h"

namespace vellora {

struct HostLookupResult {
  uint16_t error = 0;                  // socket error number; 0 on success
  std::vector<std::string> addresses;  // dotted IPv4 addresses, in the resolver's order
};

class HostLookup {
 public:
  using Done = std::function<void(const HostLookupResult&)>;

  // Starts resolving `host`. Raises std::system_error when the worker thread
  // cannot be started.
  static std::shared_ptr<HostLookup> Start(EventLoop& loop, const std::string& host, Done done);

  // Drops the result. Call on the loop's thread.
  void Cancel();

  // Resolves `host` on the calling thread (for a Connect to a name).
  static HostLookupResult Resolve(const std::string& host);

  // Tests put a resolver of their own in place of the system's (null puts
  // the system's back), to see which names are looked up. Not for use while
  // a lookup runs.
  using Resolver = HostLookupResult (*)(const std::string& host);
  static void SetResolverForTesting(Resolver resolver);

 private:
  std::mutex mutex_;
  EventLoop* loop_ = nullptr;  // null once cancelled
  Done done_;
};

}  // namespace vellora

#endif  // VELLORA_HTTP_HOST_LOOKUP_H_
