// What the reader needs to know of an HTML element by its name: whether a
// browser shows its contents at all, whether it starts a block of its own
// (so that its text never runs into its neighbours'), and the few elements
// the main-text scoring treats apart. Names are compared in lower case, as
// the HTML parser reports them.

#ifndef VELLORA_HTML_ELEMENT_KINDS_H_
#define VELLORA_HTML_ELEMENT_KINDS_H_

#include <cstdint>
#include <string_view>

namespace vellora {

enum class Tag : uint8_t {
  kOther,
  kText,  // not an element: a run of text
  kA,
  kArticle,
  kAside,
  kBlockquote,
  kBody,
  kBr,
  kButton,
  kDiv,
  kDl,
  kEmbed,
  kFooter,
  kForm,
  kH1,
  kH2,
  kH3,
  kH4,
  kH5,
  kH6,
  kHead,
  kHeader,
  kIframe,
  kImg,
  kInput,
  kLi,
  kMain,
  kNav,
  kObject,
  kOl,
  kP,
  kPre,
  kScript,
  kSection,
  kSelect,
  kTable,
  kTd,
  kTextarea,
  kTh,
  kTitle,
  kTr,
  kUl,
};

struct ElementKind {
  std::string_view name;
  Tag tag;
  // A browser never shows the element's contents as text: script, style,
  // noscript, template, svg, math, iframe, object, head (its title aside:
  // the caller keeps it), and the like.
  bool never_shown;
  // Laid out as a block, a line break or a table cell: its start and end
  // separate the text before and after it.
  bool block;
};

// What the reader knows of the element `name` (lower case); Tag::kOther,
// shown and inline for a name it does not know.
ElementKind KindOfElement(std::string_view name);

}  // namespace vellora

#endif  // VELLORA_HTML_ELEMENT_KINDS_H_
