// The visible text of pages: what a browser shows, blocks a line, what it
// never shows left out; and the JSON-LD article body.

#include "html/reader_text.h"

#include <gtest/gtest.h>

#include <string>

#include "html/json_ld.h"

namespace vellora {
namespace {

std::string Visible(const std::string& html) { return ReaderText(html, ReaderMode::kVisible); }

TEST(VisibleTextTest, BlocksSeparateWordsAndInlineElementsDoNot) {
  EXPECT_EQ(Visible("<ul><li>Home</li><li>News</li></ul>"), "Home\nNews");
  EXPECT_EQ(Visible("<p>end.</p><p>Next"), "end.\nNext");
  EXPECT_EQ(Visible("<b>New</b>York and <i>old</i> <em>town</em>"), "NewYork and old town");
  EXPECT_EQ(Visible("one<br>two<br/>three"), "one\ntwo\nthree");
  EXPECT_EQ(Visible("<table><tr><td>a1</td><td>b1</td></tr><tr><th>a2</th></tr></table>"),
            "a1\nb1\na2");
  EXPECT_EQ(Visible("<div>x<section>y</section>z</div>"), "x\ny\nz");
}

TEST(VisibleTextTest, WhiteSpaceCollapsesAsInABrowser) {
  EXPECT_EQ(Visible("<p>  one \n\t two  </p>\n\n<p>\nthree </p>"), "one two\nthree");
  // The no-break space and the other Unicode spaces are spaces too.
  EXPECT_EQ(Visible("<p>ten&nbsp;km\xE2\x80\x83"
                    "more\xE3\x80\x80"
                    "end</p>"),
            "ten km more end");
}

TEST(VisibleTextTest, WhatABrowserNeverShowsIsLeftOut) {
  const std::string page =
      "<html><head><title>The title</title><style>p{color:red}</style>"
      "<script>var hidden1 = 1;</script><meta name=x content=hidden2></head><body>"
      "<script type=\"text/javascript\">if (a < b) document.write('hidden3');</script>"
      "<noscript>hidden4</noscript><template><p>hidden5</p></template>"
      "<svg><text>hidden6</text></svg><!-- hidden7 -->"
      "<div hidden>hidden8</div><p aria-hidden=\"true\">hidden9</p>"
      "<span style=\"color: red; DISPLAY : none\">hidden10</span>"
      "<div style=\"visibility:hidden\"><p>hidden11</p></div>"
      "<p aria-hidden=\"false\">shown1</p><iframe>hidden12</iframe>"
      "<p>shown2</p></body></html>";
  const std::string text = Visible(page);
  EXPECT_EQ(text, "The title\nshown1\nshown2");
  EXPECT_EQ(text.find("hidden"), std::string::npos);
}

TEST(VisibleTextTest, TextAfterTheEndOfThePageIsStillRead) {
  // Content after </body></html>, and a second page run into the first, as
  // a browser shows them; a title outside the head is not shown.
  EXPECT_EQ(Visible("<html><body><p>a</p></body></html><p>b</p></BODY ></html>c"), "a\nb\nc");
  EXPECT_EQ(Visible("<html><body><p>a</p></body></html>\n<!DOCTYPE html>\n"
                    "<html><head><title>T</title></head><body><p>c</p></body></html>"),
            "a\nc");
  // Past a text of a mebibyte, the end tags and what follows them.
  for (size_t cut : {1u, 3u, 5u, 6u}) {
    std::string page = "<p>";
    page.append((1u << 20) - page.size() - cut, 'x');
    page += "</body></html><p>after";
    const std::string text = Visible(page);
    EXPECT_EQ(text.substr(text.size() - 6), "\nafter") << cut;
  }
  // Only the two end tags are touched: look-alikes stay text.
  EXPECT_EQ(Visible("<p>a &lt;/body&gt; b</p><p></bodyx>c</p>"), "a </body> b\nc");
}

TEST(VisibleTextTest, ReferencesAreDecodedOnce) {
  EXPECT_EQ(Visible("<p>caf&eacute; &amp; cr&#232;me &#x263A; &amp;lt;b&amp;gt; &lt;test&gt;</p>"),
            "caf\xC3\xA9 & cr\xC3\xA8me \xE2\x98\xBA &lt;b&gt; <test>");
}

TEST(VisibleTextTest, BrokenMarkupYieldsWhatTextItCan) {
  EXPECT_EQ(Visible("<p>open <b>bold <i>both</p><p>after"), "open bold both\nafter");
  EXPECT_EQ(Visible("<div><p>unclosed"), "unclosed");
  EXPECT_EQ(Visible("text <a href=\"x"), "text");
  EXPECT_EQ(Visible(""), "");
  // A "<" before a letter opens a tag, in a browser too.
  EXPECT_EQ(Visible("<p>a < b and c<d</p>"), "a < b and c");
  // Bytes that are not valid UTF-8 and stray NULs end no parse early.
  static const char kBroken[] = "<p>a\xFF\xFE b</p><p>c\0d</p><p>last</p>";
  EXPECT_NE(Visible(std::string(kBroken, sizeof kBroken - 1)).find("last"),
            std::string::npos);
  // A page nested deeper than any recursion could follow.
  std::string deep;
  for (int i = 0; i < 200000; ++i) deep += "<div>";
  deep += "bottom";
  EXPECT_EQ(Visible(deep), "bottom");
}

TEST(VisibleTextTest, ACharsetDeclaredInThePageDoesNotRedecodeIt) {
  // The caller has decoded the page: its meta charset must not make the
  // parser read the UTF-8 text as another encoding.
  EXPECT_EQ(Visible("<meta charset=\"iso-8859-1\"><p>caf\xC3\xA9</p>"), "caf\xC3\xA9");
  EXPECT_EQ(Visible("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=koi8-r\">"
                    "<p>\xD0\x9C\xD0\xB8\xD1\x80</p>"),
            "\xD0\x9C\xD0\xB8\xD1\x80");
}

TEST(LooksLikeHtmlTest, MarkupAtTheStart) {
  EXPECT_TRUE(LooksLikeHtml("<!DOCTYPE html><p>x"));
  EXPECT_TRUE(LooksLikeHtml("\xEF\xBB\xBF \n <html>"));
  EXPECT_TRUE(LooksLikeHtml("<?xml version=\"1.0\"?><html>"));
  EXPECT_TRUE(LooksLikeHtml("<p>x"));
  EXPECT_FALSE(LooksLikeHtml("Plain text with <b>tags</b> later"));
  EXPECT_FALSE(LooksLikeHtml("< not a tag"));
  EXPECT_FALSE(LooksLikeHtml("3 < 4"));
  EXPECT_FALSE(LooksLikeHtml(""));
}

TEST(JsonLdTest, ArticleBodyIsTheLongestValueDecoded) {
  EXPECT_EQ(
      JsonLdArticleBody(
          R"({"@type":"NewsArticle","articleBody" : "Line one.\nLine \"two\" \u00e9\ud83d\ude00 \/ end"})"),
      "Line one.\nLine \"two\" \xC3\xA9\xF0\x9F\x98\x80 / end");
  EXPECT_EQ(JsonLdArticleBody(R"([{"articleBody":"short"},{"articleBody":"the longer one"}])"),
            "the longer one");
  EXPECT_EQ(JsonLdArticleBody(R"({"articleBody": 42, "headline": "x"})"), "");
  EXPECT_EQ(JsonLdArticleBody(R"({"articleBody":"lone \ud800 surrogate and cut short)"),
            "lone \xEF\xBF\xBD surrogate and cut short");
  // A broken escape is dropped; what follows it stays.
  EXPECT_EQ(JsonLdArticleBody(R"({"articleBody":"\u12)"), "12");
}

}  // namespace
}  // namespace vellora
