// Finding a page's encoding (byte-order mark, <meta> prescan, UTF-8
// validity, the Windows-1252 fallback), the label table, and decoding to
// UTF-8 with U+FFFD for what cannot be decoded.

#include "text/charset.h"

#include <gtest/gtest.h>

#include <string>

#include "text/utf8.h"

namespace vellora {
namespace {

using Source = DetectedCharset::Source;

TEST(EncodingLabelTest, MapsLabelsAsTheEncodingStandardDoes) {
  EXPECT_EQ(EncodingForLabel("iso-8859-1"), "windows-1252");
  EXPECT_EQ(EncodingForLabel(" Latin1\t"), "windows-1252");
  EXPECT_EQ(EncodingForLabel("US-ASCII"), "windows-1252");
  EXPECT_EQ(EncodingForLabel("utf8"), "UTF-8");
  EXPECT_EQ(EncodingForLabel("ISO-8859-15"), "ISO-8859-15");
  EXPECT_EQ(EncodingForLabel("cp1251"), "windows-1251");
  EXPECT_EQ(EncodingForLabel("sjis"), "Shift_JIS");
  EXPECT_EQ(EncodingForLabel("iso-2022-kr"), "replacement");
  EXPECT_EQ(EncodingForLabel("klingon"), "");
  EXPECT_EQ(EncodingForLabel(""), "");
}

TEST(MetaPrescanTest, FindsTheCharsetAttributeAndThePragma) {
  EXPECT_EQ(PrescanMetaCharset("<html><head><meta charset=\"windows-1251\">"), "windows-1251");
  EXPECT_EQ(PrescanMetaCharset("<META CHARSET=ISO-8859-15>"), "ISO-8859-15");
  EXPECT_EQ(PrescanMetaCharset("<meta charset='latin1'/>"), "windows-1252");
  EXPECT_EQ(PrescanMetaCharset("<meta http-equiv=\"Content-Type\" "
                               "content=\"text/html; charset=koi8-r\">"),
            "KOI8-R");
  // Attribute order does not matter; the content's charset may be quoted.
  EXPECT_EQ(PrescanMetaCharset("<meta content='text/html; charset=\"utf-8\"' "
                               "http-equiv=content-type>"),
            "UTF-8");
}

TEST(MetaPrescanTest, IgnoresWhatABrowserIgnores) {
  // A content charset without the http-equiv pragma declares nothing.
  EXPECT_EQ(PrescanMetaCharset("<meta content=\"text/html; charset=koi8-r\">"), "");
  // Inside a comment, or inside another element's attribute value.
  EXPECT_EQ(PrescanMetaCharset("<!-- <meta charset=koi8-r> --><p>"), "");
  EXPECT_EQ(PrescanMetaCharset("<div title='<meta charset=koi8-r>'>"), "");
  // An unknown label, then a known one: the second meta counts.
  EXPECT_EQ(PrescanMetaCharset("<meta charset=bogus><meta charset=cp1250>"), "windows-1250");
  // UTF-16 declared in the bytes cannot be true: it means UTF-8.
  EXPECT_EQ(PrescanMetaCharset("<meta charset=utf-16le>"), "UTF-8");
  EXPECT_EQ(PrescanMetaCharset("<meta charset=x-user-defined>"), "windows-1252");
  // Only the first 1,024 bytes are looked at; a cut element declares nothing.
  EXPECT_EQ(PrescanMetaCharset(std::string(1100, ' ') + "<meta charset=koi8-r>"), "");
  EXPECT_EQ(PrescanMetaCharset(std::string(1010, ' ') + "<meta charset=koi8-r>"), "");
  EXPECT_EQ(PrescanMetaCharset("<meta charset=koi8-r"), "");
  EXPECT_EQ(PrescanMetaCharset("<metacharset=koi8-r>"), "");
}

TEST(DetectCharsetTest, FollowsTheBrowserOrder) {
  DetectedCharset bom = DetectCharset("\xEF\xBB\xBF<meta charset=koi8-r>");
  EXPECT_EQ(bom.encoding, "UTF-8");
  EXPECT_EQ(bom.source, Source::kByteOrderMark);
  EXPECT_EQ(bom.bom_length, 3u);
  EXPECT_EQ(DetectCharset(std::string("\xFF\xFEh\0", 4)).encoding, "UTF-16LE");
  EXPECT_EQ(DetectCharset(std::string("\xFE\xFF\0h", 4)).encoding, "UTF-16BE");
  // A declaration wins over the bytes, even over valid UTF-8.
  DetectedCharset meta = DetectCharset("<meta charset=windows-1251>caf\xC3\xA9");
  EXPECT_EQ(meta.encoding, "windows-1251");
  EXPECT_EQ(meta.source, Source::kMeta);
  EXPECT_EQ(DetectCharset("caf\xC3\xA9").source, Source::kValidUtf8);
  EXPECT_EQ(DetectCharset("plain ascii").encoding, "UTF-8");
  DetectedCharset fallback = DetectCharset("caf\xE9");
  EXPECT_EQ(fallback.encoding, "windows-1252");
  EXPECT_EQ(fallback.source, Source::kFallback);
}

TEST(DecodeTest, DecodesSingleByteEncodingsThroughIcu) {
  EXPECT_EQ(DecodeToUtf8("\xCC\xEE\xF1\xEA\xE2\xE0", "windows-1251"),
            "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0");  // Москва
  // ISO-8859-15 has the euro sign where Latin-1 has the currency sign.
  EXPECT_EQ(DecodeToUtf8("\xA4", "ISO-8859-15"), "\xE2\x82\xAC");
  EXPECT_EQ(DecodeToUtf8("caf\xE9 \x80 \x93", "windows-1252"),
            "caf\xC3\xA9 \xE2\x82\xAC \xE2\x80\x9C");
  // The five bytes Windows-1252 leaves undefined stand for the C1 controls.
  EXPECT_EQ(DecodeToUtf8("\x81\x9D", "windows-1252"), "\xC2\x81\xC2\x9D");
  EXPECT_EQ(DecodeToUtf8(std::string("h\0i\0", 4), "UTF-16LE"), "hi");
  EXPECT_EQ(DecodeToUtf8(std::string("\0h\x04\x1F", 4), "UTF-16BE"), "h\xD0\x9F");
}

TEST(DecodeTest, ReplacesWhatCannotBeDecoded) {
  // A lone continuation byte, a cut sequence, an overlong form, a surrogate.
  EXPECT_EQ(DecodeToUtf8("a\x80z", "UTF-8"), "a\xEF\xBF\xBDz");
  EXPECT_EQ(DecodeToUtf8("a\xE2\x82", "UTF-8"), "a\xEF\xBF\xBD");
  EXPECT_EQ(DecodeToUtf8("\xC0\xAF", "UTF-8"), "\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(DecodeToUtf8("\xED\xA0\x80!", "UTF-8").substr(0, 3), "\xEF\xBF\xBD");
  // A lone high surrogate in UTF-16.
  EXPECT_EQ(DecodeToUtf8(std::string("\x00\xD8\x41\x00", 4), "UTF-16LE"),
            "\xEF\xBF\xBD"
            "A");
  EXPECT_EQ(DecodeToUtf8("anything", "replacement"), "\xEF\xBF\xBD");
  EXPECT_EQ(DecodeToUtf8("", "replacement"), "");
  for (const char* encoding : {"UTF-8", "Shift_JIS", "EUC-KR", "gb18030", "UTF-16BE", "Big5"}) {
    std::string junk;
    for (int i = 0; i < 600; ++i) junk.push_back(static_cast<char>((i * 151 + 7) & 0xFF));
    EXPECT_TRUE(IsValidUtf8(DecodeToUtf8(junk, encoding))) << encoding;
  }
}

TEST(DecodeTest, PageTextLosesItsByteOrderMark) {
  EXPECT_EQ(DecodePageText("\xEF\xBB\xBFhi"), "hi");
  EXPECT_EQ(DecodePageText(std::string("\xFF\xFEh\0i\0", 6)), "hi");
  EXPECT_EQ(DecodePageText("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(DecodePageText("<meta charset=\"iso-8859-15\">\xA4"),
            "<meta charset=\"iso-8859-15\">\xE2\x82\xAC");
}

}  // namespace
}  // namespace vellora
