#include "http/host_lookup.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>

#include <atomic>
#include <thread>

#include "http/socket_errors.h"

namespace vellora {
namespace {

std::atomic<HostLookup::Resolver> test_resolver{nullptr};

}  // namespace

void HostLookup::SetResolverForTesting(Resolver resolver) { test_resolver = resolver; }

HostLookupResult HostLookup::Resolve(const std::string& host) {
  if (Resolver resolver = test_resolver.load()) return resolver(host);
  HostLookupResult result;
  addrinfo hints = {};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* list = nullptr;
  int rc = getaddrinfo(host.c_str(), nullptr, &hints, &list);
  if (rc != 0) {
    result.error = LookupErrorToSocketError(rc);
    return result;
  }
  for (addrinfo* entry = list; entry != nullptr; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET) continue;
    char text[INET_ADDRSTRLEN];
    const auto* address = reinterpret_cast<const sockaddr_in*>(entry->ai_addr);
    if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text) == nullptr) continue;
    result.addresses.emplace_back(text);
  }
  freeaddrinfo(list);
  if (result.addresses.empty()) result.error = kSocketNoData;
  return result;
}

std::shared_ptr<HostLookup> HostLookup::Start(EventLoop& loop, const std::string& host, Done done) {
  auto lookup = std::make_shared<HostLookup>();
  lookup->loop_ = &loop;
  lookup->done_ = std::move(done);
  std::thread worker([lookup, host] {
    HostLookupResult result = Resolve(host);
    std::lock_guard<std::mutex> lock(lookup->mutex_);
    if (lookup->loop_ == nullptr) return;
    lookup->loop_->post([lookup, result] {
      Done done;
      {
        std::lock_guard<std::mutex> lock(lookup->mutex_);
        if (lookup->loop_ == nullptr) return;
        lookup->loop_ = nullptr;
        done = std::move(lookup->done_);
      }
      if (done) done(result);
    });
  });
  worker.detach();
  return lookup;
}

void HostLookup::Cancel() {
  Done dropped;
  std::lock_guard<std::mutex> lock(mutex_);
  loop_ = nullptr;
  dropped = std::move(done_);
}

}  // namespace vellora
