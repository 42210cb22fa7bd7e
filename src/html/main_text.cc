// MainText: scoring the containers of a PageTree and writing the best one.
// The scores follow the published ideas of reader views (paragraph points
// given to parents and grandparents, link density, class names, sibling
// gathering, conditional cleaning of the result).

#include "html/main_text.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "html/block_text.h"
#include "html/json_ld.h"
#include "html/tree_text.h"

namespace vellora {
namespace {

// A paragraph shorter than this gives no points.
constexpr uint32_t kMinParagraphChars = 25;
// A main text shorter than this is looked for again, less strictly.
constexpr size_t kEnoughChars = 500;
// How many ancestors a paragraph's points reach.
constexpr int kAncestorLevels = 5;

// What a subtree holds, summed over its nodes, furniture left out.
// Counts of elements stop at 65,535: the rules compare them with small
// numbers only. (24 bytes a node.)
struct Sums {
  uint32_t chars = 0;
  uint32_t link_chars = 0;
  uint32_t commas = 0;
  uint16_t paragraphs = 0;
  uint16_t images = 0;
  uint16_t list_items = 0;
  uint16_t inputs = 0;
  uint16_t embeds = 0;
};

uint32_t CountCommas(std::string_view text) {
  uint32_t n = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == ',') {
      ++n;
    } else if (static_cast<unsigned char>(text[i]) == 0xEF && i + 2 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) == 0xBC &&
               static_cast<unsigned char>(text[i + 2]) == 0x8C) {
      ++n;  // U+FF0C FULLWIDTH COMMA
    } else if (static_cast<unsigned char>(text[i]) == 0xE3 && i + 2 < text.size() &&
               static_cast<unsigned char>(text[i + 1]) == 0x80 &&
               static_cast<unsigned char>(text[i + 2]) == 0x81) {
      ++n;  // U+3001 IDEOGRAPHIC COMMA
    }
  }
  return n;
}

uint32_t Add(uint32_t a, uint32_t b) { return a > UINT32_MAX - b ? UINT32_MAX : a + b; }
uint16_t Add(uint16_t a, uint16_t b) {
  return static_cast<uint16_t>(a > UINT16_MAX - b ? UINT16_MAX : a + b);
}

class MainTextFinder {
 public:
  explicit MainTextFinder(const PageTree& tree)
      : tree_(tree), nodes_(tree.nodes()), n_(static_cast<uint32_t>(nodes_.size())) {}

  // Tries strictly first; when that finds too little (a wrapper of the
  // whole page named like furniture, markup that never closes a header),
  // again without the furniture marks of class, id and role, then also
  // without the class weights. The first result long enough wins, else the
  // longest.
  std::string Find() {
    if (n_ == 0) return std::string();
    std::string best;
    size_t best_chars = 0;
    for (int pass = 0; pass < 3; ++pass) {
      std::string text = FindOnce(/*furniture_marks=*/pass == 0, /*class_weights=*/pass < 2);
      const size_t chars = CountShownCharacters(text);
      if (chars >= kEnoughChars) return PreferJsonLd(std::move(text));
      if (chars > best_chars || best.empty()) {
        best = std::move(text);
        best_chars = chars;
      }
    }
    return PreferJsonLd(std::move(best));
  }

 private:
  std::string FindOnce(bool furniture_marks, bool class_weights) {
    use_furniture_marks_ = furniture_marks;
    use_class_weights_ = class_weights;
    MarkFurniture();
    Sum();
    Score();
    const uint32_t top = TopCandidate();
    BlockText out;
    if (top != PageNode::kNone) {
      const std::vector<uint32_t> parts = Gather(top);
      Clean(parts);
      for (uint32_t part : parts) WriteTreeText(tree_, part, false, left_out_, out);
    } else {
      // Nothing scored: the visible text of the body, furniture left out.
      const uint32_t from = tree_.body() != PageNode::kNone ? tree_.body() : 0;
      WriteTreeText(tree_, from, from == 0, left_out_, out);
    }
    return out.Take();
  }

  int ClassWeightOf(const PageNode& node) const {
    return use_class_weights_ ? node.class_weight : 0;
  }

  double LinkDensity(uint32_t i) const {
    return sums_[i].chars == 0 ? 0.0 : static_cast<double>(sums_[i].link_chars) / sums_[i].chars;
  }

