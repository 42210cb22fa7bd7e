// Moving values between controls and the state: the code page, line breaks,
// memos that are rewritten or read only when needed, spin boxes, and the
// report list models with large lists.

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "gui/controls.h"
#include "gui/gui_notifier.h"
#include "gui/report_model.h"
#include "gui/state_binding.h"
#include "gui/status_panel.h"
#include "gui/text_codec.h"
#include "state/main_state.h"

namespace vellora {
namespace {

class BindingTest : public QObject {
  Q_OBJECT

 private slots:
  void everyByteSurvivesAWidget() {
    std::string all;
    for (int b = 1; b < 256; ++b) all.push_back(static_cast<char>(b));
    QCOMPARE(ToCodePage(FromCodePage(all)), all);
    QCOMPARE(FromCodePage("\x80\x9f\xe9"), QString::fromUtf8("\u20ac\u0178\u00e9"));
    // Characters outside the page, a surrogate pair among them, become "?".
    QCOMPARE(ToCodePage(QString::fromUtf8("a\u4e2db\U0001F600c")), std::string("a?b?c"));
  }

  void lineBreaksConvert() {
    QCOMPARE(TextForWidget("a\r\nb\r\n"), QString("a\nb\n"));
    QCOMPARE(TextForWidget("a\rb"), QString("a\nb"));
    QCOMPARE(TextFromWidget("a\nb\n"), std::string("a\r\nb\r\n"));
    QCOMPARE(TextFromWidget("x"), std::string("x"));
    QCOMPARE(CellText("one\r\ntwo", 100), QString("one  two"));
    QCOMPARE(CellText("abcdef", 3), QString("abc"));
  }

  void memoRoundTripKeepsTextExactly() {
    MainState state;
    StateBinding binding;
    QPlainTextEdit memo;
    binding.BindMemo(&memo, &MainState::samples);
    // A no-break space (0xA0) and a final line break survive unchanged.
    state.samples.SetText("one\xa0two\r\nthree\r\n");
    binding.Push(state);
    QCOMPARE(memo.toPlainText().size(), 14);
    state.samples.SetText("stale");
    binding.Pull(state);  // not edited: the state keeps its text
    QCOMPARE(state.samples.Text(), std::string("stale"));
    memo.setPlainText(MemoText(&memo));  // as if pasted again
    binding.Pull(state);
    QCOMPARE(state.samples.Text(), std::string("one\xa0two\r\nthree\r\n"));
  }

  void memoIsReadOnlyWhenEditedAndWrittenOnlyWhenChanged() {
    MainState state;
    StateBinding binding;
    QPlainTextEdit memo;
    binding.BindMemo(&memo, &MainState::urls2grab);
    state.urls2grab.SetText("http://a/\r\n");
    binding.Push(state);
    // Not edited: Pull leaves the state alone even when it differs.
    state.urls2grab.SetText("changed by a step\r\n");
    binding.Pull(state);
    QCOMPARE(state.urls2grab.Text(), std::string("changed by a step\r\n"));
    // Unchanged state: Push keeps the user's cursor and undo history.
    binding.Push(state);
    QTextCursor cursor = memo.textCursor();
    cursor.setPosition(3);
    memo.setTextCursor(cursor);
    binding.Push(state);
    QCOMPARE(memo.textCursor().position(), 3);
    // Typed text reaches the state.
    memo.selectAll();
    QTest::keyClicks(&memo, "typed");
    binding.Pull(state);
    QCOMPARE(state.urls2grab.Text(), std::string("typed"));
  }

  // After a step: what the step changed is shown, what the user changed
  // meanwhile is kept; when both changed a field, the step's result wins.
  void syncKeepsBothTheStepsResultAndTheUsersTyping() {
    MainState state;
    StateBinding binding;
    QPlainTextEdit urls, samples, templates;
    QLineEdit site, dataurl;
    QSpinBox* spin = AddSpin(nullptr, "sentmin", QRect(0, 0, 50, 20), state.sentmin);
    binding.BindMemo(&urls, &MainState::urls2grab);
    binding.BindMemo(&samples, &MainState::samples);
    binding.BindMemo(&templates, &MainState::templates);
    binding.BindEdit(&site, &MainState::esitename);
    binding.BindEdit(&dataurl, &MainState::edataurl);
    binding.BindSpin(spin, &MainState::sentmin);
    state.urls2grab.SetText("http://a/\r\n");
    state.samples.SetText("one\r\n");
    state.templates.SetText("$ is.\r\n");
    binding.Push(state);
    binding.Pull(state);  // a step starts
    // While it waits, the user types...
    urls.setPlainText("http://a/\nhttp://b/");
    templates.setPlainText("$ was.");
    site.setText("Typed Site");
    spin->setValue(9);
    // ...and the step writes its results.
    state.samples.SetText("two\r\nthree\r\n");
    state.templates.SetText("step's own\r\n");
    state.edataurl = "http://x/dir/";
    binding.Sync(state);
    QCOMPARE(state.urls2grab.Text(), std::string("http://a/\r\nhttp://b/"));
    QCOMPARE(urls.toPlainText(), QString("http://a/\nhttp://b/"));
    QCOMPARE(samples.toPlainText(), QString("two\nthree\n"));
    QCOMPARE(state.templates.Text(), std::string("step's own\r\n"));
    QCOMPARE(templates.toPlainText(), QString("step's own\n"));
    QCOMPARE(state.esitename, std::string("Typed Site"));
    QCOMPARE(dataurl.text(), QString("http://x/dir/"));
    QCOMPARE(state.sentmin.Value(), int64_t{9});
    delete spin;
  }

