// The text a reader reads on a web page: what a browser shows of it
// (visible text), or only its main article, as a reader view keeps it
// (main text). Pages are parsed with libxml2's HTML parser, which mends
// markup as browsers do; the result is plain UTF-8 text, one block
// (paragraph, heading, list item, table cell, ...) a line.
//
// Thread-safe: no state is kept between calls.

#ifndef VELLORA_HTML_READER_TEXT_H_
#define VELLORA_HTML_READER_TEXT_H_

#include <functional>
#include <string>
#include <string_view>

namespace vellora {

enum class ReaderMode {
  // Every text a browser would show: no script, style, noscript, template,
  // svg, head (its title excepted), comments or hidden elements.
  kVisible,
  // The visible text of the page's main content only: no navigation,
  // header, footer, sidebars, menus, comments, share or related blocks.
  kMain,
};

// True when `text` starts, after white space and a byte-order mark, with
// markup: a "<" followed by a letter, "!" or "?".
bool LooksLikeHtml(std::string_view text);

// The text of the page `utf8_html` (UTF-8, already decoded from its
// charset) in `mode`: blocks separated by '\n', white space inside a block
// made single spaces, character references decoded, no empty line. Blocks
// and line breaks never glue words: "<li>a</li><li>b</li>" gives "a\nb";
// inline elements do ("<b>New</b>York" gives "NewYork"). Markup the parser
// cannot make sense of yields what text it can; never throws on any input
// (except std::bad_alloc). `input_done`, when given, is called once the page
// is no longer read, so that the caller can let its bytes go before the
// main text is looked for (the tree of a large page is as large as it).
std::string ReaderText(std::string_view utf8_html, ReaderMode mode,
                       const std::function<void()>& input_done = nullptr);

}  // namespace vellora

#endif  // VELLORA_HTML_READER_TEXT_H_
