#include "pipeline/step_support.h"

#include <charconv>
#include <cstring>

#include "base/code_page.h"
#include "base/numbers.h"
#include "text/case_mapping.h"
#include "text/character_properties.h"
#include "text/utf8.h"

namespace vellora {

void StatusReporter::Set(std::string_view text) {
  buffer_.assign(text);
  Publish();
}

void StatusReporter::Progress(std::string_view activity, int64_t done, int64_t total) {
  buffer_.assign(activity);
  buffer_ += " [";
  AppendDecimal(buffer_, done);
  buffer_ += '/';
  AppendDecimal(buffer_, total);
  buffer_ += ']';
  Publish();
}

void StatusReporter::Publish() {
  if (buffer_ == state_.Status) return;
  SetStatus(state_, notifier_, buffer_);
}

int64_t ClampedValue(const IntegerSpin& spin) {
  int64_t value = spin.Value();
  if (value < spin.Minimum()) return spin.Minimum();
  if (value > spin.Maximum()) return spin.Maximum();
  return value;
}

int64_t RandomBetweenOrdered(RandomGenerator& random, int64_t a, int64_t b) {
  if (a > b) std::swap(a, b);
  return random.RandomBetween(a, b);
}

int64_t ParseCount(std::string_view text) {
  return ParseDecimal(text, -INT64_MAX, INT64_MAX, NumberSign::kAllowed).value_or(0);
}

std::string_view TrimControls(std::string_view text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(begin, end - begin);
}

std::string Capitalised(std::string_view text, TextMode mode) {
  if (mode == TextMode::kUnicode && !text.empty() && static_cast<unsigned char>(text[0]) >= 0x80) {
    return CapitaliseFirstUtf8(text);
  }
  std::string result(text);
  if (result.size() >= 2 && result[0] >= 'a' && result[0] <= 'z') {
    result[0] = static_cast<char>(result[0] - 'a' + 'A');
  }
  return result;
}

std::string FileNameOf(std::string_view text, std::string_view extension, TextMode mode) {
  std::string name;
  name.reserve(text.size() + extension.size() + 1);
  for (size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80 || mode == TextMode::kAnsi) {
      const bool replaced = c == ' ' || (c < 0x80 && std::strchr("/?:*\"><|", c) != nullptr && c != 0);
      name.push_back(replaced ? '-' : static_cast<char>(c));
      ++i;
      continue;
    }
    const Utf8Char ch = DecodeUtf8(text, i);
    if (IsWhiteSpaceCharacter(ch.code_point)) {
      name.push_back('-');
    } else {
      name.append(text.substr(i, ch.length));
    }
    i += ch.length;
  }
  name += '.';
  name.append(extension);
  return name;
}

void AppendAsPageText(std::string& out, std::string_view phrase, TextMode mode) {
  if (mode == TextMode::kAnsi) {
    out.append(phrase);
    return;
  }
  for (;;) {
    const size_t special = phrase.find_first_of("<>&\"");
    out.append(phrase.substr(0, special));
    if (special == std::string_view::npos) return;
    switch (phrase[special]) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      default:
        out += "&quot;";
        break;
    }
    phrase.remove_prefix(special + 1);
  }
}

std::string AsPageText(std::string_view phrase, TextMode mode) {
  std::string out;
  AppendAsPageText(out, phrase, mode);
  return out;
}

size_t FindIgnoringCase(std::string_view text, std::string_view needle, size_t from) {
  if (needle.empty() || needle.size() > text.size()) return std::string_view::npos;
  const unsigned char* upper = UpperTable();
  const unsigned char first = upper[static_cast<unsigned char>(needle[0])];
  const size_t last = text.size() - needle.size();
  for (size_t i = from; i <= last; ++i) {
    if (upper[static_cast<unsigned char>(text[i])] != first) continue;
    size_t k = 1;
    while (k < needle.size() && upper[static_cast<unsigned char>(text[i + k])] ==
                                    upper[static_cast<unsigned char>(needle[k])]) {
      ++k;
    }
    if (k == needle.size()) return i;
  }
  return std::string_view::npos;
}

std::string ReplaceAllIgnoringCase(std::string_view text, std::string_view from,
                                   std::string_view to) {
  size_t match = FindIgnoringCase(text, from);
  if (match == std::string_view::npos) return std::string(text);
  std::string result;
  result.reserve(text.size() + to.size());
  size_t pos = 0;
  while (match != std::string_view::npos) {
    result.append(text.substr(pos, match - pos));
    result.append(to);
    pos = match + from.size();
    match = FindIgnoringCase(text, from, pos);
  }
  result.append(text.substr(pos));
  return result;
}

void AppendDecimal(std::string& out, int64_t number) {
  char digits[24];
  auto [end, ec] = std::to_chars(digits, digits + sizeof digits, number);
  (void)ec;
  out.append(digits, end);
}

}  // namespace vellora