  // Furniture and everything inside it is left out of the main text; the
  // title in the head too.
  void MarkFurniture() {
    left_out_.assign(n_, false);
    for (uint32_t i = 0; i < n_; ++i) {
      const PageNode& node = nodes_[i];
      const bool parent_out = node.parent != PageNode::kNone && left_out_[node.parent];
      left_out_[i] = parent_out || node.Is(PageNode::kInHead) ||
                     (use_furniture_marks_ && node.Is(PageNode::kUnlikely));
    }
  }

  // Children come after their parents, so a backward loop sums bottom-up.
  void Sum() {
    sums_.assign(n_, Sums());
    has_block_child_.assign(n_, false);
    last_descendant_.resize(n_);
    for (uint32_t i = 0; i < n_; ++i) last_descendant_[i] = i;
    for (uint32_t i = n_; i-- > 0;) {
      const PageNode& node = nodes_[i];
      Sums& s = sums_[i];
      if (node.parent != PageNode::kNone) {
        last_descendant_[node.parent] =
            std::max(last_descendant_[node.parent], last_descendant_[i]);
      }
      if (left_out_[i]) continue;
      if (node.tag == Tag::kText) {
        const std::string_view text = tree_.TextOf(node);
        s.chars = static_cast<uint32_t>(std::min<size_t>(CountShownCharacters(text), UINT32_MAX));
        s.commas = CountCommas(text);
      } else {
        if (node.tag == Tag::kA) s.link_chars = s.chars;
        s.paragraphs += node.tag == Tag::kP;
        s.images += node.tag == Tag::kImg;
        s.list_items += node.tag == Tag::kLi;
        s.inputs += node.tag == Tag::kInput || node.tag == Tag::kSelect ||
                    node.tag == Tag::kTextarea || node.tag == Tag::kButton;
        s.embeds += node.tag == Tag::kEmbed || node.tag == Tag::kObject || node.tag == Tag::kIframe;
      }
      if (node.parent == PageNode::kNone) continue;
      Sums& p = sums_[node.parent];
      p.chars = Add(p.chars, s.chars);
      p.link_chars = Add(p.link_chars, s.link_chars);
      p.commas = Add(p.commas, s.commas);
      p.paragraphs = Add(p.paragraphs, s.paragraphs);
      p.images = Add(p.images, s.images);
      p.list_items = Add(p.list_items, s.list_items);
      p.inputs = Add(p.inputs, s.inputs);
      p.embeds = Add(p.embeds, s.embeds);
      if (node.tag != Tag::kText && node.Is(PageNode::kBlock) && node.tag != Tag::kBr) {
        has_block_child_[node.parent] = true;
      }
    }
  }

  bool IsParagraph(uint32_t i) const {
    const PageNode& node = nodes_[i];
    switch (node.tag) {
      case Tag::kP:
      case Tag::kPre:
      case Tag::kTd:
      case Tag::kBlockquote:
        return true;
      case Tag::kDiv:
      case Tag::kSection:
      case Tag::kArticle:
      case Tag::kOther:
        return node.Is(PageNode::kBlock) && !has_block_child_[i];
      default:
        return false;
    }
  }

  double InitialScore(uint32_t i) const {
    const PageNode& node = nodes_[i];
    double score = ClassWeightOf(node);
    switch (node.tag) {
      case Tag::kDiv:
        score += 5;
        break;
      case Tag::kPre:
      case Tag::kTd:
      case Tag::kBlockquote:
        score += 3;
        break;
      case Tag::kOl:
      case Tag::kUl:
      case Tag::kDl:
      case Tag::kLi:
      case Tag::kForm:
        score -= 3;
        break;
      case Tag::kH1:
      case Tag::kH2:
      case Tag::kH3:
      case Tag::kH4:
      case Tag::kH5:
      case Tag::kH6:
      case Tag::kTh:
        score -= 5;
        break;
      case Tag::kArticle:
        score += articles_ == 1 ? 25 : 5;
        break;
      case Tag::kMain:
        score += 15;
        break;
      default:
        break;
    }
    if (node.Is(PageNode::kArticleBody)) score += 40;
    return score;
  }

