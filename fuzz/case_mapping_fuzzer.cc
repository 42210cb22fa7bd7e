// Unicode case mapping, the Windows-1252 conversion both ways, and the text
// conversion of a preset going into ANSI mode and back, on untrusted bytes.
// Properties:
//  - any bytes read as Windows-1252 give valid UTF-8, and converting that
//    back gives the bytes (the code page maps every byte);
//  - a valid UTF-8 text that Windows-1252 can hold converts back to itself;
//  - a preset text going into ANSI mode and back comes back as it was when
//    it holds a character Windows-1252 lacks (it keeps its UTF-8 bytes), or
//    when its Windows-1252 form is not valid UTF-8 itself (a leading
//    byte-order mark aside, which Unicode mode drops);
//  - lower-casing gives valid UTF-8, the same text appended, and the ASCII
//    lower case for ASCII; capitalising changes nothing after the first
//    character;
//  - the code page's case tables agree with each other.

#include <string>

#include "app/preset_text_mode.h"
#include "base/code_page.h"
#include "fuzz_check.h"
#include "text/case_mapping.h"
#include "text/utf8.h"
#include "text/windows1252.h"

namespace {

using vellora::fuzz::Escape;

// What a text of a preset becomes in ANSI mode.
std::string AnsiModeText(const std::string& text) {
  if (vellora::IsAscii(text)) return text;
  std::optional<std::string> converted = vellora::Windows1252FromUtf8(text);
  return converted ? *converted : text;
}

void CheckValidText(const std::string& text) {
  std::optional<std::string> ansi = vellora::Windows1252FromUtf8(text);
  if (ansi) {
    FUZZ_CHECK(vellora::Utf8FromWindows1252(*ansi) == text, "1252 round trip of " + Escape(text));
  }
  bool bom = text.compare(0, 3, "\xEF\xBB\xBF") == 0;
  if (!bom && (!ansi || !vellora::IsValidUtf8(*ansi))) {
    FUZZ_CHECK(vellora::UnicodeModeText(AnsiModeText(text)) == text,
               "ANSI mode and back changed " + Escape(text));
  }
  std::string capitalised = vellora::CapitaliseFirstUtf8(text);
  FUZZ_CHECK(vellora::IsValidUtf8(capitalised), "capitalised " + Escape(text));
  if (!text.empty()) {
    size_t first = vellora::DecodeUtf8(text, 0).length;
    std::string rest = text.substr(first);
    FUZZ_CHECK(capitalised.size() >= rest.size() &&
                   capitalised.compare(capitalised.size() - rest.size(), rest.size(), rest) == 0,
               "capitalising changed more than the first character of " + Escape(text));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string bytes(reinterpret_cast<const char*>(data), size);

  std::string utf8 = vellora::Utf8FromWindows1252(bytes);
  FUZZ_CHECK(vellora::IsValidUtf8(utf8), "1252 gave invalid UTF-8");
  std::optional<std::string> back = vellora::Windows1252FromUtf8(utf8);
  FUZZ_CHECK(back && *back == bytes, "bytes did not survive 1252 and back: " + Escape(bytes));
  if (vellora::IsValidUtf8(bytes)) CheckValidText(bytes);
  CheckValidText(utf8);

  std::string lower = vellora::LowerCaseUtf8(bytes);
  FUZZ_CHECK(vellora::IsValidUtf8(lower), "lower case of " + Escape(bytes));
  std::string appended = "x";
  vellora::AppendLowerCaseUtf8(appended, bytes);
  FUZZ_CHECK(appended == "x" + lower, "appended lower case differs");
  if (vellora::IsAscii(bytes)) {
    std::string ascii = bytes;
    for (char& c : ascii) {
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    FUZZ_CHECK(lower == ascii, "ASCII lower case of " + Escape(bytes));
  }
  FUZZ_CHECK(vellora::IsValidUtf8(vellora::LowerCaseUtf8(utf8)), "lower case of 1252 text");

  for (unsigned char c : bytes) {
    FUZZ_CHECK(vellora::CharUpper(vellora::CharLower(c)) == vellora::CharUpper(c) &&
                   vellora::CharLower(vellora::CharUpper(c)) == vellora::CharLower(c),
               "case tables disagree at " + std::to_string(c));
  }
  FUZZ_CHECK(vellora::EqualIgnoringCase(bytes, vellora::UpperCase(bytes)) &&
                 vellora::EqualIgnoringCase(vellora::LowerCase(bytes), bytes),
             "a text differs from its own upper or lower case");
  return 0;
}
