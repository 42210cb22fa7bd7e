// What the window shows around a step that did not go as planned: a failed
// extraction that can be run again at once, the ANSI-mode notice naming the
// check box the user sees, and message boxes that open over the window that
// raised them (the main window for a step, the preset dialog for its
// refusals).

#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include "gui/generator_page.h"
#include "gui/main_window.h"
#include "gui/preset_dialog_window.h"
#include "gui/qt_event_loop.h"
#include "gui/words_page.h"
#include "gui_test_support.h"
#include "window_fixture.h"

namespace vellora {
namespace {

using testing::Click;
using testing::Program;
using testing::WriteFile;

// A message box as it was up: its owner, where it was, its text.
struct SeenBox {
  QWidget* parent = nullptr;
  QRect geometry;
  QString text;
};

// Closes the next message box once it is up, noting what it was.
void CloseNextBox(QObject* owner, SeenBox* seen) {
  testing::RunWhen(
      owner, [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
      [seen] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        seen->parent = box->parentWidget();
        seen->geometry = box->geometry();
        seen->text = box->text();
        box->accept();
      });
}

// True when the centres of `a` and `b` are within the margin a frame that
// the window system adds may take.
bool CentredOn(const QRect& a, const QRect& b) {
  const QPoint d = a.center() - b.center();
  return std::abs(d.x()) <= 12 && std::abs(d.y()) <= 24;
}

QString Place(const QRect& r) {
  return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

class StepRecoveryTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  // A file that cannot be read ends extraction with its error; the button
  // stays usable, and once the file is gone the next click counts the rest.
  void aFailedExtractionCanBeRetriedAtOnce() {
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    QVERIFY(WriteFile(p.Working() + "good.txt", "harbours and beaches"));
    // Reading /proc/self/mem from its start fails, whoever runs the test.
    const QString bad = p.Working() + "bad.htm";
    QCOMPARE(::symlink("/proc/self/mem", bad.toLocal8Bit().constData()), 0);
    p.Show(1);
    Click(w.Words()->bprocess);
    QCOMPARE(p.log.messages.size(), size_t{1});
    QVERIFY2(p.log.Texts()[0].startsWith("Cannot open file \"" + bad + "\"."),
             qPrintable(p.log.Texts()[0]));
    QCOMPARE(p.StatusText(), QString("Processing files failed."));
    QVERIFY(w.Words()->bprocess->isEnabled());

    QVERIFY(QFile::remove(bad));
    Click(w.Words()->bprocess);
    QCOMPARE(p.log.messages.size(), size_t{1});
    QCOMPARE(p.StatusText(), QString("Done."));
    QCOMPARE(w.State().words.Count(), 2);
    QVERIFY(w.close());
  }

  // The ANSI-mode notice names the setting as the window shows it.
  void theAnsiNoticeNamesTheCheckBoxAndItsPage() {
    Program p;
    QVERIFY(p.Start());
    QVERIFY(WriteFile(p.Working() + "utf8.txt", "caf\xc3\xa9 cr\xc3\xa8me"));
    p.Show(1);
    Click(p.window.Words()->bprocess);
    QCOMPARE(p.log.messages.size(), size_t{1});
    QCOMPARE(p.log.messages[0].first, GuiNotifier::Kind::kInformation);
    QVERIFY2(p.log.Texts()[0].contains(
                 "Unicode mode (the \"Unicode (UTF-8)\" check box on \"HTML options\") counts its "
                 "words correctly."),
             qPrintable(p.log.Texts()[0]));
    QVERIFY(!p.log.Texts()[0].contains("unicodetext"));
    QCOMPARE(p.window.Messages().SettingName("no_such_field"),
             std::string("the \"no_such_field\" setting"));
    QVERIFY(p.window.close());
  }

  // A step's error box is owned by the main window and opens over its
  // middle.
  void aStepErrorOpensCentredOnTheWindow() {
    Program p;
    QVERIFY(p.Start());
    MainWindow& w = p.window;
    w.move(40, 30);
    w.Messages().SetSink(nullptr);  // real boxes from here on
    p.Show(4);
    w.State().filelist.Add({"a.htm", {"A", "k", "d", "text"}});
    w.Generator()->eresfolder->setText("");
    p.Show(3);
    p.Show(4);
    SeenBox seen;
    CloseNextBox(&w, &seen);
    Click(w.Generator()->makefiles);
    QCOMPARE(seen.text, QString("Unable to create directory."));
    QVERIFY(seen.parent == &w);
    QVERIFY2(CentredOn(seen.geometry, w.geometry()),
             qPrintable("box " + Place(seen.geometry) + ", window " + Place(w.geometry())));
    QVERIFY(w.close());
  }

  // A refusal of the preset dialog opens over the dialog, not over the
  // main window that is not shown yet.
  void aDialogRefusalOpensCentredOnTheDialog() {
    QTemporaryDir dir;
    QtEventLoop loop;
    MainWindow window(loop);
    SeenBox seen;
    QRect dialog_place;
    QWidget* dialog_widget = nullptr;
    window.SetDialogDriver([&](PresetDialogWindow& dialog) {
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      dialog_place = dialog.geometry();
      dialog_widget = &dialog;
      CloseNextBox(&dialog, &seen);
      QTest::mouseClick(dialog.Button2, Qt::LeftButton);  // no name typed
      dialog.close();
    });
    const std::string presets = dir.path().toStdString() + "/Presets";
    QCOMPARE(window.Start(presets, false), StartUpResult::kTerminate);
    QCOMPARE(seen.text, QString("Type a name for the new preset."));
    QVERIFY(seen.parent == dialog_widget);  // the dialog is gone: compare the address
    QVERIFY(!CentredOn(dialog_place, window.geometry()));  // the two places differ
    QVERIFY2(CentredOn(seen.geometry, dialog_place),
             qPrintable("box " + Place(seen.geometry) + ", dialog " + Place(dialog_place)));
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::StepRecoveryTest)
#include "step_recovery_test.moc"
