// GrabSimultaneously: the grab over several lanes of a PageFetcher.

#include <algorithm>
#include <map>
#include <vector>

#include "base/file_io.h"
#include "pipeline/grabber_rounds.h"

namespace vellora {
namespace {

// A line that was started and is not yet written.
struct Download {
  std::string url;
  std::string body;
  bool ended = false;
  std::exception_ptr failure;  // null: the body was received
};

class SimultaneousGrab {
 public:
  SimultaneousGrab(MainState& state, Notifier& notifier, PageFetcher& fetcher, GrabRun& run)
      : state_(state),
        notifier_(notifier),
        fetcher_(fetcher),
        run_(run),
        rounds_(state.urls2grab.Count()),
        lane_line_(static_cast<size_t>(fetcher.Lanes()), 0) {
    for (int lane = fetcher.Lanes() - 1; lane >= 0; --lane) idle_.push_back(lane);
  }

  ~SimultaneousGrab() { fetcher_.AbandonAll(); }

  void Run() {
    for (int head = 1; head <= rounds_; ++head) {
      // The list may have been edited while an earlier page was downloading.
      if (head > state_.urls2grab.Count()) break;
      SetGrabStatus(state_, notifier_, head);
      run_.lines = head;
      for (;;) {
        StartWhatMayStart(head);
        if (downloads_.at(head).ended) break;
        WaitForOne();
      }
      Download& download = downloads_.at(head);
      if (download.failure) {
        const std::exception_ptr failure = download.failure;
        const std::string url = download.url;
        downloads_.erase(head);
        LineFailed(run_, failure, head, url);  // returns when the grab goes on
        continue;
      }
      WriteWholeFile(state_.WorkingFolder() + GrabbedFileName(head), download.body);
      downloads_.erase(head);
    }
  }

 private:
  // Starts lines in order while a lane is idle, within the lookahead of the
  // line `head` whose file is due next, and not beyond a line whose failure
  // ends the grab.
  void StartWhatMayStart(int head) {
    const int limit = head + kGrabLookaheadPerLane * fetcher_.Lanes();
    while (!idle_.empty() && next_start_ <= rounds_ && next_start_ <= state_.urls2grab.Count() &&
           next_start_ < limit && next_start_ <= first_failed_) {
      int lane = idle_.back();
      idle_.pop_back();
      lane_line_[static_cast<size_t>(lane)] = next_start_;
      Download& download = downloads_[next_start_];
      download.url = state_.urls2grab.Line(next_start_ - 1);
      fetcher_.Start(lane, download.url, &download.body);
      ++next_start_;
    }
  }

  void WaitForOne() {
    std::exception_ptr failure;
    int lane = fetcher_.WaitForAny(&failure);
    int& line = lane_line_.at(static_cast<size_t>(lane));
    Download& download = downloads_.at(line);
    download.ended = true;
    download.failure = failure;
    if (failure && !GoesOnPast(run_, failure)) first_failed_ = std::min(first_failed_, line);
    line = 0;
    idle_.push_back(lane);
  }

  MainState& state_;
  Notifier& notifier_;
  PageFetcher& fetcher_;
  GrabRun& run_;
  const int rounds_;
  std::map<int, Download> downloads_;  // by line; node addresses stay put
  std::vector<int> lane_line_;         // the line each lane downloads, 0 when idle
  std::vector<int> idle_;
  int next_start_ = 1;
  int first_failed_ = rounds_ + 1;  // the first line whose failure ends the grab
};

}  // namespace

void GrabSimultaneously(MainState& state, Notifier& notifier, PageFetcher& fetcher, GrabRun& run) {
  SimultaneousGrab(state, notifier, fetcher, run).Run();
}

}  // namespace vellora
