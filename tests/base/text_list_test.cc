#include "base/text_list.h"

#include <gtest/gtest.h>

#include <string>

#include "base/errors.h"
#include "test_util.h"

namespace vellora {
namespace {

TEST(TextListLoad, CutsAtNulAndTurnsLoneBreaksIntoCrLf) {
  TextList list;
  list.LoadFromBytes(std::string("a\rb\nc\r\nd\n\re") + std::string("\0tail", 5));
  EXPECT_EQ(list.Text(), "a\r\nb\r\nc\r\nd\r\n\r\ne");
  list.LoadFromBytes("\r\r\n\n");
  EXPECT_EQ(list.Text(), "\r\n\r\n\r\n");
  list.LoadFromBytes(std::string("\0abc", 4));
  EXPECT_EQ(list.Text(), "");
}

TEST(TextListLoad, RoundTripsThroughAFileByteForByte) {
  TempDir dir;
  std::string path = dir.path() + "/list.txt";
  WriteFileForTest(path, "one\ntwo\n");
  TextList list;
  list.LoadFromFile(path);
  EXPECT_EQ(list.Text(), "one\r\ntwo\r\n");
  list.SaveToFile(path);
  EXPECT_EQ(ReadFileForTest(path), "one\r\ntwo\r\n");
  TextList empty;
  empty.SaveToFile(path);
  EXPECT_EQ(ReadFileForTest(path), "");
}

TEST(TextListLoad, MissingFileRaisesTheOpenError) {
  TextList list;
  try {
    list.LoadFromFile("/nonexistent/x.txt");
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_STREQ(e.what(), "Cannot open file \"/nonexistent/x.txt\". No such file or directory");
  }
}

TEST(TextListLines, CountLeavesOutAFinalEmptyLine) {
  EXPECT_EQ(TextList("").Count(), 0);
  EXPECT_EQ(TextList("a").Count(), 1);
  EXPECT_EQ(TextList("a\r\n").Count(), 1);
  EXPECT_EQ(TextList("a\r\n\r\n").Count(), 2);
  EXPECT_EQ(TextList("\r\n").Count(), 1);
  EXPECT_EQ(TextList("a\rb").Count(), 1);  // a lone CR is not a line break
  TextList list("x\r\n\r\ny");
  EXPECT_EQ(list.Line(0), "x");
  EXPECT_EQ(list.Line(1), "");
  EXPECT_EQ(list.Line(2), "y");
}

TEST(TextListLines, ReadingALineYieldsAtMost4096Characters) {
  std::string long_line(5000, 'q');
  TextList list(long_line + "\r\nshort");
  EXPECT_EQ(list.Line(0), std::string(4096, 'q'));
  EXPECT_EQ(list.FullLine(0).size(), 5000u);
  EXPECT_EQ(list.Line(1), "short");
}

TEST(TextListEdit, AddPutsTheBreakWhereTheTextNeedsIt) {
  TextList list;
  list.Add("a");
  EXPECT_EQ(list.Text(), "a\r\n");
  list.Add("b");
  EXPECT_EQ(list.Text(), "a\r\nb\r\n");
  TextList open_end("x");
  open_end.Add("y");
  EXPECT_EQ(open_end.Text(), "x\r\ny");
  EXPECT_EQ(open_end.Count(), 2);
  TextList pieces;
  pieces.Add("p\nq");
  EXPECT_EQ(pieces.Count(), 2);
  EXPECT_EQ(pieces.Line(1), "q");
}

TEST(TextListEdit, DeleteRemovesTheLineWithItsBreak) {
  TextList list("a\r\nb\r\nc\r\n");
  list.Delete(1);
  EXPECT_EQ(list.Text(), "a\r\nc\r\n");
  list.Delete(0);
  EXPECT_EQ(list.Text(), "c\r\n");
  list.Delete(0);
  EXPECT_EQ(list.Text(), "");
  TextList open_end("a\r\nb");
  open_end.Delete(1);
  EXPECT_EQ(open_end.Text(), "a\r\n");
}

}  // namespace
}  // namespace vellora
