// DetectCharset and PrescanMetaCharset: the byte-order mark, then the HTML
// prescan of a page's head for a <meta> that declares its encoding, then
// UTF-8 validity, then windows-1252.

#include <string>
#include <vector>

#include "text/charset.h"
#include "text/utf8.h"

namespace vellora {
namespace {

bool IsSpace(char c) { return c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }
bool IsAsciiLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithIgnoringCase(std::string_view text, size_t pos, std::string_view prefix) {
  if (text.size() - pos < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (AsciiLower(text[pos + i]) != prefix[i]) return false;
  }
  return true;
}

struct Attribute {
  std::string name;
  std::string value;
};

// The prescan over a page's head. Each step reads at `pos_`; running past
// the end of the head ends the prescan without a result, as in a browser.
class MetaPrescan {
 public:
  explicit MetaPrescan(std::string_view head) : head_(head) {}

  std::string_view Run() {
    while (pos_ < head_.size()) {
      if (head_.compare(pos_, 4, "<!--") == 0) {
        const size_t end = head_.find("-->", pos_ + 2);
        if (end == std::string_view::npos) return {};
        pos_ = end + 3;
        continue;
      }
      if (StartsWithIgnoringCase(head_, pos_, "<meta") && pos_ + 5 < head_.size() &&
          (IsSpace(head_[pos_ + 5]) || head_[pos_ + 5] == '/')) {
        pos_ += 5;
        std::string_view encoding;
        if (!Meta(&encoding)) return {};
        if (!encoding.empty()) return encoding;
        ++pos_;
        continue;
      }
      if (head_[pos_] == '<' && pos_ + 1 < head_.size() &&
          (IsAsciiLetter(head_[pos_ + 1]) ||
           (head_[pos_ + 1] == '/' && pos_ + 2 < head_.size() && IsAsciiLetter(head_[pos_ + 2])))) {
        while (pos_ < head_.size() && !IsSpace(head_[pos_]) && head_[pos_] != '>') ++pos_;
        Attribute ignored;
        bool more = true;
        while (more) {
          if (!NextAttribute(&ignored, &more)) return {};
        }
        ++pos_;
        continue;
      }
      if (head_.compare(pos_, 2, "<!") == 0 || head_.compare(pos_, 2, "</") == 0 ||
          head_.compare(pos_, 2, "<?") == 0) {
        const size_t end = head_.find('>', pos_ + 2);
        if (end == std::string_view::npos) return {};
        pos_ = end + 1;
        continue;
      }
      ++pos_;
    }
    return {};
  }

 private:
  // The attributes of one <meta>; `encoding` is set when they declare a
  // known one. False when the head ended inside the element.
  bool Meta(std::string_view* encoding) {
    std::vector<std::string> seen;
    bool got_pragma = false;
    enum { kUnset, kNeeded, kNotNeeded } need_pragma = kUnset;
    std::string_view charset;
    for (;;) {
      Attribute attribute;
      bool found = false;
      if (!NextAttribute(&attribute, &found)) return false;
      if (!found) break;
      bool repeated = false;
      for (const std::string& name : seen) repeated = repeated || name == attribute.name;
      if (repeated) continue;
      seen.push_back(attribute.name);
      if (attribute.name == "http-equiv") {
        got_pragma = got_pragma || attribute.value == "content-type";
      } else if (attribute.name == "content" && charset.empty()) {
        const std::string_view declared = CharsetOfContent(attribute.value);
        if (!declared.empty()) {
          charset = declared;
          need_pragma = kNeeded;
        }
      } else if (attribute.name == "charset") {
        charset = EncodingForLabel(attribute.value);
        need_pragma = kNotNeeded;
      }
    }
    if (need_pragma == kUnset || (need_pragma == kNeeded && !got_pragma)) return true;
    if (charset == "UTF-16BE" || charset == "UTF-16LE") charset = "UTF-8";
    if (charset == "x-user-defined") charset = "windows-1252";
    *encoding = charset;
    return true;
  }

