#include "http/chunked_decoder.h"

#include <algorithm>
#include <cstring>

#include "http/url.h"

namespace vellora {

void ChunkedDecoder::Reset() {
  phase_ = httpChunkReadSize;
  size_ = 0;
  taken_ = 0;
}

ChunkedDecoder::Result ChunkedDecoder::Feed(const char* data, size_t length, const Sink& sink) {
  size_t at = 0;
  while (at < length && phase_ != httpChunkDone) {
    switch (phase_) {
      case httpChunkReadSize:
        if (IsHexDigit(data[at])) {
          size_ = size_ * 16 + static_cast<uint64_t>(HexDigitValue(data[at]));
          if (size_ > kMaxChunkSize) return Result::kChunkTooLarge;
          ++at;
        } else {
          phase_ = httpChunkSkipExt;
        }
        break;
      case httpChunkSkipExt:
      case httpChunkSkipCrLf: {
        const void* lf = std::memchr(data + at, '\n', length - at);
        if (lf == nullptr) {
          at = length;
          break;
        }
        at = static_cast<size_t>(static_cast<const char*>(lf) - data) + 1;
        if (phase_ == httpChunkSkipExt) {
          phase_ = httpChunkReadData;
        } else {
          phase_ = size_ == 0 ? httpChunkDone : httpChunkReadSize;
          size_ = 0;
          taken_ = 0;
        }
        break;
      }
      case httpChunkReadData: {
        size_t take = static_cast<size_t>(std::min<uint64_t>(length - at, size_ - taken_));
        if (take > 0) {
          taken_ += take;
          if (!sink(data + at, take)) return Result::kStopped;
          at += take;
        }
        if (taken_ >= size_) phase_ = httpChunkSkipCrLf;
        break;
      }
      case httpChunkDone:
        break;
    }
  }
  // A zero-size chunk needs no data byte to move on to its line end.
  if (phase_ == httpChunkReadData && taken_ >= size_) phase_ = httpChunkSkipCrLf;
  return Result::kOk;
}

}  // namespace vellora
