#include "http/send_queue.h"

#include <algorithm>
#include <cstring>

namespace vellora {

void SendQueue::Append(const char* data, size_t length) {
  while (length > 0) {
    if (blocks_.empty() || blocks_.back().written == kBlockSize) blocks_.emplace_back();
    Block& block = blocks_.back();
    size_t take = std::min(length, kBlockSize - block.written);
    std::memcpy(block.bytes.data() + block.written, data, take);
    block.written += take;
    queued_ += take;
    data += take;
    length -= take;
  }
}

std::string_view SendQueue::Front() const {
  if (blocks_.empty()) return {};
  const Block& block = blocks_.front();
  return std::string_view(block.bytes.data() + block.read, block.written - block.read);
}

void SendQueue::Consume(size_t count) {
  if (blocks_.empty()) return;
  Block& block = blocks_.front();
  count = std::min(count, block.written - block.read);
  block.read += count;
  queued_ -= count;
  if (block.read == block.written) {
    if (blocks_.size() > 1) {
      blocks_.pop_front();
    } else {
      block.read = block.written = 0;
    }
  }
}

void SendQueue::Clear() {
  blocks_.clear();
  queued_ = 0;
}

}  // namespace vellora
