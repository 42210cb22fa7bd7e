// The HTML grabber and the two clean-up buttons of the working folder.
//
// The grab downloads every line of urls2grab into the working folder as
// "zarngrab#" + n + ".htm". By default a failing URL ends the grab: its
// error propagates with a second line naming the line number and the
// address, its file is not written, earlier files stay and no later file is
// written. With grabgoon on, a failing URL writes no
// file (its number stays free, the other lines keep theirs) and the grab goes
// on with the next line; at the end the status reads "Done, N failed." and
// one error lists every failed line with its address and reason. An abort
// (Stop, the window closing, Ctrl-C) always ends the grab at once with its
// own error, unchanged, and never counts as a failed line.
//
// With one connection (the default) the URLs are fetched one by one and
// later URLs are not requested after a failure that ends the grab. With
// several (grabconnections) up to that many downloads run at once on the one
// event loop, and the outcome is that of the one-by-one grab: the same files
// with the same numbers and bytes, the same status texts in the same order,
// and the same error (when the grab ends at a failure: that of the first
// failing line, with the files of the lines before it written and none after
// it; downloads still running are aborted). The deletes remove files (never
// folders) and show how many went.

#ifndef VELLORA_PIPELINE_GRABBER_H_
#define VELLORA_PIPELINE_GRABBER_H_

#include <exception>
#include <string>

#include "base/notifier.h"
#include "state/main_state.h"

namespace vellora {

inline constexpr const char kNoWorkingFolderMessage[] =
    "No preset is loaded, so there is no working folder";

// The line added to the client's refusal of an https address while
// allowhttps is off.
inline constexpr const char kSwitchOnHttpsHint[] =
    "Switch on \"Allow HTTPS\" (allowhttps) to fetch https addresses.";

// The preset's settings of a grab.
struct GrabSettings {
  bool allow_https = false;  // https addresses and relocations across schemes
  int timeout_seconds = 0;   // longest wait for a byte from a server; 0 = none
  int connections = 1;       // downloads at once, 1..16
  bool go_on = false;        // a failed address does not end the grab
};

GrabSettings GrabSettingsOf(const MainState& state);

// Downloads pages. The grabber's only view of the HTTP client.
//
// A fetcher runs one download at a time through Fetch, or, when Lanes() is
// above 1, up to Lanes() at once: Start begins a download on an idle lane
// and returns at once, WaitForAny runs the event loop until one of them has
// ended. Only Fetch must be provided; the defaults describe a fetcher of
// one lane, for which the grab calls nothing but Configure and Fetch.
class PageFetcher {
 public:
  virtual ~PageFetcher() = default;

  // Takes the settings of the grab about to start. Also forgets an earlier
  // AbortDownloads, so each grab starts afresh.
  virtual void Configure(const GrabSettings&) {}

  // Receives the final body of `url` into `*stream` (emptied first). Raises
  // the client's error when the request fails; returns when the document
  // was received.
  virtual void Fetch(const std::string& url, std::string* stream) = 0;

  // Downloads that may run at once (at least 1).
  virtual int Lanes() const { return 1; }
  // Begins receiving the final body of `url` into `*stream` (emptied first)
  // on `lane`, which must be idle, and returns at once. `*stream` must stay
  // alive until the download was reported by WaitForAny or AbandonAll ran.
  virtual void Start(int lane, const std::string& url, std::string* stream);
  // Waits until a started download has ended and returns its lane, now
  // idle, with null in `*failure` when the document was received, or the
  // error that Fetch would have raised. REQUIRES: a download was started
  // and not yet reported.
  virtual int WaitForAny(std::exception_ptr* failure);
  // Aborts every download still running and forgets those not yet
  // reported; afterwards no lane holds a stream.
  virtual void AbandonAll() {}

  // Ends every running download at once with 404 "Connection aborted on
  // request", and every download the current grab would still start, so the
  // grab ends with that error. For a front end's Stop; safe to call at any
  // time from the loop's thread, also while no grab runs.
  virtual void AbortDownloads() {}
};

// The grabbed file's name for the URL on line `n` (1-based).
std::string GrabbedFileName(int n);

// "Grab": every URL of urls2grab into the working folder. Raises
// kNoWorkingFolderMessage, before any request, when no preset is loaded.
// A failed address (an error of the fetcher other than the abort) ends the
// grab with its error followed by the line "At line K of the list: URL";
// when allowhttps is off and the client refused an https address,
// kSwitchOnHttpsHint comes between the two. With grabgoon the grab goes on
// past failed addresses and, when any failed, sets the status
// "Done, N failed." and then raises one VelloraError that lists them:
// "N of M addresses failed" and a line "Line K (URL): reason." for each
// (kSwitchOnHttpsHint after them when it applies to one).
void bgraburlsClick(MainState& state, Notifier& notifier, PageFetcher& fetcher);

// "Delete only grabber's files in the working folder".
void bdelgrabfilesClick(MainState& state, Notifier& notifier);

// "Delete all files in the working folder": every file, hidden ones
// included; sub-folders stay.
void bdelallfilesClick(MainState& state, Notifier& notifier);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_GRABBER_H_
