// The reader's text of untrusted pages: the bytes are decoded as extraction
// decodes a grabbed page, then read in visible and main mode. Properties:
//  - the text is valid UTF-8, one block a line: no empty line, no line that
//    starts or ends with a space, no run of white space inside a line;
//  - the caller is told once that the page is no longer read.

#include <string>

#include "fuzz_check.h"
#include "html/reader_text.h"
#include "text/charset.h"
#include "text/utf8.h"

namespace {

using vellora::fuzz::Escape;

void CheckText(const std::string& text, const char* mode) {
  FUZZ_CHECK(vellora::IsValidUtf8(text), std::string(mode) + " text is not UTF-8");
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    FUZZ_CHECK(!line.empty(), std::string(mode) + ": an empty line");
    FUZZ_CHECK(line.front() != ' ' && line.back() != ' ' && line.find("  ") == std::string::npos &&
                   line.find_first_of("\t\r\f\v") == std::string::npos,
               std::string(mode) + ": white space left in " + Escape(line));
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);
  vellora::LooksLikeHtml(bytes);
  std::string page = vellora::DecodePageText(bytes);
  for (auto [mode, name] : {std::pair{vellora::ReaderMode::kVisible, "visible"},
                            std::pair{vellora::ReaderMode::kMain, "main"}}) {
    int told = 0;
    std::string text = vellora::ReaderText(page, mode, [&told] { ++told; });
    FUZZ_CHECK(told == 1, std::string(name) + ": told " + std::to_string(told) + " times");
    CheckText(text, name);
  }
  return 0;
}
