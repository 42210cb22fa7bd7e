// The stages that word extraction runs in Unicode mode, around the same
// four patterns as in ANSI mode:
//
//   DecodeFileText           bytes -> UTF-8 text (before the lines are joined)
//   (tag pattern)
//   DecodeReferencesAndSpaces
//   (number, white-space patterns; spaces to line breaks; punctuation pattern)
//   LowerCaseTokens          typographic punctuation removed, Unicode lower case
//
// Every stage keeps its input valid UTF-8 and copies ASCII stretches without
// looking at them character by character. Thread-safe: no state.

#ifndef VELLORA_PIPELINE_UNICODE_EXTRACTION_H_
#define VELLORA_PIPELINE_UNICODE_EXTRACTION_H_

#include <string>
#include <string_view>

namespace vellora {

// A file's text as UTF-8: decoded from the encoding a browser would find
// (text/charset.h), without a byte-order mark, ending at its first U+0000.
// Holds a view of `bytes` when they needed no conversion.
class DecodedFileText {
 public:
  explicit DecodedFileText(std::string_view bytes);
  DecodedFileText(const DecodedFileText&) = delete;
  DecodedFileText& operator=(const DecodedFileText&) = delete;

  std::string_view Text() const { return text_; }
  // True when Text() is a decoded copy, so the bytes may be let go.
  bool OwnsText() const { return owns_text_; }
  // Lets the decoded copy go; Text() is empty from then on.
  void Release() {
    std::string().swap(decoded_);
    text_ = std::string_view();
  }

 private:
  bool owns_text_ = false;
  std::string decoded_;
  std::string_view text_;
};

// `text` with its HTML character references decoded and every White_Space
// character beyond ASCII (the no-break space U+00A0 first of all) made one
// space; a reference that stands for white space (&nbsp;, &#10;, &#9;)
// gives a space too. What a reference gives is not decoded again.
std::string DecodeReferencesAndSpaces(std::string_view text);

// True for the typographic forms of the punctuation that extraction
// removes: curly and angle quotation marks, the ellipsis, inverted
// question and exclamation marks, full-width and CJK punctuation.
bool IsTypographicPunctuation(char32_t code_point);

// `lines` (tokens, each followed by CR LF) with typographic punctuation
// removed from each token, except a right single quotation mark between
// two letters (an apostrophe: "l’éléphant"), and every token lower-cased
// by Unicode's full case mapping.
std::string LowerCaseTokens(std::string_view lines);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_UNICODE_EXTRACTION_H_
