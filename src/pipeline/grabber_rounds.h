// The two ways the grab goes through urls2grab, behind bgraburlsClick
// (grabber.h), which picks one by the fetcher's number of lanes. Both set the
// same status texts in the same order and leave the same files.

#ifndef VELLORA_PIPELINE_GRABBER_ROUNDS_H_
#define VELLORA_PIPELINE_GRABBER_ROUNDS_H_

#include <exception>
#include <string>
#include <vector>

#include "base/notifier.h"
#include "pipeline/grabber.h"
#include "state/main_state.h"

namespace vellora {

// Lines started but not yet written, per lane: a slow line holds back the
// writing of those after it, and this bounds the pages kept in memory
// meanwhile.
inline constexpr int kGrabLookaheadPerLane = 2;

// A line whose download failed in a grab that goes on past failed
// addresses.
struct FailedLine {
  int line = 0;
  std::string url;
  std::string reason;          // the error's own text
  bool https_refused = false;  // an https address refused while allowhttps is off
};

// What the rounds share beyond the state.
struct GrabRun {
  GrabSettings settings;
  std::vector<FailedLine> failed;  // in line order
  int lines = 0;                   // lines gone through, failed ones included
};

// Whether the grab goes on past `failure` of a line: with settings.go_on,
// for every VelloraError but the abort.
bool GoesOnPast(const GrabRun& run, const std::exception_ptr& failure);

// The download of line `line`, address `url`, failed with `failure`. When
// the grab goes on past it (GoesOnPast), the line joins run.failed and the
// call returns. Otherwise an abort, or anything that is not a VelloraError,
// is raised again as it is, and any other error is raised with its hints:
// kSwitchOnHttpsHint when it applies, then the line note.
void LineFailed(GrabRun& run, const std::exception_ptr& failure, int line, const std::string& url);

// One URL after the other into the grab stream, through Fetch.
void GrabOneByOne(MainState& state, Notifier& notifier, PageFetcher& fetcher, GrabRun& run);

// Up to fetcher.Lanes() downloads at once, each into a buffer of its own;
// files are written in line order as soon as every earlier line is written.
// A line's status text is set when it becomes the first line not yet
// written, which gives the texts of GrabOneByOne in its order. A failure of
// line k is handed to LineFailed once lines 1 to k-1 are written. When the
// grab does not go on past it, no line after k is started once k failed; on
// every way out the downloads still running are abandoned.
void GrabSimultaneously(MainState& state, Notifier& notifier, PageFetcher& fetcher, GrabRun& run);

// "Processing URL \"" + line + "\", [" + line number + "/" + line count + "]".
void SetGrabStatus(MainState& state, Notifier& notifier, int line);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_GRABBER_ROUNDS_H_
