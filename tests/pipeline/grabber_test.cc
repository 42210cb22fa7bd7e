#include "pipeline/grabber.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <vector>

#include "base/errors.h"
#include "test_util.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;

// Serves bodies by URL; an unknown URL fails as the client does.
class FakeFetcher : public PageFetcher {
 public:
  std::map<std::string, std::string> bodies;
  std::vector<std::string> requested;
  void Fetch(const std::string& url, std::string* stream) override {
    requested.push_back(url);
    stream->clear();
    auto it = bodies.find(url);
    if (it == bodies.end()) throw VelloraError("Not Found");
    *stream = it->second;
  }
};

class RecordingNotifier : public Notifier {
 public:
  void Information(const std::string& m) override { information.push_back(m); }
  void Error(const std::string&) override {}
  void Status(const std::string& text) override { statuses.push_back(text); }
  std::vector<std::string> information;
  std::vector<std::string> statuses;
};

class GrabberTest : public ::testing::Test {
 protected:
  void SetUp() override {
    state_.eworkingfolder = dir_.path() + "/Files/";
    fs::create_directories(state_.eworkingfolder);
  }
  std::string Working(const std::string& name) { return state_.eworkingfolder + name; }

  TempDir dir_;
  MainState state_;
  FakeFetcher fetcher_;
  RecordingNotifier notifier_;
};

TEST_F(GrabberTest, TwoGoodUrlsAreWrittenWithProgressTexts) {
  fetcher_.bodies = {{"http://a/", "<p>a</p>"}, {"http://b/", ""}};
  state_.urls2grab.SetText("http://a/\r\nhttp://b/\r\n");
  bgraburlsClick(state_, notifier_, fetcher_);
  EXPECT_EQ(notifier_.statuses,
            (std::vector<std::string>{"Processing URL \"http://a/\", [1/2]",
                                      "Processing URL \"http://b/\", [2/2]", "Done."}));
  EXPECT_EQ(ReadFileForTest(Working("zarngrab#1.htm")), "<p>a</p>");
  EXPECT_TRUE(fs::exists(Working("zarngrab#2.htm")));  // an empty body is written too
  EXPECT_EQ(fs::file_size(Working("zarngrab#2.htm")), 0u);
}

TEST_F(GrabberTest, AFailureEndsTheGrabAtThatUrl) {
  fetcher_.bodies = {{"http://a/", "one"}, {"http://c/", "three"}};
  state_.urls2grab.SetText("http://a/\r\nhttp://missing/\r\nhttp://c/");
  EXPECT_THROW(bgraburlsClick(state_, notifier_, fetcher_), VelloraError);
  EXPECT_EQ(fetcher_.requested, (std::vector<std::string>{"http://a/", "http://missing/"}));
  EXPECT_EQ(state_.Status, "Processing URL \"http://missing/\", [2/3]");
  EXPECT_TRUE(fs::exists(Working("zarngrab#1.htm")));
  EXPECT_FALSE(fs::exists(Working("zarngrab#2.htm")));
}

TEST_F(GrabberTest, BlankLinesAreRequestedAsTheyStandAndOldFilesStay) {
  WriteFileForTest(Working("zarngrab#3.htm"), "older");
  fetcher_.bodies = {{" http://a/ ", "x"}, {"", "empty url"}};
  state_.urls2grab.SetText(" http://a/ \r\n\r\n");
  bgraburlsClick(state_, notifier_, fetcher_);
  EXPECT_EQ(fetcher_.requested, (std::vector<std::string>{" http://a/ ", ""}));
  EXPECT_EQ(ReadFileForTest(Working("zarngrab#3.htm")), "older");
  state_.urls2grab.Clear();
  fetcher_.requested.clear();
  bgraburlsClick(state_, notifier_, fetcher_);
  EXPECT_TRUE(fetcher_.requested.empty());
  EXPECT_EQ(state_.Status, "Done.");
}

TEST_F(GrabberTest, WithoutAPresetNothingIsRequestedOrWritten) {
  state_.eworkingfolder.clear();
  state_.urls2grab.SetText("http://a/\r\n");
  EXPECT_THROW(bgraburlsClick(state_, notifier_, fetcher_), VelloraError);
  EXPECT_TRUE(fetcher_.requested.empty());
}

TEST_F(GrabberTest, DeletesCountFilesAndLeaveFolders) {
  for (const char* name :
       {"zarngrab#1.htm", "ZARNGRAB#12.HTM", "page.html", ".hidden", "zarngrab#.htmx"}) {
    WriteFileForTest(Working(name), "x");
  }
  fs::create_directories(Working("zarngrab#9.htm"));  // a folder, never deleted
  bdelgrabfilesClick(state_, notifier_);
  EXPECT_EQ(notifier_.information.back(), "2 files deleted.");
  EXPECT_TRUE(fs::exists(Working("page.html")));
  bdelallfilesClick(state_, notifier_);
  EXPECT_EQ(notifier_.information.back(), "3 files deleted.");
  EXPECT_TRUE(fs::is_directory(Working("zarngrab#9.htm")));
  // What an interrupted write left goes with the grabbed files.
  WriteFileForTest(Working("zarngrab#2.htm"), "x");
  WriteFileForTest(Working(".vb-Xy12Zw"), "half");
  WriteFileForTest(Working("zarngrab#3.htm.vb-tmp"), "half");
  WriteFileForTest(Working("notes.txt"), "x");
  bdelgrabfilesClick(state_, notifier_);
  EXPECT_EQ(notifier_.information.back(), "3 files deleted.");
  EXPECT_TRUE(fs::exists(Working("notes.txt")));
  fs::remove_all(state_.eworkingfolder);
  bdelallfilesClick(state_, notifier_);
  EXPECT_EQ(notifier_.information.back(), "0 files deleted.");
}

}  // namespace
}  // namespace vellora
