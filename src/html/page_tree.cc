// PageTree::Parse: libxml2's HTML push parser, driven through SAX callbacks
// that build the compact tree directly (libxml2's own document tree is
// never made, so a page costs little more than its text).

#include "html/page_tree.h"

#include <libxml/HTMLparser.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <cstring>

#include "html/furniture_hints.h"

namespace vellora {
namespace {

// JSON-LD beyond this size is not kept: an article body is far smaller.
constexpr size_t kMaxJsonLd = 8 << 20;
// The parser is fed this much at a time.
constexpr size_t kChunkSize = 1 << 20;

std::string_view View(const xmlChar* s) {
  return s == nullptr ? std::string_view() : std::string_view(reinterpret_cast<const char*>(s));
}

void AppendLower(std::string& out, std::string_view s) {
  for (char c : s) out.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
    if (x != y) return false;
  }
  return true;
}

// True when an inline style hides the element: display:none or
// visibility:hidden, white space and case aside.
bool StyleHides(std::string_view style) {
  std::string compact;
  for (char c : style) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f') continue;
    compact.push_back((c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c);
  }
  return compact.find("display:none") != std::string::npos ||
         compact.find("visibility:hidden") != std::string::npos;
}

void IgnoreError(void*, const char*, ...) {}
void IgnoreStructuredError(void*, xmlErrorPtr) {}

}  // namespace

class PageTreeBuilder {
 public:
  PageTreeBuilder(PageTree& tree, bool keep_json_ld) : tree_(tree), keep_json_ld_(keep_json_ld) {}

  void Run(std::string_view html) {
    htmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.startElement = &StartElement;
    sax.endElement = &EndElement;
    sax.characters = &Characters;
    sax.ignorableWhitespace = &Characters;
    sax.cdataBlock = &Characters;
    xmlSetGenericErrorFunc(nullptr, &IgnoreError);
    xmlSetStructuredErrorFunc(nullptr, &IgnoreStructuredError);
    htmlParserCtxtPtr ctxt =
        htmlCreatePushParserCtxt(&sax, this, nullptr, 0, nullptr, XML_CHAR_ENCODING_UTF8);
    if (ctxt == nullptr) throw std::bad_alloc();
    htmlCtxtUseOptions(ctxt, HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                                 HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE);
    size_t pos = 0;
    do {
      const size_t n = std::min(kChunkSize, html.size() - pos);
      const bool last = pos + n == html.size();
      htmlParseChunk(ctxt, html.data() + pos, static_cast<int>(n), last ? 1 : 0);
      pos += n;
      if (last) break;
    } while (!ctxt->disableSAX);
    htmlFreeParserCtxt(ctxt);
  }

 private:
  struct Open {
    uint32_t node;        // PageNode::kNone while skipping
    uint32_t last_child;  // the element's last child so far
  };

  // The parser hands the callbacks the user data it was made with.
  static PageTreeBuilder& Self(void* ctx) { return *static_cast<PageTreeBuilder*>(ctx); }
  static void StartElement(void* ctx, const xmlChar* name, const xmlChar** atts) {
    Self(ctx).OnStart(View(name), atts);
  }
  static void EndElement(void* ctx, const xmlChar*) { Self(ctx).OnEnd(); }
  static void Characters(void* ctx, const xmlChar* text, int len) {
    Self(ctx).OnText(
        std::string_view(reinterpret_cast<const char*>(text), static_cast<size_t>(len)));
  }