  // The encoding named after "charset=" in a content attribute, or empty.
  static std::string_view CharsetOfContent(std::string_view content) {
    size_t pos = 0;
    for (;;) {
      const size_t at = content.find("charset", pos);  // the value is already lower case
      if (at == std::string_view::npos) return {};
      pos = at + 7;
      while (pos < content.size() && IsSpace(content[pos])) ++pos;
      if (pos >= content.size() || content[pos] != '=') continue;
      ++pos;
      while (pos < content.size() && IsSpace(content[pos])) ++pos;
      if (pos >= content.size()) return {};
      const char quote = content[pos];
      if (quote == '"' || quote == '\'') {
        const size_t end = content.find(quote, pos + 1);
        if (end == std::string_view::npos) return {};
        return EncodingForLabel(content.substr(pos + 1, end - pos - 1));
      }
      size_t end = pos;
      while (end < content.size() && !IsSpace(content[end]) && content[end] != ';') ++end;
      return EncodingForLabel(content.substr(pos, end - pos));
    }
  }

  // Reads one attribute into `out` and sets `found`; `found` stays false at
  // the element's ">". False when the head ended first.
  bool NextAttribute(Attribute* out, bool* found) {
    *found = false;
    out->name.clear();
    out->value.clear();
    while (pos_ < head_.size() && (IsSpace(head_[pos_]) || head_[pos_] == '/')) ++pos_;
    if (pos_ >= head_.size()) return false;
    if (head_[pos_] == '>') return true;
    *found = true;
    for (;; ++pos_) {
      if (pos_ >= head_.size()) return false;
      const char c = head_[pos_];
      if (c == '=' && !out->name.empty()) {
        ++pos_;
        return Value(out);
      }
      if (IsSpace(c)) break;
      if (c == '/' || c == '>') return true;
      out->name.push_back(AsciiLower(c));
    }
    while (pos_ < head_.size() && IsSpace(head_[pos_])) ++pos_;
    if (pos_ >= head_.size()) return false;
    if (head_[pos_] != '=') return true;
    ++pos_;
    return Value(out);
  }

  bool Value(Attribute* out) {
    while (pos_ < head_.size() && IsSpace(head_[pos_])) ++pos_;
    if (pos_ >= head_.size()) return false;
    const char quote = head_[pos_];
    if (quote == '"' || quote == '\'') {
      for (++pos_; pos_ < head_.size(); ++pos_) {
        if (head_[pos_] == quote) {
          ++pos_;
          return true;
        }
        out->value.push_back(AsciiLower(head_[pos_]));
      }
      return false;
    }
    if (quote == '>') return true;
    for (; pos_ < head_.size(); ++pos_) {
      if (IsSpace(head_[pos_]) || head_[pos_] == '>') return true;
      out->value.push_back(AsciiLower(head_[pos_]));
    }
    return false;
  }

  std::string_view head_;
  size_t pos_ = 0;
};

}  // namespace

std::string_view PrescanMetaCharset(std::string_view bytes) {
  return MetaPrescan(bytes.substr(0, kCharsetPrescanBytes)).Run();
}

DetectedCharset DetectCharset(std::string_view bytes) {
  using Source = DetectedCharset::Source;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") return {"UTF-8", Source::kByteOrderMark, 3};
  if (bytes.substr(0, 2) == "\xFE\xFF") return {"UTF-16BE", Source::kByteOrderMark, 2};
  if (bytes.substr(0, 2) == "\xFF\xFE") return {"UTF-16LE", Source::kByteOrderMark, 2};
  const std::string_view declared = PrescanMetaCharset(bytes);
  if (!declared.empty()) return {declared, Source::kMeta, 0};
  if (IsValidUtf8(bytes)) return {"UTF-8", Source::kValidUtf8, 0};
  return {"windows-1252", Source::kFallback, 0};
}

}  // namespace vellora
