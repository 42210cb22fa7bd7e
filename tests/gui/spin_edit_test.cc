// Typing into the integer boxes: text beyond the range is kept while the
// box has the focus and clamped when the focus leaves; what cannot be a
// number is refused; the state reads the clamped value.

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>

#include "gui/main_window.h"
#include "gui/options_page.h"
#include "gui/phrases_page.h"
#include "gui/qt_event_loop.h"
#include "gui/spin_edit.h"
#include "gui/words_page.h"

namespace vellora {
namespace {

class SpinEditTest : public QObject {
  Q_OBJECT

 private:
  QtEventLoop loop_;
  MainWindow window_{loop_};

  // Replaces the text of `box` by typing `keys`, then moves the focus away.
  QString TypeAndLeave(QSpinBox* box, const QString& keys, QWidget* next) {
    box->setFocus();
    box->selectAll();
    if (keys.isEmpty()) QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClicks(box, keys);
    const QString typed = box->text();
    next->setFocus();
    QApplication::processEvents();
    return typed;
  }

 private slots:
  void initTestCase() {
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    window_.Pages()->setCurrentIndex(2);
  }

  void typedTextIsClampedWhenTheFocusLeaves() {
    QSpinBox* length = window_.Phrases()->phraselength;  // 1..10
    QPlainTextEdit* next = window_.Phrases()->samples;
    const struct {
      const char* keys;
      const char* while_typing;
      int after;
    } cases[] = {{"15", "15", 10}, {"50", "50", 10}, {"7", "7", 7},   {"0", "0", 1},
                 {"-3", "-3", 1},  {"+8", "+8", 8},  {"", "", 1},     {"10", "10", 10},
                 {"x9", "9", 9},   {"2a", "2", 2},   {"999", "999", 10}};
    for (const auto& c : cases) {
      QCOMPARE(TypeAndLeave(length, c.keys, next), QString(c.while_typing));
      QCOMPARE(length->value(), c.after);
      QCOMPARE(length->text(), QString::number(c.after));
    }
  }

  void theStateReadsTheClampedValue() {
    QSpinBox* length = window_.Phrases()->phraselength;
    length->setFocus();
    length->selectAll();
    QTest::keyClicks(length, "15");
    QCOMPARE(length->text(), QString("15"));
    window_.Binding().Pull(window_.State());  // a step starting with the focus still there
    QCOMPARE(window_.State().phraselength.Value(), 10);
    window_.Phrases()->samples->setFocus();
  }

  void theArrowsStepWithinTheRange() {
    QSpinBox* length = window_.Phrases()->phraselength;
    length->setValue(9);
    length->setFocus();
    for (int i = 0; i < 3; ++i) QTest::keyClick(length, Qt::Key_Up);
    QCOMPARE(length->value(), 10);
    length->setValue(2);
    for (int i = 0; i < 3; ++i) QTest::keyClick(length, Qt::Key_Down);
    QCOMPARE(length->value(), 1);
  }

  // A number beyond the 32-bit range cannot be typed: it would read as the
  // minimum, not the maximum.
  void noNumberBeyondWhatAFieldHolds() {
    window_.Pages()->setCurrentIndex(3);
    QSpinBox* urlmin = window_.Options()->urlmin;  // 1..999999999
    QCOMPARE(TypeAndLeave(urlmin, "99999999999", window_.Options()->urlsurl),
             QString("999999999"));
    QCOMPARE(urlmin->value(), 999999999);
    QCOMPARE(TypeAndLeave(urlmin, "2147483647", window_.Options()->urlsurl),
             QString("2147483647"));
    QCOMPARE(urlmin->value(), 999999999);
    QCOMPARE(TypeAndLeave(urlmin, "2147483648", window_.Options()->urlsurl),
             QString("214748364"));
    QCOMPARE(urlmin->value(), 214748364);
  }

  void theClampedReadingOfAText() {
    auto* rate = static_cast<SpinEdit*>(window_.Words()->minwordrate);  // 1..9999999
    rate->findChild<QLineEdit*>()->setText("12345678");
    QCOMPARE(rate->ClampedValue(), 9999999);
    rate->findChild<QLineEdit*>()->setText("-");
    QCOMPARE(rate->ClampedValue(), 1);
    rate->findChild<QLineEdit*>()->setText("42");
    QCOMPARE(rate->ClampedValue(), 42);
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::SpinEditTest)
#include "spin_edit_test.moc"
