#include "text/case_mapping.h"

#include <unicode/bytestream.h>
#include <unicode/casemap.h>
#include <unicode/stringoptions.h>
#include <unicode/uchar.h>

#include "text/utf8.h"

namespace vellora {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// `text` with invalid bytes replaced, so that ICU sees valid UTF-8.
std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, i);
    AppendUtf8(out, ch.code_point);
    i += ch.length;
  }
  return out;
}

}  // namespace

void AppendLowerCaseUtf8(std::string& out, std::string_view text) {
  if (IsAscii(text)) {
    for (char c : text) out.push_back(AsciiLower(c));
    return;
  }
  std::string valid;
  if (!IsValidUtf8(text)) {
    valid = ValidUtf8(text);
    text = valid;
  }
  icu::StringByteSink<std::string> sink(&out, static_cast<int32_t>(text.size()));
  UErrorCode error = U_ZERO_ERROR;
  icu::CaseMap::utf8ToLower("", 0, icu::StringPiece(text.data(), static_cast<int32_t>(text.size())),
                            sink, nullptr, error);
  if (U_FAILURE(error)) out.append(text);  // only on exhausted memory: keep the text
}

std::string LowerCaseUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendLowerCaseUtf8(out, text);
  return out;
}

std::string CapitaliseFirstUtf8(std::string_view text) {
  if (text.empty()) return std::string();
  const Utf8Char first = DecodeUtf8(text, 0);
  const bool two_or_more = first.length < text.size();
  if (!two_or_more ||
      !u_hasBinaryProperty(static_cast<UChar32>(first.code_point), UCHAR_CHANGES_WHEN_TITLECASED)) {
    return std::string(text);
  }
  std::string out;
  icu::StringByteSink<std::string> sink(&out, static_cast<int32_t>(text.size() + 4));
  UErrorCode error = U_ZERO_ERROR;
  icu::CaseMap::utf8ToTitle("", U_TITLECASE_WHOLE_STRING | U_TITLECASE_NO_LOWERCASE, nullptr,
                            icu::StringPiece(text.data(), static_cast<int32_t>(first.length)), sink,
                            nullptr, error);
  if (U_FAILURE(error)) return std::string(text);
  out.append(text.substr(first.length));
  return out;
}

}  // namespace vellora
