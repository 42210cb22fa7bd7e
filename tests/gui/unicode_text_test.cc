// The desktop program in Unicode mode: texts typed into the window are
// kept and saved as UTF-8, the check box on "HTML options" switches a
// preset's mode and re-encodes what the window shows, and ANSI mode tells
// once about UTF-8 files it read.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include "gui/grabber_page.h"
#include "gui/main_window.h"
#include "gui/options_page.h"
#include "gui/phrases_page.h"
#include "gui/preset_dialog_window.h"
#include "gui/qt_event_loop.h"
#include "gui/text_codec.h"
#include "gui/words_page.h"
#include "gui_test_support.h"

namespace vellora {
namespace {

using testing::MessageLog;
using testing::ReadFile;
using testing::WriteFile;

// One program run over the preset "p", written beforehand with `settings`.
struct Program {
  QTemporaryDir dir;
  QtEventLoop loop;
  MainWindow window{loop};
  MessageLog log;

  QString Preset() const { return dir.path() + "/Presets/p/"; }

  bool Start(const QByteArray& settings) {
    QDir().mkpath(Preset() + "Files");
    if (!WriteFile(Preset() + "settings.ini", settings)) return false;
    window.Messages().SetSink(log.Sink());
    window.SetDialogDriver(
        [](PresetDialogWindow& dialog) { QTest::mouseClick(dialog.Button1, Qt::LeftButton); });
    return window.Start((dir.path() + "/Presets").toStdString(), false) == StartUpResult::kReady;
  }
};

// Types `text` at the end of `memo` key by key, each key press carrying its
// character as a keyboard layout delivers "É" (QTest::keyClicks takes ASCII
// only).
void Type(QPlainTextEdit* memo, const QString& text) {
  memo->setFocus();
  memo->moveCursor(QTextCursor::End);
  for (QChar c : text) {
    QTest::sendKeyEvent(QTest::Press, memo, Qt::Key_unknown, QString(c), Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, memo, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

class UnicodeTextTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
  void cleanup() { SetShownTextMode(TextMode::kAnsi); }

  void typedTextIsSavedAsUtf8() {
    Program p;
    // Москва, in the preset's own UTF-8 file.
    QVERIFY(QDir().mkpath(p.Preset()));
    QVERIFY(WriteFile(p.Preset() + "urls2grab.txt", "http://h/\xD0\x9C\xD0\xBE\xD1\x81\r\n"));
    QVERIFY(p.Start("[GENERAL]\r\nUnicodeText=1\r\n"));
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    MainWindow& w = p.window;
    QVERIFY(w.Options()->unicodetext->isChecked());
    QCOMPARE(w.Options()->echarset->text(), QString("utf-8"));
    QCOMPARE(w.Grabber()->urls2grab->toPlainText(), QString::fromUtf8("http://h/Мос\n"));

    Type(w.Phrases()->usersamples, QString::fromUtf8("Éléphant café"));
    QCOMPARE(w.Phrases()->usersamples->toPlainText(), QString::fromUtf8("Éléphant café"));
    w.Options()->esitename->setText(QString::fromUtf8("Größe €"));
    QVERIFY(w.close());
    QCOMPARE(ReadFile(p.Preset() + "phrases_user.txt"),
             QByteArray("\xC3\x89l\xC3\xA9phant caf\xC3\xA9"));
    QCOMPARE(ReadFile(p.Preset() + "urls2grab.txt"), QByteArray("http://h/\xD0\x9C\xD0\xBE\xD1\x81\r\n"));
    QVERIFY(ReadFile(p.Preset() + "settings.ini").contains("\r\nSiteName=Gr\xC3\xB6\xC3\x9F" "e \xE2\x82\xAC\r\n"));
  }

  void checkBoxSwitchesTheModeKeepingWhatIsShown() {
    Program p;
    QVERIFY(p.Start("[GENERAL]\r\nSiteName=Caf\xE9\r\n"));
    MainWindow& w = p.window;
    QCheckBox* box = w.Options()->unicodetext;
    QVERIFY(!box->isChecked());
    QCOMPARE(w.Options()->esitename->text(), QString::fromUtf8("Café"));
    QCOMPARE(w.Options()->echarset->text(), QString("iso-8859-1"));
    Type(w.Phrases()->usersamples, QString::fromUtf8("naïve"));

    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.Pages()->setCurrentWidget(w.Options());
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(box->isChecked());
    QVERIFY(w.State().unicodetext);
    QCOMPARE(w.State().esitename, std::string("Caf\xC3\xA9"));
    QCOMPARE(w.State().usersamples.Text(), std::string("na\xC3\xAFve"));
    QCOMPARE(w.Options()->esitename->text(), QString::fromUtf8("Café"));
    QCOMPARE(w.Phrases()->usersamples->toPlainText(), QString::fromUtf8("naïve"));
    QCOMPARE(w.Options()->echarset->text(), QString("utf-8"));

    // Text the code page lacks, typed in Unicode mode, survives going back.
    Type(w.Phrases()->usersamples, QString::fromUtf8(" Москва"));
    QTest::mouseClick(box, Qt::LeftButton);
    QVERIFY(!w.State().unicodetext);
    QCOMPARE(w.State().esitename, std::string("Caf\xE9"));
    QCOMPARE(w.Options()->esitename->text(), QString::fromUtf8("Café"));
    QCOMPARE(w.Options()->echarset->text(), QString("iso-8859-1"));
    QCOMPARE(w.State().usersamples.Text(),
             std::string("na\xC3\xAFve \xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"));
    w.hide();
    QVERIFY(w.close());
    QVERIFY(!ReadFile(p.Preset() + "settings.ini").contains("UnicodeText"));
  }

  void ansiModeTellsOnceAboutUtf8Files() {
    Program p;
    QVERIFY(p.Start("[GENERAL]\r\n"));
    QVERIFY(WriteFile(p.Preset() + "Files/a.htm", "caf\xC3\xA9 au lait"));
    QVERIFY(WriteFile(p.Preset() + "Files/b.htm", "\xC3\xA9l\xC3\xA9phant"));
    p.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&p.window));
    p.window.Pages()->setCurrentWidget(p.window.Words());
    QTest::mouseClick(p.window.Words()->bprocess, Qt::LeftButton);
    QCOMPARE(p.log.Count(GuiNotifier::Kind::kInformation), 1);
    QVERIFY(p.log.Texts()[0].startsWith("2 files read hold UTF-8 text"));
    QVERIFY(p.log.Texts()[0].contains("Unicode mode"));

    // Unicode mode counts them and says nothing.
    p.log.messages.clear();
    p.window.Pages()->setCurrentWidget(p.window.Options());
    QTest::mouseClick(p.window.Options()->unicodetext, Qt::LeftButton);
    p.window.Pages()->setCurrentWidget(p.window.Words());
    QTest::mouseClick(p.window.Words()->bprocess, Qt::LeftButton);
    QVERIFY2(p.log.messages.empty(), qPrintable(p.log.Texts().join("|")));
    std::vector<std::string> captions;
    for (const ReportRow& row : p.window.State().words.Rows()) captions.push_back(row.caption);
    QCOMPARE(captions, (std::vector<std::string>{"au", "caf\xC3\xA9", "lait",
                                                 "\xC3\xA9l\xC3\xA9phant"}));
    p.window.hide();
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::UnicodeTextTest)
#include "unicode_text_test.moc"
