// Small pieces shared by the pipeline steps: progress texts, reading the
// number fields, counts kept as text, and the plain-text operations the
// steps apply to phrases and pages.

#ifndef VELLORA_PIPELINE_STEP_SUPPORT_H_
#define VELLORA_PIPELINE_STEP_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/integer_spin.h"
#include "base/notifier.h"
#include "base/random.h"
#include "state/main_state.h"
#include "text/text_mode.h"

namespace vellora {

// Sets status texts without allocating per text. Progress texts read
// `activity` + " [" + done + "/" + total + "]". A text equal to the one shown
// last is not passed on again, so the sequence of distinct texts is kept.
class StatusReporter {
 public:
  StatusReporter(MainState& state, Notifier& notifier) : state_(state), notifier_(notifier) {}

  void Set(std::string_view text);
  void Progress(std::string_view activity, int64_t done, int64_t total);

 private:
  void Publish();

  MainState& state_;
  Notifier& notifier_;
  std::string buffer_;
};

// Runs `body`, the work of a step whose input survives a failure (the page
// writer, word extraction): when `body` raises, the step's button flag
// `enabled` is set again and the status text becomes `failed_status`, so the
// user can correct the cause (a mistyped folder, an unreadable file) and
// press the button again at once; then the exception goes on to the caller,
// which shows it. Everything else `body` left stays as it was at the
// failure.
template <typename Body>
void RunRetryableStep(MainState& state, Notifier& notifier, bool MainState::*enabled,
                      const char* failed_status, Body&& body) {
  try {
    body();
  } catch (...) {
    state.*enabled = true;
    SetStatus(state, notifier, failed_status);
    throw;
  }
}

// The value of a number field, clamped into its range: text that a user
// typed and never left stays as typed, and the steps read it as the field
// would show it after leaving.
int64_t ClampedValue(const IntegerSpin& spin);

// RandomBetween over a pair taken in order: a lower bound above its upper
// bound is read as the same interval the other way round.
int64_t RandomBetweenOrdered(RandomGenerator& random, int64_t a, int64_t b);

// A count kept as decimal text: an optional sign and decimal digits. Any
// other text, and a number beyond the 64-bit range, reads as 0.
int64_t ParseCount(std::string_view text);

// `text` without its leading and trailing bytes of code 32 and below.
std::string_view TrimControls(std::string_view text);

// `text` with its first character changed from a..z to A..Z when the text
// has at least two characters; otherwise unchanged. In Unicode mode the
// first character of UTF-8 `text` goes to its title case by Unicode ("élan"
// gives "Élan"), and the two characters are counted as characters.
std::string Capitalised(std::string_view text, TextMode mode = TextMode::kAnsi);

// A page's file name made from the phrase `text` in the text mode `mode`:
// every character of `/\?:*"><|` and space becomes "-" (a backslash
// stays), then "." and `extension` follow. In Unicode mode every other
// white-space character (the no-break space, U+2000 to U+200A, ...) becomes
// "-" as a space does; letters of every script stay as they are.
std::string FileNameOf(std::string_view text, std::string_view extension, TextMode mode);

// A phrase made from the words of the grabbed pages as a page's HTML holds
// it (in sentences, link and image texts, titles, headings, keywords and
// descriptions). In Unicode mode extraction decoded the pages' character
// references, so "<", ">", "&" and '"' in a word are characters of its text:
// they are written as "&lt;", "&gt;", "&amp;" and "&quot;". In ANSI mode a
// word keeps the references as the page wrote them and is written as it is.
// The user's own texts (templates, user phrases, addresses) never go
// through this: their markup is kept.
void AppendAsPageText(std::string& out, std::string_view phrase, TextMode mode);
std::string AsPageText(std::string_view phrase, TextMode mode);

// Every occurrence of `from` in `text`, compared ignoring case by the code
// page's upper-case mapping, replaced by `to`, left to right, without
// rescanning the replacement. An empty `from` matches nothing.
std::string ReplaceAllIgnoringCase(std::string_view text, std::string_view from,
                                   std::string_view to);

// The offset of the first occurrence of `needle` in `text` at or after
// `from`, compared ignoring case, or npos. An empty needle is never found.
size_t FindIgnoringCase(std::string_view text, std::string_view needle, size_t from = 0);

// Appends `number` in decimal to `out`.
void AppendDecimal(std::string& out, int64_t number);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_STEP_SUPPORT_H_
