#include "pipeline/unicode_extraction.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "text/case_mapping.h"
#include "text/character_properties.h"
#include "text/charset.h"
#include "text/html_entities.h"
#include "text/utf8.h"

namespace vellora {
namespace {

constexpr char32_t kRightSingleQuotationMark = 0x2019;

// The offset of the first byte at or after `pos` that is "&" or above 127,
// or text.size(); eight bytes at a time.
size_t NextSpecialByte(std::string_view text, size_t pos) {
  const char* data = text.data();
  const size_t n = text.size();
  constexpr uint64_t kOnes = 0x0101010101010101ull;
  constexpr uint64_t kHigh = 0x8080808080808080ull;
  constexpr uint64_t kAmpersands = kOnes * '&';
  for (; pos + 8 <= n; pos += 8) {
    uint64_t word;
    std::memcpy(&word, data + pos, 8);
    const uint64_t x = word ^ kAmpersands;  // a zero byte where "&" was
    if (((x - kOnes) & ~x & kHigh) != 0 || (word & kHigh) != 0) break;
  }
  while (pos < n && data[pos] != '&' && static_cast<unsigned char>(data[pos]) < 0x80) ++pos;
  return pos;
}

// Appends the characters of `piece` (valid UTF-8), each White_Space one as
// one space.
void AppendWithSpaces(std::string& out, std::string_view piece) {
  for (size_t i = 0; i < piece.size();) {
    const Utf8Char ch = DecodeUtf8(piece, i);
    if (IsWhiteSpaceCharacter(ch.code_point)) {
      out.push_back(' ');
    } else {
      out.append(piece.substr(i, ch.length));
    }
    i += ch.length;
  }
}

bool IsLetterAt(std::string_view token, size_t pos) {
  return pos < token.size() && IsLetterCharacter(DecodeUtf8(token, pos).code_point);
}

// Appends `token` without its typographic punctuation, keeping an
// apostrophe between two letters.
void AppendWithoutTypographicPunctuation(std::string& out, std::string_view token) {
  bool letter_before = false;
  for (size_t i = 0; i < token.size();) {
    const Utf8Char ch = DecodeUtf8(token, i);
    const bool apostrophe = ch.code_point == kRightSingleQuotationMark && letter_before &&
                            IsLetterAt(token, i + ch.length);
    if (apostrophe || !IsTypographicPunctuation(ch.code_point)) {
      out.append(token.substr(i, ch.length));
    }
    letter_before = IsLetterCharacter(ch.code_point);
    i += ch.length;
  }
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

DecodedFileText::DecodedFileText(std::string_view bytes) {
  const DetectedCharset charset = DetectCharset(bytes);
  const std::string_view body = bytes.substr(charset.bom_length);
  // UTF-8 that is valid as it stands decodes to itself: no copy is made.
  if (charset.source == DetectedCharset::Source::kValidUtf8 ||
      (charset.encoding == "UTF-8" && IsValidUtf8(body))) {
    text_ = body;
  } else {
    decoded_ = DecodeToUtf8(body, charset.encoding);
    owns_text_ = true;
    text_ = decoded_;
  }
  const size_t nul = text_.find('\0');
  if (nul != std::string_view::npos) text_ = text_.substr(0, nul);
}

bool IsTypographicPunctuation(char32_t c) {
  switch (c) {
    case 0x00A1:  // ¡
    case 0x00AB:  // «
    case 0x00BB:  // »
    case 0x00BF:  // ¿
    case 0x037E:  // Greek question mark, canonically a semicolon
    case 0x2018:  // ‘ ’ ‚ ‛ “ ” „ ‟
    case 0x2019:
    case 0x201A:
    case 0x201B:
    case 0x201C:
    case 0x201D:
    case 0x201E:
    case 0x201F:
    case 0x2026:  // …
    case 0x2039:  // ‹ ›
    case 0x203A:
    case 0x3001:  // 、 。
    case 0x3002:
    case 0xFF01:  // full-width ! " ( ) , . : ; ? [ ]
    case 0xFF02:
    case 0xFF08:
    case 0xFF09:
    case 0xFF0C:
    case 0xFF0E:
    case 0xFF1A:
    case 0xFF1B:
    case 0xFF1F:
    case 0xFF3B:
    case 0xFF3D:
    case 0xFF61:  // half-width 。 「 」 、
    case 0xFF62:
    case 0xFF63:
    case 0xFF64:
      return true;
    default:
      // CJK brackets and quotation marks: 〈 〉 《 》 「 」 『 』 【 】, 〔 to 〛, 〝 〞 〟.
      return (c >= 0x3008 && c <= 0x3011) || (c >= 0x3014 && c <= 0x301B) ||
             (c >= 0x301D && c <= 0x301F);
  }
}

std::string DecodeReferencesAndSpaces(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::string reference;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t special = NextSpecialByte(text, pos);
    out.append(text.substr(pos, special - pos));
    if (special == text.size()) break;
    if (text[special] == '&') {
      reference.clear();
      const size_t taken = DecodeCharacterReference(text, special, reference);
      if (taken == 0) {
        out.push_back('&');
        pos = special + 1;
      } else {
        AppendWithSpaces(out, reference);
        pos = special + taken;
      }
      continue;
    }
    const Utf8Char ch = DecodeUtf8(text, special);
    if (IsWhiteSpaceCharacter(ch.code_point)) {
      out.push_back(' ');
    } else {
      out.append(text.substr(special, ch.length));
    }
    pos = special + ch.length;
  }
  return out;
}

std::string LowerCaseTokens(std::string_view lines) {
  std::string out;
  out.reserve(lines.size() + lines.size() / 16);
  std::string stripped;
  size_t pos = 0;
  while (pos < lines.size()) {
    const size_t high = pos + AsciiPrefixLength(lines.substr(pos));
    // ASCII tokens up to the one that holds the byte above 127.
    size_t token_start = high;
    if (high < lines.size()) {
      const size_t newline = lines.substr(pos, high - pos).rfind('\n');
      token_start = newline == std::string_view::npos ? pos : pos + newline + 1;
    }
    for (size_t i = pos; i < token_start; ++i) out.push_back(AsciiLower(lines[i]));
    if (token_start == lines.size()) break;
    size_t token_end = lines.find("\r\n", high);
    if (token_end == std::string_view::npos) token_end = lines.size();
    const std::string_view token = lines.substr(token_start, token_end - token_start);
    stripped.clear();
    AppendWithoutTypographicPunctuation(stripped, token);
    AppendLowerCaseUtf8(out, stripped);
    pos = token_end;
  }
  return out;
}

}  // namespace vellora
