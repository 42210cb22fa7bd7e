// Paragraph and page generation: templates and phrases, links and images,
// paragraphs grouped into pages, user phrases, file names, the rules for
// bounds taken the wrong way round and templates without a place.

#include <string>
#include <vector>

#include "base/errors.h"
#include "pipeline/step_support.h"
#include "pipeline/steps.h"
#include "pipeline_test_support.h"

namespace vellora {
namespace {

using ::vellora::testing::Captions;
using ::vellora::testing::RecordingNotifier;
using Strings = std::vector<std::string>;

std::string Lines(const Strings& lines) { return TextList::JoinLines(lines); }

std::string Phrases(int count) {
  Strings lines;
  for (int i = 1; i <= count; ++i) lines.push_back("p" + std::to_string(i));
  return Lines(lines);
}

class ParagraphGenerationTest : public ::testing::Test {
 protected:
  ParagraphGenerationTest() {
    state_.random.SetSeed(11);
    state_.templates.SetText("$\r\n");
    // One paragraph of many sentences, one page of many paragraphs.
    state_.sentmin.SetValue(1000);
    state_.sentmax.SetValue(1000);
    state_.parmin.SetValue(1000);
    state_.parmax.SetValue(1000);
  }

  const std::string& Paragraph(int i) const { return state_.pars.SubItem(i, 0); }

