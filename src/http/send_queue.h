// The socket's queue of bytes waiting to be sent.
//
// Bytes are kept in fixed blocks of 1460 bytes (one TCP segment on an
// Ethernet link). Appending fills the last block and adds blocks as needed;
// consuming reads from the first block, and a block that has been read
// completely is dropped while others follow it, or reset to empty when it is
// the last one. Not thread-safe: the owning socket uses it on its loop's thread.

#ifndef VELLORA_HTTP_SEND_QUEUE_H_
#define VELLORA_HTTP_SEND_QUEUE_H_

#include <array>
#include <cstddef>
#include <deque>
#include <string_view>

namespace vellora {

class SendQueue {
 public:
  static constexpr size_t kBlockSize = 1460;

  void Append(const char* data, size_t length);
  // The unread bytes of the first block (empty when nothing is queued).
  std::string_view Front() const;
  // Marks `count` bytes of Front() as sent. REQUIRES: count <= Front().size().
  void Consume(size_t count);
  void Clear();

  bool Empty() const { return queued_ == 0; }
  size_t Size() const { return queued_; }
  size_t BlockCount() const { return blocks_.size(); }

 private:
  struct Block {
    std::array<char, kBlockSize> bytes;
    size_t written = 0;
    size_t read = 0;
  };
  std::deque<Block> blocks_;
  size_t queued_ = 0;
};

}  // namespace vellora

#endif  // VELLORA_HTTP_SEND_QUEUE_H_