  void bindFieldsFindsEveryControlByTheFieldsNameAndKind() {
    MainState state;
    QWidget root;
    auto* allowhttps = new QCheckBox(&root);
    allowhttps->setObjectName("allowhttps");
    auto* grabtimeout = new QSpinBox(&root);
    grabtimeout->setObjectName("grabtimeout");
    grabtimeout->setRange(0, 3600);
    auto* wrong_kind = new QLineEdit(&root);  // a spin field needs a spin box
    wrong_kind->setObjectName("grabconnections");
    auto* site = new QLineEdit(&root);
    site->setObjectName("esitename");
    StateBinding binding;
    binding.BindFields(&root);

    state.allowhttps = true;
    state.grabtimeout.SetValue(30);
    binding.Push(state);
    QVERIFY(allowhttps->isChecked());
    QCOMPARE(grabtimeout->value(), 30);
    QCOMPARE(site->text(), QString("Vellora Software"));
    QVERIFY(wrong_kind->text().isEmpty());

    allowhttps->setChecked(false);
    site->setText("Mine");
    binding.Pull(state);
    QVERIFY(!state.allowhttps);
    QCOMPARE(state.esitename, std::string("Mine"));

    // After a step: the step's change is shown, the user's change is kept.
    state.allowhttps = true;
    grabtimeout->setValue(45);
    binding.Sync(state);
    QVERIFY(allowhttps->isChecked());
    QCOMPARE(state.grabtimeout.Value(), 45);
    QCOMPARE(state.grabconnections.Value(), 1);
  }

  void editsLabelsAndSpins() {
    MainState state;
    StateBinding binding;
    QLineEdit site, folder;
    QLabel count;
    QSpinBox* spin = AddSpin(nullptr, "phraselength", QRect(0, 0, 50, 20), state.phraselength);
    binding.BindEdit(&site, &MainState::esitename);
    binding.BindEdit(&folder, &MainState::eresfolder, StateBinding::Encoding::kPath);
    binding.BindLabel(&count, &MainState::wordcount);
    binding.BindSpin(spin, &MainState::phraselength);
    state.esitename = "Caf\xe9";
    state.eresfolder = "/tmp/r\xc3\xa9s";  // a UTF-8 file name
    state.wordcount = "Unique words: 2, total: 4.";
    state.phraselength.SetText("50");  // out of range: shown clamped
    binding.Push(state);
    QCOMPARE(site.text(), QString::fromUtf8("Caf\u00e9"));
    QCOMPARE(folder.text(), QString::fromUtf8("/tmp/r\u00e9s"));
    QCOMPARE(count.text(), QString("Unique words: 2, total: 4."));
    QCOMPARE(spin->value(), 10);
    spin->setValue(7);
    site.setText(QString::fromUtf8("\u20ac"));
    binding.Pull(state);
    QCOMPARE(state.phraselength.Value(), int64_t{7});
    QCOMPARE(state.esitename, std::string("\x80"));
    QCOMPARE(state.eresfolder, std::string("/tmp/r\xc3\xa9s"));
    // Typed text beyond the maximum is clamped when read.
    spin->findChild<QLineEdit*>()->setText("99");
    binding.Pull(state);
    QCOMPARE(state.phraselength.Value(), int64_t{10});
    delete spin;
  }

