// CountMaxTree: a list of counts that answers "which is the first row with
// the largest count" in O(1) and takes a change of one count in O(log n).
// A segment tree whose every node holds the leftmost index of the largest
// count below it; ties go to the lower index, as a scan from the first row
// that replaces its best only on a strictly greater count would find.
// Not thread-safe.

#ifndef VELLORA_PIPELINE_COUNT_MAX_TREE_H_
#define VELLORA_PIPELINE_COUNT_MAX_TREE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vellora {

class CountMaxTree {
 public:
  explicit CountMaxTree(std::vector<int64_t> counts);

  size_t Size() const { return counts_.size(); }
  int64_t Count(size_t index) const { return counts_[index]; }
  void Set(size_t index, int64_t count);
  // Set(index, Count(index) - 1), stopping as soon as a node's best row is
  // another one: a smaller count cannot change the best row above it.
  void Decrement(size_t index);

  // The first index holding the largest count, or -1 when no count is
  // above 0.
  int64_t Top() const;

 private:
  // The better of two leaf indices (kNone for none).
  uint32_t Better(uint32_t a, uint32_t b) const;

  static constexpr uint32_t kNone = 0xFFFFFFFFu;
  std::vector<int64_t> counts_;
  size_t leaves_ = 1;
  std::vector<uint32_t> tree_;  // 1-based heap; leaves at leaves_..2*leaves_-1
};

}  // namespace vellora

#endif  // VELLORA_PIPELINE_COUNT_MAX_TREE_H_
