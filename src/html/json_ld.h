// The article body that a page's JSON-LD (schema.org metadata in
// <script type="application/ld+json">) states.

#ifndef VELLORA_HTML_JSON_LD_H_
#define VELLORA_HTML_JSON_LD_H_

#include <string>
#include <string_view>

namespace vellora {

// The longest string value of an "articleBody" key in `json`, with its
// escapes decoded (\uXXXX and surrogate pairs as UTF-8; a lone surrogate
// as U+FFFD); empty when there is none. A value cut short by the end of
// `json` counts up to there. Markup in the value stays as it is.
std::string JsonLdArticleBody(std::string_view json);

}  // namespace vellora

#endif  // VELLORA_HTML_JSON_LD_H_
