// The steps against their plain transcriptions (reference_steps.h) on many
// random inputs and seeds: the state each leaves, the status texts a user
// sees, the generator's state and every file written must be identical.

#include <dirent.h>

#include <map>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "pipeline/steps.h"
#include "pipeline_test_support.h"
#include "reference_steps.h"

namespace vellora {
namespace {

using ::vellora::testing::MakeState;
using ::vellora::testing::RecordingNotifier;
using ::vellora::testing::ScratchFolder;

// Random test inputs; a generator apart from the one the steps draw from.
class Inputs {
 public:
  explicit Inputs(uint32_t seed) : random_(seed) {}

  uint32_t Below(uint32_t n) { return random_.Random(n); }
  bool OneIn(uint32_t n) { return Below(n) == 0; }

  std::string Word() {
    static const char* const kWords[] = {
        "alpha",  "Beta", "gamma",    "the",     "a",         "I",       "thing",
        "singer", "x1",   "2x",       "caf\xE9", "\xC9t\xE9", "&amp;",   "ab",
        "zz",     "Zz",   "www.site", "$",       "$content$", "q\"uote", "dash-y"};
    return kWords[Below(sizeof kWords / sizeof kWords[0])];
  }

  std::string Phrase(int max_words) {
    std::string phrase = Word();
    for (int n = static_cast<int>(Below(static_cast<uint32_t>(max_words))); n > 0; --n) {
      phrase += " " + Word();
    }
    return phrase;
  }

  // A page of markup, numbers, punctuation, white space and line breaks.
  std::string Page() {
    static const char* const kPieces[] = {
        " ",  "  ", "\t", "\r\n", "\n",  "\r", "<b>",  "</b>", "<a href=\"x\">",
        "<>", ">",  "<",  "2010", "3.5", ",",  ".",    "!",    ":",
        ";",  "(",  ")",  "[",    "]",   "\"", "\x0c", "\x01"};
    std::string page;
    for (int n = static_cast<int>(Below(120)); n > 0; --n) {
      page += OneIn(2) ? Word() : kPieces[Below(sizeof kPieces / sizeof kPieces[0])];
    }
    if (OneIn(15)) page += std::string(4200, 'w') + " tail";
    if (OneIn(15)) page += std::string("after\0nul", 9);
    return page;
  }

  std::string LinesOf(int max_lines, bool phrases) {
    std::string text;
    for (int n = static_cast<int>(Below(static_cast<uint32_t>(max_lines) + 1)); n > 0; --n) {
      text += (phrases ? Phrase(4) : Word()) + "\r\n";
    }
    return text;
  }

  std::string Template() {
    static const char* const kTemplates[] = {"$ and $.",          "$", "Plain.", "", "$ $ $!",
                                             "Say $, then stop.", "$$"};
    return kTemplates[Below(sizeof kTemplates / sizeof kTemplates[0])];
  }

  void Bounds(IntegerSpin& low, IntegerSpin& high, uint32_t span) {
    low.SetValue(1 + Below(span));
    high.SetValue(1 + Below(span));
  }

