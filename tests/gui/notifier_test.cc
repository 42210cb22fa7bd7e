// The desktop program's message boxes: a hint after an error message is a
// paragraph of its own, and the message keeps its full stop.

#include <QTest>

#include "base/errors.h"
#include "gui/gui_notifier.h"

namespace vellora {
namespace {

class NotifierTest : public QObject {
  Q_OBJECT

 private slots:
  void aHintIsASecondParagraph() {
    GuiNotifier notifier(nullptr, nullptr);
    QStringList shown;
    notifier.SetSink([&shown](GuiNotifier::Kind, const QString& text) { shown << text; });
    notifier.Error(WithHint("Protocol \"https\" not implemented", "Switch it on."));
    notifier.Error("Not Found");
    notifier.Notice("A notice.");
    QCOMPARE(shown, (QStringList{"Protocol \"https\" not implemented.\n\nSwitch it on.",
                                 "Not Found.", "A notice."}));
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::NotifierTest)
#include "notifier_test.moc"
