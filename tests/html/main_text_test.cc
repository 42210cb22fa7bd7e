// The main text of pages built by hand: a clear article among the furniture
// of a real site (navigation, header, footer, sidebar, comments, share and
// related links, a cookie banner, a newsletter form).

#include <gtest/gtest.h>

#include <string>

#include "html/reader_text.h"

namespace vellora {
namespace {

std::string Main(const std::string& html) { return ReaderText(html, ReaderMode::kMain); }

const char kArticleParagraphs[] =
    "<h1>Lantern kites over the harbour</h1>"
    "<p>The first lantern kites rose over the harbour at dusk, carried by a steady wind from "
    "the sea, and the crowd on the pier fell silent as the lights climbed higher.</p>"
    "<p>Makers had worked for weeks on frames of split bamboo, paper dyed in saffron and "
    "indigo, and small candles held in wire cages, tested again and again on the beach.</p>"
    "<h2>How the festival began</h2>"
    "<p>Nobody in the town agrees on who flew the first one, but every family has a story, "
    "and most of those stories involve a grandmother, a broken mast and a very long night.</p>"
    "<p>This year, for the first time, the organisers counted more than four hundred kites, "
    "which made it the largest gathering since the festival began, decades ago.</p>";

// Every furniture block holds the word "furniture", which must not come out.
std::string Page(const std::string& article) {
  return std::string(
             "<!DOCTYPE html><html><head><title>Kites | The Harbour Times</title></head><body>"
             "<div class=\"cookie-banner\">We use cookies furniture to improve, accept all "
             "or manage settings, privacy, consent.</div>"
             "<header class=\"site-header\"><a href=/>The Harbour Times furniture</a>"
             "<nav><ul><li><a href=/news>News furniture</a></li><li><a href=/sport>Sport</a>"
             "</li><li><a href=/weather>Weather</a></li></ul></nav></header>"
             "<div class=\"layout\"><div class=\"sidebar\"><h3>Most read furniture</h3><ul>"
             "<li><a href=/a>Storm closes the bridge, again, for a week furniture</a></li>"
             "<li><a href=/b>Council votes on the new ferry timetable, finally</a></li></ul>"
             "</div><div class=\"main-column\">") +
         article +
         "<div class=\"share-buttons\"><a href=#>Share on furniture</a> <a href=#>Tweet</a> "
         "<a href=#>Email</a></div>"
         "<div class=\"related-articles\"><h3>Related furniture</h3><ul>"
         "<li><a href=/c>Ten kites, ten stories, and one very long night furniture</a></li>"
         "<li><a href=/d>The history of paper, dye and wind in our town</a></li></ul></div>"
         "<div id=\"comments\"><h3>3 comments furniture</h3>"
         "<div class=\"comment\"><p>Great piece, thanks, I was there with my kids and it was "
         "lovely furniture, truly, the best night of the year.</p></div>"
         "<div class=\"comment\"><p>My grandmother flew one in 1962, she says, and she never "
         "stops talking about it furniture, every single year.</p></div></div>"
         "<form class=\"newsletter\"><label>Get the newsletter furniture</label>"
         "<input type=email><button>Subscribe</button></form>"
         "</div></div>"
         "<footer><p>Copyright furniture, The Harbour Times, all rights reserved. "
         "Contact, terms, privacy.</p></footer></body></html>";
}

void ExpectArticleOnly(const std::string& text) {
  EXPECT_NE(text.find("Lantern kites over the harbour"), std::string::npos) << text;
  EXPECT_NE(text.find("The first lantern kites rose"), std::string::npos) << text;
  EXPECT_NE(text.find("How the festival began"), std::string::npos) << text;
  EXPECT_NE(text.find("decades ago."), std::string::npos) << text;
  EXPECT_EQ(text.find("furniture"), std::string::npos) << text;
  EXPECT_EQ(text.find("Kites | The Harbour Times"), std::string::npos) << text;
}

TEST(MainTextTest, AnArticleInAnArticleElement) {
  ExpectArticleOnly(Main(Page(std::string("<article>") + kArticleParagraphs + "</article>")));
}

TEST(MainTextTest, AnArticleInPlainDivisionsFoundByItsParagraphs) {
  ExpectArticleOnly(Main(Page(std::string("<div class=\"x1\"><div class=\"x2\">") +
                              kArticleParagraphs + "</div></div>")));
}

TEST(MainTextTest, AnArticleMarkedAsArticleBody) {
  ExpectArticleOnly(
      Main(Page(std::string("<div itemprop=\"articleBody\">") + kArticleParagraphs + "</div>")));
}

TEST(MainTextTest, ParagraphsAreBlocksAndFurnitureInsideTheArticleGoes) {
  const std::string text =
      Main(Page(std::string("<article>") + kArticleParagraphs +
                "<div class=\"social-share\"><a href=#>Share furniture</a><a href=#>Pin</a></div>"
                "<aside><p>Advertisement furniture, advertisement, advertisement, more.</p></aside>"
                "</article>"));
  ExpectArticleOnly(text);
  EXPECT_NE(text.find("fell silent as the lights climbed higher.\nMakers had worked"),
            std::string::npos)
      << text;
}

TEST(MainTextTest, AWrapperNamedLikeFurnitureDoesNotHideTheArticle) {
  // Every element of the page sits inside a header that is never closed.
  const std::string page = std::string("<html><body><div class=\"header\"><p>Menu</p>") +
                           "<div class=\"story\">" + kArticleParagraphs + "</div></body></html>";
  const std::string text = Main(page);
  EXPECT_NE(text.find("The first lantern kites rose"), std::string::npos) << text;
  EXPECT_NE(text.find("decades ago."), std::string::npos) << text;
}

TEST(MainTextTest, JsonLdArticleBodyStandsInForAPageWithoutItsText) {
  const std::string page =
      "<html><head><script type=\"application/ld+json\">{\"@type\":\"NewsArticle\","
      "\"articleBody\":\"The kites rose at dusk over the harbour, carried by the wind from the "
      "sea, and the crowd fell silent.\\nMakers had worked for weeks on frames of bamboo, paper "
      "and wire, tested on the beach, again and again, until they flew.\"}</script></head>"
      "<body><div id=\"app\"><p>Loading, please wait.</p></div></body></html>";
  const std::string text = Main(page);
  EXPECT_NE(text.find("The kites rose at dusk"), std::string::npos) << text;
  EXPECT_NE(text.find("crowd fell silent.\nMakers had worked"), std::string::npos) << text;
  EXPECT_EQ(text.find("Loading"), std::string::npos) << text;
}

TEST(MainTextTest, APageWithoutParagraphsGivesItsVisibleBody) {
  EXPECT_EQ(Main("<html><body><span>Just</span> <b>a few words</b></body></html>"),
            "Just a few words");
  EXPECT_EQ(Main(""), "");
}

}  // namespace
}  // namespace vellora
