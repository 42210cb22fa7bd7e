// The whole road through the vellora command: a folder of pages taken
// through extract, phrases, generate and save writes the pages, the index
// page and sitemap.xml; --dump shows the intermediate fields.

#include <stdio.h>
#include <sys/wait.h>

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "pipeline_test_support.h"

namespace vellora {
namespace {

using ::vellora::testing::ScratchFolder;

struct CommandResult {
  int status;
  std::string out;
};

CommandResult RunVellora(const std::string& arguments) {
  const std::string command = std::string(VELLORA_EXE) + " " + arguments + " 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  CommandResult result{-1, ""};
  if (pipe == nullptr) return result;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  const int status = pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::vector<std::string> OutputLines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class CommandRoadTest : public ::testing::Test {
 protected:
  CommandRoadTest() {
    const std::string files = scratch_.Path() + "Presets/p/Files/";
    ForceDirectories(files);
    const char* const kPages[] = {
        "<html><head><title>Cheap Flights</title></head><body><p>Cheap flights to Paris and "
        "Rome. Flights, hotels &amp; deals: cheap tickets for every city.</p></body></html>",
        "<p>Paris hotels near the river. Rome hotels near the old town; cheap rooms, good "
        "food and quiet nights in Paris.</p>\r\n<p>Book flights early for cheap seats.</p>",
        "Travel guide 2024: Paris, Rome, Vienna. Weekend trips by train, cheap and quick.\n"};
    int n = 0;
    for (const char* page : kPages) {
      WriteWholeFile(files + "zarngrab#" + std::to_string(++n) + ".htm", page);
    }
  }

  std::string Common() const {
    return "run --presets '" + scratch_.Path() +
           "Presets' --preset p --create --seed 1 --set "
           "'eresfolder=" +
           scratch_.Path() + "out' --set edataurl=http://example.com/site";
  }

  ScratchFolder scratch_;
};

TEST_F(CommandRoadTest, WritesPagesIndexAndSitemap) {
  CommandResult result =
      RunVellora(Common() + " extract phrases generate save --dump filelist --dump status");
  ASSERT_EQ(result.status, 0) << result.out;
  std::vector<std::string> lines = OutputLines(result.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines.back(), "Done.");
  std::set<std::string> pages;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    const std::string name = lines[i].substr(0, lines[i].find('\t'));
    EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), '\t'), 4) << lines[i];
    pages.insert(name);
  }
  ASSERT_FALSE(pages.empty());
  const std::string out = scratch_.Path() + "out/";
  for (const std::string& page : pages) {
    EXPECT_TRUE(FileExists(out + page)) << page;
  }
  EXPECT_TRUE(FileExists(out + "index.htm"));
  const std::string sitemap = ReadWholeFile(out + "sitemap.xml");
  EXPECT_EQ(sitemap.rfind("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<urlset\r\n", 0), 0u);
  EXPECT_NE(sitemap.find("<loc>http://example.com/site/index.htm</loc>"), std::string::npos);
  EXPECT_NE(sitemap.find("<loc>http://example.com/site/" + *pages.begin() + "</loc>"),
            std::string::npos);
  // The phrases were spent: the preset keeps an empty phrase list.
  EXPECT_EQ(ReadWholeFile(scratch_.Path() + "Presets/p/phrases.txt"), "");

  // The same seed over the same pages gives the same site.
  const std::string first_index = ReadWholeFile(out + "index.htm");
  const std::string first_page = ReadWholeFile(out + *pages.begin());
  ASSERT_EQ(RunVellora(Common() + " extract phrases generate save").status, 0);
  EXPECT_EQ(ReadWholeFile(out + "index.htm"), first_index);
  EXPECT_EQ(ReadWholeFile(out + *pages.begin()), first_page);
}

TEST_F(CommandRoadTest, DumpShowsEachIntermediateField) {
  CommandResult words = RunVellora(Common() + " --no-save extract --dump words --dump wordcount");
  ASSERT_EQ(words.status, 0);
  std::vector<std::string> lines = OutputLines(words.out);
  ASSERT_GE(lines.size(), 3u);
  // "cheap" is the most frequent word of the pages: 5 times (the title's
  // "Flights" runs into the next "Cheap", as no space stands between the tags).
  EXPECT_EQ(lines[0], "cheap\t5");
  int64_t previous = 5;
  for (size_t i = 0; i + 1 < lines.size(); ++i) {
    const int64_t count = std::stoll(lines[i].substr(lines[i].find('\t') + 1));
    EXPECT_LE(count, previous) << lines[i];
    previous = count;
  }
  EXPECT_EQ(
      lines.back().rfind("Unique words: " + std::to_string(lines.size() - 1) + ", total: ", 0), 0u);

  CommandResult phrases =
      RunVellora(Common() + " --no-save extract phrases --dump samples --dump words");
  ASSERT_EQ(phrases.status, 0);
  EXPECT_GT(OutputLines(phrases.out).size(), 3u);

  CommandResult pars = RunVellora(Common() + " --no-save extract phrases generate --dump pars");
  ASSERT_EQ(pars.status, 0);
  for (const std::string& line : OutputLines(pars.out)) {
    EXPECT_NE(line.find('\t'), std::string::npos) << line;
  }
}

}  // namespace
}  // namespace vellora