 private:
  RandomGenerator random_;
};

void ExpectSameLists(const ReportList& a, const ReportList& b, const char* name) {
  ASSERT_EQ(a.Count(), b.Count()) << name;
  for (int i = 0; i < a.Count(); ++i) {
    EXPECT_EQ(a.Row(i).caption, b.Row(i).caption) << name << " row " << i;
    EXPECT_EQ(a.Row(i).sub_items, b.Row(i).sub_items) << name << " row " << i;
  }
}

void ExpectSameState(const MainState& fast, const MainState& plain) {
  ExpectSameLists(fast.words, plain.words, "words");
  ExpectSameLists(fast.pars, plain.pars, "pars");
  ExpectSameLists(fast.filelist, plain.filelist, "filelist");
  EXPECT_EQ(fast.mytext.Text(), plain.mytext.Text());
  EXPECT_EQ(fast.myfile.Text(), plain.myfile.Text());
  EXPECT_EQ(fast.samples.Text(), plain.samples.Text());
  EXPECT_EQ(fast.wordcount, plain.wordcount);
  EXPECT_EQ(fast.phrasescount, plain.phrasescount);
  EXPECT_EQ(fast.edataurl, plain.edataurl);
  EXPECT_EQ(fast.Status, plain.Status);
  EXPECT_EQ(fast.random.Seed(), plain.random.Seed());
  EXPECT_EQ(fast.bprocess_enabled, plain.bprocess_enabled);
  EXPECT_EQ(fast.makewordphrases_enabled, plain.makewordphrases_enabled);
  EXPECT_EQ(fast.maketxt_enabled, plain.maketxt_enabled);
  EXPECT_EQ(fast.makefiles_enabled, plain.makefiles_enabled);
}

void ExpectSameStatuses(const RecordingNotifier& fast, const RecordingNotifier& plain) {
  EXPECT_EQ(fast.statuses, fast.Distinct()) << "a text repeated back to back";
  EXPECT_EQ(fast.Distinct(), plain.Distinct());
}

std::map<std::string, std::string> FolderFiles(const std::string& folder) {
  std::map<std::string, std::string> files;
  for (const DirEntry& entry : ListDirectory(folder)) {
    if (!entry.is_directory) files[entry.name] = ReadWholeFile(folder + "/" + entry.name);
  }
  return files;
}

// Runs `step` on a copy of `state` and `reference` on another, and compares.
template <typename Fast, typename Plain>
void RunBoth(const MainState& state, Fast step, Plain reference, MainState* fast_out = nullptr) {
  MainState fast = state, plain = state;
  RecordingNotifier fast_notifier, plain_notifier;
  std::string fast_error, plain_error;
  try {
    step(fast, fast_notifier);
  } catch (const VelloraError& e) {
    fast_error = e.what();
  }
  try {
    reference(plain, plain_notifier);
  } catch (const VelloraError& e) {
    plain_error = e.what();
  }
  EXPECT_EQ(fast_error, plain_error);
  ExpectSameState(fast, plain);
  ExpectSameStatuses(fast_notifier, plain_notifier);
  if (fast_out != nullptr) *fast_out = std::move(fast);
}

TEST(DifferentialTest, WordExtraction) {
  for (uint32_t seed = 1; seed <= 120; ++seed) {
    SCOPED_TRACE(seed);
    Inputs in(seed);
    ScratchFolder scratch;
    MainState state = MakeState(scratch, seed);
    for (int n = static_cast<int>(in.Below(6)); n > 0; --n) {
      WriteWholeFile(state.eworkingfolder + "page" + std::to_string(n) + ".htm", in.Page());
    }
    // Some runs repeat one page many times, for the progress texts.
    if (in.OneIn(4)) {
      std::string big;
      for (int i = 0; i < 40; ++i) big += in.Page();
      WriteWholeFile(state.eworkingfolder + "big.txt", big);
    }
    state.prohibited.SetText(in.LinesOf(4, false));
    state.dontcontain.SetText(in.OneIn(3) ? "" : "in\r\n\r\n.s\r\n");
    state.minwordrate.SetValue(1 + in.Below(3));
    state.ratemultiplier.SetValue(1 + in.Below(3));
    if (in.OneIn(5)) state.minwordrate.SetText("not a number");
    state.words.Add(ReportRow{"stale", {"9"}});
    RunBoth(state, bprocessClick, reference::bprocessClick);
  }
}

TEST(DifferentialTest, PhraseCreation) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    Inputs in(seed);
    MainState state;
    state.random.SetSeed(seed * 2654435761u);
    const int rows = static_cast<int>(in.Below(seed % 10 == 0 ? 300 : 40));
    for (int i = 0; i < rows; ++i) {
      std::string count = std::to_string(in.Below(12));
      if (in.OneIn(12)) count = "-" + count;
      if (in.OneIn(15)) count = "n/a";
      if (in.OneIn(10)) count = std::to_string(in.Below(200));
      state.words.Add(ReportRow{in.Word() + std::to_string(i), {count}});
    }
    state.phraselength.SetValue(1 + in.Below(10));
    if (in.OneIn(10)) state.phraselength.SetText("40");  // typed, not yet clamped
    RunBoth(state, makewordphrasesClick, reference::makewordphrasesClick);
  }
}

TEST(DifferentialTest, ParagraphGeneration) {
  for (uint32_t seed = 1; seed <= 300; ++seed) {
    SCOPED_TRACE(seed);
    Inputs in(seed);
    MainState state;
    state.random.SetSeed(seed * 40503u);
    state.samples.SetText(in.LinesOf(seed % 7 == 0 ? 600 : 80, true));
    std::string templates;
    for (int n = static_cast<int>(in.Below(6)); n > 0; --n) templates += in.Template() + "\r\n";
    state.templates.SetText(templates);
    if (in.OneIn(3)) state.urlsurl.SetText(in.LinesOf(3, false));
    if (in.OneIn(3)) state.imagesurl.SetText(in.LinesOf(3, false));
    if (in.OneIn(3)) state.usersamples.SetText(in.LinesOf(4, true));
    in.Bounds(state.sentmin, state.sentmax, 8);
    in.Bounds(state.parmin, state.parmax, 6);
    in.Bounds(state.urlmin, state.urlmax, 6);
    in.Bounds(state.imagemin, state.imagemax, 6);
    state.pars.Add(ReportRow{"stale", {"x"}});
    RunBoth(state, maketxtClick, reference::maketxtClick);
  }
}

