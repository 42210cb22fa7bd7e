// The desktop program: the preset dialog, then the main window.
//
//   vellora-brindo                         the program
//   vellora-brindo --screenshot DIR [--sample FOLDER]
//                                          pictures of the dialog and the pages

#include <QApplication>
#include <QSessionManager>
#include <QTextStream>
#include <cstring>

#include "app/start_up.h"
#include "base/errors.h"
#include "gui/main_window.h"
#include "gui/qt_event_loop.h"
#include "gui/screenshots.h"
#include "pipeline/http_page_fetcher.h"

namespace {

int Screenshots(int argc, char* argv[]) {
  QString out, sample;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--screenshot") == 0) out = QString::fromLocal8Bit(argv[i + 1]);
    if (std::strcmp(argv[i], "--sample") == 0) sample = QString::fromLocal8Bit(argv[i + 1]);
  }
  QTextStream err(stderr);
  if (out.isEmpty()) {
    err << "usage: vellora-brindo --screenshot DIR [--sample FOLDER]\n";
    return 2;
  }
  QString error;
  QStringList written = vellora::WriteScreenshots(out, sample, &error);
  for (const QString& name : written) err << out << "/" << name << "\n";
  if (!error.isEmpty()) {
    err << error << "\n";
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(vellora::kApplicationTitle));
  if (argc > 1 && std::strcmp(argv[1], "--screenshot") == 0) return Screenshots(argc, argv);

  vellora::QtEventLoop loop;
  vellora::HttpPageFetcher fetcher(loop);
  vellora::MainWindow window(loop, &fetcher);
  loop.SetErrorHandler([&window](const std::string& message) { window.Messages().Error(message); });
  vellora::StartUpResult result = window.Start();
  if (result == vellora::StartUpResult::kTerminate) return 0;
  // From here on Ctrl-C (and SIGTERM, SIGHUP) closes the window as its close box does (ending a
  // waiting download first); during the preset dialog it just ends the
  // program, which saves nothing, like closing the dialog.
  loop.SetTerminateHandler([&window] { window.close(); });
  vellora::TerminateLoopOnSignals(&loop);
  // The end of the desktop session closes the window the same way, and so
  // does any other way out of the loop that left the window open.
  auto close_if_open = [&window] {
    if (window.isVisible()) window.close();
  };
#if QT_CONFIG(sessionmanager)
  QObject::connect(&app, &QGuiApplication::commitDataRequest, &window,
                   [close_if_open](QSessionManager&) { close_if_open(); });
#endif
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, close_if_open);
  window.show();
  int status = app.exec();
  vellora::TerminateLoopOnSignals(nullptr);
  return status;
}
