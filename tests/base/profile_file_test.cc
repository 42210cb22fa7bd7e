#include "base/profile_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "base/errors.h"
#include "test_util.h"

namespace vellora {
namespace {

TEST(ProfileFileRead, IntegersAcceptHexPrefixesAndFallBackToTheDefault) {
  TempDir dir;
  std::string path = dir.path() + "/s.ini";
  WriteFileForTest(path,
                   "[general]\r\nA=0x1F\r\nB=$1F\r\nC=abc\r\nD=\r\nE=-12\r\nF=2147483648\r\n"
                   "G=0X10\r\nH=0x\r\nI=+7\r\nJ=-2147483648\r\nK=$\r\nL=0x80000000\r\n");
  ProfileFile ini(path);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "A", 15), 31);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "b", 15), 31);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "C", 15), 15);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "D", 15), 15);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "E", 15), -12);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "F", 15), 15);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "G", 15), 16);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "H", 15), 15);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "I", 15), 7);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "J", 15), -2147483648LL);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "K", 15), 15);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "L", 15), 15);
  EXPECT_EQ(ini.ReadInteger("GENERAL", "Missing", 15), 15);
  EXPECT_EQ(ini.ReadInteger("OTHER", "A", 15), 15);
}

TEST(ProfileFileRead, TextsAreTrimmedUnquotedAndLimited) {
  TempDir dir;
  std::string path = dir.path() + "/s.ini";
  WriteFileForTest(path, "[GENERAL]\nName =  \"quoted value\"  \nOne='x'\nHalf=\"x\nEq=a=b\nLong=" +
                             std::string(3000, 'z') + "\n");
  ProfileFile ini(path);
  EXPECT_EQ(ini.ReadString("GENERAL", "name", "d"), "quoted value");
  EXPECT_EQ(ini.ReadString("GENERAL", "One", "d"), "x");
  EXPECT_EQ(ini.ReadString("GENERAL", "Half", "d"), "\"x");
  EXPECT_EQ(ini.ReadString("GENERAL", "Eq", "d"), "a=b");
  EXPECT_EQ(ini.ReadString("GENERAL", "Long", "d").size(), 2047u);
  EXPECT_EQ(ProfileFile(dir.path() + "/absent.ini").ReadString("GENERAL", "Name", "d"), "d");
}

TEST(ProfileFileWrite, NewFileIsTheSectionAndKeysWithCrLf) {
  TempDir dir;
  std::string path = dir.path() + "/s.ini";
  ProfileFile ini(path);
  ini.WriteInteger("GENERAL", "MinWordRate", 1);
  ini.WriteString("GENERAL", "DataURL", "http://");
  ini.Flush();
  EXPECT_EQ(ReadFileForTest(path), "[GENERAL]\r\nMinWordRate=1\r\nDataURL=http://\r\n");
}

TEST(ProfileFileWrite, ReplacesKeysInPlaceAndKeepsOtherSections) {
  TempDir dir;
  std::string path = dir.path() + "/s.ini";
  WriteFileForTest(path, "[Other]\r\nX=1\r\n\r\n[GENERAL]\r\nb=2\r\nA=1\r\n\r\n[Last]\r\nY=2\r\n");
  ProfileFile ini(path);
  ini.WriteString("GENERAL", "A", "new");
  ini.WriteString("GENERAL", "C", "added");
  ini.Flush();
  EXPECT_EQ(ReadFileForTest(path),
            "[Other]\r\nX=1\r\n\r\n[GENERAL]\r\nb=2\r\nA=new\r\nC=added\r\n\r\n[Last]\r\nY=2\r\n");
}

TEST(ProfileFileWrite, DeletingAKeyRemovesEveryCopyAndTouchesNothingElse) {
  TempDir dir;
  std::string path = dir.path() + "/s.ini";
  std::string content = "[GENERAL]\r\nA=1\r\nb=2\r\nB=3\r\nC=4\r\n[OTHER]\r\nB=5\r\n";
  WriteFileForTest(path, content);
  ProfileFile absent(path);
  absent.DeleteKey("GENERAL", "Z");
  absent.DeleteKey("NOSECTION", "A");
  absent.Flush();  // nothing changed: the file is not rewritten
  EXPECT_EQ(ReadFileForTest(path), content);
  ProfileFile ini(path);
  ini.DeleteKey("general", "B");
  EXPECT_EQ(ini.ReadString("GENERAL", "B", "gone"), "gone");
  ini.Flush();
  EXPECT_EQ(ReadFileForTest(path), "[GENERAL]\r\nA=1\r\nC=4\r\n[OTHER]\r\nB=5\r\n");
}

TEST(ProfileFileWrite, AFailedFlushNamesTheFile) {
  ProfileFile ini("/nonexistent-folder/s.ini");
  ini.WriteString("GENERAL", "A", "1");
  try {
    ini.Flush();
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_STREQ(e.what(), "Unable to write to /nonexistent-folder/s.ini");
  }
}

TEST(ProfileFileWrite, AValueWithALineBreakIsRefusedAndInjectsNothing) {
  TempDir dir;
  std::string path = dir.path() + "/settings.ini";
  WriteFileForTest(path, "[GENERAL]\r\nSiteName=Nice\r\n");
  ProfileFile ini(path);
  for (const char* value : {"Nice\r\nIndexName=../../x", "a\rb", "a\nb"}) {
    try {
      ini.WriteString("GENERAL", "SiteName", value);
      FAIL() << "no error";
    } catch (const EFileError& e) {
      EXPECT_EQ(std::string(e.what()),
                "Unable to write to " + path + " (\"SiteName\" holds a line break)");
    }
  }
  ini.Flush();
  EXPECT_EQ(ReadFileForTest(path), "[GENERAL]\r\nSiteName=Nice\r\n");
  EXPECT_EQ(ProfileFile(path).ReadString("GENERAL", "IndexName", "index.htm"), "index.htm");
}

TEST(ProfileFileRead, AFifoInPlaceOfTheFileIsAFileErrorNotAWait) {
  TempDir dir;
  std::string path = dir.path() + "/settings.ini";
  ASSERT_EQ(::mkfifo(path.c_str(), 0644), 0);
  try {
    ProfileFile ini(path);
    FAIL() << "no error";
  } catch (const EFileError& e) {
    EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + path + "\". Not a regular file");
  }
  // A folder in its place still reads as empty, as an unreadable file does.
  ASSERT_EQ(::mkdir((dir.path() + "/folder.ini").c_str(), 0755), 0);
  EXPECT_EQ(ProfileFile(dir.path() + "/folder.ini").ReadInteger("GENERAL", "SentMax", 15), 15);
}

}  // namespace
}  // namespace vellora
