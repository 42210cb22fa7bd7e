// Writing the text of parts of a PageTree as blocks.

#ifndef VELLORA_HTML_TREE_TEXT_H_
#define VELLORA_HTML_TREE_TEXT_H_

#include <cstdint>
#include <vector>

#include "html/block_text.h"
#include "html/page_tree.h"

namespace vellora {

// Appends to `out` the text of the subtree at `root` (and, with
// `with_siblings`, of the subtrees of the siblings after it), leaving out
// every node whose entry in `left_out` is true (an empty vector leaves out
// nothing). Blocks and line breaks end the current block. No recursion: a
// page nested a million elements deep is written like a flat one.
void WriteTreeText(const PageTree& tree, uint32_t root, bool with_siblings,
                   const std::vector<bool>& left_out, BlockText& out);

}  // namespace vellora

#endif  // VELLORA_HTML_TREE_TEXT_H_
