// TextMode: how a preset's texts are encoded. In ANSI mode every text is
// 8-bit Windows-1252 and case follows that code page; in Unicode mode every
// text is UTF-8 and case, letters and characters follow Unicode.

#ifndef VELLORA_TEXT_TEXT_MODE_H_
#define VELLORA_TEXT_TEXT_MODE_H_

namespace vellora {

enum class TextMode { kAnsi, kUnicode };

inline TextMode TextModeOf(bool unicode_text) {
  return unicode_text ? TextMode::kUnicode : TextMode::kAnsi;
}

}  // namespace vellora

#endif  // VELLORA_TEXT_TEXT_MODE_H_
