// Pictures of the desktop program for the documentation: the preset dialog
// and each tab page of the main window, worked through a short run over the
// HTML files of a sample folder, written as PNG files.
//
// Runs on a throw-away presets folder, so no preset of the user is touched.
// Meant for the offscreen platform (QT_QPA_PLATFORM=offscreen).

#ifndef VELLORA_GUI_SCREENSHOTS_H_
#define VELLORA_GUI_SCREENSHOTS_H_

#include <QString>
#include <QStringList>

namespace vellora {

// Writes the pictures into `out_folder` (created when missing), using the
// files of `sample_folder` as the working folder's content. Returns the
// names of the files written; an error message goes to `*error`.
QStringList WriteScreenshots(const QString& out_folder, const QString& sample_folder,
                             QString* error);

}  // namespace vellora

#endif  // VELLORA_GUI_SCREENSHOTS_H_
