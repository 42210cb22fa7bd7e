#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "app/preset_text_mode.h"
#include "base/errors.h"
#include "base/event_loop.h"
#include "base/file_io.h"
#include "gui/about_page.h"
#include "gui/controls.h"
#include "gui/file_text_window.h"
#include "gui/generator_page.h"
#include "gui/grabber_page.h"
#include "gui/options_page.h"
#include "gui/page_growth.h"
#include "gui/page_preview.h"
#include "gui/phrases_page.h"
#include "gui/preset_dialog_window.h"
#include "gui/report_model.h"
#include "gui/status_panel.h"
#include "gui/tab_pane_style.h"
#include "gui/text_codec.h"
#include "gui/words_page.h"
#include "http/http_types.h"
#include "pipeline/grabber.h"
#include "pipeline/page_writer.h"
#include "pipeline/step_support.h"
#include "pipeline/steps.h"
#include "pipeline/token_extractor.h"

namespace vellora {
namespace {

constexpr char kNoFetcherMessage[] = "The HTTP client is not available";
constexpr char kGrabStoppedStatus[] = "Grab stopped.";
constexpr char kUnknownErrorMessage[] = "Internal error: an exception of unknown type";

}  // namespace

MainWindow::MainWindow(EventLoop& loop, PageFetcher* fetcher, QWidget* parent)
    : QWidget(parent),
      loop_(loop),
      fetcher_(fetcher),
      status_(new StatusPanel(this)),
      notifier_(status_, this) {
  setObjectName(QStringLiteral("Form1"));
  setFont(WindowFont());
  setWindowTitle(QString::fromLatin1(kMainCaption));
  resize(kClientWidth, kClientHeight);
  move(kLeft, kTop);

  pages_ = new QTabWidget(this);
  pages_->setObjectName(QStringLiteral("Pages"));
  UseEdgeToEdgePane(pages_);
  grabber_ = new GrabberPage(state_);
  words_ = new WordsPage(state_);
  phrases_ = new PhrasesPage(state_);
  options_ = new OptionsPage(state_);
  generator_ = new GeneratorPage(state_);
  about_ = new AboutPage;
  // Each page grows with the window and scrolls when the window is smaller.
  pages_->addTab(Scrolled(grabber_), QStringLiteral("HTML grabber"));
  pages_->addTab(Scrolled(words_), QStringLiteral("Extract words from HTML/TXT files"));
  pages_->addTab(Scrolled(phrases_), QStringLiteral("Create phrases from words"));
  pages_->addTab(Scrolled(options_), QStringLiteral("HTML options"));
  pages_->addTab(Scrolled(generator_), QStringLiteral("HTML generator"));
  pages_->addTab(Scrolled(about_), QStringLiteral("About"));

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(status_);
  layout->addWidget(pages_, 1);

  words_model_ =
      new ReportListModel(&state_.words, {QStringLiteral("word"), QStringLiteral("count")}, this);
  words_->words->setModel(words_model_);
  words_->words->SetColumnWidths({200, 50});
  pars_model_ = new ReportListModel(&state_.pars,
                                    {QStringLiteral("title"), QStringLiteral("paragraph")}, this);
  generator_->pars->setModel(pars_model_);
  generator_->pars->SetColumnWidths({250, 1000});
  filelist_model_ = new ReportListModel(
      &state_.filelist,
      {QStringLiteral("file name"), QStringLiteral("title"), QStringLiteral("keywords"),
       QStringLiteral("description"), QStringLiteral("text")},
      this);
  generator_->filelist->setModel(filelist_model_);
  generator_->filelist->SetColumnWidths({250, 50, 50, 50, 1000});

  BindControls();
  ConnectButtons();
  notifier_.SetStatusHook([this] { PushButtons(); });
  PushAll();
  pages_->setCurrentIndex(0);
}

MainWindow::~MainWindow() {
  // The pages' lists read the state while they are hidden and go, and the
  // state goes before the base class deletes the children: they go first.
  hide();
  delete preview_;
  delete pages_;
}

void MainWindow::BindControls() { binding_.BindFields(this); }

void MainWindow::ConnectButtons() {
  connect(grabber_->bgraburls, &QPushButton::clicked, this, [this] {
    RunStep([this] {
      if (fetcher_ == nullptr) throw VelloraError(kNoFetcherMessage);
      grabber_->bstopgrab->setEnabled(true);
      struct StopOff {
        QPushButton* stop;
        ~StopOff() { stop->setEnabled(false); }
      } stop_off{grabber_->bstopgrab};
      bgraburlsClick(state_, notifier_, *fetcher_);
    });
  });
  connect(grabber_->bstopgrab, &QPushButton::clicked, this, &MainWindow::StopGrab);
  connect(grabber_->bdelgrabfiles, &QPushButton::clicked, this,
          [this] { RunStep([this] { bdelgrabfilesClick(state_, notifier_); }); });
  connect(grabber_->bdelallfiles, &QPushButton::clicked, this,
          [this] { RunStep([this] { bdelallfilesClick(state_, notifier_); }); });
  connect(words_->bprocess, &QPushButton::clicked, this, [this] {
    RunStep([this] {
      words_->NoteRun(state_.minwordrate.Value(), state_.ratemultiplier.Value());
      bprocessClick(state_, notifier_);
    });
  });
  connect(phrases_->makewordphrases, &QPushButton::clicked, this,
          [this] { RunStep([this] { makewordphrasesClick(state_, notifier_); }); });
  connect(generator_->maketxt, &QPushButton::clicked, this,
          [this] { RunStep([this] { maketxtClick(state_, notifier_); }); });
  connect(generator_->makefiles, &QPushButton::clicked, this, [this] {
    if (!step_running_) generator_->HideSaveSummary();
    RunStep([this] {
      makefilesClick(state_, notifier_);
      ShowSaveSummary();
    });
  });
  connect(generator_->opensite, &QPushButton::clicked, this, &MainWindow::OpenSite);
  ReportView* filelist = generator_->filelist;
  connect(filelist, &QAbstractItemView::activated, this,
          [this](const QModelIndex& index) { Preview(index.row()); });
  connect(filelist->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (preview_ != nullptr && preview_->isVisible() && current.isValid()) {
              Preview(current.row());
            }
          });
  connect(generator_->previewpage, &QAction::triggered, this, [this] {
    int row = generator_->filelist->SelectedRow();
    if (row >= 0) Preview(row);
  });
  connect(generator_->previewindex, &QAction::triggered, this, [this] { Preview(-1); });
  connect(words_->words, &ReportView::deleteKeyPressed, this, &MainWindow::OnWordsDelete);
  connect(words_->showtext, &QAction::triggered, this, &MainWindow::ShowFileText);
  connect(options_->unicodetext, &QCheckBox::clicked, this, &MainWindow::OnTextModeClicked);
  connect(pages_, &QTabWidget::currentChanged, this, &MainWindow::OnPageShown);
}