  void Score() {
    articles_ = 0;
    for (uint32_t i = 0; i < n_; ++i) articles_ += nodes_[i].tag == Tag::kArticle && !left_out_[i];
    score_.assign(n_, 0.0f);
    scored_.assign(n_, false);
    for (uint32_t i = 0; i < n_; ++i) {
      if (left_out_[i] || nodes_[i].tag == Tag::kText || !IsParagraph(i)) continue;
      const Sums& s = sums_[i];
      if (s.chars < kMinParagraphChars) continue;
      const double points = 1.0 + s.commas + std::min<double>(s.chars / 100, 3);
      uint32_t at = nodes_[i].parent;
      for (int level = 0; level < kAncestorLevels && at != PageNode::kNone; ++level) {
        if (!scored_[at]) {
          scored_[at] = true;
          score_[at] = static_cast<float>(InitialScore(at));
        }
        const double divider = level == 0 ? 1 : level == 1 ? 2 : level * 3;
        score_[at] += static_cast<float>(points / divider);
        at = nodes_[at].parent;
      }
    }
    for (uint32_t i = 0; i < n_; ++i) {
      if (scored_[i]) score_[i] *= static_cast<float>(1.0 - LinkDensity(i));
    }
  }

  uint32_t TopCandidate() const {
    uint32_t top = PageNode::kNone;
    for (uint32_t i = 0; i < n_; ++i) {
      if (scored_[i] && (top == PageNode::kNone || score_[i] > score_[top])) top = i;
    }
    if (top == PageNode::kNone) return top;
    if (nodes_[top].tag == Tag::kBody) return top;

    // Several candidates nearly as good: their common container.
    std::vector<uint32_t> alternatives;
    for (uint32_t i = 0; i < n_; ++i) {
      if (i != top && scored_[i] && score_[i] >= 0.75 * score_[top]) alternatives.push_back(i);
    }
    if (alternatives.size() >= 3) {
      for (uint32_t at = nodes_[top].parent; at != PageNode::kNone && nodes_[at].tag != Tag::kBody;
           at = nodes_[at].parent) {
        int inside = 0;
        for (uint32_t alt : alternatives) inside += Contains(at, alt);
        if (inside >= 3) {
          top = at;
          break;
        }
      }
    }
    // Climb while the parent scores better, or not much worse.
    double last = score_[top];
    const double threshold = last / 3;
    for (uint32_t at = nodes_[top].parent; at != PageNode::kNone && nodes_[at].tag != Tag::kBody;
         at = nodes_[at].parent) {
      if (!scored_[at]) continue;
      if (score_[at] < threshold) break;
      if (score_[at] > last) {
        top = at;
        break;
      }
      last = score_[at];
    }
    // A container that is its parent's only child stands for the parent.
    while (nodes_[top].parent != PageNode::kNone && nodes_[nodes_[top].parent].tag != Tag::kBody &&
           OnlyElementChild(nodes_[top].parent) == top) {
      top = nodes_[top].parent;
    }
    return top;
  }

  bool Contains(uint32_t ancestor, uint32_t node) const {
    return ancestor <= node && node <= last_descendant_[ancestor];
  }

  uint32_t OnlyElementChild(uint32_t i) const {
    uint32_t only = PageNode::kNone;
    for (uint32_t c = nodes_[i].first_child; c != PageNode::kNone; c = nodes_[c].next_sibling) {
      if (nodes_[c].tag == Tag::kText) {
        if (sums_[c].chars > 0) return PageNode::kNone;
        continue;
      }
      if (only != PageNode::kNone) return PageNode::kNone;
      only = c;
    }
    return only;
  }

  bool EndsLikeSentence(uint32_t i) const {
    BlockText out;
    WriteTreeText(tree_, i, false, left_out_, out);
    const std::string text = out.Take();
    return text.find(". ") != std::string::npos || (!text.empty() && text.back() == '.');
  }

