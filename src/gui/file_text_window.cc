#include "gui/file_text_window.h"

#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace vellora {

FileTextWindow::FileTextWindow(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("filetextwindow"));
  resize(640, 480);
  caption = new QLabel(this);
  caption->setObjectName(QStringLiteral("filetextcaption"));
  caption->setWordWrap(true);
  text = new QPlainTextEdit(this);
  text->setObjectName(QStringLiteral("filetext"));
  text->setReadOnly(true);
  text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(caption);
  layout->addWidget(text);
}

void FileTextWindow::ShowText(const QString& file_name, const QString& how, const QString& shown) {
  setWindowTitle(QStringLiteral("%1 - Vellora Brindo").arg(file_name));
  const int lines = shown.isEmpty() ? 0 : static_cast<int>(shown.count(QLatin1Char('\n'))) + 1;
  caption->setText(QStringLiteral("%1 of \"%2\", as word extraction reads it: %3 %4.")
                       .arg(how, file_name)
                       .arg(lines)
                       .arg(lines == 1 ? QStringLiteral("line") : QStringLiteral("lines")));
  text->setPlainText(shown);
}

}  // namespace vellora
