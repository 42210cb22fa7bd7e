// MainWindow: the desktop program's main window. A status bar on top and six
// tab pages; it owns the MainState that the pipeline's steps work on.
//
// Every button runs one step of the core: the window pulls the controls'
// values into the state, calls the step, pushes the state back into the
// controls and shows a failure in an error message box. No pipeline rule
// lives here. A step that waits for a download runs the event loop, so the
// window stays usable meanwhile; a second step cannot start until the first
// one ended (the click is refused with a beep).
//
// "Stop" ends a waiting grab through PageFetcher::AbortDownloads: the
// download ends with the abort error (IsAbortError), its file is not
// written, no later URL is fetched, that error is not shown, and the status
// reads "Grab stopped.".
//
// Closing the window saves the preset; a failed save shows its error and
// keeps the window open. Closing while a download waits asks the loop to
// terminate, which ends the download with the abort error; the
// close (and the save) then happens as soon as the step has returned, so the
// grab stream is released only after nothing writes into it any more. A
// terminate request that reaches the loop during a step (Ctrl-C) ends the
// same way: the step returns, then the window closes. Only the abort error
// is dropped then; any other error of the step is shown before the close.

#ifndef VELLORA_GUI_MAIN_WINDOW_H_
#define VELLORA_GUI_MAIN_WINDOW_H_

#include <QWidget>
#include <functional>
#include <string>

#include "app/start_up.h"
#include "gui/gui_notifier.h"
#include "gui/state_binding.h"
#include "state/main_state.h"

class QTabWidget;

namespace vellora {

class AboutPage;
class EventLoop;
class GeneratorPage;
class GrabberPage;
class OptionsPage;
class FileTextWindow;
class PagePreview;
class PageFetcher;
class PhrasesPage;
class PresetDialogWindow;
class ReportListModel;
class StatusPanel;
class WordsPage;

class MainWindow : public QWidget, public StartUpHost {
  Q_OBJECT

 public:
  // `loop` is the event loop that downloads wait on; `fetcher` downloads the
  // grabber's pages (may be null until SetFetcher). Both must outlive the
  // window.
  explicit MainWindow(EventLoop& loop, PageFetcher* fetcher = nullptr, QWidget* parent = nullptr);
  ~MainWindow() override;

  void SetFetcher(PageFetcher* fetcher) { fetcher_ = fetcher; }

  // Start-up (FormCreate): default texts, the preset dialog, the preset.
  // `presets_folder` replaces the folder beside the program when not empty.
  StartUpResult Start(const std::string& presets_folder = "", bool seed_from_clock = true);

  // Makes start-up show the preset dialog without its modal loop and call
  // `driver`, which works the dialog (tests, screenshots). The dialog is
  // closed after `driver` returns if it is still open.
  void SetDialogDriver(std::function<void(PresetDialogWindow&)> driver) {
    dialog_driver_ = std::move(driver);
  }

  // StartUpHost.
  void RunPresetDialog(MainState& state) override;
  void RootFileList(const std::string& folder) override;

  MainState& State() { return state_; }
  GuiNotifier& Messages() { return notifier_; }
  StateBinding& Binding() { return binding_; }
  bool StepRunning() const { return step_running_; }

  QTabWidget* Pages() const { return pages_; }
  StatusPanel* Status() const { return status_; }
  GrabberPage* Grabber() const { return grabber_; }
  WordsPage* Words() const { return words_; }
  PhrasesPage* Phrases() const { return phrases_; }
  OptionsPage* Options() const { return options_; }
  GeneratorPage* Generator() const { return generator_; }
  AboutPage* About() const { return about_; }
  // The page preview, once a page was previewed; null before.
  PagePreview* PreviewWindow() const { return preview_; }
  // The window of "Show text", once a file's text was shown; null before.
  FileTextWindow* TextWindow() const { return text_window_; }

  // The window's outer size and place on the screen as laid out.
  static constexpr int kLeft = 192, kTop = 122, kOuterWidth = 790, kOuterHeight = 590;
  // The client area inside the frame at that size.
  static constexpr int kClientWidth = 782, kClientHeight = 556;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  // Runs one step over the state with the usual before and after.
  void RunStep(const std::function<void()>& step);
  // "Stop": aborts the grab's downloads.
  void StopGrab();
  // The line below "Save files" after a save; "Open site".
  void ShowSaveSummary();
  void OpenSite();
  // Shows page `row` of filelist (-1: the index page) in the preview.
  void Preview(int row);
  // Shows the text extraction reads from the file selected in the working
  // folder's list, in the chosen extraction mode and the preset's text mode.
  void ShowFileText();
  void OnPageShown(int index);
  void OnWordsDelete(int row);
  void OnTextModeClicked(bool unicode);
  // Shows the buttons' enabled flags of the state.
  void PushButtons();
  void PushAll();
  // The buttons, the status text and the caption, as the state has them.
  void ShowStateBesideControls();
  void BindControls();
  void ConnectButtons();

  MainState state_;
  EventLoop& loop_;
  PageFetcher* fetcher_;
  StatusPanel* status_;
  GuiNotifier notifier_;
  StateBinding binding_;
  QTabWidget* pages_;
  GrabberPage* grabber_;
  WordsPage* words_;
  PhrasesPage* phrases_;
  OptionsPage* options_;
  GeneratorPage* generator_;
  AboutPage* about_;
  ReportListModel* words_model_;
  ReportListModel* pars_model_;
  ReportListModel* filelist_model_;
  std::function<void(PresetDialogWindow&)> dialog_driver_;
  bool step_running_ = false;
  bool close_pending_ = false;
  bool stop_requested_ = false;  // Stop was pressed during this step
  PagePreview* preview_ = nullptr;
  FileTextWindow* text_window_ = nullptr;
  QString site_index_;  // the index page of the last save, for "Open site"
};

}  // namespace vellora

#endif  // VELLORA_GUI_MAIN_WINDOW_H_
