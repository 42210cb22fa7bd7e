// "Read from each file:" on the words page and the working-folder list's
// "Show text": the choice reaches extraction and the preset, and the text
// shown is what extraction reads in the chosen mode.

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include "gui/file_text_window.h"
#include "gui/main_window.h"
#include "gui/words_page.h"
#include "gui_test_support.h"
#include "window_fixture.h"

namespace vellora {
namespace {

using testing::Click;
using testing::Program;
using testing::ReadFile;
using testing::WriteFile;

constexpr char kPage[] =
    "<html><head><title>Harbour</title><script>kiteglow = 1;</script></head><body>"
    "<ul class=\"menu\"><li><a href=/>Home</a></li><li><a href=/n>News</a></li></ul>"
    "<article><p>Lantern kites rose over the harbour, carried by the wind, and the crowd "
    "fell silent as the lights climbed higher and higher into the night.</p></article>"
    "</body></html>";

bool HasWord(const MainState& state, const std::string& word) {
  for (int i = 0; i < state.words.Count(); ++i) {
    if (state.words.Row(i).caption == word) return true;
  }
  return false;
}

// Selects `name` in the working folder's list, once the list has read it.
bool SelectFile(WordsPage* page, const QString& path) {
  QModelIndex index;
  for (int i = 0; i < 200 && !index.isValid(); ++i) {
    index = page->shellfiles->index(path);
    if (!index.isValid()) QTest::qWait(10);
  }
  if (!index.isValid()) return false;
  page->shellfilelist->setCurrentIndex(index);
  return true;
}

class ReaderModeTest : public QObject {
  Q_OBJECT

 private slots:
  void choiceReachesExtractionAndThePreset() {
    Program p;
    QVERIFY(p.Start());
    QVERIFY(WriteFile(p.Working() + "zarngrab#1.htm", kPage));
    MainWindow& w = p.window;
    p.Show(1);
    QComboBox* choice = w.Words()->extractmode;
    QCOMPARE(choice->count(), 3);
    QCOMPARE(choice->currentIndex(), 0);
    QCOMPARE(choice->itemText(0), QString("Every text between tags (as specified)"));

    // Every text between tags: the script's text too, glued to the title.
    Click(w.Words()->bprocess);
    QVERIFY(HasWord(w.State(), "harbourkiteglow"));
    QVERIFY(HasWord(w.State(), "homenewslantern"));

    choice->setCurrentIndex(1);
    Click(w.Words()->bprocess);
    QCOMPARE(w.State().extractmode.Value(), 1);
    QVERIFY(!HasWord(w.State(), "kiteglow"));
    QVERIFY(!HasWord(w.State(), "harbourkiteglow"));
    QVERIFY(HasWord(w.State(), "home"));
    QVERIFY(HasWord(w.State(), "harbour"));

    choice->setCurrentIndex(2);
    Click(w.Words()->bprocess);
    QVERIFY(!HasWord(w.State(), "home"));
    QVERIFY(HasWord(w.State(), "lantern"));

    // Closing saves the choice; a value set in the state shows in the box.
    QVERIFY(w.close());
    QVERIFY(ReadFile(p.Presets() + "/alpha/settings.ini").contains("ExtractMode=2\r\n"));
  }

  void showTextShowsWhatExtractionReads() {
    Program p;
    QVERIFY(p.Start());
    const QString path = p.Working() + "zarngrab#1.htm";
    QVERIFY(WriteFile(path, kPage));
    MainWindow& w = p.window;
    p.Show(1);
    QCOMPARE(w.Words()->showtext->text(), QString("Show text"));
    QVERIFY(w.Words()->shellfilelist->actions().contains(w.Words()->showtext));
    QVERIFY(SelectFile(w.Words(), path));

    w.Words()->extractmode->setCurrentIndex(2);
    w.Words()->showtext->trigger();
    FileTextWindow* window = w.TextWindow();
    QVERIFY(window != nullptr);
    QVERIFY(window->isVisible());
    const QString main = window->text->toPlainText();
    QVERIFY2(main.startsWith("Lantern kites rose over the harbour"), qPrintable(main));
    QVERIFY(!main.contains("News"));
    QVERIFY(window->caption->text().startsWith("Main text of \"zarngrab#1.htm\""));

    w.Words()->extractmode->setCurrentIndex(1);
    w.Words()->showtext->trigger();
    QCOMPARE(window->text->toPlainText(),
             QString("Harbour\nHome\nNews\nLantern kites rose over the harbour, carried by the "
                     "wind, and the crowd fell silent as the lights climbed higher and higher "
                     "into the night."));
    // The file read is the one on disk now, and nothing changed the words.
    QCOMPARE(w.State().words.Count(), 0);

    // A file that went away (before the list noticed) says so in the error box.
    QVERIFY(QFile::remove(path));
    w.Words()->showtext->trigger();
    QVERIFY2(p.log.Texts().join("|").startsWith("Cannot open file \""),
             qPrintable(p.log.Texts().join("|")));
    QVERIFY(w.close());
    QVERIFY(!window->isVisible());
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::ReaderModeTest)
#include "reader_mode_test.moc"
