#include "html/reader_text.h"

#include "html/main_text.h"
#include "html/page_tree.h"

namespace vellora {
namespace {

bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

bool LooksLikeHtml(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' ||
                             text[i] == '\n' || text[i] == '\f')) {
    ++i;
  }
  return i + 1 < text.size() && text[i] == '<' &&
         (IsAsciiLetter(text[i + 1]) || text[i + 1] == '!' || text[i + 1] == '?');
}

std::string ReaderText(std::string_view utf8_html, ReaderMode mode,
                       const std::function<void()>& input_done) {
  if (mode == ReaderMode::kVisible) return ParseVisibleText(utf8_html, input_done);
  return MainText(PageTree::Parse(utf8_html, /*keep_json_ld=*/true, input_done));
}

}  // namespace vellora
