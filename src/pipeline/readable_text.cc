// ReadableText: what extraction reads from one file, before the token rules.

#include <string>

#include "html/block_text.h"
#include "html/reader_text.h"
#include "pipeline/piecewise_replace.h"
#include "pipeline/token_extractor.h"
#include "pipeline/unicode_extraction.h"
#include "text/utf8.h"
#include "text/windows1252.h"

namespace vellora {
namespace {

bool IsTextFileName(std::string_view name) {
  if (name.size() < 4) return false;
  const std::string_view ext = name.substr(name.size() - 4);
  return ext[0] == '.' && (ext[1] | 0x20) == 't' && (ext[2] | 0x20) == 'x' &&
         (ext[3] | 0x20) == 't';
}

// A text file's lines as blocks, white space collapsed.
std::string TextFileBlocks(std::string_view text) {
  BlockText out;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string_view::npos) end = text.size();
    out.Append(text.substr(pos, end - pos));
    out.Break();
    pos = end + 1;
  }
  return out.Take();
}

// UTF-8 `text` in Windows-1252; a character the code page lacks keeps its
// UTF-8 bytes.
std::string ToWindows1252Keeping(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      ++i;
      continue;
    }
    const size_t length = DecodeUtf8(text, i).length;
    const std::string_view character = text.substr(i, length);
    if (std::optional<std::string> byte = Windows1252FromUtf8(character)) {
      out += *byte;
    } else {
      out.append(character);
    }
    i += length;
  }
  return out;
}

// Every text between tags: the lines joined and the markup removed, as the
// first stage of extraction does it.
std::string EveryText(std::string bytes, TextMode mode) {
  PatternReplacer tags("<.+?>");
  std::string text;
  if (mode == TextMode::kUnicode) {
    const DecodedFileText decoded(bytes);
    text = TokenExtractor::JoinTrimmedLines(decoded.Text(), mode);
    std::string().swap(bytes);
    text = ReplaceInPieces(tags, text, "", CutRule::kAfterTagEnd);
    return DecodeReferencesAndSpaces(text);
  }
  text = TokenExtractor::JoinTrimmedLines(bytes, mode);
  std::string().swap(bytes);
  return ReplaceInPieces(tags, text, "", CutRule::kAfterTagEnd);
}

}  // namespace

std::string ReadableText(std::string bytes, std::string_view file_name, TextMode mode,
                         ExtractMode extract) {
  if (extract == ExtractMode::kEveryText) return EveryText(std::move(bytes), mode);
  std::string utf8;
  {
    DecodedFileText decoded(bytes);
    if (decoded.OwnsText()) std::string().swap(bytes);
    if (IsTextFileName(file_name) || !LooksLikeHtml(decoded.Text())) {
      utf8 = TextFileBlocks(decoded.Text());
    } else {
      // The page's text, decoded or not, goes as soon as it is parsed.
      utf8 = ReaderText(
          decoded.Text(),
          extract == ExtractMode::kMainText ? ReaderMode::kMain : ReaderMode::kVisible, [&] {
            decoded.Release();
            std::string().swap(bytes);
          });
    }
  }
  std::string().swap(bytes);
  if (mode == TextMode::kUnicode) return utf8;
  return ToWindows1252Keeping(utf8);
}

}  // namespace vellora
