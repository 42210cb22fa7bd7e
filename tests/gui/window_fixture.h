// A whole desktop program over a fresh presets folder for the tests that
// work the window by clicking: the window with its Qt event loop and HTTP
// fetcher, a message log in place of the boxes, and helpers to click and to
// act from inside a waiting download.

#ifndef VELLORA_TESTS_GUI_WINDOW_FIXTURE_H_
#define VELLORA_TESTS_GUI_WINDOW_FIXTURE_H_

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/grabber_page.h"
#include "gui/main_window.h"
#include "gui/preset_dialog_window.h"
#include "gui/qt_event_loop.h"
#include "gui/status_panel.h"
#include "gui_test_support.h"
#include "pipeline/http_page_fetcher.h"

namespace vellora::testing {

// One program run with the preset "alpha".
struct Program {
  QTemporaryDir dir;
  QtEventLoop loop;
  HttpPageFetcher fetcher{loop};
  MainWindow window{loop, &fetcher};
  MessageLog log;

  QString Presets() const { return dir.path() + "/Presets"; }
  QString Working() const { return Presets() + "/alpha/Files/"; }

  bool Start() {
    window.Messages().SetSink(log.Sink());
    window.SetDialogDriver([](PresetDialogWindow& dialog) {
      QTest::keyClicks(dialog.enewpresname, "alpha");
      QTest::mouseClick(dialog.Button2, Qt::LeftButton);
    });
    if (window.Start(Presets().toStdString(), false) != StartUpResult::kReady) return false;
    window.show();
    return QTest::qWaitForWindowExposed(&window);
  }

  void PasteUrls(const QString& text) {
    QPlainTextEdit* memo = window.Grabber()->urls2grab;
    memo->setFocus();
    memo->insertPlainText(text);
  }

  void Show(int page) { window.Pages()->setCurrentIndex(page); }
  QString StatusText() const { return window.Status()->Text(); }
};

inline void Click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

// Runs `action` once, from the event loop, as soon as `ready` holds; checks
// every 10 ms without blocking, so it also works inside a waiting download.
inline void RunWhen(QObject* owner, std::function<bool()> ready, std::function<void()> action) {
  auto* timer = new QTimer(owner);
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, ready, action] {
    if (!ready()) return;
    timer->stop();
    timer->deleteLater();
    action();
  });
  timer->start();
}

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_GUI_WINDOW_FIXTURE_H_
