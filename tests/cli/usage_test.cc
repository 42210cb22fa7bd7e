// The command's conventions: help on stdout with status 0, the version, and
// usage errors as one line on stderr with status 2 that names the help to
// read.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "cli/in_process.h"
#include "state/field_table.h"
#include "test_util.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(CommandHelp, EveryFormOfTheRequestPrintsTheHelpOnStdout) {
  CommandResult main_help = RunInProcess({"--help"});
  EXPECT_EQ(main_help.exit_code, 0);
  EXPECT_EQ(main_help.err, "");
  EXPECT_EQ(main_help.out.rfind("usage: vellora COMMAND", 0), 0u) << main_help.out;
  EXPECT_EQ(RunInProcess({"-h"}).out, main_help.out);
  EXPECT_EQ(RunInProcess({"help"}).out, main_help.out);

  for (const char* command : {"run", "presets", "fields", "fetch", "regex", "help"}) {
    CommandResult help = RunInProcess({"help", command});
    EXPECT_EQ(help.exit_code, 0) << command;
    EXPECT_EQ(help.out.rfind(std::string("usage: vellora ") + command, 0), 0u) << help.out;
    if (std::string(command) == "help") continue;
    CommandResult asked = RunInProcess({command, "--help"});
    EXPECT_EQ(asked.exit_code, 0) << command;
    EXPECT_EQ(asked.out, help.out) << command;
    EXPECT_EQ(asked.err, "") << command;
  }
  // After other options too, and before a missing preset is noticed.
  CommandResult late = RunInProcess({"run", "--preset", "absent", "--no-save", "-h"});
  EXPECT_EQ(late.exit_code, 0);
  EXPECT_EQ(late.out, RunInProcess({"help", "run"}).out);
  EXPECT_EQ(RunInProcess({"regex", "compile", "--help"}).exit_code, 0);
}

TEST(CommandHelp, RegexTakesAHelpLookingTemplateAsText) {
  CommandResult r = RunInProcess({"regex", "replace", "a", "--help"}, "abca");
  EXPECT_EQ(r.exit_code, 0) << r.err;
  EXPECT_EQ(r.out, "--helpbc--help");
}

TEST(CommandHelp, RunHelpListsTheStepsAndEveryFieldOfTheTable) {
  CommandResult help = RunInProcess({"run", "--help"});
  ASSERT_EQ(help.exit_code, 0);
  for (const char* step :
       {"grab", "delete-grabbed", "delete-all", "extract", "phrases", "generate", "save"}) {
    EXPECT_NE(help.out.find(std::string("\n  ") + step + " "), std::string::npos) << step;
  }
  std::vector<std::string> lines = Lines(help.out);
  auto line_of = [&](const std::string& name) -> std::string {
    for (const std::string& line : lines) {
      if (line.rfind("  " + name + " ", 0) == 0) return line;
    }
    return "";
  };
  for (const FieldRow& row : FieldTable()) {
    std::string line = line_of(row.name);
    ASSERT_NE(line, "") << row.name << " is missing from the help";
    const char* kept = row.preset_file != nullptr ? row.preset_file : row.preset_key;
    if (kept != nullptr) {
      EXPECT_NE(line.find(kept), std::string::npos) << line;
    }
    EXPECT_NE(line.find(row.settable ? " yes" : " no"), std::string::npos) << line;
  }
  // Ranges and defaults come from the state as constructed.
  EXPECT_NE(line_of("minwordrate").find("integer"), std::string::npos);
  EXPECT_NE(line_of("minwordrate").find("1..9999999, default 1"), std::string::npos);
  EXPECT_NE(line_of("phraselength").find("1..10, default 4"), std::string::npos);
  EXPECT_NE(line_of("grabconnections").find("1..16, default 1"), std::string::npos);
  EXPECT_NE(line_of("allowhttps").find("check box"), std::string::npos);
  EXPECT_NE(line_of("allowhttps").find("default off"), std::string::npos);
  EXPECT_NE(line_of("echarset").find("default \"iso-8859-1\""), std::string::npos);
  EXPECT_NE(line_of("edataurl").find("default \"http://\""), std::string::npos);
  EXPECT_NE(line_of("eresfolder").find("default \"~/res\""), std::string::npos);
  EXPECT_NE(line_of("templates").find("ini_templates.txt"), std::string::npos);
}

