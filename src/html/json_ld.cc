#include "html/json_ld.h"

#include "text/utf8.h"

namespace vellora {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The four hex digits at `pos`, or -1.
long Hex4(std::string_view s, size_t pos) {
  if (pos + 4 > s.size()) return -1;
  long value = 0;
  for (size_t k = 0; k < 4; ++k) {
    const int d = HexValue(s[pos + k]);
    if (d < 0) return -1;
    value = value * 16 + d;
  }
  return value;
}

// The JSON string starting after its opening quote at `pos`; `pos` ends
// after the closing quote.
std::string ReadString(std::string_view s, size_t& pos) {
  std::string out;
  while (pos < s.size()) {
    const char c = s[pos++];
    if (c == '"') break;
    if (c != '\\' || pos >= s.size()) {
      if (c != '\\') out.push_back(c);
      continue;
    }
    const char e = s[pos++];
    switch (e) {
      case 'n':
        out.push_back('\n');
        break;
      case 't':
        out.push_back('\t');
        break;
      case 'r':
        out.push_back('\r');
        break;
      case 'b':
      case 'f':
        out.push_back(' ');
        break;
      case 'u': {
        long unit = Hex4(s, pos);
        if (unit < 0) break;
        pos += 4;
        char32_t code = static_cast<char32_t>(unit);
        if (unit >= 0xD800 && unit <= 0xDBFF) {
          const long low =
              (pos + 1 < s.size() && s[pos] == '\\' && s[pos + 1] == 'u') ? Hex4(s, pos + 2) : -1;
          if (low >= 0xDC00 && low <= 0xDFFF) {
            code = 0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                   (static_cast<char32_t>(low) - 0xDC00);
            pos += 6;
          } else {
            code = 0xFFFD;
          }
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
          code = 0xFFFD;
        }
        AppendUtf8(out, code);
        break;
      }
      default:
        out.push_back(e);
        break;  // \" \\ \/ and anything else
    }
  }
  return out;
}

}  // namespace

std::string JsonLdArticleBody(std::string_view json) {
  static constexpr std::string_view kKey = "\"articleBody\"";
  std::string best;
  size_t at = 0;
  while ((at = json.find(kKey, at)) != std::string_view::npos) {
    size_t pos = at + kKey.size();
    at = pos;
    while (pos < json.size() &&
           (json[pos] == ' ' || json[pos] == '\t' || json[pos] == '\n' || json[pos] == '\r')) {
      ++pos;
    }
    if (pos >= json.size() || json[pos] != ':') continue;
    ++pos;
    while (pos < json.size() &&
           (json[pos] == ' ' || json[pos] == '\t' || json[pos] == '\n' || json[pos] == '\r')) {
      ++pos;
    }
    if (pos >= json.size() || json[pos] != '"') continue;
    ++pos;
    std::string value = ReadString(json, pos);
    at = pos;
    if (value.size() > best.size()) best = std::move(value);
  }
  return best;
}

}  // namespace vellora
