// The chunked transfer decoder on untrusted bodies, fed at once and in
// pieces whose sizes come from the input. Properties:
//  - the decoded body is never longer than the bytes fed;
//  - the pieces do not matter: every way of cutting the body gives the same
//    bytes, the same result and the same end as feeding it at once;
//  - bytes fed after the last chunk change nothing.

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

#include "fuzz_check.h"
#include "http/chunked_decoder.h"

namespace {

using vellora::ChunkedDecoder;

struct Decoded {
  std::string body;
  ChunkedDecoder::Result result = ChunkedDecoder::Result::kOk;
  bool done = false;
};

// Feeds `bytes` in the given piece sizes (repeated; 0 means the rest).
Decoded Decode(const std::string& bytes, const std::vector<size_t>& pieces) {
  Decoded out;
  ChunkedDecoder decoder;
  size_t at = 0;
  for (size_t i = 0; at < bytes.size(); ++i) {
    size_t piece = pieces.empty() ? 0 : pieces[i % pieces.size()];
    if (piece == 0 || piece > bytes.size() - at) piece = bytes.size() - at;
    out.result = decoder.Feed(bytes.data() + at, piece, [&](const char* data, size_t length) {
      out.body.append(data, length);
      return true;
    });
    at += piece;
    if (out.result != ChunkedDecoder::Result::kOk || decoder.Done()) break;
  }
  out.done = decoder.Done();
  if (out.done) {
    // Whatever follows the last chunk is not body.
    size_t before = out.body.size();
    decoder.Feed(bytes.data(), bytes.size(), [&](const char* data, size_t length) {
      out.body.append(data, length);
      return true;
    });
    FUZZ_CHECK(out.body.size() == before && decoder.Done(), "bytes after the last chunk decoded");
  }
  return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::vector<size_t> pieces;
  for (int count = input.ConsumeIntegralInRange<int>(0, 4); count > 0; --count) {
    pieces.push_back(input.ConsumeIntegralInRange<size_t>(1, 17));
  }
  std::string body = input.ConsumeRemainingBytesAsString();

  Decoded whole = Decode(body, {});
  FUZZ_CHECK(whole.body.size() <= body.size(), "decoded body longer than its input");
  for (const std::vector<size_t>& cut : {std::vector<size_t>{1}, pieces}) {
    Decoded piecewise = Decode(body, cut);
    FUZZ_CHECK(piecewise.body == whole.body, "the pieces changed the decoded bytes");
    FUZZ_CHECK(piecewise.result == whole.result && piecewise.done == whole.done,
               "the pieces changed the decoder's end");
  }
  return 0;
}
