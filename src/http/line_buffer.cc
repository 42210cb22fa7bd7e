#include "http/line_buffer.h"

#include <cstring>

namespace vellora {

void LineBuffer::Commit(size_t count) {
  if (count > Room()) count = Room();
  used_ += count;
  bytes_[used_] = '\0';
}

bool LineBuffer::CutOverlongLine(const char* scratch, size_t count) {
  const void* lf = std::memchr(scratch, '\n', count);
  if (lf == nullptr) return false;
  size_t tail = count - static_cast<size_t>(static_cast<const char*>(lf) - scratch);
  if (tail > used_) tail = used_;
  std::memcpy(bytes_.data() + used_ - tail, static_cast<const char*>(lf), tail);
  return true;
}

bool LineBuffer::TakeLine(std::string& line) {
  const void* found = std::memchr(bytes_.data(), '\n', used_);
  if (found == nullptr) return false;
  size_t lf = static_cast<size_t>(static_cast<const char*>(found) - bytes_.data());
  size_t length = lf;
  if (length > 0 && bytes_[length - 1] == '\r') --length;
  line.assign(bytes_.data(), length);
  Consume(lf + 1);
  return true;
}

void LineBuffer::Consume(size_t count) {
  if (count >= used_) {
    used_ = 0;
    return;
  }
  std::memmove(bytes_.data(), bytes_.data() + count, used_ - count);
  used_ -= count;
}

}  // namespace vellora