StartUpResult MainWindow::Start(const std::string& presets_folder, bool seed_from_clock) {
  StartUpResult result = FormCreate(state_, *this, notifier_, presets_folder, seed_from_clock);
  SetShownTextMode(TextModeOf(state_.unicodetext));
  PushAll();
  pages_->setCurrentIndex(0);
  return result;
}

void MainWindow::RunPresetDialog(MainState& state) {
  PresetDialogWindow dialog(state, notifier_, this);
  // Its refusals open over the dialog, not over the window behind it.
  const GuiNotifier::OwnerScope over_dialog(notifier_, &dialog);
  if (dialog_driver_) {
    dialog.show();
    dialog_driver_(dialog);
    if (dialog.isVisible()) dialog.close();
  } else {
    dialog.exec();
  }
}

void MainWindow::RootFileList(const std::string& folder) { words_->RootFileList(folder); }

void MainWindow::PushButtons() {
  words_->bprocess->setEnabled(state_.bprocess_enabled);
  phrases_->makewordphrases->setEnabled(state_.makewordphrases_enabled);
  generator_->maketxt->setEnabled(state_.maketxt_enabled);
  generator_->makefiles->setEnabled(state_.makefiles_enabled);
}

void MainWindow::PushAll() {
  binding_.Push(state_);
  ShowStateBesideControls();
}