TEST(DifferentialTest, PageWriter) {
  for (uint32_t seed = 1; seed <= 80; ++seed) {
    SCOPED_TRACE(seed);
    Inputs in(seed);
    ScratchFolder scratch;
    MainState state = MakeState(scratch, seed);
    for (int n = static_cast<int>(in.Below(8)); n > 0; --n) {
      state.filelist.Add(ReportRow{in.Word() + std::to_string(in.Below(5)) + ".htm",
                                   {in.Phrase(3), in.Phrase(3), in.Phrase(2), in.Phrase(6)}});
    }
    static const char* const kParts[] = {"$CONTENT$", "$links$",    "$Keywords$", "$description$",
                                         "$charset$", "$sitename$", "$SITEURL$",  "text ",
                                         "\r\n",      "$",          "$links",     "content$"};
    std::string page_template;
    for (int n = static_cast<int>(in.Below(14)); n > 0; --n) page_template += kParts[in.Below(12)];
    state.htmltemplate.SetText(page_template);
    state.esitename = in.Phrase(2);
    state.indexpage.SetText(in.Phrase(5));
    static const char* const kAddresses[] = {"", "x/y", "http://ex.com/d", "http://ex.com/d/",
                                             "http://h/a&b"};
    state.edataurl = kAddresses[in.Below(5)];
    MainState fast = state, plain = state;
    plain.eresfolder = scratch.Path() + "plain";
    RecordingNotifier fast_notifier, plain_notifier;
    std::string fast_error, plain_error;
    try {
      makefilesClick(fast, fast_notifier);
    } catch (const VelloraError& e) {
      fast_error = e.what();
    }
    try {
      reference::makefilesClick(plain, plain_notifier);
    } catch (const VelloraError& e) {
      plain_error = e.what();
    }
    EXPECT_EQ(fast_error.empty(), plain_error.empty());
    plain.eresfolder = fast.eresfolder;
    ExpectSameState(fast, plain);
    ExpectSameStatuses(fast_notifier, plain_notifier);
    EXPECT_EQ(FolderFiles(scratch.Path() + "res"), FolderFiles(scratch.Path() + "plain"));
  }
}

TEST(DifferentialTest, TheWholeRoad) {
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    Inputs in(seed);
    ScratchFolder scratch;
    MainState state = MakeState(scratch, seed);
    for (int n = 1 + static_cast<int>(in.Below(4)); n > 0; --n) {
      std::string page;
      for (int i = 0; i < 10; ++i) page += in.Page();
      WriteWholeFile(state.eworkingfolder + "p" + std::to_string(n) + ".htm", page);
    }
    state.templates.SetText("$ and $.\r\nWhy $?\r\nPlain.\r\n");
    state.urlsurl.SetText("http://u1/\r\nhttp://u2/\r\n");
    state.imagesurl.SetText("i.png\r\n");
    in.Bounds(state.urlmin, state.urlmax, 9);
    in.Bounds(state.imagemin, state.imagemax, 9);
    state.htmltemplate.SetText("<title>$sitename$</title>$keywords$\r\n$links$\r\n$content$\r\n");
    state.edataurl = "http://example.com/pages";
    MainState fast = state;
    RunBoth(state, bprocessClick, reference::bprocessClick, &fast);
    MainState next = fast;
    RunBoth(next, makewordphrasesClick, reference::makewordphrasesClick, &fast);
    next = fast;
    RunBoth(next, maketxtClick, reference::maketxtClick, &fast);
    next = fast;
    EXPECT_GT(next.filelist.Count(), 0);
    MainState plain = next;
    plain.eresfolder = scratch.Path() + "plain";
    RecordingNotifier notifier;
    makefilesClick(next, notifier);
    reference::makefilesClick(plain, notifier);
    EXPECT_EQ(FolderFiles(scratch.Path() + "res"), FolderFiles(scratch.Path() + "plain"));
  }
}

}  // namespace
}  // namespace vellora
