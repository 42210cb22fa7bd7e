// Finding a page's main text, as reader views find it: paragraphs give
// points to the containers around them (more for longer paragraphs with
// more commas), link-heavy containers lose them, names of content and of
// page furniture in class and id add or take away, and <article>, <main>
// and itemprop="articleBody" count strongly. The best container and those
// of its siblings that score close to it are the article; inside it, blocks
// that look like furniture (mostly links, few words, forms, lists of links)
// are left out. When the page's JSON-LD holds an articleBody far longer than
// what the markup gave, that text is the article.

#ifndef VELLORA_HTML_MAIN_TEXT_H_
#define VELLORA_HTML_MAIN_TEXT_H_

#include <string>

#include "html/page_tree.h"

namespace vellora {

// The main text of `tree` (parsed with its JSON-LD kept), blocks separated
// by '\n'.
std::string MainText(const PageTree& tree);

}  // namespace vellora

#endif  // VELLORA_HTML_MAIN_TEXT_H_