  MainState state_;
  RecordingNotifier notifier_;
};

TEST_F(ParagraphGenerationTest, FillsPlacesInOrderAndTitlesWithTheFirstPhrase) {
  state_.templates.SetText("$ and $.\r\n");
  state_.samples.SetText(Phrases(4));
  state_.sentmin.SetValue(1);
  state_.sentmax.SetValue(1);
  state_.parmin.SetValue(1);
  state_.parmax.SetValue(1);
  maketxtClick(state_, notifier_);
  EXPECT_EQ(Captions(state_.pars), (Strings{"p1", "p3"}));
  EXPECT_EQ(Paragraph(0), "p1 and p2.");
  EXPECT_EQ(Paragraph(1), "p3 and p4.");
  ASSERT_EQ(state_.filelist.Count(), 2);
  const ReportRow& page = state_.filelist.Row(0);
  EXPECT_EQ(page.caption, "p1.htm");
  EXPECT_EQ(page.sub_items, (Strings{"P1", "p1", "p1", "\r\n<h1>P1</h1>\r\n\r\np1 and p2.\r\n"}));
  EXPECT_TRUE(state_.samples.Empty());
  EXPECT_FALSE(state_.maketxt_enabled);
  EXPECT_TRUE(state_.makefiles_enabled);
  EXPECT_EQ(state_.phrasescount, "Phrases count = 0");
  EXPECT_EQ(notifier_.statuses,
            (Strings{"Using the samples [0/4]", "Preparing file content [0/2]", "Done."}));
}

TEST_F(ParagraphGenerationTest, LinksFollowTheirInterval) {
  state_.urlsurl.SetText("u1\r\nu2\r\n");
  state_.urlmin.SetValue(2);
  state_.urlmax.SetValue(2);
  state_.samples.SetText(Phrases(7));
  maketxtClick(state_, notifier_);
  EXPECT_EQ(Paragraph(0),
            "p1 p2 <a href=\"u1\">p3</a> p4 <a href=\"u2\">p5</a> p6 <a href=\"u1\">p7</a>");
}

TEST_F(ParagraphGenerationTest, ImagesFollowEveryThirdSentenceAcrossParagraphs) {
  state_.imagesurl.SetText("i1.png\r\ni2.png\r\n");
  state_.imagemin.SetValue(3);
  state_.imagemax.SetValue(3);
  state_.sentmin.SetValue(2);
  state_.sentmax.SetValue(2);
  state_.samples.SetText(Phrases(6));
  maketxtClick(state_, notifier_);
  const std::string image1 =
      " <br><br><div align=\"center\"><img src=\"i1.png\" alt=\"p3\"></div><br>";
  const std::string image2 =
      " <br><br><div align=\"center\"><img src=\"i2.png\" alt=\"p5\"></div><br>";
  EXPECT_EQ(Captions(state_.pars), (Strings{"p1", "p3", "p5"}));
  EXPECT_EQ(Paragraph(0), "p1 p2");
  EXPECT_EQ(Paragraph(1), "p3" + image1 + " p4");
  EXPECT_EQ(Paragraph(2), "p5 p6" + image2);
}

TEST_F(ParagraphGenerationTest, ASentenceThatRunsOutOfPhrasesIsDropped) {
  state_.templates.SetText("$ and $\r\n");
  state_.imagesurl.SetText("img\r\n");
  state_.imagemin.SetValue(2);
  state_.imagemax.SetValue(2);
  state_.samples.SetText(Phrases(3));
  maketxtClick(state_, notifier_);
  // The second sentence is dropped, so the image it was due after is lost
  // with the phrases.
  EXPECT_EQ(Paragraph(0), "p1 and p2");
}

TEST_F(ParagraphGenerationTest, TemplatesWithoutPlacesUseNoPhrase) {
  // A run of lines without "$" among lines with one: every phrase is still
  // used once, and the plain sentences stand whole.
  state_.templates.SetText("Plain.\r\n\r\n$!\r\n");
  state_.samples.SetText(Phrases(20));
  maketxtClick(state_, notifier_);
  ASSERT_EQ(state_.pars.Count(), 1);
  std::string expected_uses;
  int plain = 0;
  std::string text = Paragraph(0);
  for (size_t pos = 0; (pos = text.find("Plain.", pos)) != std::string::npos; pos += 6) ++plain;
  EXPECT_GT(plain, 0);
  for (int i = 1; i <= 20; ++i) {
    EXPECT_NE(text.find("p" + std::to_string(i) + "!"), std::string::npos) << i;
  }
}

TEST_F(ParagraphGenerationTest, NoTemplateWithAPlaceStopsBeforeChangingAnything) {
  for (const char* templates : {"", "Plain.\r\nAlso plain.\r\n"}) {
    state_.templates.SetText(templates);
    state_.samples.SetText(Phrases(3));
    state_.pars.Clear();
    state_.pars.Add(ReportRow{"old", {"text"}});
    state_.maketxt_enabled = true;
    try {
      maketxtClick(state_, notifier_);
      FAIL() << "no error";
    } catch (const VelloraError& e) {
      EXPECT_EQ(std::string(e.what()), "No sentence template holds a \"$\" place for a phrase");
    }
    EXPECT_EQ(state_.samples.Count(), 3);
    EXPECT_EQ(Captions(state_.pars), Strings{"old"});
    EXPECT_TRUE(state_.maketxt_enabled);
    EXPECT_EQ(state_.random.Seed(), 11u);
  }
  // Without phrases there is nothing to fill: the run ends normally.
  state_.samples.Clear();
  maketxtClick(state_, notifier_);
  EXPECT_TRUE(state_.pars.Empty());
  EXPECT_TRUE(state_.filelist.Empty());
  EXPECT_FALSE(state_.makefiles_enabled);
  EXPECT_EQ(state_.Status, "Done.");
}

TEST_F(ParagraphGenerationTest, BoundsTheWrongWayRoundActAsTheSamePairInOrder) {
  auto run = [](bool reversed) {
    MainState state;
    RecordingNotifier notifier;
    state.random.SetSeed(5);
    state.templates.SetText("$ $.\r\n$.\r\n");
    state.samples.SetText(Phrases(300));
    state.urlsurl.SetText("u\r\n");
    state.imagesurl.SetText("i\r\n");
    auto set = [reversed](IntegerSpin& low, IntegerSpin& high, int a, int b) {
      low.SetValue(reversed ? b : a);
      high.SetValue(reversed ? a : b);
    };
    set(state.sentmin, state.sentmax, 2, 6);
    set(state.parmin, state.parmax, 1, 4);
    set(state.urlmin, state.urlmax, 3, 9);
    set(state.imagemin, state.imagemax, 2, 5);
    maketxtClick(state, notifier);
    return state;
  };
  MainState in_order = run(false);
  MainState reversed = run(true);
  ASSERT_GT(in_order.filelist.Count(), 3);
  ASSERT_EQ(in_order.filelist.Count(), reversed.filelist.Count());
  for (int i = 0; i < in_order.filelist.Count(); ++i) {
    EXPECT_EQ(in_order.filelist.Row(i).sub_items, reversed.filelist.Row(i).sub_items);
  }
  EXPECT_EQ(in_order.random.Seed(), reversed.random.Seed());
}

TEST_F(ParagraphGenerationTest, PagesTakeTheirHeadsFromUserPhrasesFirst) {
  state_.sentmin.SetValue(1);
  state_.sentmax.SetValue(1);
  state_.parmin.SetValue(2);
  state_.parmax.SetValue(2);
  state_.samples.SetText(
      Lines({"cheap flights paris", "b", "c", "d", "e", "f", "g", "h", "i", "j"}));
  state_.usersamples.SetText("Best Deals: Paris/Rome\r\nsecond one\r\n");
  state_.efileext = "html";
  maketxtClick(state_, notifier_);
  // 10 paragraphs in pages of 2, 2, 2, 2, 2.
  ASSERT_EQ(state_.filelist.Count(), 5);
  EXPECT_EQ(Captions(state_.filelist), (Strings{"Best-Deals--Paris-Rome.html", "second-one.html",
                                                "e.html", "g.html", "i.html"}));
  const ReportRow& first = state_.filelist.Row(0);
  EXPECT_EQ(first.sub_items[0], "Best Deals: Paris/Rome");
  EXPECT_EQ(first.sub_items[1], "Best Deals: Paris/Rome, cheap flights paris, b");
  EXPECT_EQ(first.sub_items[2], "Best Deals: Paris/Rome, cheap flights paris");
  EXPECT_EQ(first.sub_items[3],
            "\r\n<center><h1>Best Deals: Paris/Rome</h1></center>\r\n<h2>Cheap flights paris"
            "</h2>\r\n\r\ncheap flights paris\r\n \r\n<h2>b</h2>\r\n\r\nb\r\n");
  EXPECT_EQ(state_.filelist.Row(1).sub_items[0], "Second one");
  const ReportRow& third = state_.filelist.Row(2);
  EXPECT_EQ(third.sub_items, (Strings{"e", "e, f", "e",
                                      "\r\n<h1>e</h1>\r\n\r\ne\r\n \r\n<h2>f</h2>"
                                      "\r\n\r\nf\r\n"}));
}

TEST_F(ParagraphGenerationTest, UnicodeModeTitlesAndNamesPagesByCharacters) {
  state_.unicodetext = true;
  state_.parmin.SetValue(1);
  state_.parmax.SetValue(1);
  state_.sentmin.SetValue(1);
  state_.sentmax.SetValue(1);
  // élan vital, москва; a user phrase "über uns" names the first page.
  state_.samples.SetText(Lines({"\xC3\xA9lan vital", "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"}));
  state_.usersamples.SetText(Lines({"\xC3\xBC" "ber\xC2\xA0uns"}));
  maketxtClick(state_, notifier_);
  EXPECT_EQ(Captions(state_.filelist),
            (Strings{"\xC3\xBC" "ber-uns.htm", "\xD0\xBC\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0.htm"}));
  const ReportRow& first = state_.filelist.Row(0);
  EXPECT_EQ(first.sub_items[0], "\xC3\x9C" "ber\xC2\xA0uns");
  EXPECT_EQ(first.sub_items[3],
            "\r\n<center><h1>\xC3\x9C" "ber\xC2\xA0uns</h1></center>\r\n<h2>\xC3\x89lan vital</h2>"
            "\r\n\r\n\xC3\xA9lan vital\r\n");
  EXPECT_EQ(state_.filelist.Row(1).sub_items[0],
            "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0");
}

TEST_F(ParagraphGenerationTest, TheLastPageTakesTheParagraphsLeft) {
  state_.sentmin.SetValue(1);
  state_.sentmax.SetValue(1);
  state_.parmin.SetValue(3);
  state_.parmax.SetValue(3);
  state_.samples.SetText(Lines({"same", "x", "y", "same", "z"}));
  maketxtClick(state_, notifier_);
  EXPECT_EQ(Captions(state_.filelist), (Strings{"same.htm", "same.htm"}));
  EXPECT_EQ(state_.filelist.SubItem(1, 1), "same, z");
}

TEST(StepSupportTest, CapitalisedChangesOnlyALeadingLowerCaseAsciiLetter) {
  EXPECT_EQ(Capitalised("cheap flights"), "Cheap flights");
  EXPECT_EQ(Capitalised("a"), "a");
  EXPECT_EQ(Capitalised("1abc"), "1abc");
  EXPECT_EQ(Capitalised("\xE9t\xE9"), "\xE9t\xE9");
  EXPECT_EQ(Capitalised(""), "");
}

TEST(StepSupportTest, CapitalisedInUnicodeModeTitlesTheFirstCharacterOfAnyScript) {
  const TextMode u = TextMode::kUnicode;
  EXPECT_EQ(Capitalised("\xC3\xA9lan", u), "\xC3\x89lan");                          // élan
  EXPECT_EQ(Capitalised("\xD0\xBC\xD0\xB8\xD1\x80", u), "\xD0\x9C\xD0\xB8\xD1\x80");  // мир
  EXPECT_EQ(Capitalised("cheap flights", u), "Cheap flights");
  EXPECT_EQ(Capitalised("a", u), "a");
  EXPECT_EQ(Capitalised("\xC3\xA9", u), "\xC3\xA9");  // one character of two bytes
  EXPECT_EQ(Capitalised("1\xC3\xA9", u), "1\xC3\xA9");
  // ANSI mode leaves the same bytes alone.
  EXPECT_EQ(Capitalised("\xC3\xA9lan"), "\xC3\xA9lan");
}

TEST(StepSupportTest, FileNameOfReplacesItsSetAndInUnicodeModeEverySpace) {
  for (TextMode mode : {TextMode::kAnsi, TextMode::kUnicode}) {
    EXPECT_EQ(FileNameOf("a/b?c:d*e\"f>g<h|i j\\k", "htm", mode), "a-b-c-d-e-f-g-h-i-j\\k.htm");
    EXPECT_EQ(FileNameOf("", "php", mode), ".php");
  }
  // Letters of any script stay; the no-break space, an em space and U+0085
  // are spaces in Unicode mode.
  EXPECT_EQ(FileNameOf("\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0 caf\xC3\xA9", "htm",
                       TextMode::kUnicode),
            "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0-caf\xC3\xA9.htm");
  EXPECT_EQ(FileNameOf("a\xC2\xA0" "b\xE2\x80\x83" "c\xC2\x85" "d \xE6\x97\xA5", "htm",
                       TextMode::kUnicode),
            "a-b-c-d-\xE6\x97\xA5.htm");
  // ANSI mode keeps every byte outside the set, a no-break space A0 too.
  EXPECT_EQ(FileNameOf("a\xA0" "b\xC2\xA0" "c", "htm", TextMode::kAnsi), "a\xA0" "b\xC2\xA0" "c.htm");
}

TEST(StepSupportTest, ReplaceAllIgnoringCaseDoesNotRescanReplacements) {
  EXPECT_EQ(ReplaceAllIgnoringCase("$A$ $a$ $x$", "$a$", "[$A$]"), "[$A$] [$A$] $x$");
  EXPECT_EQ(ReplaceAllIgnoringCase("aaa", "aa", "b"), "ba");
  EXPECT_EQ(ReplaceAllIgnoringCase("\xC9T\xC9 \xE9t\xE9", "\xE9T\xE9", "x"), "x x");
  EXPECT_EQ(ReplaceAllIgnoringCase("abc", "", "x"), "abc");
}

TEST(StepSupportTest, ParseCountReadsOnlyWholeNumbers) {
  EXPECT_EQ(ParseCount("42"), 42);
  EXPECT_EQ(ParseCount("+7"), 7);
  EXPECT_EQ(ParseCount("-3"), -3);
  EXPECT_EQ(ParseCount("5000000000"), 5000000000LL);
  EXPECT_EQ(ParseCount(""), 0);
  EXPECT_EQ(ParseCount("1.5"), 0);
  EXPECT_EQ(ParseCount(" 4"), 0);
  EXPECT_EQ(ParseCount("99999999999999999999"), 0);
}

TEST(StepSupportTest, TabShowSetsBothButtons) {
  MainState state;
  pagegensheetShow(state);
  EXPECT_FALSE(state.maketxt_enabled);
  EXPECT_FALSE(state.makefiles_enabled);
  state.samples.SetText("a\r\n");
  state.filelist.Add(ReportRow{"a.htm", {"A", "", "a", ""}});
  pagegensheetShow(state);
  EXPECT_TRUE(state.maketxt_enabled);
  EXPECT_TRUE(state.makefiles_enabled);
}

}  // namespace
}  // namespace vellora
