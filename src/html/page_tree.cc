// PageTree::Parse: libxml2's HTML push parser, driven through SAX callbacks
// that build the compact tree directly (libxml2's own document tree is
// never made, so a page costs little more than its text).

#include "html/page_tree.h"

#include <libxml/HTMLparser.h>
#include <libxml/parserInternals.h>
#include <libxml/xmlerror.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#include "base/code_page.h"
#include "html/block_text.h"
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
  // With `stream`, the visible text is written to it as the page is parsed
  // and no node is kept.
  PageTreeBuilder(PageTree& tree, bool keep_json_ld, BlockText* stream = nullptr)
      : tree_(tree), keep_json_ld_(keep_json_ld), stream_(stream) {}

  // Parses `html`; `input_done` (when given) is called as soon as the
  // parser no longer needs `html` itself.
  void Run(std::string_view html, const std::function<void()>& input_done) {
    if (html.empty()) {
      if (input_done) input_done();
      return;
    }
    htmlSAXHandler sax;
    std::memset(&sax, 0, sizeof sax);
    sax.startElement = &StartElement;
    sax.endElement = &EndElement;
    sax.characters = &Characters;
    sax.ignorableWhitespace = &Characters;
    sax.cdataBlock = &Characters;
    xmlSetGenericErrorFunc(nullptr, &IgnoreError);
    xmlSetStructuredErrorFunc(nullptr, &IgnoreStructuredError);
    const int options = HTML_PARSE_RECOVER | HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING |
                        HTML_PARSE_NONET | HTML_PARSE_IGNORE_ENC | XML_PARSE_HUGE;
    if (html.size() <= static_cast<size_t>(INT_MAX)) {
      ParseCopy(html, sax, options, input_done);
    } else {
      ParseInChunks(html, sax, options);
      if (input_done) input_done();
    }
  }

 private:
  // The pull parser over a copy of the page that it makes at once, so that
  // the caller can let the page go while it parses. It reads on past
  // </body> and </html>, as a browser does (the push parser stops there).
  void ParseCopy(std::string_view html, const htmlSAXHandler& sax, int options,
                 const std::function<void()>& input_done) {
    htmlParserCtxtPtr ctxt = htmlCreateMemoryParserCtxt(html.data(), static_cast<int>(html.size()));
    if (ctxt == nullptr) throw std::bad_alloc();
    std::memcpy(ctxt->sax, &sax, sizeof sax);
    ctxt->userData = this;
    htmlCtxtUseOptions(ctxt, options);
    xmlSwitchEncoding(ctxt, XML_CHAR_ENCODING_UTF8);
    if (input_done) input_done();
    htmlParseDocument(ctxt);
    htmlFreeParserCtxt(ctxt);
  }

  // The push parser, for a page beyond the pull parser's 2 GiB. It keeps
  // what it was fed and ends at the end of the root element.
  void ParseInChunks(std::string_view html, htmlSAXHandler& sax, int options) {
    htmlParserCtxtPtr ctxt =
        htmlCreatePushParserCtxt(&sax, this, nullptr, 0, nullptr, XML_CHAR_ENCODING_UTF8);
    if (ctxt == nullptr) throw std::bad_alloc();
    htmlCtxtUseOptions(ctxt, options);
    size_t pos = 0;
    while (true) {
      const size_t n = std::min(kChunkSize, html.size() - pos);
      const bool last = pos + n == html.size();
      htmlParseChunk(ctxt, html.data() + pos, static_cast<int>(n), last ? 1 : 0);
      pos += n;
      if (last || ctxt->disableSAX) break;
    }
    htmlFreeParserCtxt(ctxt);
  }

  struct Open {
    uint32_t node;        // PageNode::kNone while skipping or streaming
    uint32_t last_child;  // the element's last child so far
    Tag tag = Tag::kOther;
    bool block = false;
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
      if ((attr == "class" || attr == "id") && stream_ == nullptr) {
        AppendLower(names_, value);
        names_.push_back(' ');
      } else if (attr == "hidden") {
        hidden = true;
      } else if (attr == "aria-hidden") {
        hidden = hidden || EqualIgnoringCase(value, "true");
      } else if (attr == "style") {
        hidden = hidden || StyleHides(value);
      } else if (attr == "itemprop") {
        article_body = article_body || EqualIgnoringCase(value, "articleBody");
      } else if (attr == "role") {
        std::string role;
        AppendLower(role, value);
        furniture_role = IsFurnitureRole(role);
      } else if (attr == "type") {
        json_ld = value.find("ld+json") != std::string_view::npos;
      }
    }
    const ElementKind kind = KindOfElement(name);
    const Tag tag = kind.tag;
    // A head after the body has begun (a second page run into the first)
    // is an ordinary element, and its title is not shown.
    if (tag == Tag::kBody) seen_body_ = true;
    const bool head = tag == Tag::kHead && !seen_body_;
    const bool title_in_head = tag == Tag::kTitle && in_head_;
    // A title is shown (as the window's title) only from the head.
    const bool stray_title = tag == Tag::kTitle && !in_head_;
    if (hidden || stray_title || (in_head_ && !title_in_head) ||
        (kind.never_shown && tag != Tag::kHead)) {
      skip_depth_ = 1;
      json_ld_open_ = keep_json_ld_ && tag == Tag::kScript && json_ld;
      open_.push_back({PageNode::kNone, PageNode::kNone});
      return;
    }
    if (head) in_head_ = true;
    if (stream_ != nullptr) {
      if (kind.block) stream_->Break();
      open_.push_back({PageNode::kNone, PageNode::kNone, tag, kind.block});
      return;
    }

    PageNode node;
    node.tag = tag;
    if (kind.block) node.flags |= PageNode::kBlock;
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
    open_.push_back({index, PageNode::kNone, tag, kind.block});
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
    if (top.tag == Tag::kHead) in_head_ = false;  // only a head that set it can be open
    if (stream_ != nullptr && top.block) stream_->Break();
  }

  void OnText(std::string_view text) {
    if (skip_depth_ > 0) {
      if (json_ld_open_ && tree_.json_ld_.size() + text.size() <= kMaxJsonLd) {
        tree_.json_ld_.append(text);
      }
      return;
    }
    if (in_head_ && (open_.empty() || open_.back().tag != Tag::kTitle)) {
      return;  // text loose in the head is not shown
    }
    if (stream_ != nullptr) {
      stream_->Append(text);
      return;
    }
    // A run of text continues the text node just made, when nothing came
    // between them.
    if (!open_.empty() && open_.back().last_child != PageNode::kNone &&
        open_.back().last_child == tree_.nodes_.size() - 1) {
      PageNode& last = tree_.nodes_.back();
      if (last.tag == Tag::kText && last.text_begin() + last.text_size == tree_.text_.size() &&
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
      node.set_text_begin(tree_.text_.size());
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
  BlockText* const stream_;
  std::vector<Open> open_;
  std::string names_;
  uint32_t last_root_ = PageNode::kNone;
  int skip_depth_ = 0;
  bool in_head_ = false;
  bool seen_body_ = false;
  bool json_ld_open_ = false;
};

std::string ParseVisibleText(std::string_view utf8_html, const std::function<void()>& input_done) {
  PageTree unused;
  BlockText text;
  PageTreeBuilder(unused, false, &text).Run(utf8_html, input_done);
  return text.Take();
}

PageTree PageTree::Parse(std::string_view utf8_html, bool keep_json_ld,
                         const std::function<void()>& input_done) {
  PageTree tree;
  // At most about two nodes per "<" (an element per start tag, a text
  // after each tag, the elements the parser implies): room made once, so
  // that a large page's tree does not pass through copies of itself.
  // The text is never longer than the page. Reserved room that is never
  // written costs address space only.
  tree.nodes_.reserve(2 * static_cast<size_t>(std::count(utf8_html.begin(), utf8_html.end(), '<')) +
                      64);
  tree.text_.reserve(utf8_html.size());
  PageTreeBuilder builder(tree, keep_json_ld);
  builder.Run(utf8_html, input_done);
  return tree;
}

}  // namespace vellora