  void progressTexts() {
    auto p = StatusPanel::ParseProgress("Cleaning up the word list [20/300]");
    QVERIFY(p.has_value());
    QCOMPARE(p->first, 20LL);
    QCOMPARE(p->second, 300LL);
    QVERIFY(!StatusPanel::ParseProgress("Done.").has_value());
    QVERIFY(!StatusPanel::ParseProgress("x [3/0]").has_value());
    QVERIFY(!StatusPanel::ParseProgress("x [a/3]").has_value());
    // The grabber's text holds a quoted URL before its counter.
    QVERIFY(StatusPanel::ParseProgress("Processing URL \"http://h/[x]\", [1/2]").has_value());
    StatusPanel panel;
    panel.BeginBusy();
    QVERIFY(panel.Busy());
    panel.SetText("Generating final word list table [11/41]");
    QCOMPARE(panel.Text(), QString("Generating final word list table [11/41]"));
    // The bar shows the items before the one at work; none done is busy.
    auto* bar = panel.findChild<QProgressBar*>("StatusProgress");
    QCOMPARE(bar->maximum(), 1000);
    QCOMPARE(bar->value(), 243);
    panel.SetText("Processing URL \"http://h/\", [1/1]");
    QCOMPARE(bar->maximum(), 0);
    panel.SetText("Processing URL \"http://h/\", [3/3]");
    QCOMPARE(bar->value(), 666);
    panel.SetText("Saving files, please wait...");
    QCOMPARE(bar->maximum(), 0);
    panel.EndBusy();
    QVERIFY(!panel.Busy());
  }

  // During a long step the status texts reach the panel, and Qt gets to
  // paint now and then, but not on every text.
  void statusKeepsThePanelPainting() {
    StatusPanel panel;
    GuiNotifier notifier(&panel, nullptr);
    int hooks = 0;
    notifier.SetStatusHook([&] { ++hooks; });
    bool timer_ran = false;
    QTimer::singleShot(0, [&] { timer_ran = true; });
    QTest::qSleep(GuiNotifier::kPaintIntervalMs + 20);
    notifier.Status("Processing file /x/a.htm");
    QVERIFY(timer_ran);  // events ran inside Status
    // A timer that fires on every pass of the event loop counts the passes.
    int passes = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++passes; });
    ticker.start();
    QElapsedTimer elapsed;
    elapsed.start();
    for (int i = 0; i < 1000; ++i) {
      notifier.Status("Cleaning up the word list [" + std::to_string(i) + "/1000]");
    }
    // Without the throttle there would be a pass per text; allow two timer
    // ticks per pass.
    qint64 allowed = 2 * (elapsed.elapsed() / GuiNotifier::kPaintIntervalMs + 1);
    QVERIFY2(passes <= allowed, qPrintable(QString("%1 passes").arg(passes)));
    QCOMPARE(panel.Text(), QString("Cleaning up the word list [999/1000]"));
    QCOMPARE(hooks, 1001);
  }

  // Without a sink, messages are modal boxes titled "Vellora Brindo": errors
  // with the error icon and the full-stop rule, information without icon.
  void messageBoxesCarryTitleIconAndText() {
    GuiNotifier notifier(nullptr, nullptr);
    struct Seen {
      QString title, text;
      QMessageBox::Icon icon;
    };
    std::vector<Seen> seen;
    auto answer = [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      seen.push_back({box->windowTitle(), box->text(), box->icon()});
      box->button(QMessageBox::Ok)->click();
    };
    QTimer::singleShot(50, answer);
    notifier.Error("Not Found");
    QTimer::singleShot(50, answer);
    notifier.Information("3 files deleted.");
    QTimer::singleShot(50, answer);
    notifier.Error("Connection refused (Error #10061)");
    QCOMPARE(seen.size(), size_t{3});
    QCOMPARE(seen[0].title, QString("Vellora Brindo"));
    QCOMPARE(seen[0].text, QString("Not Found."));
    QCOMPARE(seen[0].icon, QMessageBox::Critical);
    QCOMPARE(seen[1].title, QString("Vellora Brindo"));
    QCOMPARE(seen[1].text, QString("3 files deleted."));
    QCOMPARE(seen[1].icon, QMessageBox::NoIcon);
    QCOMPARE(seen[2].text, QString("Connection refused (Error #10061)"));
  }

