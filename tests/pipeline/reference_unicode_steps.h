// A plain transcription of word extraction in Unicode mode, written for
// clarity and not for speed: a file is decoded to a string of code points
// in one go (ICU's UnicodeString), lines are cut and trimmed as code points,
// references are decoded and white space found character by character, the
// whole token list is lower-cased at once, and the word list is searched row
// by row comparing lower-cased captions. The four patterns run through
// ReplacePattern over UTF-8 bytes, as in ANSI mode. The encoding is found by
// the text layer's DetectCharset, which its own tests cover.

#ifndef VELLORA_TESTS_PIPELINE_REFERENCE_UNICODE_STEPS_H_
#define VELLORA_TESTS_PIPELINE_REFERENCE_UNICODE_STEPS_H_

#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <string>

#include "reference_steps.h"
#include "text/charset.h"
#include "text/html_entities.h"

namespace vellora::reference::unicode {

inline std::u32string ToCodePoints(const std::string& utf8) {
  icu::UnicodeString text = icu::UnicodeString::fromUTF8(utf8);
  std::u32string out;
  for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) out += text.char32At(i);
  return out;
}

inline std::string ToUtf8(const std::u32string& text) {
  icu::UnicodeString unicode;
  for (char32_t c : text) unicode.append(static_cast<UChar32>(c));
  std::string out;
  return unicode.toUTF8String(out);
}

inline std::u32string DecodeFile(const std::string& bytes) {
  const DetectedCharset charset = DetectCharset(bytes);
  const std::string body = bytes.substr(charset.bom_length);
  icu::UnicodeString text;
  if (charset.encoding == "UTF-8") {
    text = icu::UnicodeString::fromUTF8(body);
  } else {
    const std::string name(charset.encoding);
    text = icu::UnicodeString(body.data(), static_cast<int32_t>(body.size()), name.c_str());
  }
  std::u32string out;
  for (int32_t i = 0; i < text.length(); i = text.moveIndex32(i, 1)) {
    if (text.char32At(i) == 0) break;
    out += text.char32At(i);
  }
  return out;
}

inline bool IsLetter(char32_t c) { return u_hasBinaryProperty(c, UCHAR_ALPHABETIC); }

// The references of `text` decoded, white space beyond ASCII and white
// space that a reference gives made a space.
inline std::u32string DecodeReferences(const std::u32string& text) {
  auto alnum = [](char32_t c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
  };
  auto spaced = [](const std::u32string& value) {
    std::u32string out;
    for (char32_t c : value) out += u_hasBinaryProperty(c, UCHAR_WHITE_SPACE) ? U' ' : c;
    return out;
  };
  std::u32string out;
  size_t i = 0;
  while (i < text.size()) {
    const char32_t c = text[i];
    if (c != '&') {
      out += (c > 127 && u_hasBinaryProperty(c, UCHAR_WHITE_SPACE)) ? U' ' : c;
      ++i;
      continue;
    }
    size_t j = i + 1;
    if (j < text.size() && text[j] == '#') {
      ++j;
      const bool hex = j < text.size() && (text[j] == 'x' || text[j] == 'X');
      if (hex) ++j;
      const size_t digits = j;
      auto digit = [hex](char32_t d) -> int {
        if (d >= '0' && d <= '9') return static_cast<int>(d - '0');
        if (hex && d >= 'a' && d <= 'f') return static_cast<int>(d - 'a' + 10);
        if (hex && d >= 'A' && d <= 'F') return static_cast<int>(d - 'A' + 10);
        return -1;
      };
      unsigned long long value = 0;
      for (; j < text.size() && digit(text[j]) >= 0; ++j) {
        value = std::min<unsigned long long>(value * (hex ? 16 : 10) + digit(text[j]), 0x7FFFFFFF);
      }
      if (j == digits) {
        out += c;
        ++i;
        continue;
      }
      if (j < text.size() && text[j] == ';') ++j;
      static const char32_t kHigh[32] = {
          0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
          0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
          0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
      char32_t ch = static_cast<char32_t>(value);
      if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) ch = 0xFFFD;
      if (value >= 0x80 && value <= 0x9F) ch = kHigh[value - 0x80];
      out += spaced(std::u32string(1, ch));
      i = j;
      continue;
    }
    std::string name;
    while (j < text.size() && alnum(text[j])) name += static_cast<char>(text[j++]);
    const HtmlEntity* found = nullptr;
    size_t length = 0;
    if (j < text.size() && text[j] == ';') found = FindHtmlEntity(name + ";");
    if (found != nullptr) {
      length = name.size() + 2;
    } else {
      for (size_t n = name.size(); n >= 2 && found == nullptr; --n) {
        found = FindHtmlEntity(name.substr(0, n));
        length = n + 1;
      }
    }
    if (found == nullptr) {
      out += c;
      ++i;
      continue;
    }
    out += spaced(ToCodePoints(std::string(found->value, found->value_length)));
    i += length;
  }
  return out;
}

