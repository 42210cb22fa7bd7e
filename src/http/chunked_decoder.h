// Decoder of the "chunked" transfer coding.
//
// Fed with the body bytes in pieces of any size (down to one byte), it
// passes the chunk data on to a sink and stops after the last (zero-size)
// chunk; chunk extensions and trailer lines are skipped. A chunk size above
// kMaxChunkSize is refused, so no number of hexadecimal digits can
// overflow it; random bytes where a size belongs read as size 0, which ends
// the body.

#ifndef VELLORA_HTTP_CHUNKED_DECODER_H_
#define VELLORA_HTTP_CHUNKED_DECODER_H_

#include <cstddef>
#include <cstdint>
#include <functional>

namespace vellora {

enum THttpChunkState {
  httpChunkReadSize,
  httpChunkSkipExt,
  httpChunkReadData,
  httpChunkSkipCrLf,
  httpChunkDone,
};

class ChunkedDecoder {
 public:
  // The largest chunk accepted: 2^31 - 1 bytes (eight hexadecimal digits).
  static constexpr uint64_t kMaxChunkSize = 0x7FFFFFFF;

  // Receives chunk data; returns false to stop decoding.
  using Sink = std::function<bool(const char* data, size_t length)>;

  enum class Result { kOk, kStopped, kChunkTooLarge };

  void Reset();
  // Walks `data` until it is used up or the last chunk has been read; bytes
  // after the last chunk are ignored.
  Result Feed(const char* data, size_t length, const Sink& sink);

  bool Done() const { return phase_ == httpChunkDone; }
  THttpChunkState Phase() const { return phase_; }
  uint64_t ChunkSize() const { return size_; }

 private:
  THttpChunkState phase_ = httpChunkReadSize;
  uint64_t size_ = 0;
  uint64_t taken_ = 0;
};

}  // namespace vellora

#endif  // VELLORA_HTTP_CHUNKED_DECODER_H_
