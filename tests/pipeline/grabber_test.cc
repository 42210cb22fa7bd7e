#include "pipeline/grabber.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <vector>

#include "base/errors.h"
#include "base/random.h"
#include "http/http_types.h"
#include "pipeline/grab_test_support.h"
#include "test_util.h"

namespace vellora {
namespace {

namespace fs = std::filesystem;
using testing::GrabAndLook;
using testing::GrabOutcome;
using testing::RecordingNotifier;

// Serves bodies by URL; an unknown URL fails as the client does, and one in
// `stopped` as a download ended by Stop.
class FakeFetcher : public PageFetcher {
 public:
  std::map<std::string, std::string> bodies;
  std::set<std::string> stopped;
  std::vector<std::string> requested;
  void Fetch(const std::string& url, std::string* stream) override {
    requested.push_back(url);
    stream->clear();
    if (stopped.count(url) != 0) throw EHttpError::Aborted();
    auto it = bodies.find(url);
    if (it == bodies.end()) throw VelloraError("Not Found");
    *stream = it->second;
  }
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

TEST_F(GrabberTest, AFailureEndsTheGrabAtThatUrlAndSaysWhichLine) {
  fetcher_.bodies = {{"http://a/", "one"}, {"http://c/", "three"}};
  state_.urls2grab.SetText("http://a/\r\nhttp://missing/\r\nhttp://c/");
  try {
    bgraburlsClick(state_, notifier_, fetcher_);
    ADD_FAILURE() << "the grab went past a failed address";
  } catch (const VelloraError& e) {
    // The reason gets its full stop, the line after it stays as it is.
    EXPECT_EQ(TopLevelMessage(e.what()), "Not Found.\nAt line 2 of the list: http://missing/");
  }
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

// Several lanes without a network: the downloads end in an order drawn from
// a seeded generator, so every interleaving the grab must cope with comes up.
class FakeLanes : public PageFetcher {
 public:
  FakeLanes(int lanes, uint32_t seed) : lanes_(lanes), random_(seed) {}

  std::map<std::string, std::string> bodies;
  std::set<std::string> stopped;
  std::vector<std::string> requested;
  GrabSettings configured;
  int most_running = 0;
  int abandoned = 0;  // downloads still running when AbandonAll came
  bool lane_misused = false;

  void Configure(const GrabSettings& settings) override { configured = settings; }
  void Fetch(const std::string&, std::string*) override { lane_misused = true; }
  int Lanes() const override { return lanes_; }

  void Start(int lane, const std::string& url, std::string* stream) override {
    for (const Running& r : running_) lane_misused |= r.lane == lane;
    lane_misused |= lane < 0 || lane >= lanes_;
    requested.push_back(url);
    stream->clear();
    running_.push_back({lane, url, stream});
    most_running = std::max(most_running, static_cast<int>(running_.size()));
  }

  int WaitForAny(std::exception_ptr* failure) override {
    if (running_.empty()) throw std::logic_error("nothing to wait for");
    size_t pick = random_.Random(static_cast<uint32_t>(running_.size()));
    Running done = running_[pick];
    running_.erase(running_.begin() + static_cast<long>(pick));
    *failure = nullptr;
    auto it = bodies.find(done.url);
    if (stopped.count(done.url) != 0) {
      *failure = std::make_exception_ptr(EHttpError::Aborted());
    } else if (it == bodies.end()) {
      *failure = std::make_exception_ptr(VelloraError("Not Found"));
    } else {
      *done.stream = it->second;
    }
    return done.lane;
  }

  void AbandonAll() override {
    abandoned += static_cast<int>(running_.size());
    running_.clear();
  }

 private:
  struct Running {
    int lane;
    std::string url;
    std::string* stream;
  };
  int lanes_;
  RandomGenerator random_;
  std::vector<Running> running_;
};

class SimultaneousGrabTest : public GrabberTest {
 protected:
  // Twelve pages of different sizes, an empty one among them.
  void SetUp() override {
    GrabberTest::SetUp();
    std::string list;
    for (int i = 1; i <= 12; ++i) {
      std::string url = "http://site/" + std::to_string(i);
      pages_[url] =
          i == 7 ? "" : std::string(static_cast<size_t>(i * 37), static_cast<char>('a' + i));
      list += url + "\r\n";
    }
    state_.urls2grab.SetText(list);
  }

  GrabOutcome OneByOne() {
    fetcher_.bodies = pages_;
    return GrabAndLook(state_, fetcher_);
  }

  std::map<std::string, std::string> pages_;
};

TEST_F(SimultaneousGrabTest, EveryOrderOfArrivalGivesTheOneByOneFilesAndTexts) {
  const GrabOutcome expected = OneByOne();
  ASSERT_EQ(expected.error, "");
  ASSERT_EQ(expected.files.size(), 12u);
  for (int lanes : {2, 3, 5, 16}) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
      FakeLanes lanes_fetcher(lanes, seed);
      lanes_fetcher.bodies = pages_;
      EXPECT_EQ(GrabAndLook(state_, lanes_fetcher), expected) << lanes << " lanes, seed " << seed;
      EXPECT_FALSE(lanes_fetcher.lane_misused);
      EXPECT_EQ(lanes_fetcher.most_running, std::min(lanes, 12));
      EXPECT_EQ(lanes_fetcher.requested.size(), 12u);
    }
  }
}

TEST_F(SimultaneousGrabTest, TheFirstFailingLineDecidesWhateverFailsFirst) {
  pages_.erase("http://site/4");
  pages_.erase("http://site/9");
  const GrabOutcome expected = OneByOne();
  ASSERT_EQ(expected.error, "Not Found\nAt line 4 of the list: http://site/4");
  ASSERT_EQ(expected.files.size(), 3u);
  ASSERT_EQ(expected.statuses.back(), "Processing URL \"http://site/4\", [4/12]");
  int abandoned = 0;
  for (int lanes : {2, 4, 8}) {
    for (uint32_t seed = 1; seed <= 20; ++seed) {
      FakeLanes lanes_fetcher(lanes, seed);
      lanes_fetcher.bodies = pages_;
      EXPECT_EQ(GrabAndLook(state_, lanes_fetcher), expected) << lanes << " lanes, seed " << seed;
      // Nothing beyond the lookahead of the failing line was asked for.
      EXPECT_LE(lanes_fetcher.requested.size(), static_cast<size_t>(3 + 2 * lanes));
      abandoned += lanes_fetcher.abandoned;
    }
  }
  EXPECT_GT(abandoned, 0);  // downloads still running at the failure were let go
}

TEST_F(SimultaneousGrabTest, AnUnwritableFolderFailsAsTheOneByOneGrab) {
  state_.eworkingfolder = dir_.path() + "/no such folder/Files/";
  fetcher_.bodies = pages_;
  RecordingNotifier one_by_one;
  std::string expected;
  try {
    bgraburlsClick(state_, one_by_one, fetcher_);
  } catch (const EFileError& e) {
    expected = e.what();
  }
  ASSERT_NE(expected.find("Cannot create file"), std::string::npos);
  FakeLanes lanes_fetcher(4, 3);
  lanes_fetcher.bodies = pages_;
  RecordingNotifier simultaneous;
  try {
    bgraburlsClick(state_, simultaneous, lanes_fetcher);
    ADD_FAILURE() << "the grab wrote into a missing folder";
  } catch (const EFileError& e) {
    EXPECT_EQ(e.what(), expected);
  }
  EXPECT_EQ(simultaneous.statuses, one_by_one.statuses);
  EXPECT_FALSE(fs::exists(dir_.path() + "/no such folder"));
}

TEST_F(SimultaneousGrabTest, BlankLinesAndAnEmptyListBehaveAsOneByOne) {
  state_.urls2grab.SetText("http://site/1\r\n\r\nhttp://site/3\r\n");
  pages_[""] = "blank";
  const GrabOutcome expected = OneByOne();
  FakeLanes lanes_fetcher(3, 9);
  lanes_fetcher.bodies = pages_;
  EXPECT_EQ(GrabAndLook(state_, lanes_fetcher), expected);
  EXPECT_EQ(lanes_fetcher.requested,
            (std::vector<std::string>{"http://site/1", "", "http://site/3"}));
  state_.urls2grab.Clear();
  FakeLanes idle(3, 9);
  GrabOutcome empty = GrabAndLook(state_, idle);
  EXPECT_EQ(empty.statuses, std::vector<std::string>{"Done."});
  EXPECT_TRUE(idle.requested.empty());
}

TEST_F(GrabberTest, SettingsReachTheFetcherClamped) {
  FakeLanes lanes_fetcher(1, 1);
  EXPECT_EQ(GrabAndLook(state_, lanes_fetcher).error, "");
  EXPECT_FALSE(lanes_fetcher.configured.allow_https);
  EXPECT_EQ(lanes_fetcher.configured.timeout_seconds, 0);
  EXPECT_EQ(lanes_fetcher.configured.connections, 1);
  state_.allowhttps = true;
  state_.grabtimeout.SetText("99999");  // typed, not yet clamped
  state_.grabconnections.SetText("40");
  EXPECT_EQ(GrabAndLook(state_, lanes_fetcher).error, "");
  EXPECT_TRUE(lanes_fetcher.configured.allow_https);
  EXPECT_EQ(lanes_fetcher.configured.timeout_seconds, 3600);
  EXPECT_EQ(lanes_fetcher.configured.connections, 16);
}

// Refuses https addresses as the client does while HTTPS is off.
class HttpsRefusingFetcher : public PageFetcher {
 public:
  void Fetch(const std::string& url, std::string* stream) override {
    stream->clear();
    if (url.rfind("https:", 0) == 0) throw EHttpError("Protocol \"https\" not implemented", 501);
    if (url.rfind("gopher:", 0) == 0) throw EHttpError("Protocol \"gopher\" not implemented", 501);
  }
};

TEST_F(GrabberTest, AnHttpsRefusalSaysHowToSwitchHttpsOn) {
  HttpsRefusingFetcher fetcher;
  state_.urls2grab.SetText("http://a/\r\nhttps://b/\r\n");
  GrabOutcome off = GrabAndLook(state_, fetcher);
  EXPECT_EQ(off.error,
            "Protocol \"https\" not implemented\n"
            "Switch on \"Allow HTTPS\" (allowhttps) to fetch https addresses.\n"
            "At line 2 of the list: https://b/");
  EXPECT_EQ(off.files.size(), 1u);
  try {
    bgraburlsClick(state_, notifier_, fetcher);
  } catch (const EHttpError& e) {
    EXPECT_EQ(e.ErrorNumber(), 501);  // the client's code stays
  }
  // Another scheme, or a refusal with HTTPS on, is not about the setting.
  state_.urls2grab.SetText("gopher://a/\r\n");
  EXPECT_EQ(GrabAndLook(state_, fetcher).error,
            "Protocol \"gopher\" not implemented\nAt line 1 of the list: gopher://a/");
  state_.urls2grab.SetText("https://b/\r\n");
  state_.allowhttps = true;
  EXPECT_EQ(GrabAndLook(state_, fetcher).error,
            "Protocol \"https\" not implemented\nAt line 1 of the list: https://b/");

  // Going on past failed addresses, the hint comes once, after the list.
  state_.allowhttps = false;
  state_.grabgoon = true;
  state_.urls2grab.SetText("https://b/\r\ngopher://a/\r\nhttps://c/\r\nhttp://d/\r\n");
  GrabOutcome list = GrabAndLook(state_, fetcher);
  EXPECT_EQ(list.error,
            "3 of 4 addresses failed\n"
            "Line 1 (https://b/): Protocol \"https\" not implemented.\n"
            "Line 2 (gopher://a/): Protocol \"gopher\" not implemented.\n"
            "Line 3 (https://c/): Protocol \"https\" not implemented.\n"
            "Switch on \"Allow HTTPS\" (allowhttps) to fetch https addresses.");
  EXPECT_EQ(list.files.size(), 1u);
  state_.urls2grab.SetText("gopher://a/\r\n");
  EXPECT_EQ(GrabAndLook(state_, fetcher).error,
            "1 of 1 address failed\nLine 1 (gopher://a/): Protocol \"gopher\" not implemented.");
}

// Going on past failed addresses (grabgoon).
class GoOnTest : public SimultaneousGrabTest {
 protected:
  void SetUp() override {
    SimultaneousGrabTest::SetUp();
    state_.grabgoon = true;
    pages_.erase("http://site/2");
    pages_.erase("http://site/7");
    pages_.erase("http://site/12");
  }
};

TEST_F(GoOnTest, FailedLinesWriteNoFileAndAreListedAtTheEnd) {
  const GrabOutcome outcome = OneByOne();
  EXPECT_EQ(fetcher_.requested.size(), 12u);
  EXPECT_EQ(outcome.error,
            "3 of 12 addresses failed\n"
            "Line 2 (http://site/2): Not Found.\n"
            "Line 7 (http://site/7): Not Found.\n"
            "Line 12 (http://site/12): Not Found.");
  EXPECT_EQ(outcome.files.size(), 9u);
  for (int i = 1; i <= 12; ++i) {
    const std::string name = GrabbedFileName(i);
    if (i == 2 || i == 7 || i == 12) {
      EXPECT_EQ(outcome.files.count(name), 0u) << name;
    } else {
      EXPECT_EQ(outcome.files.at(name), pages_.at("http://site/" + std::to_string(i))) << name;
    }
  }
  // A text for each line, the failed ones too, then the count.
  ASSERT_EQ(outcome.statuses.size(), 13u);
  EXPECT_EQ(outcome.statuses[6], "Processing URL \"http://site/7\", [7/12]");
  EXPECT_EQ(outcome.statuses.back(), "Done, 3 failed.");
  EXPECT_EQ(state_.Status, "Done, 3 failed.");

  // Every order of arrival over several lanes gives the same.
  for (int lanes : {2, 3, 8}) {
    for (uint32_t seed = 1; seed <= 15; ++seed) {
      FakeLanes lanes_fetcher(lanes, seed);
      lanes_fetcher.bodies = pages_;
      EXPECT_EQ(GrabAndLook(state_, lanes_fetcher), outcome) << lanes << " lanes, seed " << seed;
      EXPECT_EQ(lanes_fetcher.requested.size(), 12u);
      EXPECT_FALSE(lanes_fetcher.lane_misused);
    }
  }
}

TEST_F(GoOnTest, AStopEndsTheGrabAtOnceAndIsNoFailedLine) {
  // Line 5 is stopped: the grab ends there with the abort's own error, the
  // failure of line 2 before it is not reported, nothing after it is written.
  fetcher_.stopped = {"http://site/5"};
  const GrabOutcome outcome = OneByOne();
  EXPECT_EQ(outcome.error, "Connection aborted on request");
  EXPECT_EQ(fetcher_.requested.size(), 5u);
  EXPECT_EQ(outcome.files.size(), 3u);  // lines 1, 3 and 4
  EXPECT_EQ(outcome.statuses.back(), "Processing URL \"http://site/5\", [5/12]");
  int abandoned = 0;
  for (int lanes : {2, 4}) {
    for (uint32_t seed = 1; seed <= 15; ++seed) {
      FakeLanes lanes_fetcher(lanes, seed);
      lanes_fetcher.bodies = pages_;
      lanes_fetcher.stopped = fetcher_.stopped;
      EXPECT_EQ(GrabAndLook(state_, lanes_fetcher), outcome) << lanes << " lanes, seed " << seed;
      abandoned += lanes_fetcher.abandoned;
    }
  }
  EXPECT_GT(abandoned, 0);
  try {
    bgraburlsClick(state_, notifier_, fetcher_);
  } catch (const std::exception& e) {
    EXPECT_TRUE(IsAbortError(e));  // as the front ends recognise it
  }
}

}  // namespace
}  // namespace vellora
