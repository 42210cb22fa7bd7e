// bprocessClick and wordsKeyDown: word extraction over the working folder.
//
// The token list is cleaned in one pass and counted through a hash index
// (WordCounter); the rows are put in caption order once, after counting,
// instead of being re-sorted as each word arrives. The final order is by
// count, largest first, and by caption among equal counts. The text mode
// decides how a file's bytes become tokens (TokenExtractor) and how a
// token's characters are counted.

#include <sys/stat.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "pipeline/step_support.h"
#include "pipeline/steps.h"
#include "pipeline/token_extractor.h"
#include "pipeline/word_counter.h"
#include "text/utf8.h"

namespace vellora {
namespace {

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// Calls `visit(line)` for every line of `text`, a text whose every line ends
// with CR LF.
template <typename Visit>
void ForEachLine(const std::string& text, Visit visit) {
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    visit(std::string_view(text).substr(pos, end - pos));
    pos = end + 2;
  }
}

size_t CountLines(const std::string& text) {
  size_t lines = 0;
  ForEachLine(text, [&lines](std::string_view) { ++lines; });
  return lines;
}

// True for a file's text (up to its first NUL) that is valid UTF-8 with
// characters beyond ASCII: text that ANSI mode reads as Windows-1252.
bool IsUtf8BeyondAscii(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\0'));
  return !IsAscii(bytes) && IsValidUtf8(bytes);
}

// `setting` names the Unicode mode setting as the front end shows it.
std::string Utf8FilesMessage(int64_t files, const std::string& setting) {
  const std::string count = std::to_string(files);
  return (files == 1 ? "1 file read holds" : count + " files read hold") +
         " UTF-8 text with letters beyond ASCII, which ANSI mode reads as Windows-1252 and "
         "does not count correctly. Unicode mode (" +
         setting + ") counts " + (files == 1 ? "its" : "their") + " words correctly.";
}

}  // namespace

void bprocessClick(MainState& state, Notifier& notifier) {
  ExtractWords(state, notifier, TextModeOf(state.unicodetext));
}

namespace {

// The work of ExtractWords.
void ExtractWordsOnce(MainState& state, Notifier& notifier, TextMode mode) {
  StatusReporter status(state, notifier);
  state.bprocess_enabled = false;
  state.mytext.Clear();

  // Read every admitted file of the working folder into the token list; a
  // file that cannot be read ends the run with the tokens so far kept.
  TokenExtractor extractor(mode, static_cast<ExtractMode>(ClampedValue(state.extractmode)));
  int64_t utf8_files = 0;
  std::string folder = state.WorkingFolder();
  if (!folder.empty() && folder.back() != '/') folder += '/';
  std::string tokens;
  if (!folder.empty()) {
    for (const DirEntry& entry : ListDirectory(folder)) {
      if (entry.is_directory || entry.is_hidden || IsTemporaryFileName(entry.name)) continue;
      const std::string path = folder + entry.name;
      if (!IsRegularFile(path)) continue;
      status.Set("Processing file " + path);
      std::string bytes;
      try {
        bytes = ReadWholeFile(path);
      } catch (...) {
        state.myfile.Clear();
        state.mytext.SetText(std::move(tokens));
        throw;
      }
      if (mode == TextMode::kAnsi && IsUtf8BeyondAscii(bytes)) ++utf8_files;
      std::string file_tokens = extractor.Extract(std::move(bytes), entry.name);
      if (tokens.empty()) {
        tokens = std::move(file_tokens);
      } else {
        tokens += file_tokens;
      }
      tokens += "\r\n";  // the file's text is added as lines: one empty line follows
    }
  }
  state.myfile.Clear();

  // Cleaning.
  status.Set("Cleaning up the word list...");
  const int64_t total_lines = static_cast<int64_t>(CountLines(tokens));
  TokenFilter filter(state.prohibited, state.dontcontain, mode);
  // The kept lines are moved down within the token list itself: a kept line
  // never lands beyond where it was read, so no second list is needed.
  size_t kept_end = 0;
  int64_t examined = 0;
  ForEachLine(tokens, [&](std::string_view line) {
    if (!line.empty() && filter.Keeps(LineAsRead(line, mode))) {
      const size_t at = static_cast<size_t>(line.data() - tokens.data());
      if (at != kept_end) std::memmove(tokens.data() + kept_end, line.data(), line.size());
      kept_end += line.size();
      // Where the line's own CR LF stood, or earlier.
      tokens.replace(kept_end, std::min<size_t>(2, tokens.size() - kept_end), "\r\n");
      kept_end += 2;
    }
    ++examined;
    if (examined % 10 == 0) status.Progress("Cleaning up the word list", examined, total_lines);
  });
  tokens.resize(kept_end);
  state.mytext.SetText(std::move(tokens));
  const std::string& kept = state.mytext.Text();

  // Counting.
  status.Set("Generating final word list table...");
  state.words.Clear();
  const int64_t token_count = static_cast<int64_t>(CountLines(kept));
  WordCounter counter(mode);
  int64_t index = 0;
  ForEachLine(kept, [&](std::string_view line) {
    counter.Add(LineAsRead(line, mode));
    if (index % 10 == 0) status.Progress("Generating final word list table", index, token_count);
    ++index;
  });
  std::vector<WordCounter::Word> words = counter.TakeWords();
  std::sort(words.begin(), words.end(),
            [](const WordCounter::Word& a, const WordCounter::Word& b) { return a.text < b.text; });

  // Rate filter and multiplier, in caption order.
  const int64_t min_rate = ClampedValue(state.minwordrate);
  const int64_t multiplier = ClampedValue(state.ratemultiplier);
  const int64_t row_count = static_cast<int64_t>(words.size());
  std::vector<WordCounter::Word> rated;
  rated.reserve(words.size());
  int64_t m = 1;
  for (WordCounter::Word& word : words) {
    if (word.count >= min_rate) {
      if (multiplier > 1) word.count *= multiplier;
      rated.push_back(std::move(word));
    }
    ++m;
    if (m % 10 == 0) status.Progress("Processing word rate", m, row_count);
  }
  std::stable_sort(
      rated.begin(), rated.end(),
      [](const WordCounter::Word& a, const WordCounter::Word& b) { return a.count > b.count; });

  int64_t sum = 0;
  std::vector<ReportRow>& rows = state.words.MutableRows();
  rows.reserve(rated.size());
  for (WordCounter::Word& word : rated) {
    sum += word.count;
    rows.push_back(ReportRow{std::move(word.text), {std::to_string(word.count)}});
  }

  status.Set("Done.");
  state.wordcount =
      "Unique words: " + std::to_string(rows.size()) + ", total: " + std::to_string(sum) + ".";
  state.bprocess_enabled = true;
  if (utf8_files > 0) {
    notifier.Notice(Utf8FilesMessage(utf8_files, notifier.SettingName("unicodetext")));
  }
}

}  // namespace

void ExtractWords(MainState& state, Notifier& notifier, TextMode mode) {
  // The files stay in the working folder: a failed run can be retried at once.
  RunRetryableStep(state, notifier, &MainState::bprocess_enabled, kExtractFailedStatus,
                   [&] { ExtractWordsOnce(state, notifier, mode); });
}

void wordsKeyDown(MainState& state, int row) {
  if (row < 0 || row >= state.words.Count()) return;
  state.words.Delete(row);
}

}  // namespace vellora
