#include "html/element_kinds.h"

#include <algorithm>
#include <iterator>

namespace vellora {
namespace {

// Every element name the reader treats apart, sorted for a binary search:
// its tag, whether a browser never shows its contents (script, style,
// template, svg, head, ...) and whether it is laid out as a block (block
// elements, lists, table rows and cells, br and hr).
constexpr ElementKind kKinds[] = {
    {"a", Tag::kA, false, false},
    {"address", Tag::kOther, false, true},
    {"applet", Tag::kOther, true, false},
    {"article", Tag::kArticle, false, true},
    {"aside", Tag::kAside, false, true},
    {"audio", Tag::kOther, true, false},
    {"blockquote", Tag::kBlockquote, false, true},
    {"body", Tag::kBody, false, true},
    {"br", Tag::kBr, false, true},
    {"button", Tag::kButton, false, true},
    {"canvas", Tag::kOther, true, false},
    {"caption", Tag::kOther, false, true},
    {"center", Tag::kOther, false, true},
    {"datalist", Tag::kOther, true, false},
    {"dd", Tag::kOther, false, true},
    {"details", Tag::kOther, false, true},
    {"dialog", Tag::kOther, false, true},
    {"dir", Tag::kOther, false, true},
    {"div", Tag::kDiv, false, true},
    {"dl", Tag::kDl, false, true},
    {"dt", Tag::kOther, false, true},
    {"embed", Tag::kEmbed, true, false},
    {"fieldset", Tag::kOther, false, true},
    {"figcaption", Tag::kOther, false, true},
    {"figure", Tag::kOther, false, true},
    {"footer", Tag::kFooter, false, true},
    {"form", Tag::kForm, false, true},
    {"frame", Tag::kOther, false, true},
    {"frameset", Tag::kOther, true, false},
    {"h1", Tag::kH1, false, true},
    {"h2", Tag::kH2, false, true},
    {"h3", Tag::kH3, false, true},
    {"h4", Tag::kH4, false, true},
    {"h5", Tag::kH5, false, true},
    {"h6", Tag::kH6, false, true},
    {"head", Tag::kHead, true, false},
    {"header", Tag::kHeader, false, true},
    {"hgroup", Tag::kOther, false, true},
    {"hr", Tag::kOther, false, true},
    {"html", Tag::kOther, false, true},
    {"iframe", Tag::kIframe, true, false},
    {"img", Tag::kImg, false, false},
    {"input", Tag::kInput, false, false},
    {"legend", Tag::kOther, false, true},
    {"li", Tag::kLi, false, true},
    {"listing", Tag::kOther, false, true},
    {"main", Tag::kMain, false, true},
    {"map", Tag::kOther, true, false},
    {"math", Tag::kOther, true, false},
    {"menu", Tag::kOther, false, true},
    {"nav", Tag::kNav, false, true},
    {"noembed", Tag::kOther, true, false},
    {"noframes", Tag::kOther, true, false},
    {"noscript", Tag::kOther, true, false},
    {"object", Tag::kObject, true, false},
    {"ol", Tag::kOl, false, true},
    {"optgroup", Tag::kOther, false, true},
    {"option", Tag::kOther, false, true},
    {"p", Tag::kP, false, true},
    {"param", Tag::kOther, true, false},
    {"picture", Tag::kOther, true, false},
    {"plaintext", Tag::kOther, false, true},
    {"pre", Tag::kPre, false, true},
    {"script", Tag::kScript, true, false},
    {"section", Tag::kSection, false, true},
    {"select", Tag::kSelect, false, true},
    {"source", Tag::kOther, true, false},
    {"style", Tag::kOther, true, false},
    {"summary", Tag::kOther, false, true},
    {"svg", Tag::kOther, true, false},
    {"table", Tag::kTable, false, true},
    {"tbody", Tag::kOther, false, true},
    {"td", Tag::kTd, false, true},
    {"template", Tag::kOther, true, false},
    {"textarea", Tag::kTextarea, false, true},
    {"tfoot", Tag::kOther, false, true},
    {"th", Tag::kTh, false, true},
    {"thead", Tag::kOther, false, true},
    {"title", Tag::kTitle, false, true},
    {"tr", Tag::kTr, false, true},
    {"track", Tag::kOther, true, false},
    {"ul", Tag::kUl, false, true},
    {"video", Tag::kOther, true, false},
    {"xmp", Tag::kOther, false, true},
};

}  // namespace

ElementKind KindOfElement(std::string_view name) {
  auto it = std::lower_bound(std::begin(kKinds), std::end(kKinds), name,
                             [](const ElementKind& k, std::string_view n) { return k.name < n; });
  if (it != std::end(kKinds) && it->name == name) return *it;
  return ElementKind{name, Tag::kOther, false, false};
}

}  // namespace vellora
