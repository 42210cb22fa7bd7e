// Runs the built "vellora regex replace" and "vellora regex compile".

#include <gtest/gtest.h>

#include <string>

#include "cli/command_runner.h"

namespace vellora {
namespace {

TEST(RegexCommand, CompilePrintsTheProgramAndTheSearchFacts) {
  CommandResult r = RunVellora({"regex", "compile", "<.+?>"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out,
            "D8 06 1D 00 00 00 08 07 00 00 00 3C 00 1F 0A 00 00 00 03 00 00 00 00 08 07 00 00 00 "
            "3E 00 00 00 00 00 00\n"
            "StartChar=3C\n"
            "Anchored=0\n"
            "RequiredLiteral=none\n"
            "FirstChars=0000000000000010000000000000000000000000000000000000000000000000\n");
}

TEST(RegexCommand, CompileOfWhiteSpaceRuns) {
  CommandResult r = RunVellora({"regex", "compile", "\\s{2,}"});
  EXPECT_EQ(r.exit_code, 0);
  std::string program =
      "D8 06 37 00 00 00 12 32 00 00 00 02 00 00 00 FE FF FF 7F 1B 00 00 00 00 00 36 00 00 01";
  for (int i = 0; i < 27; ++i) program += " 00";
  program += " 00 00 00 00 00";
  EXPECT_EQ(r.out,
            program +
                "\nStartChar=none\nAnchored=0\nRequiredLiteral=none\n"
                "FirstChars=0036000001000000000000000000000000000000000000000000000000000000\n");
}

TEST(RegexCommand, CompileShowsAnchorAndRequiredLiteral) {
  CommandResult r = RunVellora({"regex", "compile", "^a"});
  EXPECT_NE(r.out.find("\nStartChar=none\nAnchored=1\nRequiredLiteral=none\n"), std::string::npos)
      << r.out;
  r = RunVellora({"regex", "compile", "x*bc"});
  EXPECT_NE(r.out.find("\nRequiredLiteral=62 63\n"), std::string::npos) << r.out;
}

TEST(RegexCommand, CompileErrorGoesToStderr) {
  CommandResult r = RunVellora({"regex", "compile", "(a"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "TPatternEngine(comp): ParseReg Unmatched () (pos 2)\n");
}

TEST(RegexCommand, ReplaceFiltersStdin) {
  CommandResult r = RunVellora({"regex", "replace", "<.+?>", ""}, "a<b>c x<a\r\nhref='y'>z");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "ac xz");
  r = RunVellora({"regex", "replace", "x*", "-"}, "abc");
  EXPECT_EQ(r.out, "-a-b-c-");
  r = RunVellora({"regex", "replace", "(\\w+)@(\\w+)", "$2 at $1"}, "bob@host");
  EXPECT_EQ(r.out, "host at bob");
  // Bytes after a 0 byte pass through unchanged.
  r = RunVellora({"regex", "replace", "\\d", "#"}, std::string("a1\0b2", 5));
  EXPECT_EQ(r.out, std::string("a#\0b2", 5));
}

TEST(RegexCommand, ReplaceErrorAndUsage) {
  CommandResult r = RunVellora({"regex", "replace", "a**", ""}, "aaa");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "TPatternEngine(comp): Nested *?+ (pos 2)\n");
  EXPECT_EQ(RunVellora({"regex"}).exit_code, 2);
  EXPECT_EQ(RunVellora({"regex", "replace", "a"}).exit_code, 2);
  EXPECT_EQ(RunVellora({"regex", "compile"}).exit_code, 2);
  EXPECT_EQ(RunVellora({"regex", "frobnicate", "a"}).exit_code, 2);
}

}  // namespace
}  // namespace vellora
