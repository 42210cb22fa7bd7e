#include "gui/text_codec.h"

#include <QHash>

#include "text/utf8.h"

namespace vellora {
namespace {

TextMode shown_mode = TextMode::kAnsi;

// Code points of the bytes 0x80..0x9F; the rest of the page is Latin-1.
// clang-format off
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,   // 80..87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,   // 88..8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,   // 90..97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};  // 98..9F
// clang-format on

char16_t CodePointOf(unsigned char byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

const QHash<char16_t, char>& ReverseTable() {
  static const QHash<char16_t, char> table = [] {
    QHash<char16_t, char> t;
    for (int b = 0x80; b <= 0x9F; ++b) t.insert(kHighControls[b - 0x80], static_cast<char>(b));
    return t;
  }();
  return table;
}

char ByteOf(char16_t unit) {
  if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) return static_cast<char>(unit);
  auto it = ReverseTable().constFind(unit);
  return it == ReverseTable().constEnd() ? '?' : it.value();
}

}  // namespace

void SetShownTextMode(TextMode mode) { shown_mode = mode; }

TextMode ShownTextMode() { return shown_mode; }

QString FromText(std::string_view text) {
  if (shown_mode == TextMode::kAnsi) return FromCodePage(text);
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToText(const QString& text) {
  if (shown_mode == TextMode::kAnsi) return ToCodePage(text);
  return text.toUtf8().toStdString();
}

QString FromCodePage(std::string_view bytes) {
  QString out(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  QChar* data = out.data();
  for (size_t i = 0; i < bytes.size(); ++i) {
    data[i] = QChar(CodePointOf(static_cast<unsigned char>(bytes[i])));
  }
  return out;
}

std::string ToCodePage(const QString& text) {
  std::string out;
  out.reserve(static_cast<size_t>(text.size()));
  for (qsizetype i = 0; i < text.size(); ++i) {
    char16_t unit = text.at(i).unicode();
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() &&
        QChar::isLowSurrogate(text.at(i + 1).unicode())) {
      ++i;  // one character outside the page
      out.push_back('?');
      continue;
    }
    out.push_back(ByteOf(unit));
  }
  return out;
}

QString FromPath(std::string_view path) {
  return QString::fromLocal8Bit(path.data(), static_cast<qsizetype>(path.size()));
}

std::string ToPath(const QString& path) { return path.toLocal8Bit().toStdString(); }

QString TextForWidget(std::string_view text) {
  std::string joined;
  joined.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      joined.push_back('\n');
    } else {
      joined.push_back(text[i]);
    }
  }
  return FromText(joined);
}

std::string TextFromWidget(const QString& text) {
  std::string bytes = ToText(text);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 16);
  for (char c : bytes) {
    if (c == '\n') out.push_back('\r');
    out.push_back(c);
  }
  return out;
}

QString CellText(std::string_view text, size_t limit) {
  const size_t cut = shown_mode == TextMode::kUnicode ? PrefixOfCharacters(text, limit) : limit;
  std::string line(text.substr(0, cut));
  for (char& c : line) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return FromText(line);
}

}  // namespace vellora