  // The top candidate and those of its siblings that belong to the article.
  std::vector<uint32_t> Gather(uint32_t top) const {
    const uint32_t parent = nodes_[top].parent;
    if (parent == PageNode::kNone || nodes_[top].tag == Tag::kBody) return {top};
    const double threshold = std::max(10.0, score_[top] * 0.2);
    std::vector<uint32_t> parts;
    for (uint32_t c = nodes_[parent].first_child; c != PageNode::kNone;
         c = nodes_[c].next_sibling) {
      if (c == top) {
        parts.push_back(c);
        continue;
      }
      if (left_out_[c] || nodes_[c].tag == Tag::kText) continue;
      if (scored_[c] && score_[c] >= threshold) {
        parts.push_back(c);
        continue;
      }
      if (nodes_[c].tag == Tag::kP || (IsParagraph(c) && nodes_[c].tag != Tag::kTd)) {
        const uint32_t chars = sums_[c].chars;
        const double density = LinkDensity(c);
        if ((chars > 80 && density < 0.25) ||
            (chars > 0 && chars <= 80 && density == 0 && EndsLikeSentence(c))) {
          parts.push_back(c);
        }
      }
    }
    return parts;
  }

  // Leaves out, inside the article, the blocks that look like furniture.
  void Clean(const std::vector<uint32_t>& parts) {
    for (uint32_t part : parts) {
      // A subtree's nodes are the indices from its root to its last descendant.
      for (uint32_t i = part + 1; i <= last_descendant_[part]; ++i) {
        if (left_out_[i] || nodes_[i].tag == Tag::kText) continue;
        if (IsFurnitureInArticle(i)) left_out_[i] = true;
      }
    }
  }

  bool IsFurnitureInArticle(uint32_t i) const {
    const PageNode& node = nodes_[i];
    const Sums& s = sums_[i];
    switch (node.tag) {
      case Tag::kButton:
      case Tag::kInput:
      case Tag::kSelect:
      case Tag::kTextarea:
      case Tag::kFooter:
      case Tag::kAside:
      case Tag::kNav:
      case Tag::kForm:
        return true;
      case Tag::kH1:
      case Tag::kH2:
      case Tag::kH3:
      case Tag::kH4:
      case Tag::kH5:
      case Tag::kH6:
        return ClassWeightOf(node) < 0 || LinkDensity(i) > 0.33;
      case Tag::kTable:
      case Tag::kUl:
      case Tag::kOl:
      case Tag::kDiv:
      case Tag::kSection:
      case Tag::kDl:
        break;
      default:
        return false;
    }
    const double weight = ClassWeightOf(node);
    if (weight + (scored_[i] ? score_[i] : 0) < 0) return true;
    if (s.commas >= 10) return false;
    const bool list = node.tag == Tag::kUl || node.tag == Tag::kOl;
    const double paragraphs = s.paragraphs;
    const double density = LinkDensity(i);
    if (s.images > 1 && paragraphs / s.images < 0.5) return true;
    if (!list && static_cast<double>(s.list_items) - 100 > paragraphs) return true;
    if (s.inputs > paragraphs / 3) return true;
    if (s.chars < kMinParagraphChars && (s.images == 0 || s.images > 2)) return true;
    if (weight < 25 && density > 0.2) return true;
    if (weight >= 25 && density > 0.5) return true;
    if ((s.embeds == 1 && s.chars < 75) || s.embeds > 1) return true;
    return false;
  }

  // The JSON-LD article body, when it is far longer than `text`.
  std::string PreferJsonLd(std::string text) const {
    if (tree_.json_ld().empty()) return text;
    std::string body = JsonLdArticleBody(tree_.json_ld());
    if (body.empty() || CountShownCharacters(body) <= 2 * CountShownCharacters(text)) return text;
    BlockText out;
    size_t pos = 0;
    while (pos <= body.size()) {
      const size_t end = std::min(body.find('\n', pos), body.size());
      out.Append(std::string_view(body).substr(pos, end - pos));
      out.Break();
      pos = end + 1;
    }
    return out.Take();
  }

  const PageTree& tree_;
  const std::vector<PageNode>& nodes_;
  const uint32_t n_;
  std::vector<bool> left_out_;
  std::vector<Sums> sums_;
  std::vector<bool> has_block_child_;
  std::vector<uint32_t> last_descendant_;
  std::vector<float> score_;
  std::vector<bool> scored_;
  uint32_t articles_ = 0;
  bool use_furniture_marks_ = true;
  bool use_class_weights_ = true;
};

}  // namespace

std::string MainText(const PageTree& tree) { return MainTextFinder(tree).Find(); }

}  // namespace vellora
