// Closing the desktop window while a grab with several connections waits:
// every waiting download ends, the preset is saved, the line that arrived is
// written and no file appears for the aborted lines.

#include <QApplication>
#include <QLineEdit>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/grabber_page.h"
#include "gui/main_window.h"
#include "gui/preset_dialog_window.h"
#include "gui/qt_event_loop.h"
#include "gui_test_support.h"
#include "pipeline/http_page_fetcher.h"
#include "test_http_server.h"

namespace vellora {
namespace {

using testing::MessageLog;
using testing::TestHttpServer;

class SimultaneousGrabTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

  void closingWhileSeveralDownloadsWait() {
    TestHttpServer server;
    server.SetPage("/a.htm", "<html><body>first page</body></html>");
    QTemporaryDir dir;
    const QString presets = dir.path() + "/Presets";
    const QString working = presets + "/alpha/Files/";
    QtEventLoop loop;
    HttpPageFetcher fetcher{loop};
    MainWindow w{loop, &fetcher};
    MessageLog log;
    w.Messages().SetSink(log.Sink());
    w.SetDialogDriver([](PresetDialogWindow& dialog) {
      QTest::keyClicks(dialog.enewpresname, "alpha");
      QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    });
    QCOMPARE(w.Start(presets.toStdString(), false), StartUpResult::kReady);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));

    // As a user sets it: the control is read into the state when the grab starts.
    w.Grabber()->grabconnections->setValue(4);
    QString urls = QString::fromStdString(server.Url("/a.htm"));
    for (int i = 2; i <= 6; ++i) urls += "\n" + QString::fromStdString(server.Url("/slow" + std::to_string(i) + ".htm"));
    QPlainTextEdit* memo = w.Grabber()->urls2grab;
    memo->setFocus();
    memo->insertPlainText(urls);

    // Line 1 arrived, its lane asked for line 5: four downloads wait.
    bool close_refused_at_once = false;
    QTimer::singleShot(10000, &w, [&] { server.Release("guard"); });  // never wait for ever
    auto* timer = new QTimer(&w);
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [&, timer] {
      if (server.HeldRequests() < 4) return;
      timer->stop();
      close_refused_at_once = !w.close() && w.isVisible();
    });
    timer->start();
    QTest::mouseClick(w.Grabber()->bgraburls, Qt::LeftButton);

    QVERIFY(close_refused_at_once);
    QVERIFY(!w.isVisible());  // closed once the grab had ended
    QVERIFY2(log.messages.empty(), qPrintable(log.Texts().join("|")));
    QVERIFY(QFile::exists(presets + "/alpha/urls2grab.txt"));
    QCOMPARE(testing::ReadFile(presets + "/alpha/urls2grab.txt").count("/slow"), 5);
    QCOMPARE(testing::ReadFile(working + "zarngrab#1.htm"), QByteArray("<html><body>first page</body></html>"));
    for (int i = 2; i <= 6; ++i) {
      QVERIFY2(!QFile::exists(working + QString("zarngrab#%1.htm").arg(i)), qPrintable(QString::number(i)));
    }
    QCOMPARE(server.Requests(), 5);  // line 6 was never asked for
    QTRY_COMPARE_WITH_TIMEOUT(server.AbandonedRequests(), 4, 5000);
    QVERIFY(fetcher.Idle());
    QVERIFY(w.State().grab_stream.empty());
    QVERIFY(!loop.TerminateRequested());
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::SimultaneousGrabTest)
#include "simultaneous_grab_test.moc"