  // A message longer than a box shows keeps its first lines in the box and
  // the whole text in the details, so the box fits on the screen.
  void aLongMessageKeepsItsWholeTextInTheDetails() {
    GuiNotifier notifier(nullptr, nullptr);
    QString message = "50 of 50 addresses failed.";
    for (int line = 1; line <= 50; ++line) {
      message += QString("\nLine %1 (http://127.0.0.1/%1): Not Found.").arg(line);
    }
    QString text, details;
    QTimer::singleShot(50, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (box == nullptr) return;
      text = box->text();
      details = box->detailedText();
      box->button(QMessageBox::Ok)->click();
    });
    notifier.Information(message.toStdString());
    QCOMPARE(details, message);
    QStringList shown = text.split('\n');
    QCOMPARE(shown.size(), GuiNotifier::kBoxLines + 1);
    QCOMPARE(shown.first(), QString("50 of 50 addresses failed."));
    QCOMPARE(shown.last(), QString("... and 31 more lines."));
  }

  void reportModelShowsRowsAndSubItems() {
    ReportList list;
    list.Add({"caf\xe9", {"3"}});
    list.Add({"short", {}});
    ReportListModel model(&list, {"word", "count"});
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QString::fromUtf8("caf\u00e9"));
    QCOMPARE(model.data(model.index(0, 1)).toString(), QString("3"));
    QCOMPARE(model.data(model.index(1, 1)).toString(), QString());  // missing sub-item
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("count"));
    // Rows added behind the model's back appear only after Refresh.
    list.Add({"third", {"1"}});
    QCOMPARE(model.rowCount(), 2);
    model.Refresh();
    QCOMPARE(model.rowCount(), 3);
  }

  void deleteKeyRemovesTheSelectedRow() {
    ReportList list;
    for (const char* w : {"alpha", "beta", "gamma"}) list.Add({w, {"1"}});
    ReportListModel model(&list, {"word", "count"});
    ReportView view;
    view.setModel(&model);
    int announced = -2;
    QObject::connect(&view, &ReportView::deleteKeyPressed, [&](int row) {
      announced = row;
      if (row < 0) return;
      model.RemoveRow(row, [&] { list.Delete(row); });
      view.SelectRow(row);
    });
    view.SelectRow(1);
    QTest::keyClick(&view, Qt::Key_Delete, Qt::ShiftModifier);
    QCOMPARE(announced, 1);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(view.SelectedRow(), 1);  // gamma moved up into the place
    QCOMPARE(model.data(model.index(1, 0)).toString(), QString("gamma"));
    QTest::keyClick(&view, Qt::Key_Delete);
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(view.SelectedRow(), -1);  // the last row went: nothing selected
    QTest::keyClick(&view, Qt::Key_Delete);
    QCOMPARE(announced, -1);
  }

  // A phrase list of 200,000 lines goes into its memo once, and a step that
  // leaves it alone does not rewrite it.
  void largeMemoIsWrittenOnlyWhenChanged() {
    MainState state;
    StateBinding binding;
    QPlainTextEdit memo;
    binding.BindMemo(&memo, &MainState::samples);
    std::string text;
    for (int i = 0; i < 200000; ++i) text += "phrase number " + std::to_string(i) + "\r\n";
    state.samples.SetText(text);
    QElapsedTimer timer;
    timer.start();
    binding.Push(state);
    qint64 first = timer.elapsed();
    QCOMPARE(memo.blockCount(), 200001);
    timer.restart();
    binding.Pull(state);
    binding.Sync(state);
    qint64 again = timer.elapsed();
    qInfo("200000 lines: shown in %lld ms, pull and sync without changes %lld ms", first, again);
    QVERIFY2(again < 50, qPrintable(QString::number(again)));
    QCOMPARE(state.samples.Text().size(), text.size());
  }

  void largeListsStayFast() {
    ReportList list;
    const int rows = 300000;
    list.MutableRows().reserve(rows);
    for (int i = 0; i < rows; ++i) list.Add({"word" + std::to_string(i), {std::to_string(i)}});
    ReportListModel model(&list, {"word", "count"});
    ReportView view;
    view.resize(475, 241);
    view.setModel(&model);
    view.SetColumnWidths({200, 50});
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QElapsedTimer timer;
    timer.start();
    model.Refresh();
    view.scrollToBottom();
    view.SelectRow(rows - 1);
    QCoreApplication::processEvents();
    view.repaint();
    qint64 elapsed = timer.elapsed();
    qInfo("%d rows: reset, scroll to the end and paint in %lld ms", rows, elapsed);
    QVERIFY2(elapsed < 2000, qPrintable(QString("took %1 ms").arg(elapsed)));
    QCOMPARE(view.SelectedRow(), rows - 1);
    QCOMPARE(view.columnWidth(0), 200);  // widths survive the reset
    // Deleting near the top moves hundreds of thousands of rows in one go.
    timer.restart();
    model.RemoveRow(0, [&] { list.Delete(0); });
    QCOMPARE(model.rowCount(), rows - 1);
    QVERIFY(timer.elapsed() < 2000);
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::BindingTest)
#include "binding_test.moc"
