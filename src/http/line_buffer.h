// The fixed receive buffer in which response header lines are cut out.
//
// It holds at most 8,190 bytes (8,193 less three kept free), so a hostile
// server can never make it grow. When it is full and holds no line end, the
// caller reads a small scratch piece instead and hands it to
// CutOverlongLine: the held line is cut short and reading resumes in step
// with the next line end. Body bytes pass through the same buffer.

#ifndef VELLORA_HTTP_LINE_BUFFER_H_
#define VELLORA_HTTP_LINE_BUFFER_H_

#include <array>
#include <cstddef>
#include <string>

namespace vellora {

class LineBuffer {
 public:
  static constexpr size_t kCapacity = 8193;
  static constexpr size_t kReserve = 3;
  static constexpr size_t kMaxHeld = kCapacity - kReserve;  // 8,190
  static constexpr size_t kScratchSize = 25;

  // Bytes that can still be received behind the held ones (0 when full).
  size_t Room() const { return kMaxHeld - used_; }
  char* WritePosition() { return bytes_.data() + used_; }
  // Accounts for `count` bytes written at WritePosition(). REQUIRES: count <= Room().
  void Commit(size_t count);

  // For a full buffer: `scratch` holds the next bytes received. Without an
  // LF in it, they are dropped and false is returned. Otherwise the bytes
  // from that LF on overwrite the end of the held data, which cuts the held
  // line short; returns true.
  bool CutOverlongLine(const char* scratch, size_t count);

  // Takes the first line (the bytes before the first LF, less a CR directly
  // before it) out of the buffer. False when no LF is held.
  bool TakeLine(std::string& line);

  const char* Data() const { return bytes_.data(); }
  size_t Used() const { return used_; }
  // Removes the first `count` held bytes (all of them when fewer are held).
  void Consume(size_t count);
  void Clear() { used_ = 0; }

 private:
  std::array<char, kCapacity> bytes_;
  size_t used_ = 0;
};

}  // namespace vellora

#endif  // VELLORA_HTTP_LINE_BUFFER_H_
