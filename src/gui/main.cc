// The desktop program: the preset dialog, then the main window.

#include <QApplication>
#include <cstring>

#include "app/start_up.h"
#include "base/errors.h"
#include "gui/main_window.h"
#include "gui/qt_event_loop.h"
#include "pipeline/http_page_fetcher.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromLatin1(vellora::kApplicationTitle));
  vellora::QtEventLoop loop;
  vellora::HttpPageFetcher fetcher(loop);
  vellora::MainWindow window(loop, &fetcher);
  loop.SetErrorHandler([&window](const std::string& message) { window.Messages().Error(message); });
  loop.SetTerminateHandler([&window] { window.close(); });
  vellora::TerminateLoopOnSigint(&loop);
  vellora::StartUpResult result = window.Start();
  if (result == vellora::StartUpResult::kTerminate) return 0;
  window.show();
  int status = app.exec();
  vellora::TerminateLoopOnSigint(nullptr);
  return status;
}