TEST(CommandHelp, FieldsListsTheTableInFiveColumns) {
  CommandResult fields = RunInProcess({"fields"});
  ASSERT_EQ(fields.exit_code, 0);
  std::vector<std::string> lines = Lines(fields.out);
  ASSERT_EQ(lines.size(), FieldTable().size());
  for (size_t i = 0; i < lines.size(); ++i) {
    const FieldRow& row = FieldTable()[i];
    std::vector<std::string> columns;
    std::istringstream in(lines[i]);
    for (std::string column; std::getline(in, column, '\t');) columns.push_back(column);
    if (lines[i].back() == '\t') columns.push_back("");
    ASSERT_EQ(columns.size(), 5u) << lines[i];
    EXPECT_EQ(columns[0], row.name);
    EXPECT_EQ(columns[3], row.settable ? "yes" : "no");
    EXPECT_EQ(columns[4], row.preset_file  ? row.preset_file
                          : row.preset_key ? row.preset_key
                                           : "-");
  }
}

TEST(CommandVersion, PrintsTheProgramsVersionText) {
  CommandResult r = RunInProcess({"--version"});
  EXPECT_EQ(r.exit_code, 0);
  EXPECT_EQ(r.out, "vellora 1.00 (080517)\n");
  EXPECT_EQ(r.err, "");
}

TEST(CommandUsage, AnErrorIsOneLineNamingTheHelp) {
  TempDir dir;
  std::string presets = dir.path() + "/P";
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{}, "vellora: no command given; see 'vellora --help'\n"},
      {{"--x"}, "vellora: unknown option '--x'; see 'vellora --help'\n"},
      {{"frobnicate"}, "vellora: unknown command 'frobnicate'; see 'vellora --help'\n"},
      {{"help", "frobnicate"}, "vellora: unknown command 'frobnicate'; see 'vellora --help'\n"},
      {{"--version", "run"}, "vellora: --version takes no arguments; see 'vellora --help'\n"},
      {{"run", "--presets", presets, "--preset", "a", "--x"},
       "vellora: unknown option '--x'; see 'vellora run --help'\n"},
      {{"run", "--presets", presets, "--preset", "a", "fly"},
       "vellora: unknown step 'fly'; see 'vellora run --help'\n"},
      {{"run", "--presets", presets, "--preset", "a", "--set", "nope=1"},
       "vellora: unknown field 'nope'; see 'vellora run --help'\n"},
      {{"run", "--presets", presets, "--preset", "a", "--set", "words=x"},
       "vellora: field 'words' cannot be set; see 'vellora run --help'\n"},
      {{"run", "--presets", presets},
       "vellora: run needs --preset NAME; see 'vellora run --help'\n"},
      {{"presets", "--presets"},
       "vellora: --presets needs a folder; see 'vellora presets --help'\n"},
      {{"fields", "x"}, "vellora: unknown argument 'x'; see 'vellora fields --help'\n"},
  };
  for (const Case& c : cases) {
    CommandResult r = RunInProcess(c.args);
    std::string shown = c.args.empty() ? "(none)" : c.args.back();
    EXPECT_EQ(r.exit_code, 2) << shown;
    EXPECT_EQ(r.err, c.err) << shown;
    EXPECT_EQ(r.out, "") << shown;
  }
  // The other commands' own messages point to their help as well.
  for (const char* command : {"fetch", "regex"}) {
    CommandResult r = RunInProcess({command});
    EXPECT_EQ(r.exit_code, 2) << command;
    ASSERT_EQ(Lines(r.err).size(), 1u) << r.err;
    std::string tail = std::string("; see 'vellora ") + command + " --help'\n";
    EXPECT_EQ(r.err.substr(r.err.size() - tail.size()), tail) << r.err;
  }
  EXPECT_FALSE(fs::exists(presets));
}

}  // namespace
}  // namespace vellora
