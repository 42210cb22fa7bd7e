// MainState: every field of the main window, the program's one store of
// working data.
//
// The steps of the pipeline read and write these fields; the desktop program
// shows them and the vellora command sets and dumps them, both through the
// field table (state/field_table.h). The initialisers below are the fields'
// values in the window's layout and the only place they are written: the
// table reads its defaults from a MainState as constructed. The process-wide
// values of start-up (folders, preset name) and the random generator live
// here too. Not thread-safe: one front end thread owns it.

#ifndef VELLORA_STATE_MAIN_STATE_H_
#define VELLORA_STATE_MAIN_STATE_H_

#include <string>

#include "base/integer_spin.h"
#include "base/notifier.h"
#include "base/random.h"
#include "base/report_list.h"
#include "base/text_list.h"

namespace vellora {

// The main window caption before and after a preset is chosen.
inline constexpr const char kMainCaption[] = "Vellora Brindo";
inline constexpr const char kVersionText[] = "1.00 (080517)";
// The initial web-site URL of esiteurl and the default of SiteURL.
inline constexpr const char kDefaultSiteUrl[] = "http://www.example.com/";

struct MainState {
  MainState();

  // Process-wide values; each folder path ends with "/" (empty when unset).
  std::string application_folder;
  std::string presets_folder;
  std::string preset_name;
  std::string preset_folder;
  std::string caption = kMainCaption;
  // Set once the preset was loaded whole; a preset that failed to load is
  // not saved over on close, so its unread files keep their content.
  bool preset_loaded = false;

  // The status bar's text.
  std::string Status;

  // HTML grabber.
  TextList urls2grab;

  // Extract words.
  std::string eworkingfolder;
  TextList prohibited;
  TextList dontcontain;
  IntegerSpin minwordrate{1, 9999999, 1};
  IntegerSpin ratemultiplier{1, 999, 1};
  ReportList words;  // caption = word, sub-item 0 = count
  std::string wordcount = "Word count = 0";
  TextList myfile;  // work buffers of word extraction
  TextList mytext;

  // Create phrases.
  TextList samples;
  IntegerSpin phraselength{1, 10, 4};
  std::string phrasescount = "Phrases count = 0";
  TextList usersamples;

  // HTML options.
  std::string esitename = "Vellora Software";
  std::string esiteurl = kDefaultSiteUrl;
  std::string echarset = "iso-8859-1";
  std::string efileext = "htm";
  IntegerSpin urlmin{1, 999999999, 35};
  IntegerSpin urlmax{1, 999999999, 70};
  TextList urlsurl;
  IntegerSpin imagemin{1, 999999999, 35};
  IntegerSpin imagemax{1, 999999999, 70};
  TextList imagesurl;
  TextList indexpage;
  std::string indexfname = "index.htm";

  // HTML generator.
  IntegerSpin sentmin{1, 999999, 3};
  IntegerSpin sentmax{1, 999999, 15};
  IntegerSpin parmin{1, 999999, 3};
  IntegerSpin parmax{1, 999999, 15};
  TextList templates;
  ReportList pars;      // caption = title, sub-item 0 = paragraph
  ReportList filelist;  // caption = file name; title, keywords, description, text
  TextList htmltemplate;
  std::string edataurl;
  std::string eresfolder;  // the user's home folder + "/res"
  TextList savememo;       // work buffer of the page writer

  // About.
  std::string vercaption = "Version: ";

  // Settings beyond the original window; each is off by default, and a
  // preset stores it only when it differs from that default.
  bool allowhttps = false;                // https URLs and relocations across schemes
  IntegerSpin grabconnections{1, 16, 1};  // downloads at once
  IntegerSpin grabtimeout{0, 3600, 0};    // seconds without a byte; 0 = none
  bool grabgoon = false;                  // a failed address does not end the grab
  bool unicodetext = false;               // words and pages as Unicode text
  IntegerSpin extractmode{0, 2, 0};       // what extraction reads: 0 every text
                                          // between tags, 1 visible, 2 main text

  // Enabled states of the buttons that steps switch.
  bool bprocess_enabled = true;
  bool makewordphrases_enabled = true;
  bool maketxt_enabled = true;
  bool makefiles_enabled = true;

  // The grab stream: the grabber receives each page into it.
  std::string grab_stream;

  RandomGenerator random;

  // The working folder (eworkingfolder) as a path.
  const std::string& WorkingFolder() const { return eworkingfolder; }
  bool HasPreset() const { return !preset_folder.empty(); }
};

// Sets the status text and passes it to the front end.
inline void SetStatus(MainState& state, Notifier& notifier, const std::string& text) {
  state.Status = text;
  notifier.Status(text);
}

}  // namespace vellora

#endif  // VELLORA_STATE_MAIN_STATE_H_
