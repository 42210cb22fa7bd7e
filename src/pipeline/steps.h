// The steps of the page generation pipeline, each one function over the main
// window's state. The desktop program and the vellora command call them from
// their buttons and step names; neither holds any pipeline rule of its own.
//
// Every step reports its progress through SetStatus, and a step that runs to
// its end sets the status text "Done.". A failure raises an exception
// derived from VelloraError (a file error carries the file's path and the
// system's reason) and leaves the state as it stood at that point. A step
// whose input survives a failure (word extraction, the page writer) then
// enables its button again and sets its failed status text, so it can be
// retried at once; the others keep their buttons disabled until the tab page
// is shown again. For the same seed and the same inputs a step draws the
// same random numbers in the same order, so its output is the same.

#ifndef VELLORA_PIPELINE_STEPS_H_
#define VELLORA_PIPELINE_STEPS_H_

#include "base/notifier.h"
#include "state/main_state.h"
#include "text/text_mode.h"

namespace vellora {

// The status texts after a failed word extraction and a failed save.
inline constexpr char kExtractFailedStatus[] = "Processing files failed.";
inline constexpr char kSaveFailedStatus[] = "Saving files failed.";

// Word extraction ("extract"): every file of the working folder becomes
// lower-case tokens, which are filtered by `prohibited` and `dontcontain` and
// counted into `words`, largest count first; in the text mode of the
// preset (`unicodetext`), reading from each file what `extractmode` says
// (every text between tags, the visible text or the main text).
void bprocessClick(MainState& state, Notifier& notifier);
// bprocessClick in the text mode `mode`. In ANSI mode a run that reads files
// of UTF-8 text beyond ASCII ends with one notice saying how many, and that
// Unicode mode (named by Notifier::SettingName) counts their words
// correctly.
void ExtractWords(MainState& state, Notifier& notifier, TextMode mode);

// The Delete key on row `row` of `words` (the selected row): removes it. The
// row that now has that index, if any, is the new selection. A `row` outside
// the list (nothing selected) changes nothing.
void wordsKeyDown(MainState& state, int row);

// The "Create phrases" tab is shown: its button is enabled exactly when
// `words` has rows.
void phrasegensheetShow(MainState& state);

// Phrase creation ("phrases"): spends the counts of `words` on random phrases
// of 1..`phraselength` words in `samples`, and empties `words`.
void makewordphrasesClick(MainState& state, Notifier& notifier);

// The "HTML generator" tab is shown: `maketxt` is enabled exactly when
// `samples` has lines, `makefiles` exactly when `filelist` has rows.
void pagegensheetShow(MainState& state);

// Paragraph and page generation ("generate"): pours the phrases of `samples`
// into sentence templates, making `pars`, then groups the paragraphs into
// the pages of `filelist`. Raises VelloraError, changing nothing, when there
// are phrases but no template line holds a "$" place for one. Phrases go
// into the pages' HTML as text (AsPageText); the user's templates, user
// phrases and addresses go in as they are.
void maketxtClick(MainState& state, Notifier& notifier);

// Page writer ("save"): writes every page of `filelist`, the index page and,
// with a directory address in `edataurl`, sitemap.xml into `eresfolder`. An
// empty `htmltemplate` writes nothing and leaves the step unfinished (its
// status text and disabled button stay).
void makefilesClick(MainState& state, Notifier& notifier);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_STEPS_H_
