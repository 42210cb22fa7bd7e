// Runs the built "vellora regex replace" and "vellora regex compile".

#include <gtest/gtest.h>

#include <string>

#include "cli/command_runner.h"
#include "cli/in_process.h"

namespace vellora {
namespace {

TEST(RegexCommand, CompilePrintsTheProgramAndTheSearchFacts) {
  CommandResult r = RunInProcess({"regex", "compile", "<.+?>"});
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
  CommandResult r = RunInProcess({"regex", "compile", "\\s{2,}"});
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
  CommandResult r = RunInProcess({"regex", "compile", "^a"});
  EXPECT_NE(r.out.find("\nStartChar=none\nAnchored=1\nRequiredLiteral=none\n"), std::string::npos)
      << r.out;
  r = RunInProcess({"regex", "compile", "x*bc"});
  EXPECT_NE(r.out.find("\nRequiredLiteral=62 63\n"), std::string::npos) << r.out;
}

TEST(RegexCommand, CompileErrorGoesToStderr) {
  CommandResult r = RunInProcess({"regex", "compile", "(a"});
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "TPatternEngine(comp): ParseReg Unmatched () (pos 2)\n");
}

TEST(RegexCommand, ReplaceFiltersStdin) {
  CommandResult r = RunInProcess({"regex", "replace", "<.+?>", ""}, "a<b>c x<a\r\nhref='y'>z");
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "ac xz");
  r = RunInProcess({"regex", "replace", "x*", "-"}, "abc");
  EXPECT_EQ(r.out, "-a-b-c-");
  r = RunInProcess({"regex", "replace", "(\\w+)@(\\w+)", "$2 at $1"}, "bob@host");
  EXPECT_EQ(r.out, "host at bob");
  // Bytes after a 0 byte pass through unchanged.
  r = RunInProcess({"regex", "replace", "\\d", "#"}, std::string("a1\0b2", 5));
  EXPECT_EQ(r.out, std::string("a#\0b2", 5));
}

TEST(RegexCommand, ReplaceErrorAndUsage) {
  CommandResult r = RunInProcess({"regex", "replace", "a**", ""}, "aaa");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "TPatternEngine(comp): Nested *?+ (pos 2)\n");
  EXPECT_EQ(RunInProcess({"regex"}).exit_code, 2);
  EXPECT_EQ(RunInProcess({"regex", "replace", "a"}).exit_code, 2);
  EXPECT_EQ(RunInProcess({"regex", "compile"}).exit_code, 2);
  EXPECT_EQ(RunInProcess({"regex", "frobnicate", "a"}).exit_code, 2);
}

TEST(RegexCommand, ReplaceStopsAtTheBacktrackingBudget) {
  const char kText[] =
      "TPatternEngine(exec): Backtracking Limit Exceeded (the pattern backtracks too much on this "
      "input)\n";
  CommandResult r =
      RunInProcess({"regex", "replace", "(\\w+\\s?)*$", ""}, std::string(30, 'a') + "!");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, kText);
  r = RunInProcess({"regex", "replace", "(a+)+b", "-"}, std::string(40, 'a') + "cb");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, kText);
}

// Runs a shell command line with $VB the vellora command.
CommandResult RunShell(const std::string& line, const std::string& input = "") {
  return RunProgram("/bin/sh", {"-c", "VB='" VELLORA_EXE "'; " + line}, input);
}

TEST(RegexCommand, AFailedWriteOfTheOutputIsAnError) {
  const std::string kFull = "Cannot write to standard output. No space left on device.\n";
  // Small outputs fail when stdio flushes them, large ones while written.
  for (size_t size : {size_t{5}, size_t{1} << 20}) {
    CommandResult r =
        RunShell("exec \"$VB\" regex replace b c > /dev/full", std::string(size, 'a') + "b");
    EXPECT_EQ(r.exit_code, 1) << size;
    EXPECT_EQ(r.err, kFull) << size;
  }
  CommandResult r = RunShell("exec \"$VB\" regex compile 'a+' > /dev/full");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.err, kFull);
  // An input that cannot be read is an error too, not an empty input.
  r = RunShell("exec \"$VB\" regex replace a b < /");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Cannot read standard input. Is a directory.\n");
}

TEST(RegexCommand, OutOfMemoryIsAnErrorNotACrash) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "an address-space limit leaves no room for the sanitizer's shadow memory";
#else
  // "(<a)*" keeps a choice point per iteration: 12 million iterations need
  // far more stack than 400 MB of address space leaves.
  std::string input;
  for (int i = 0; i < 12000000; ++i) input += "<a";
  CommandResult r = RunShell("ulimit -v 400000 && exec \"$VB\" regex replace '(<a)*' ''", input);
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "Out of memory.\n");
#endif
}

}  // namespace
}  // namespace vellora
