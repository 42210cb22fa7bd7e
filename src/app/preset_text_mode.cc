#include "app/preset_text_mode.h"

#include <optional>

#include "base/code_page.h"
#include "state/field_table.h"
#include "text/utf8.h"
#include "text/windows1252.h"

namespace vellora {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string AnsiModeText(std::string_view text) {
  if (IsAscii(text)) return std::string(text);
  std::optional<std::string> converted = Windows1252FromUtf8(text);
  return converted ? *std::move(converted) : std::string(text);
}

// Applies `convert` to every text of the state (see the header for which).
template <typename Convert>
void ConvertTexts(MainState& state, Convert convert) {
  auto change = [&convert](std::string& text) {
    if (!IsAscii(text)) text = convert(text);
  };
  for (const FieldRow& row : FieldTable()) {
    switch (row.kind) {
      case FieldKind::kText:
        if (!row.path) change(state.*row.As<std::string>());
        break;
      case FieldKind::kTextList: {
        TextList& list = state.*row.As<TextList>();
        if (!IsAscii(list.Text())) list.SetText(convert(list.Text()));
        break;
      }
      case FieldKind::kReportList:
        for (ReportRow& report_row : (state.*row.As<ReportList>()).MutableRows()) {
          change(report_row.caption);
          for (std::string& item : report_row.sub_items) change(item);
        }
        break;
      case FieldKind::kIntegerSpin:
      case FieldKind::kLabel:
      case FieldKind::kCheckBox:
        break;
    }
  }
}

}  // namespace

std::string UnicodeModeText(std::string_view text) {
  std::string_view rest = text;
  if (rest.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    rest.remove_prefix(kByteOrderMark.size());
  }
  if (IsValidUtf8(rest)) return std::string(rest);
  // Windows-1252 text: its first bytes, when they are EF BB BF, are the
  // characters "ï»¿" and no byte-order mark.
  return Utf8FromWindows1252(text);
}

void NormaliseUnicodeTexts(MainState& state) {
  ConvertTexts(state, [](std::string_view text) { return UnicodeModeText(text); });
  if (EqualIgnoringCase(state.echarset, InitialState().echarset)) state.echarset = kUnicodeCharset;
}

void SetTextMode(MainState& state, bool unicode) {
  if (state.unicodetext == unicode) return;
  state.unicodetext = unicode;
  if (unicode) {
    NormaliseUnicodeTexts(state);
    return;
  }
  ConvertTexts(state, [](std::string_view text) { return AnsiModeText(text); });
  if (EqualIgnoringCase(state.echarset, kUnicodeCharset)) state.echarset = InitialState().echarset;
}

}  // namespace vellora
