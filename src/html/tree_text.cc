#include "html/tree_text.h"

namespace vellora {

void WriteTreeText(const PageTree& tree, uint32_t root, bool with_siblings,
                   const std::vector<bool>& left_out, BlockText& out) {
  const std::vector<PageNode>& nodes = tree.nodes();
  auto skipped = [&](uint32_t i) { return !left_out.empty() && left_out[i]; };
  // Depth-first, with the open elements' indices on a stack: a node is
  // entered, then its children, then it is left and its next sibling entered.
  std::vector<uint32_t> open;
  uint32_t next = root;
  while (next != PageNode::kNone) {
    const uint32_t i = next;
    const PageNode& node = nodes[i];
    next = PageNode::kNone;
    if (!skipped(i)) {
      if (node.tag == Tag::kText) {
        out.Append(tree.TextOf(node));
      } else {
        if (node.Is(PageNode::kBlock)) out.Break();
        if (node.first_child != PageNode::kNone) {
          open.push_back(i);
          next = node.first_child;
          continue;
        }
        if (node.Is(PageNode::kBlock)) out.Break();
      }
    }
    // Leave every element whose last child this was.
    uint32_t at = i;
    while (true) {
      if (at == root && !with_siblings) return;
      if (nodes[at].next_sibling != PageNode::kNone) {
        next = nodes[at].next_sibling;
        break;
      }
      if (open.empty()) return;
      at = open.back();
      open.pop_back();
      if (nodes[at].Is(PageNode::kBlock)) out.Break();
    }
  }
}

}  // namespace vellora