void MainWindow::ShowStateBesideControls() {
  PushButtons();
  words_->ShowWordList(&state_.words);
  QString status = FromText(state_.Status);
  if (status_->Text() != status) status_->SetText(status);
  setWindowTitle(FromPath(state_.caption));
}

void MainWindow::RunStep(const std::function<void()>& step) {
  if (step_running_) {
    QApplication::beep();  // one step at a time
    return;
  }
  step_running_ = true;
  stop_requested_ = false;
  status_->BeginBusy();
  bool failed = false;
  bool aborted = false;
  std::string error;
  try {
    binding_.Pull(state_);
    step();
  } catch (const std::exception& e) {
    failed = true;
    aborted = IsAbortError(e);  // how Stop and a close during a download end a grab
    error = ErrorMessageOf(e);
  } catch (...) {
    failed = true;
    error = kUnknownErrorMessage;
  }
  // A grab ended by Stop says so, not the text of the URL it was at.
  if (aborted && stop_requested_) state_.Status = kGrabStoppedStatus;
  try {
    binding_.Sync(state_);
    ShowStateBesideControls();
  } catch (const std::exception& e) {
    if (!failed) error = ErrorMessageOf(e);
    failed = true;
  }
  status_->EndBusy();
  step_running_ = false;
  const bool closing = close_pending_ || loop_.TerminateRequested();
  // Stop and a close end a waiting download with the abort error; that end
  // was asked for and is no fault to show. Any other error is shown.
  const bool abort_asked = closing || stop_requested_;
  stop_requested_ = false;
  if (closing) {
    close_pending_ = false;
    loop_.ClearTerminateRequest();
  }
  if (failed && !(aborted && abort_asked)) notifier_.Error(error);
  if (!closing && preview_ != nullptr && preview_->isVisible()) {
    // Show the preview's page as the step left it.
    int row = preview_->PageRow();
    Preview(row < state_.filelist.Count() ? row : -1);
  }
  // After a close during the step, the step has let go of the grab stream,
  // so the close can go ahead now.
  if (closing) close();
}

void MainWindow::ShowSaveSummary() {
  const std::vector<std::string> names = SiteFileNames(state_);
  if (names.empty()) {
    site_index_.clear();
    generator_->ShowSaveSummary(QStringLiteral("Nothing was written: the HTML template is empty."),
                                false);
    return;
  }
  const QString folder = QDir::cleanPath(QFileInfo(FromPath(state_.eresfolder)).absoluteFilePath());
  site_index_ = folder + QLatin1Char('/') + FromPath(state_.indexfname);
  const int count = static_cast<int>(names.size());
  generator_->ShowSaveSummary(
      QStringLiteral("%1 %2 written into %3")
          .arg(count)
          .arg(count == 1 ? QStringLiteral("file") : QStringLiteral("files"))
          .arg(QDir::toNativeSeparators(folder)),
      true,
      SitemapDirectoryUnset(state_)
          ? QStringLiteral("; sitemap.xml: the directory URL is not set (HTML generator)")
          : QString());
}

void MainWindow::OpenSite() {
  if (site_index_.isEmpty()) return;
  if (!QDesktopServices::openUrl(QUrl::fromLocalFile(site_index_))) {
    notifier_.Error(ToText(QStringLiteral("Cannot open \"%1\" in a web browser")
                               .arg(QDir::toNativeSeparators(site_index_))));
  }
}

