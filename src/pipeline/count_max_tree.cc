#include "pipeline/count_max_tree.h"

namespace vellora {

CountMaxTree::CountMaxTree(std::vector<int64_t> counts) : counts_(std::move(counts)) {
  while (leaves_ < counts_.size()) leaves_ *= 2;
  tree_.assign(2 * leaves_, kNone);
  for (size_t i = 0; i < counts_.size(); ++i) tree_[leaves_ + i] = static_cast<uint32_t>(i);
  for (size_t node = leaves_ - 1; node >= 1; --node) {
    tree_[node] = Better(tree_[2 * node], tree_[2 * node + 1]);
  }
}

uint32_t CountMaxTree::Better(uint32_t a, uint32_t b) const {
  if (a == kNone) return b;
  if (b == kNone) return a;
  // a lies left of b in every call: b wins only with a strictly greater count.
  return counts_[b] > counts_[a] ? b : a;
}

void CountMaxTree::Set(size_t index, int64_t count) {
  counts_[index] = count;
  for (size_t node = (leaves_ + index) / 2; node >= 1; node /= 2) {
    tree_[node] = Better(tree_[2 * node], tree_[2 * node + 1]);
  }
}

void CountMaxTree::Decrement(size_t index) {
  --counts_[index];
  for (size_t node = (leaves_ + index) / 2; node >= 1; node /= 2) {
    if (tree_[node] != index) break;
    tree_[node] = Better(tree_[2 * node], tree_[2 * node + 1]);
  }
}

int64_t CountMaxTree::Top() const {
  if (counts_.empty()) return -1;
  const uint32_t best = tree_[1];
  return counts_[best] > 0 ? static_cast<int64_t>(best) : -1;
}

}  // namespace vellora
