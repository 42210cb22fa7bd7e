// The preset dialog window: its list, Load, Create, the close box, Return
// and Escape; then the dialog inside the program's start-up.

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "gui/gui_notifier.h"
#include "gui/main_window.h"
#include "gui/preset_dialog_window.h"
#include "gui/qt_event_loop.h"
#include "gui/words_page.h"
#include "gui_test_support.h"
#include "state/main_state.h"

namespace vellora {
namespace {

using testing::MessageLog;

class PresetDialogTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  MessageLog log_;
  GuiNotifier notifier_{nullptr, nullptr};

  MainState StateOver(const QString& presets) {
    MainState state;
    state.presets_folder = presets.toStdString() + "/";
    return state;
  }

 private slots:
  void init() {
    log_.messages.clear();
    notifier_.SetSink(log_.Sink());
    QVERIFY(dir_.isValid());
  }

  void layoutTexts() {
    QDir(dir_.path()).mkpath("layout");
    MainState state = StateOver(dir_.path() + "/layout");
    PresetDialogWindow dialog(state, notifier_);
    QCOMPARE(dialog.windowTitle(), QString("Vellora Brindo - select preset"));
    QCOMPARE(testing::Find<QLabel>(&dialog, "heading")->text(), QString("Presets management"));
    QStringList labels;
    for (QLabel* l : dialog.findChildren<QLabel*>()) labels << l->text();
    QVERIFY(labels.contains("Load existing preset"));
    QVERIFY(labels.contains("Create a new preset"));
    QCOMPARE(dialog.Button1->text(), QString("Load"));
    QCOMPARE(dialog.Button2->text(), QString("Create"));
    QVERIFY(!dialog.epresname->isEditable());
    QVERIFY(dialog.Button1->isDefault());
    QVERIFY(!dialog.Button2->isDefault());
    QCOMPARE(dialog.epresname->geometry(), QRect(135, 55, 231, 21));
    QCOMPARE(dialog.Button2->geometry(), QRect(375, 85, 75, 21));
    QList<QWidget*> order{dialog.epresname, dialog.enewpresname, dialog.Button1, dialog.Button2};
    QCOMPARE(testing::TabChain(dialog.epresname, order), order);
  }

  void emptyListAndLoadWithoutSelection() {
    QDir(dir_.path()).mkpath("empty");
    MainState state = StateOver(dir_.path() + "/empty");
    PresetDialogWindow dialog(state, notifier_);
    dialog.show();
    QCOMPARE(dialog.epresname->count(), 0);
    QCOMPARE(dialog.epresname->currentIndex(), -1);
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QCOMPARE(log_.Texts(), QStringList{"Select a preset or create a new one"});
    QCOMPARE(log_.messages[0].first, GuiNotifier::Kind::kInformation);
    QVERIFY(dialog.isVisible());
    QVERIFY(state.preset_name.empty());
  }

  void listSortsIgnoringCaseAndSkipsHiddenAndFiles() {
    QDir root(dir_.path());
    root.mkpath("sorted/beta");
    root.mkpath("sorted/Alpha");
    root.mkpath("sorted/.cache");
    QVERIFY(testing::WriteFile(dir_.path() + "/sorted/notes.txt", "x"));
    MainState state = StateOver(dir_.path() + "/sorted");
    PresetDialogWindow dialog(state, notifier_);
    QCOMPARE(dialog.epresname->count(), 2);
    QCOMPARE(dialog.epresname->itemText(0), QString("Alpha"));
    QCOMPARE(dialog.epresname->itemText(1), QString("beta"));
    QCOMPARE(dialog.epresname->currentIndex(), 0);
    // Load takes the item picked in the list.
    dialog.show();
    dialog.epresname->setCurrentIndex(1);
    QTest::mouseClick(dialog.Button1, Qt::LeftButton);
    QVERIFY(log_.messages.empty());
    QCOMPARE(state.preset_name, std::string("beta"));
    QCOMPARE(state.caption, std::string("Vellora Brindo - beta"));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.TerminateRequested());
  }

  // An existing name is refused as existing; an empty one asks for a name
  // and creates nothing.
  void createRefusesExistingAndEmptyNames() {
    QDir(dir_.path()).mkpath("exist/gamma");
    MainState state = StateOver(dir_.path() + "/exist");
    PresetDialogWindow dialog(state, notifier_);
    dialog.show();
    QTest::keyClicks(dialog.enewpresname, "gamma");
    QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    dialog.enewpresname->clear();
    QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    QCOMPARE(log_.Texts(),
             (QStringList{"Such preset already exists!", "Type a name for the new preset."}));
    QVERIFY(dialog.isVisible());
    QVERIFY(state.preset_name.empty());
    QCOMPARE(QDir(dir_.path() + "/exist").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList{"gamma"});
    QCOMPARE(QDir(dir_.path() + "/exist/gamma").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList());
  }

  void createMakesFoldersAndCloses() {
    QDir(dir_.path()).mkpath("create");
    MainState state = StateOver(dir_.path() + "/create");
    PresetDialogWindow dialog(state, notifier_);
    dialog.show();
    QTest::keyClicks(dialog.enewpresname, "delta one");
    QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    QVERIFY(log_.messages.empty());
    QVERIFY(QDir(dir_.path() + "/create/delta one/Files").exists());
    QCOMPARE(state.preset_name, std::string("delta one"));
    QCOMPARE(state.caption, std::string("Vellora Brindo - delta one"));
    QVERIFY(!dialog.isVisible());
  }

