// Conversion between the program's 8-bit texts (Windows-1252, CR LF line
// breaks) and the Unicode strings of Qt's widgets ("\n" line breaks).
//
// Every byte maps to one code point, the five bytes that Windows-1252 leaves
// undefined to the control characters of the same number, so that any byte
// string survives a round trip through a widget. Characters outside the code
// page become "?".

#ifndef VELLORA_GUI_TEXT_CODEC_H_
#define VELLORA_GUI_TEXT_CODEC_H_

#include <QString>
#include <string>
#include <string_view>

namespace vellora {

QString FromCodePage(std::string_view bytes);
std::string ToCodePage(const QString& text);

// File and folder names are bytes of the system's encoding (UTF-8), not
// texts of the code page: a preset name or an output folder typed with
// accents must name the folder that the file manager shows.
QString FromPath(std::string_view path);
std::string ToPath(const QString& path);

// A text list's text for a multi-line widget: CR LF (and any lone CR) become
// "\n".
QString TextForWidget(std::string_view text);
// A multi-line widget's text as a text list's text: every "\n" becomes CR LF.
std::string TextFromWidget(const QString& text);

// A one-line rendering for a list cell: line breaks become blanks, and the
// text is cut after `limit` characters.
QString CellText(std::string_view text, size_t limit = 2000);

}  // namespace vellora

#endif  // VELLORA_GUI_TEXT_CODEC_H_
