// The receive buffer and the chunked decoder, fed one byte at a time and in
// hostile shapes.

#include <gtest/gtest.h>

#include <cstring>

#include "http/chunked_decoder.h"
#include "http/line_buffer.h"

namespace vellora {
namespace {

void Put(LineBuffer& buffer, const std::string& bytes) {
  ASSERT_LE(bytes.size(), buffer.Room());
  std::memcpy(buffer.WritePosition(), bytes.data(), bytes.size());
  buffer.Commit(bytes.size());
}

TEST(LineBuffer, SplitsLinesFedOneByteAtATime) {
  LineBuffer buffer;
  std::string input = "HTTP/1.0 200 OK\r\nA: b\nlast\r\n\r\n";
  std::vector<std::string> lines;
  std::string line;
  for (char c : input) {
    Put(buffer, std::string(1, c));
    while (buffer.TakeLine(line)) lines.push_back(line);
  }
  EXPECT_EQ(lines, (std::vector<std::string>{"HTTP/1.0 200 OK", "A: b", "last", ""}));
  EXPECT_EQ(buffer.Used(), 0u);
}

TEST(LineBuffer, NulBytesDoNotHideALineEnd) {
  LineBuffer buffer;
  Put(buffer, std::string("a\0b\r\nc", 6));
  std::string line;
  ASSERT_TRUE(buffer.TakeLine(line));
  EXPECT_EQ(line, std::string("a\0b", 3));
  EXPECT_EQ(std::string(buffer.Data(), buffer.Used()), "c");
}

TEST(LineBuffer, CutsALineLongerThanTheBufferAndResumesAtTheNextLine) {
  LineBuffer buffer;
  Put(buffer, std::string(LineBuffer::kMaxHeld, 'x'));
  EXPECT_EQ(buffer.Room(), 0u);
  std::string line;
  EXPECT_FALSE(buffer.TakeLine(line));
  // Pieces without a line end are dropped, and the buffer never grows.
  EXPECT_FALSE(buffer.CutOverlongLine("yyyyyyyyyy", 10));
  EXPECT_EQ(buffer.Used(), LineBuffer::kMaxHeld);
  std::string piece = "zz\r\nNext: 1\r\n";
  EXPECT_TRUE(buffer.CutOverlongLine(piece.data(), piece.size()));
  ASSERT_TRUE(buffer.TakeLine(line));
  EXPECT_EQ(line.size(), LineBuffer::kMaxHeld - (piece.size() - 3));
  EXPECT_EQ(line.find_first_not_of('x'), std::string::npos);
  ASSERT_TRUE(buffer.TakeLine(line));
  EXPECT_EQ(line, "Next: 1");
}

std::string Decode(const std::string& body, ChunkedDecoder& decoder, size_t piece,
                   ChunkedDecoder::Result* last = nullptr) {
  std::string out;
  decoder.Reset();
  ChunkedDecoder::Result result = ChunkedDecoder::Result::kOk;
  for (size_t at = 0; at < body.size() && !decoder.Done(); at += piece) {
    result = decoder.Feed(body.data() + at, std::min(piece, body.size() - at),
                          [&](const char* data, size_t length) {
                            out.append(data, length);
                            return true;
                          });
    if (result != ChunkedDecoder::Result::kOk) break;
  }
  if (last != nullptr) *last = result;
  return out;
}

TEST(ChunkedDecoder, DecodesWithExtensionsAndTrailersInPiecesOfAnySize) {
  std::string body =
      "4\r\nWiki\r\n"
      "5;name=value\r\npedia\r\n"
      "E\r\n in\r\n\r\nchunks.\r\n"
      "0\r\nTrailer: x\r\n\r\n";
  for (size_t piece : {1u, 2u, 3u, 7u, 1000u}) {
    ChunkedDecoder decoder;
    EXPECT_EQ(Decode(body, decoder, piece), "Wikipedia in\r\n\r\nchunks.") << piece;
    EXPECT_TRUE(decoder.Done()) << piece;
  }
}

TEST(ChunkedDecoder, RefusesAChunkSizeBeyondTheLimit) {
  ChunkedDecoder decoder;
  ChunkedDecoder::Result result;
  Decode("FFFFFFFFFFFFFFFFFFFFFFFF\r\nx", decoder, 1, &result);
  EXPECT_EQ(result, ChunkedDecoder::Result::kChunkTooLarge);
  Decode("80000000\r\n", decoder, 3, &result);
  EXPECT_EQ(result, ChunkedDecoder::Result::kChunkTooLarge);
  // Leading zeros are not a large size.
  EXPECT_EQ(Decode("0000000000000003\r\nabc\r\n0\r\n\r\n", decoder, 1, &result), "abc");
  EXPECT_EQ(result, ChunkedDecoder::Result::kOk);
}

TEST(ChunkedDecoder, GarbageWhereASizeBelongsEndsTheBody) {
  ChunkedDecoder decoder;
  EXPECT_EQ(Decode("zz\r\n\r\nmore", decoder, 1), "");
  EXPECT_TRUE(decoder.Done());
}

TEST(ChunkedDecoder, StopsWhenTheSinkRefuses) {
  ChunkedDecoder decoder;
  std::string body = "5\r\nhello\r\n0\r\n\r\n";
  int calls = 0;
  auto result = decoder.Feed(body.data(), body.size(), [&](const char*, size_t) {
    ++calls;
    return false;
  });
  EXPECT_EQ(result, ChunkedDecoder::Result::kStopped);
  EXPECT_EQ(calls, 1);
}

}  // namespace
}  // namespace vellora
