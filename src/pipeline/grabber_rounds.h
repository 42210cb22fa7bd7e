// The two ways the grab goes through urls2grab, behind bgraburlsClick
// (grabber.h), which picks one by the fetcher's number of lanes. Both set the
// same status texts in the same order and leave the same files.

#ifndef VELLORA_PIPELINE_GRABBER_ROUNDS_H_
#define VELLORA_PIPELINE_GRABBER_ROUNDS_H_

#include "state/main_state.h"
#include "base/notifier.h"
#include "pipeline/grabber.h"

namespace vellora {

// Lines started but not yet written, per lane: a slow line holds back the
// writing of those after it, and this bounds the pages kept in memory
// meanwhile.
inline constexpr int kGrabLookaheadPerLane = 2;

// One URL after the other into the grab stream, through Fetch.
void GrabOneByOne(MainState& state, Notifier& notifier, PageFetcher& fetcher);

// Up to fetcher.Lanes() downloads at once, each into a buffer of its own;
// files are written in line order as soon as every earlier line is written.
// A line's status text is set when it becomes the first line not yet
// written, which gives the texts of GrabOneByOne in its order. On a failure
// of line k the error propagates once lines 1 to k-1 are written; no line
// after k is started once k failed, and on every way out the downloads still
// running are abandoned.
void GrabSimultaneously(MainState& state, Notifier& notifier, PageFetcher& fetcher);

// "Processing URL \"" + line + "\", [" + line number + "/" + line count + "]".
void SetGrabStatus(MainState& state, Notifier& notifier, int line);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_GRABBER_ROUNDS_H_
