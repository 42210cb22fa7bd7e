#include "gui/screenshots.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeView>
#include <atomic>
#include <thread>

#include "base/event_loop.h"
#include "gui/controls.h"
#include "gui/file_text_window.h"
#include "gui/generator_page.h"
#include "gui/grabber_page.h"
#include "gui/main_window.h"
#include "gui/page_preview.h"
#include "gui/phrases_page.h"
#include "gui/preset_dialog_window.h"
#include "gui/qt_event_loop.h"
#include "gui/words_page.h"
#include "pipeline/http_page_fetcher.h"

namespace vellora {
namespace {

constexpr char kPreset[] = "summer-festival";

bool Save(QWidget* widget, const QString& path, QStringList* written) {
  QCoreApplication::processEvents();
  if (!widget->grab().save(path, "PNG")) return false;
  written->append(QFileInfo(path).fileName());
  return true;
}

void Click(QPushButton* button) {
  if (button->isEnabled()) button->click();
}

// A TCP socket bound to a port the system picks on 127.0.0.1, or -1.
int BoundLoopbackSocket(int* port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address = {};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    if (fd >= 0) close(fd);
    return -1;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

// Serves the files of one folder over HTTP/1.0 on 127.0.0.1, by name, and
// answers 404 for any other path, on a thread of its own until it goes. It
// also holds a port that is bound but not listening, where a connection is
// refused.
class SampleServer {
 public:
  explicit SampleServer(const QString& folder) : folder_(folder) {
    refusing_fd_ = BoundLoopbackSocket(&refusing_port_);
    listen_fd_ = BoundLoopbackSocket(&port_);
    if (listen_fd_ >= 0 && listen(listen_fd_, 8) == 0) thread_ = std::thread([this] { Serve(); });
  }

  ~SampleServer() {
    stopping_ = true;
    if (thread_.joinable()) thread_.join();
    if (listen_fd_ >= 0) close(listen_fd_);
    if (refusing_fd_ >= 0) close(refusing_fd_);
  }

  QString Url(const QString& name) const {
    return QString("http://127.0.0.1:%1/%2").arg(port_).arg(name);
  }
  // An address whose connection is refused.
  QString RefusedUrl(const QString& name) const {
    return QString("http://127.0.0.1:%1/%2").arg(refusing_port_).arg(name);
  }

 private:
  void Serve() {
    while (!stopping_) {
      pollfd ready = {listen_fd_, POLLIN, 0};
      if (poll(&ready, 1, 50) <= 0) continue;
      const int fd = accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      Answer(fd);
      close(fd);
    }
  }

  void Answer(int fd) {
    QByteArray request;
    char buffer[4096];
    while (!request.contains("\r\n\r\n")) {
      pollfd ready = {fd, POLLIN, 0};
      if (poll(&ready, 1, 2000) <= 0) return;
      const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) return;
      request.append(buffer, n);
    }
    const QList<QByteArray> words = request.left(request.indexOf("\r\n")).split(' ');
    const QString name = words.size() > 1 ? QString::fromLatin1(words[1].mid(1)) : QString();
    QFile file(folder_ + "/" + name);
    QByteArray answer = "HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n";
    if (!name.contains('/') && file.open(QIODevice::ReadOnly)) {
      answer = "HTTP/1.0 200 OK\r\nContent-Type: text/html\r\n\r\n" + file.readAll();
    }
    for (qsizetype sent = 0; sent < answer.size();) {
      const ssize_t n = send(fd, answer.constData() + sent, answer.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;
      sent += n;
    }
  }

  QString folder_;
  int listen_fd_ = -1;
  int port_ = 0;
  int refusing_fd_ = -1;
  int refusing_port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

// The window with `text` in an error box over its centre, as the user sees
// it after a step.
QPixmap WindowWithErrorBox(QWidget* window, const QString& text) {
  QPixmap picture = window->grab();
  QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kApplicationTitle), text,
                  QMessageBox::Ok, window);
  box.show();
  QCoreApplication::processEvents();
  const QPixmap box_picture = box.grab();
  box.hide();
  QPainter painter(&picture);
  painter.drawPixmap((picture.width() - box_picture.width()) / 2,
                     (picture.height() - box_picture.height()) / 2, box_picture);
  return picture;
}

}  // namespace

QStringList WriteScreenshots(const QString& out_folder, const QString& sample_folder,
                             QString* error) {
  QStringList written;
  QTemporaryDir temp(QDir::tempPath() + "/vellora-XXXXXX");
  if (!temp.isValid() || !QDir().mkpath(out_folder)) {
    *error = "Cannot create the folders for the pictures";
    return written;
  }
  QString presets = temp.path() + "/Presets";
  for (const char* name : {"alpha", "beta", kPreset})
    QDir().mkpath(presets + "/" + name + "/Files");
  QDir samples(sample_folder);
  for (const QString& name : samples.entryList({"*.html", "*.htm", "*.txt"}, QDir::Files)) {
    QFile::copy(samples.filePath(name), presets + "/" + kPreset + "/Files/" + name);
  }

  QtEventLoop loop;
  HttpPageFetcher fetcher(loop);
  MainWindow window(loop, &fetcher);
  QStringList messages;
  window.Messages().SetSink(
      [&messages](GuiNotifier::Kind, const QString& text) { messages << text; });
  bool dialog_ok = true;
  window.SetDialogDriver([&](PresetDialogWindow& dialog) {
    dialog.enewpresname->setText("my new preset");
    dialog_ok = Save(&dialog, out_folder + "/preset-dialog.png", &written);
    dialog.epresname->setCurrentIndex(dialog.epresname->findText(kPreset));
    dialog.Button1->click();
  });
  if (window.Start(presets.toStdString(), false) != StartUpResult::kReady || !dialog_ok) {
    *error = "Start-up failed: " + messages.join("; ");
    return written;
  }
  window.show();
  QElapsedTimer settle;
  settle.start();
  while (settle.elapsed() < 200) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);