inline bool IsTypographic(char32_t c) {
  static const std::u32string kMarks =
      U"\u00A1\u00AB\u00BB\u00BF\u037E\u2018\u2019\u201A\u201B\u201C\u201D\u201E\u201F\u2026"
      U"\u2039\u203A\u3001\u3002\u3008\u3009\u300A\u300B\u300C\u300D\u300E\u300F\u3010\u3011"
      U"\u3014\u3015\u3016\u3017\u3018\u3019\u301A\u301B\u301D\u301E\u301F"
      U"\uFF01\uFF02\uFF08\uFF09\uFF0C\uFF0E\uFF1A\uFF1B\uFF1F\uFF3B\uFF3D\uFF61\uFF62\uFF63\uFF64";
  return kMarks.find(c) != std::u32string::npos;
}

inline void AddFileWords(MainState& state, const std::string& path) {
  state.myfile.Clear();
  const std::u32string decoded = DecodeFile(ReadWholeFile(path));
  // Lines, each at most 4,096 characters, trimmed, joined by spaces.
  std::u32string joined;
  size_t i = 0;
  while (i < decoded.size()) {
    size_t j = i;
    while (j < decoded.size() && decoded[j] != '\r' && decoded[j] != '\n') ++j;
    std::u32string line = decoded.substr(i, std::min<size_t>(j - i, 4096));
    while (!line.empty() && line.front() <= 32) line.erase(0, 1);
    while (!line.empty() && line.back() <= 32) line.pop_back();
    if (!line.empty()) joined += line + U" ";
    if (j == decoded.size()) break;
    i = (decoded[j] == '\r' && j + 1 < decoded.size() && decoded[j + 1] == '\n') ? j + 2 : j + 1;
  }
  std::string text = ReplacePattern("<.+?>", ToUtf8(joined), "", true);
  text = ToUtf8(DecodeReferences(ToCodePoints(text)));
  text = ReplacePattern("\\b\\d*\\b", text, "", true);
  text = ReplacePattern("\\s{2,}", text, " ", true);
  text = ReplaceAll(text, " ", "\r\n", false);
  text = ReplacePattern("[\\[\\];\"\\(\\).,!:]", text, "", true);
  const std::u32string marked = ToCodePoints(text);
  std::u32string kept;
  for (size_t k = 0; k < marked.size(); ++k) {
    const bool apostrophe = marked[k] == 0x2019 && k > 0 && IsLetter(marked[k - 1]) &&
                            k + 1 < marked.size() && IsLetter(marked[k + 1]);
    if (apostrophe || !IsTypographic(marked[k])) kept += marked[k];
  }
  icu::UnicodeString lower = icu::UnicodeString::fromUTF8(ToUtf8(kept));
  lower.toLower(icu::Locale::getRoot());
  std::string lowered;
  state.mytext.Add(lower.toUTF8String(lowered));
}

inline std::string LowerCase(const std::string& text) {
  icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
  std::string out;
  return unicode.toLower(icu::Locale::getRoot()).toUTF8String(out);
}

inline ExtractionRules UnicodeRules() {
  return {AddFileWords, [](const std::string& token) { return ToCodePoints(token).size(); },
          [](const TextList& list, int index) {
            return ToUtf8(ToCodePoints(std::string(list.FullLine(index))).substr(0, 4096));
          },
          [](const ReportList& words, const std::string& token) {
            for (int row = 0; row < words.Count(); ++row) {
              if (LowerCase(words.Row(row).caption) == LowerCase(token)) return row;
            }
            return -1;
          }};
}

inline void bprocessClick(MainState& state, Notifier& notifier) {
  ExtractWords(state, notifier, UnicodeRules());
}

}  // namespace vellora::reference::unicode

#endif  // VELLORA_TESTS_PIPELINE_REFERENCE_UNICODE_STEPS_H_