void MainWindow::Preview(int row) {
  if (row >= state_.filelist.Count()) return;
  // The preview shows what "Save files" would write now, edits included;
  // during a step the state is the step's, and the controls wait for it.
  if (!step_running_) binding_.Pull(state_);
  if (preview_ == nullptr) {
    preview_ = new PagePreview(this);
    connect(preview_, &PagePreview::indexRequested, this, [this] { Preview(-1); });
  }
  const SitePages pages(state_);
  QString html;
  if (pages.Empty()) {
    html =
        QStringLiteral("<p><i>The HTML template is empty: \"Save files\" writes no page.</i></p>");
  } else {
    html = FromText(row < 0 ? pages.IndexPage() : pages.Page(row));
  }
  preview_->ShowPage(FromText(row < 0 ? state_.indexfname : state_.filelist.Row(row).caption), row,
                     html);
  if (!preview_->isVisible()) preview_->show();  // a dialog stays above the window
}

void MainWindow::ShowFileText() {
  const QString path = words_->SelectedFilePath();
  if (path.isEmpty()) return;
  if (!step_running_) binding_.Pull(state_);
  const auto mode = static_cast<ExtractMode>(ClampedValue(state_.extractmode));
  std::string text;
  try {
    text = ReadableText(ReadWholeFile(ToPath(path)), ToPath(QFileInfo(path).fileName()),
                        TextModeOf(state_.unicodetext), mode);
  } catch (const std::exception& e) {
    notifier_.Error(ErrorMessageOf(e));
    return;
  }
  if (text_window_ == nullptr) text_window_ = new FileTextWindow(this);
  text_window_->ShowText(QFileInfo(path).fileName(),
                         words_->extractmode->itemText(static_cast<int>(mode)), FromText(text));
  text_window_->show();
  text_window_->raise();
}

void MainWindow::StopGrab() {
  if (!step_running_ || fetcher_ == nullptr) return;
  stop_requested_ = true;
  grabber_->bstopgrab->setEnabled(false);
  fetcher_->AbortDownloads();
}

void MainWindow::OnPageShown(int index) {
  auto* area = qobject_cast<QScrollArea*>(pages_->widget(index));
  QWidget* page = area != nullptr ? area->widget() : nullptr;
  if (page != phrases_ && page != generator_) return;
  binding_.Pull(state_);
  if (page == phrases_) {
    phrasegensheetShow(state_);
  } else {
    pagegensheetShow(state_);
  }
  PushButtons();
}

void MainWindow::OnWordsDelete(int row) {
  if (row < 0 || row >= state_.words.Count()) return;
  words_model_->RemoveRow(row, [this, row] { wordsKeyDown(state_, row); });
  words_->words->SelectRow(row);
  words_->ShowWordList(&state_.words);
}

void MainWindow::OnTextModeClicked(bool unicode) {
  if (step_running_) {
    // A waiting step holds the texts: the mode changes between steps only.
    options_->unicodetext->setChecked(!unicode);
    QApplication::beep();
    return;
  }
  // What the controls show is taken in the old mode, re-encoded into the new
  // one and shown again: the same characters, now held in the new mode.
  const bool was_unicode = state_.unicodetext;
  binding_.Pull(state_);
  state_.unicodetext = was_unicode;
  SetTextMode(state_, unicode);
  SetShownTextMode(TextModeOf(state_.unicodetext));
  PushAll();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (step_running_) {
    // A download is waiting: end it first, close once the step returned.
    if (!close_pending_) {
      close_pending_ = true;
      loop_.RequestTerminate();
    }
    event->ignore();
    return;
  }
  binding_.Pull(state_);
  try {
    FormClose(state_);
  } catch (const std::exception& e) {
    loop_.ClearTerminateRequest();
    notifier_.Error(ErrorMessageOf(e));
    event->ignore();
    return;
  }
  if (preview_ != nullptr) preview_->close();  // it would keep the program running
  if (text_window_ != nullptr) text_window_->close();
  event->accept();
}

}  // namespace vellora
