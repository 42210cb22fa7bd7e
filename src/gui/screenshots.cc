#include "gui/screenshots.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QAction>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileSystemModel>
#include <QTreeView>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTemporaryDir>

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
  MainWindow window(loop);
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
    if (shot.page == 4 && window.State().filelist.Count() > 0) {
      // The preview of the first page as it was written.
      window.Generator()->filelist->SelectRow(0);
      window.Generator()->previewpage->trigger();
      QWidget* preview = window.PreviewWindow();
      bool saved = preview != nullptr &&
                   Save(preview, out_folder + "/5b-page-preview.png", &written);
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
      bool saved = Save(window.Words()->chartwindow, out_folder + "/2b-word-rate-chart.png",
                        &written);
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
