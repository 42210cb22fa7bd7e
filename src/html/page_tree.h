// A page as the reader sees it: the elements a browser would show and their
// text, parsed by libxml2's HTML parser (which mends markup as browsers do)
// into a compact tree of our own. Elements whose contents are never shown
// (script, style, template, svg, head apart from its title, ...), comments
// and elements hidden by the `hidden` attribute, aria-hidden="true" or an
// inline display:none / visibility:hidden are not in the tree at all.
//
// Nodes are kept in document order in one vector, so a parent always comes
// before its children and a loop from the last node to the first visits
// every child before its parent. The text of all text nodes is one string;
// a text node holds a span of it, as the page wrote it (white space not yet
// collapsed, character references decoded). The text of a page stops
// growing at 1 TiB, far beyond any page.

#ifndef VELLORA_HTML_PAGE_TREE_H_
#define VELLORA_HTML_PAGE_TREE_H_

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "html/element_kinds.h"

namespace vellora {

struct PageNode {
  static constexpr uint32_t kNone = UINT32_MAX;
  // Flags of an element.
  static constexpr uint8_t kBlock = 1;        // separates the text around it
  static constexpr uint8_t kUnlikely = 2;     // class, id or role of page furniture
  static constexpr uint8_t kArticleBody = 4;  // itemprop="articleBody"
  static constexpr uint8_t kInHead = 8;       // the title, inside the head

  uint32_t parent = kNone;
  uint32_t first_child = kNone;
  uint32_t next_sibling = kNone;
  Tag tag = Tag::kOther;
  uint8_t flags = 0;
  // From the class and id: above 0 for names of content ("article",
  // "content", "post"), below 0 for page furniture ("nav", "footer").
  int8_t class_weight = 0;
  // A text node's span of the tree's text: its size and its start, whose
  // bits above the low 32 stand in text_begin_high (a node is 24 bytes).
  uint8_t text_begin_high = 0;
  uint32_t text_size = 0;
  uint32_t text_begin_low = 0;

  bool Is(uint8_t flag) const { return (flags & flag) != 0; }
  uint64_t text_begin() const {
    return (static_cast<uint64_t>(text_begin_high) << 32) | text_begin_low;
  }
  void set_text_begin(uint64_t begin) {
    text_begin_low = static_cast<uint32_t>(begin);
    text_begin_high = static_cast<uint8_t>(begin >> 32);
  }
};

class PageTree {
 public:
  // Parses `utf8_html`. `keep_json_ld`: also keep the text of
  // <script type="application/ld+json"> elements (for JsonLd()). Never
  // fails: what the parser cannot make sense of is left out.
  // `input_done`, when given, is called once `utf8_html` is no longer read.
  static PageTree Parse(std::string_view utf8_html, bool keep_json_ld,
                        const std::function<void()>& input_done = nullptr);

  const std::vector<PageNode>& nodes() const { return nodes_; }
  const PageNode& node(uint32_t index) const { return nodes_[index]; }
  std::string_view TextOf(const PageNode& node) const {
    return std::string_view(text_).substr(node.text_begin(), node.text_size);
  }
  // The first body element, or PageNode::kNone.
  uint32_t body() const { return body_; }
  // The text of the page's JSON-LD scripts, one after another.
  const std::string& json_ld() const { return json_ld_; }

 private:
  friend class PageTreeBuilder;
  std::vector<PageNode> nodes_;
  std::string text_;
  std::string json_ld_;
  uint32_t body_ = PageNode::kNone;
};

// The visible text of `utf8_html`, blocks separated by '\n', written while
// the page is parsed, without a tree: what a PageTree of the page holds, in
// document order.
std::string ParseVisibleText(std::string_view utf8_html,
                             const std::function<void()>& input_done = nullptr);

}  // namespace vellora

#endif  // VELLORA_HTML_PAGE_TREE_H_