  // Escape does nothing; Return in the name field creates the typed preset
  // (Create is then the default button), an empty one is refused as by
  // Create.
  void returnInTheNameFieldCreatesAndEscapeDoesNothing() {
    QDir(dir_.path()).mkpath("keys/alpha");
    MainState state = StateOver(dir_.path() + "/keys");
    PresetDialogWindow dialog(state, notifier_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    dialog.enewpresname->setFocus();
    QVERIFY(dialog.Button2->isDefault());
    QVERIFY(!dialog.Button1->isDefault());
    QTest::keyClick(dialog.enewpresname, Qt::Key_Return);
    QCOMPARE(log_.Texts(), QStringList{"Type a name for the new preset."});
    QVERIFY(dialog.isVisible());
    QTest::keyClicks(dialog.enewpresname, "omega");
    QTest::keyClick(dialog.enewpresname, Qt::Key_Enter);
    QCOMPARE(log_.messages.size(), size_t{1});
    QCOMPARE(state.preset_name, std::string("omega"));
    QVERIFY(QDir(dir_.path() + "/keys/omega/Files").exists());
    QVERIFY(!dialog.isVisible());
  }

  // Return in the list loads its selected preset (Load is the default
  // button there).
  void returnInTheListLoads() {
    QDir(dir_.path()).mkpath("listkeys/alpha");
    MainState state = StateOver(dir_.path() + "/listkeys");
    PresetDialogWindow dialog(state, notifier_);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.enewpresname->setFocus();
    dialog.epresname->setFocus();
    QVERIFY(dialog.Button1->isDefault());
    QTest::keyClick(dialog.epresname, Qt::Key_Return);
    QVERIFY(log_.messages.empty());
    QCOMPARE(state.preset_name, std::string("alpha"));
    QVERIFY(!dialog.isVisible());
  }

  void closeBoxWithoutPresetAsksToTerminate() {
    QDir(dir_.path()).mkpath("closebox");
    MainState state = StateOver(dir_.path() + "/closebox");
    PresetDialogWindow dialog(state, notifier_);
    dialog.show();
    QTest::keyClicks(dialog.enewpresname, "never");
    dialog.close();
    QVERIFY(!dialog.isVisible());
    QVERIFY(dialog.TerminateRequested());
    QVERIFY(!QDir(dir_.path() + "/closebox/never").exists());
  }

  // Start-up with the dialog: closing it ends the program before anything
  // is saved; creating a preset loads it into the window.
  void startUpEndsWhenTheDialogClosesWithoutPreset() {
    QtEventLoop loop;
    MainWindow window(loop);
    window.Messages().SetSink(log_.Sink());
    window.SetDialogDriver([](PresetDialogWindow& dialog) { dialog.close(); });
    QString presets = dir_.path() + "/startup-none";
    QCOMPARE(window.Start(presets.toStdString(), false), StartUpResult::kTerminate);
    QVERIFY(log_.messages.empty());
    QCOMPARE(QDir(presets).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
  }

  void startUpCreatesAndLoadsPreset() {
    QtEventLoop loop;
    MainWindow window(loop);
    window.Messages().SetSink(log_.Sink());
    window.SetDialogDriver([](PresetDialogWindow& dialog) {
      QTest::keyClicks(dialog.enewpresname, "alpha");
      QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    });
    QString presets = dir_.path() + "/startup-new";
    QCOMPARE(window.Start(presets.toStdString(), false), StartUpResult::kReady);
    QVERIFY(log_.messages.empty());
    QCOMPARE(window.windowTitle(), QString("Vellora Brindo - alpha"));
    QString working = presets + "/alpha/Files/";
    QCOMPARE(testing::Find<QLineEdit>(&window, "eworkingfolder")->text(), working);
    QCOMPARE(window.Words()->FileListRoot() + "/", working);
    // A new preset gets "http://" as its directory URL.
    QCOMPARE(testing::Find<QLineEdit>(&window, "edataurl")->text(), QString("http://"));
  }

  // A preset whose working folder is missing loads, but the folder list
  // cannot be rooted there: one error, and the list stays where it was.
  void startUpReportsAMissingWorkingFolder() {
    QtEventLoop loop;
    MainWindow window(loop);
    window.Messages().SetSink(log_.Sink());
    QString presets = dir_.path() + "/startup-nofiles";
    QDir().mkpath(presets + "/beta");
    QString before = window.Words()->FileListRoot();
    window.SetDialogDriver(
        [](PresetDialogWindow& dialog) { QTest::mouseClick(dialog.Button1, Qt::LeftButton); });
    QCOMPARE(window.Start(presets.toStdString(), false), StartUpResult::kReady);
    QCOMPARE(log_.Texts(), QStringList{"Error setting path: \"" + presets + "/beta/Files/\""});
    QCOMPARE(log_.messages[0].first, GuiNotifier::Kind::kError);
    QCOMPARE(window.windowTitle(), QString("Vellora Brindo - beta"));
    QCOMPARE(window.Words()->FileListRoot(), before);
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::PresetDialogTest)
#include "preset_dialog_test.moc"
