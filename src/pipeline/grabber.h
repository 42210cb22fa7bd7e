// The HTML grabber and the two clean-up buttons of the working folder.
//
// The grab downloads every line of urls2grab, in order, into the working
// folder as "zarngrab#" + n + ".htm". A failing URL ends the grab: its
// error propagates, its file is not written, earlier files stay and later
// URLs are not requested. The deletes remove files (never folders) and show
// how many went.

#ifndef VELLORA_PIPELINE_GRABBER_H_
#define VELLORA_PIPELINE_GRABBER_H_

#include <string>

#include "state/main_state.h"
#include "base/notifier.h"

namespace vellora {

inline constexpr const char kNoWorkingFolderMessage[] =
    "No preset is loaded, so there is no working folder";

// Downloads one URL. The grabber's only view of the HTTP client.
class PageFetcher {
 public:
  virtual ~PageFetcher() = default;
  // Receives the final body of `url` into `*stream` (emptied first). Raises
  // the client's error when the request fails; returns when the document
  // was received.
  virtual void Fetch(const std::string& url, std::string* stream) = 0;
};

// The grabbed file's name for the URL on line `n` (1-based).
std::string GrabbedFileName(int n);

// "Grab": every URL of urls2grab into the working folder. Raises
// kNoWorkingFolderMessage, before any request, when no preset is loaded.
void bgraburlsClick(MainState& state, Notifier& notifier, PageFetcher& fetcher);

// "Delete only grabber's files in the working folder".
void bdelgrabfilesClick(MainState& state, Notifier& notifier);

// "Delete all files in the working folder": every file, hidden ones
// included; sub-folders stay.
void bdelallfilesClick(MainState& state, Notifier& notifier);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_GRABBER_H_
