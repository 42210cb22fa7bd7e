#include "html/element_kinds.h"

#include <algorithm>
#include <array>
#include <iterator>

namespace vellora {
namespace {

struct NamedTag {
  std::string_view name;
  Tag tag;
};

// Sorted by name for a binary search.
constexpr NamedTag kTags[] = {
    {"a", Tag::kA},           {"article", Tag::kArticle},
    {"aside", Tag::kAside},   {"blockquote", Tag::kBlockquote},
    {"body", Tag::kBody},     {"br", Tag::kBr},
    {"button", Tag::kButton}, {"div", Tag::kDiv},
    {"dl", Tag::kDl},         {"embed", Tag::kEmbed},
    {"footer", Tag::kFooter}, {"form", Tag::kForm},
    {"h1", Tag::kH1},         {"h2", Tag::kH2},
    {"h3", Tag::kH3},         {"h4", Tag::kH4},
    {"h5", Tag::kH5},         {"h6", Tag::kH6},
    {"head", Tag::kHead},     {"header", Tag::kHeader},
    {"iframe", Tag::kIframe}, {"img", Tag::kImg},
    {"input", Tag::kInput},   {"li", Tag::kLi},
    {"main", Tag::kMain},     {"nav", Tag::kNav},
    {"object", Tag::kObject}, {"ol", Tag::kOl},
    {"p", Tag::kP},           {"pre", Tag::kPre},
    {"script", Tag::kScript}, {"section", Tag::kSection},
    {"select", Tag::kSelect}, {"table", Tag::kTable},
    {"td", Tag::kTd},         {"textarea", Tag::kTextarea},
    {"th", Tag::kTh},         {"title", Tag::kTitle},
    {"tr", Tag::kTr},         {"ul", Tag::kUl},
};

constexpr std::string_view kNeverShown[] = {
    "applet", "audio",  "canvas",  "datalist", "embed",    "frameset", "head",  "iframe",
    "map",    "math",   "noembed", "noframes", "noscript", "object",   "param", "picture",
    "script", "source", "style",   "svg",      "template", "track",    "video",
};

// Block-level, list, table and form layout elements, and br and hr.
constexpr std::string_view kBlocks[] = {
    "address",  "article",    "aside",     "blockquote", "body",    "br",     "button",  "caption",
    "center",   "dd",         "details",   "dialog",     "dir",     "div",    "dl",      "dt",
    "fieldset", "figcaption", "figure",    "footer",     "form",    "frame",  "h1",      "h2",
    "h3",       "h4",         "h5",        "h6",         "header",  "hgroup", "hr",      "html",
    "legend",   "li",         "listing",   "main",       "menu",    "nav",    "ol",      "optgroup",
    "option",   "p",          "plaintext", "pre",        "section", "select", "summary", "table",
    "tbody",    "td",         "textarea",  "tfoot",      "th",      "thead",  "title",   "tr",
    "ul",       "xmp",
};

template <size_t N>
bool Contains(const std::string_view (&sorted)[N], std::string_view name) {
  return std::binary_search(std::begin(sorted), std::end(sorted), name);
}

}  // namespace

Tag TagOfName(std::string_view name) {
  auto it = std::lower_bound(std::begin(kTags), std::end(kTags), name,
                             [](const NamedTag& t, std::string_view n) { return t.name < n; });
  return it != std::end(kTags) && it->name == name ? it->tag : Tag::kOther;
}

bool IsNeverShown(std::string_view name) { return Contains(kNeverShown, name); }

bool StartsBlock(std::string_view name) { return Contains(kBlocks, name); }

}  // namespace vellora
