// Single-line edits never take a line break: what is pasted has its breaks
// made spaces, with the cursor after the pasted text.

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QTest>
#include <QWidget>

#include "gui/controls.h"

namespace vellora {
namespace {

class SingleLineEditTest : public QObject {
  Q_OBJECT

 private slots:
  void lineBreaksBecomeSpaces() {
    QCOMPARE(LineBreaksAsSpaces(QStringLiteral("a\r\nb\rc\nd\n\n")), QStringLiteral("a b c d  "));
    QCOMPARE(LineBreaksAsSpaces(QStringLiteral("plain")), QStringLiteral("plain"));
  }

  void pastedLineBreaksBecomeSpaces() {
    QWidget page;
    QLineEdit* edit = AddEdit(&page, "esitename", QRect(0, 0, 200, 21));
    edit->setText(QStringLiteral("[]"));
    edit->setCursorPosition(1);
    QApplication::clipboard()->setText(QStringLiteral("Nice\r\nIndexName=../../x"));
    edit->paste();
    QCOMPARE(edit->text(), QStringLiteral("[Nice IndexName=../../x]"));
    QCOMPARE(edit->cursorPosition(), 23);
    // Text the program sets is left as it is: the check belongs to typing.
    edit->setText(QStringLiteral("kept"));
    QCOMPARE(edit->text(), QStringLiteral("kept"));
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::SingleLineEditTest)
#include "single_line_edit_test.moc"