  window.Grabber()->urls2grab->setPlainText(
      "http://www.example.com/festival.html\nhttp://www.example.com/lanterns.html\n"
      "http://www.example.com/history.html\n");
  const struct {
    int page;
    const char* file;
  } shots[] = {{0, "1-html-grabber.png"}, {1, "2-extract-words.png"},  {2, "3-create-phrases.png"},
               {3, "4-html-options.png"}, {4, "5-html-generator.png"}, {5, "6-about.png"}};
  for (const auto& shot : shots) {
    window.Pages()->setCurrentIndex(shot.page);
    if (shot.page == 1) Click(window.Words()->bprocess);
    if (shot.page == 2) Click(window.Phrases()->makewordphrases);
    if (shot.page == 4) {
      window.Generator()->eresfolder->setText(temp.path() + "/site");
      window.Generator()->edataurl->setText("http://www.example.com/festival/");
      Click(window.Generator()->maketxt);
      Click(window.Generator()->makefiles);
    }
    if (!Save(&window, out_folder + "/" + shot.file, &written)) {
      *error = QString("Cannot write ") + shot.file;
      return written;
    }
    if (shot.page == 4) {
      // The save line of a save whose directory URL is still "http://":
      // the lower part of the page, from the directory URL down.
      GeneratorPage* generator = window.Generator();
      generator->edataurl->setText("http://");
      Click(generator->makefiles);
      QCoreApplication::processEvents();
      const int top = generator->edataurl->mapTo(&window, QPoint(0, 0)).y() - 12;
      const bool saved = window.grab(QRect(0, top, window.width(), window.height() - top))
                             .save(out_folder + "/10-save-line.png", "PNG");
      generator->edataurl->setText("http://www.example.com/festival/");
      Click(generator->makefiles);
      if (!saved) {
        *error = "Cannot write 10-save-line.png";
        return written;
      }
      written.append("10-save-line.png");
    }
    if (shot.page == 4 && window.State().filelist.Count() > 0) {
      // The preview of the first page as it was written.
      window.Generator()->filelist->SelectRow(0);
      window.Generator()->previewpage->trigger();
      QWidget* preview = window.PreviewWindow();
      bool saved =
          preview != nullptr && Save(preview, out_folder + "/5b-page-preview.png", &written);
      if (preview != nullptr) preview->hide();
      if (!saved) {
        *error = "Cannot write 5b-page-preview.png";
        return written;
      }
    }
    if (shot.page == 1) {
      // The word-rate chart over the words of the run, at a rate of 3.
      window.Words()->minwordrate->setValue(3);
      window.Words()->bwordchart->click();
      bool saved =
          Save(window.Words()->chartwindow, out_folder + "/2b-word-rate-chart.png", &written);
      window.Words()->chartwindow->hide();
      window.Words()->minwordrate->setValue(1);
      if (!saved) {
        *error = "Cannot write 2b-word-rate-chart.png";
        return written;
      }
      // "Read from each file:" on Main text, the words it counts, and the
      // text of one page as "Show text" shows it.
      WordsPage* words = window.Words();
      words->extractmode->setCurrentIndex(2);
      Click(words->bprocess);
      saved = Save(&window, out_folder + "/2c-main-text.png", &written);
      const QString page = presets + "/" + kPreset + "/Files/festival.html";
      QModelIndex index;
      for (int i = 0; i < 100 && !index.isValid(); ++i) {
        index = words->shellfiles->index(page);
        if (!index.isValid()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
      }
      words->shellfilelist->setCurrentIndex(index);
      words->showtext->trigger();
      QWidget* text_window = window.TextWindow();
      saved = saved && text_window != nullptr &&
              Save(text_window, out_folder + "/2d-show-text.png", &written);
      if (text_window != nullptr) text_window->hide();
      words->extractmode->setCurrentIndex(0);
      Click(words->bprocess);
      if (!saved) {
        *error = "Cannot write 2c-main-text.png or 2d-show-text.png";
        return written;
      }
    }
  }
  {
    // A grab that goes on past two failed addresses: one whose connection
    // is refused and one the server does not have. The step's error reaches
    // the sink; the picture shows it in its box.
    SampleServer server(sample_folder);
    GrabberPage* grabber = window.Grabber();
    window.Pages()->setCurrentIndex(0);
    grabber->urls2grab->setPlainText(
        server.Url("festival.html") + "\n" + server.RefusedUrl("lanterns.html") + "\n" +
        server.Url("history.html") + "\n" + server.Url("fireworks.html") + "\n" +
        server.Url("materials.html") + "\n");
    grabber->grabgoon->setChecked(true);
    const qsizetype before = messages.size();
    Click(grabber->bgraburls);
    const QString summary = messages.size() > before ? messages.takeLast() : QString();
    const bool saved =
        !summary.isEmpty() &&
        WindowWithErrorBox(&window, summary).save(out_folder + "/9-grab-summary.png", "PNG");
    grabber->grabgoon->setChecked(false);
    if (!saved) {
      *error = "Cannot write 9-grab-summary.png: the grab ended without its summary";
      return written;
    }
    written.append("9-grab-summary.png");
  }
  // A large window: the lists and memos take the room.
  window.resize(1500, 950);
  for (int page : {0, 4}) {
    window.Pages()->setCurrentIndex(page);
    const QString file = page == 0 ? "7-large-window-grabber.png" : "8-large-window-generator.png";
    if (!Save(&window, out_folder + "/" + file, &written)) {
      *error = "Cannot write " + file;
      return written;
    }
  }
  if (!messages.isEmpty()) *error = "Messages during the run: " + messages.join("; ");
  return written;
}

}  // namespace vellora