  bool InsideContent() const {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
      if (it->node == PageNode::kNone) continue;
      const PageNode& n = tree_.nodes_[it->node];
      if (n.tag == Tag::kArticle || n.tag == Tag::kMain || n.Is(PageNode::kArticleBody))
        return true;
    }
    return false;
  }

  void OnStart(std::string_view name, const xmlChar** atts) {
    if (skip_depth_ > 0) {
      ++skip_depth_;
      open_.push_back({PageNode::kNone, PageNode::kNone});
      return;
    }
    names_.clear();
    bool hidden = false, article_body = false, furniture_role = false, json_ld = false;
    for (const xmlChar** a = atts; a != nullptr && a[0] != nullptr; a += 2) {
      const std::string_view attr = View(a[0]);
      const std::string_view value = View(a[1]);
      if (attr == "class" || attr == "id") {
        AppendLower(names_, value);
        names_.push_back(' ');
      } else if (attr == "hidden") {
        hidden = true;
      } else if (attr == "aria-hidden") {
        hidden = hidden || EqualsIgnoringCase(value, "true");
      } else if (attr == "style") {
        hidden = hidden || StyleHides(value);
      } else if (attr == "itemprop") {
        article_body = article_body || EqualsIgnoringCase(value, "articleBody");
      } else if (attr == "role") {
        std::string role;
        AppendLower(role, value);
        furniture_role = IsFurnitureRole(role);
      } else if (attr == "type") {
        json_ld = value.find("ld+json") != std::string_view::npos;
      }
    }
    const Tag tag = TagOfName(name);
    const bool title_in_head = tag == Tag::kTitle && in_head_;
    if (hidden || (in_head_ && !title_in_head) || (IsNeverShown(name) && tag != Tag::kHead)) {
      skip_depth_ = 1;
      json_ld_open_ = keep_json_ld_ && tag == Tag::kScript && json_ld;
      open_.push_back({PageNode::kNone, PageNode::kNone});
      return;
    }
    if (tag == Tag::kHead) in_head_ = true;

    PageNode node;
    node.tag = tag;
    if (StartsBlock(name)) node.flags |= PageNode::kBlock;
    if (article_body) node.flags |= PageNode::kArticleBody;
    if (title_in_head) node.flags |= PageNode::kInHead;
    const bool structural = tag == Tag::kBody || tag == Tag::kArticle || tag == Tag::kMain ||
                            article_body || name == "html";
    if (!structural) {
      const bool furniture_tag = tag == Tag::kNav || tag == Tag::kAside ||
                                 ((tag == Tag::kFooter || tag == Tag::kHeader) && !InsideContent());
      if (furniture_role || furniture_tag || LooksLikeFurniture(names_)) {
        node.flags |= PageNode::kUnlikely;
      }
    }
    node.class_weight = static_cast<int8_t>(ClassWeight(names_));
    const uint32_t index = Append(node);
    if (tag == Tag::kBody && tree_.body_ == PageNode::kNone) tree_.body_ = index;
    open_.push_back({index, PageNode::kNone});
  }

  void OnEnd() {
    if (open_.empty()) return;
    const Open top = open_.back();
    open_.pop_back();
    if (skip_depth_ > 0) {
      if (--skip_depth_ == 0 && json_ld_open_) {
        json_ld_open_ = false;
        tree_.json_ld_.push_back('\n');
      }
      return;
    }
    if (top.node != PageNode::kNone && tree_.nodes_[top.node].tag == Tag::kHead) in_head_ = false;
  }

  void OnText(std::string_view text) {
    if (skip_depth_ > 0) {
      if (json_ld_open_ && tree_.json_ld_.size() + text.size() <= kMaxJsonLd) {
        tree_.json_ld_.append(text);
      }
      return;
    }
    if (in_head_ && (open_.empty() || open_.back().node == PageNode::kNone ||
                     tree_.nodes_[open_.back().node].tag != Tag::kTitle)) {
      return;  // text loose in the head is not shown
    }
    // A run of text continues the text node just made, when nothing came
    // between them.
    if (!open_.empty() && open_.back().last_child != PageNode::kNone &&
        open_.back().last_child == tree_.nodes_.size() - 1) {
      PageNode& last = tree_.nodes_.back();
      if (last.tag == Tag::kText && last.text_begin + last.text_size == tree_.text_.size() &&
          last.text_size + text.size() <= UINT32_MAX) {
        tree_.text_.append(text);
        last.text_size += static_cast<uint32_t>(text.size());
        return;
      }
    }
    size_t pos = 0;
    while (pos < text.size()) {
      const size_t n = std::min<size_t>(text.size() - pos, UINT32_MAX);
      PageNode node;
      node.tag = Tag::kText;
      node.text_begin = tree_.text_.size();
      node.text_size = static_cast<uint32_t>(n);
      tree_.text_.append(text.substr(pos, n));
      Append(node);
      pos += n;
    }
  }

  // Adds `node` as the last child of the open element (a root without one).
  uint32_t Append(PageNode node) {
    const uint32_t index = static_cast<uint32_t>(tree_.nodes_.size());
    if (!open_.empty()) {
      Open& parent = open_.back();
      node.parent = parent.node;
      if (parent.last_child == PageNode::kNone) {
        if (parent.node != PageNode::kNone) tree_.nodes_[parent.node].first_child = index;
      } else {
        tree_.nodes_[parent.last_child].next_sibling = index;
      }
      parent.last_child = index;
    } else {
      if (last_root_ != PageNode::kNone) tree_.nodes_[last_root_].next_sibling = index;
      last_root_ = index;
    }
    tree_.nodes_.push_back(node);
    return index;
  }

  PageTree& tree_;
  const bool keep_json_ld_;
  std::vector<Open> open_;
  std::string names_;
  uint32_t last_root_ = PageNode::kNone;
  int skip_depth_ = 0;
  bool in_head_ = false;
  bool json_ld_open_ = false;
};

PageTree PageTree::Parse(std::string_view utf8_html, bool keep_json_ld) {
  PageTree tree;
  PageTreeBuilder builder(tree, keep_json_ld);
  builder.Run(utf8_html);
  return tree;
}

}  // namespace vellora
