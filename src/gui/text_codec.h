// Conversion between the program's texts (CR LF line breaks) and the
// Unicode strings of Qt's widgets ("\n" line breaks). The texts are those of
// the loaded preset's text mode: 8-bit Windows-1252 in ANSI mode, UTF-8 in
// Unicode mode.
//
// In ANSI mode every byte maps to one code point, the five bytes that
// Windows-1252 leaves undefined to the control characters of the same
// number, so that any byte string survives a round trip through a widget;
// characters outside the code page become "?". In Unicode mode every
// character is kept; bytes that are not valid UTF-8 show as U+FFFD.

#ifndef VELLORA_GUI_TEXT_CODEC_H_
#define VELLORA_GUI_TEXT_CODEC_H_

#include <QString>
#include <string>
#include <string_view>

#include "text/text_mode.h"

namespace vellora {

// The text mode in which the state's texts are shown and taken: the loaded
// preset's (ANSI mode until then). The desktop program holds one preset on
// its one GUI thread, so this is one process-wide setting, which the main
// window sets when a preset is loaded or changes mode.
void SetShownTextMode(TextMode mode);
TextMode ShownTextMode();

// A text of the state as a widget shows it, and a widget's text as the state
// keeps it, in the shown text mode.
QString FromText(std::string_view text);
std::string ToText(const QString& text);

// The conversions of ANSI mode, whatever mode is shown.
QString FromCodePage(std::string_view bytes);
std::string ToCodePage(const QString& text);

// File and folder names are bytes of the system's encoding (UTF-8), not
// texts of the code page: a preset name or an output folder typed with
// accents must name the folder that the file manager shows.
QString FromPath(std::string_view path);
std::string ToPath(const QString& path);

// A text list's text for a multi-line widget (FromText): CR LF (and any
// lone CR) become "\n".
QString TextForWidget(std::string_view text);
// A multi-line widget's text as a text list's text (ToText): every "\n"
// becomes CR LF.
std::string TextFromWidget(const QString& text);

// A one-line rendering for a list cell (FromText): line breaks become
// blanks, and the text is cut after `limit` characters (never inside one).
QString CellText(std::string_view text, size_t limit = 2000);

}  // namespace vellora

#endif  // VELLORA_GUI_TEXT_CODEC_H_
