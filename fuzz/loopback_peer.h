// LoopbackPeer: the server end of the HTTP client's connections in the fuzz
// targets. It listens on 127.0.0.1 and runs in the client's own thread: each
// turn of Serve runs the client's loop once, accepts a connection that
// arrived, reads what the client sent and writes the next piece of that
// connection's answer, so the client receives every answer in pieces of the
// sizes given. After its last piece an answer is closed for writing (a
// close-delimited body ends there); connections beyond the answers get none.
//
// Confine keeps the client to this peer: a connection to any other address
// or port fails as refused, and host names are never looked up, so no byte
// leaves the machine whatever a Location answer names.

#ifndef VELLORA_FUZZ_LOOPBACK_PEER_H_
#define VELLORA_FUZZ_LOOPBACK_PEER_H_

#include <cstdint>
#include <string>
#include <vector>

#include "base/event_loop.h"
#include "http/http_client.h"

namespace vellora::fuzz {

class LoopbackPeer {
 public:
  // What a Serve saw: the bytes the client sent on each connection, and
  // whether the client was back in httpReady within the turn limit.
  struct Outcome {
    std::vector<std::string> requests;
    bool finished = false;
  };

  LoopbackPeer();  // aborts when no loopback port can be had
  ~LoopbackPeer();
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  uint16_t Port() const { return port_; }
  // "http://127.0.0.1:PORT"
  std::string Origin() const;

  // Installs the confinement on `client` (its OnStateChange is taken).
  void Confine(THttpClient& client);

  // Drives `loop` until `client`, whose request the caller has started, is
  // back in httpReady. answers[i] is the answer on the i-th connection;
  // pieces are the sizes of its writes, repeated (after 64 writes the rest
  // goes at once).
  Outcome Serve(EventLoop& loop, THttpClient& client, const std::vector<std::string>& answers,
                const std::vector<size_t>& pieces);

 private:
  int listener_ = -1;
  uint16_t port_ = 0;
};

// Checks that each request is whole lines ended by CR LF and closed by an
// empty line, with no other control byte (or is empty: nothing was sent).
void CheckRequests(const std::vector<std::string>& requests);

}  // namespace vellora::fuzz

#endif  // VELLORA_FUZZ_LOOPBACK_PEER_H_
