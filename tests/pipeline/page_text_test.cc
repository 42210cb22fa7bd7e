// Words from the grabbed pages written as text: in Unicode mode a phrase
// holding "<", ">", "&" or '"' reaches the written pages as text (read back
// through libxml2's HTML parser) wherever it goes, while the user's
// template, user phrases and addresses keep their markup; in ANSI mode the
// pages are byte for byte what they always were.

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "pipeline/step_support.h"
#include "pipeline/steps.h"
#include "pipeline_test_support.h"
#include "reference_steps.h"

namespace vellora {
namespace {

using ::vellora::testing::Captions;
using ::vellora::testing::MakeState;
using ::vellora::testing::RecordingNotifier;
using ::vellora::testing::ScratchFolder;
using Strings = std::vector<std::string>;

// A written page as a browser reads it.
struct ParsedPage {
  std::multiset<std::string> elements;      // every element's name
  std::string title;                        // the text of <title>
  std::string body_text;                    // all text of <body>, in order
  std::map<std::string, std::string> meta;  // meta name -> content
  Strings headings;                         // the text of each h1 and h2
  Strings link_texts;                       // the text of each <a>
  Strings image_alts;
  Strings template_spans;  // the text of each <span class="tpl">
  Strings emphasised;      // the text of each <em>
};

std::string Text(const xmlNode* node) {
  xmlChar* content = xmlNodeGetContent(node);
  std::string text = content == nullptr ? "" : reinterpret_cast<const char*>(content);
  xmlFree(content);
  return text;
}

std::string Attribute(const xmlNode* node, const char* name) {
  xmlChar* value = xmlGetProp(node, reinterpret_cast<const xmlChar*>(name));
  std::string text = value == nullptr ? "" : reinterpret_cast<const char*>(value);
  xmlFree(value);
  return text;
}

void Walk(const xmlNode* node, bool in_body, ParsedPage& page) {
  for (; node != nullptr; node = node->next) {
    if (node->type == XML_TEXT_NODE && in_body) {
      page.body_text += reinterpret_cast<const char*>(node->content);
      continue;
    }
    if (node->type != XML_ELEMENT_NODE) continue;
    const std::string name = reinterpret_cast<const char*>(node->name);
    page.elements.insert(name);
    if (name == "title") page.title = Text(node);
    if (name == "meta") page.meta[Attribute(node, "name")] = Attribute(node, "content");
    if (name == "h1" || name == "h2") page.headings.push_back(Text(node));
    if (name == "a") page.link_texts.push_back(Text(node));
    if (name == "img") page.image_alts.push_back(Attribute(node, "alt"));
    if (name == "em") page.emphasised.push_back(Text(node));
    if (name == "span" && Attribute(node, "class") == "tpl") {
      page.template_spans.push_back(Text(node));
    }
    Walk(node->children, in_body || name == "body", page);
  }
}

ParsedPage Parse(const std::string& html) {
  ParsedPage page;
  htmlDocPtr doc = htmlReadMemory(html.data(), static_cast<int>(html.size()), nullptr, "UTF-8",
                                  HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET);
  EXPECT_NE(doc, nullptr);
  if (doc == nullptr) return page;
  Walk(xmlDocGetRootElement(doc), false, page);
  xmlFreeDoc(doc);
  return page;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// Phrases as Unicode-mode extraction leaves them after decoding "&lt;test&gt;",
// "&amp;" and "&quot;"; "é" shows that other characters pass untouched.
// Each sentence takes two of them; the first of each pair titles a paragraph.
const Strings kPhrases = {"<test> caf\xC3\xA9", "</test> <>", "tom & \"jerry\"", "plain words",
                          "x<y & y>z",          "a>b",        "<b>bold</b>",     "last \"one\""};

constexpr char kTemplate[] =
    "<html><head><title>$description$</title>\r\n"
    "<meta name=\"keywords\" content=\"$keywords$\">\r\n"
    "<meta name=\"description\" content=\"$description$\"></head>\r\n"
    "<body><div id=\"nav\">$links$</div><div id=\"main\">$content$</div></body></html>\r\n";

class PageTextTest : public ::testing::Test {
 protected:
  PageTextTest() {
    state_.samples.SetText(TextList::JoinLines(kPhrases));
    state_.templates.SetText("<span class=\"tpl\">$</span> and $.\r\n");
    state_.usersamples.SetText("<em>Own</em> &amp; best\r\n");
    state_.urlsurl.SetText("http://example.com/?a=1&amp;b=2\r\n");
    state_.imagesurl.SetText("pic.png\r\n");
    for (IntegerSpin* spin : {&state_.sentmin, &state_.sentmax, &state_.parmin, &state_.parmax,
                              &state_.urlmin, &state_.urlmax, &state_.imagemin, &state_.imagemax}) {
      spin->SetValue(1);
    }
    state_.parmax.SetValue(2);
    state_.esitename = "Site";
    state_.htmltemplate.SetText(kTemplate);
    state_.indexpage.SetText("<p class=\"own\">Welcome &amp; hello</p>");
  }

  // The written file of each page, the index page last.
  Strings WrittenPages() const {
    Strings pages;
    for (const ReportRow& row : state_.filelist.Rows()) {
      pages.push_back(ReadWholeFile(state_.eresfolder + "/" + row.caption));
    }
    pages.push_back(ReadWholeFile(state_.eresfolder + "/index.htm"));
    return pages;
  }

  ScratchFolder scratch_;
  MainState state_ = MakeState(scratch_, 5);
  RecordingNotifier notifier_;
};

TEST_F(PageTextTest, UnicodeModeWritesWordsAsTextAndKeepsTheUsersMarkup) {
  state_.unicodetext = true;
  maketxtClick(state_, notifier_);
  ASSERT_GE(state_.filelist.Count(), 3);
  // Each sentence takes two phrases; the paragraph titles are the phrases
  // themselves, the columns of the pages their HTML.
  EXPECT_EQ(Captions(state_.pars), (Strings{kPhrases[0], kPhrases[2], kPhrases[4], kPhrases[6]}));
  EXPECT_EQ(state_.filelist.SubItem(0, 2), "<em>Own</em> &amp; best, &lt;test&gt; caf\xC3\xA9");
  makefilesClick(state_, notifier_);
  ASSERT_EQ(state_.Status, "Done.");

  const Strings written = WrittenPages();
  const std::set<std::string> allowed = {"html", "head", "title", "meta",   "body",
                                         "div",  "span", "a",     "center", "h1",
                                         "h2",   "br",   "img",   "em",     "p"};
  // The link list's texts: the index page, the user phrase's title (its
  // markup read as markup), then the titles made of phrases, as text.
  Strings titles = {"Index", "Own & best"};
  for (int row = 1; row < state_.filelist.Count(); ++row) {
    for (const std::string& phrase : kPhrases) {
      if (FileNameOf(phrase, "htm", TextMode::kUnicode) == state_.filelist.Row(row).caption) {
        titles.push_back(Capitalised(phrase, TextMode::kUnicode));
      }
    }
  }
  ASSERT_EQ(titles.size(), state_.filelist.Count() + 1u);

  std::string all_text;  // the text of every page body
  std::string headings, alts, spans;
  for (size_t i = 0; i < written.size(); ++i) {
    SCOPED_TRACE(written[i]);
    ParsedPage page = Parse(written[i]);
    for (const std::string& element : page.elements) EXPECT_TRUE(allowed.count(element)) << element;
    // The template's own elements, each once.
    for (const char* element : {"html", "head", "title", "body"}) {
      EXPECT_EQ(page.elements.count(element), 1u) << element;
    }
    EXPECT_EQ(page.elements.count("div") - page.image_alts.size(), 2u);  // #nav and #main
    EXPECT_EQ(page.meta.size(), 2u);
    ASSERT_GE(page.link_texts.size(), titles.size());
    EXPECT_EQ(Strings(page.link_texts.begin(), page.link_texts.begin() + titles.size()), titles);
    all_text += page.body_text;
    for (const std::string& heading : page.headings) headings += heading + "\n";
    for (const std::string& alt : page.image_alts) alts += alt + "\n";
    for (const std::string& span : page.template_spans) spans += span + "\n";
    if (i == 0) {
      // The user phrase's markup stays markup; the words beside it are text.
      // (libxml2 also reads the <em> inside the title as an element.)
      EXPECT_EQ(page.emphasised, (Strings{"Own", "Own", "Own"}));
      EXPECT_EQ(page.title, "Own & best, <test> caf\xC3\xA9");
      EXPECT_EQ(page.headings[0], "Own & best");
      EXPECT_EQ(page.meta["description"], "<em>Own</em> & best, <test> caf\xC3\xA9");
      EXPECT_EQ(page.meta["keywords"].rfind(page.meta["description"], 0), 0u);
    } else if (i + 1 < written.size()) {
      EXPECT_EQ(page.emphasised, (Strings{"Own"}));
      // A page made of phrases only: its title, description and first
      // heading are its first phrase.
      EXPECT_EQ(page.title, page.meta["description"]);
      EXPECT_EQ(page.headings[0], titles[i + 1]);
      EXPECT_EQ(Capitalised(page.title, TextMode::kUnicode), titles[i + 1]);
      EXPECT_EQ(page.meta["keywords"].rfind(page.title, 0), 0u);
    } else {
      EXPECT_EQ(page.meta["description"], "Site home page");
      EXPECT_TRUE(Contains(page.body_text, "Welcome & hello"));
      EXPECT_EQ(page.elements.count("p"), 1u);
    }
  }
  // Every phrase is text in a page; the paragraph titles are text in the
  // images' alt texts and the headings, and the sentence templates' spans
  // hold the phrases they were filled with.
  for (const std::string& phrase : kPhrases) EXPECT_TRUE(Contains(all_text, phrase)) << phrase;
  const std::string titled = "<test> caf\xC3\xA9\ntom & \"jerry\"\nx<y & y>z\n<b>bold</b>\n";
  EXPECT_EQ(alts, titled);
  EXPECT_EQ(spans, titled);
  EXPECT_EQ(headings, "Own & best\n<test> caf\xC3\xA9\nTom & \"jerry\"\nX<y & y>z\n<b>bold</b>\n");
}

TEST_F(PageTextTest, AnsiModeWritesThePhrasesAsTheyAre) {
  MainState plain = state_;
  plain.eresfolder = scratch_.Path() + "plain";
  maketxtClick(state_, notifier_);
  makefilesClick(state_, notifier_);
  reference::maketxtClick(plain, notifier_);
  reference::makefilesClick(plain, notifier_);
  const Strings written = WrittenPages();
  for (const ReportRow& row : state_.filelist.Rows()) {
    EXPECT_EQ(ReadWholeFile(state_.eresfolder + "/" + row.caption),
              ReadWholeFile(plain.eresfolder + "/" + row.caption));
  }
  EXPECT_EQ(ReadWholeFile(state_.eresfolder + "/index.htm"),
            ReadWholeFile(plain.eresfolder + "/index.htm"));
  std::string all;
  for (const std::string& page : written) all += page;
  for (const std::string& phrase : kPhrases) EXPECT_TRUE(Contains(all, phrase)) << phrase;
}

TEST(StepSupportTest, AsPageTextEscapesFourCharactersInUnicodeModeOnly) {
  const std::string phrase = "<a href=\"x\">&amp; caf\xC3\xA9 $content$</a>";
  EXPECT_EQ(AsPageText(phrase, TextMode::kAnsi), phrase);
  EXPECT_EQ(AsPageText(phrase, TextMode::kUnicode),
            "&lt;a href=&quot;x&quot;&gt;&amp;amp; caf\xC3\xA9 $content$&lt;/a&gt;");
  EXPECT_EQ(AsPageText("", TextMode::kUnicode), "");
  std::string out = "kept ";
  AppendAsPageText(out, "&", TextMode::kUnicode);
  EXPECT_EQ(out, "kept &amp;");
}

}  // namespace
}  // namespace vellora
