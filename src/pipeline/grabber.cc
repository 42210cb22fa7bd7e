#include "pipeline/grabber.h"

#include <stdexcept>

#include "base/code_page.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "http/http_types.h"
#include "pipeline/grabber_rounds.h"
#include "pipeline/step_support.h"

namespace vellora {
namespace {

constexpr char kHttpsRefusal[] = "Protocol \"https\" not implemented";

constexpr char kGrabPrefix[] = "zarngrab#";
constexpr char kGrabSuffix[] = ".htm";

// "zarngrab#*.htm", matched ignoring case as the file system of the
// original platform does.
bool IsGrabbedFileName(const std::string& name) {
  const size_t prefix = sizeof kGrabPrefix - 1;
  const size_t suffix = sizeof kGrabSuffix - 1;
  return name.size() >= prefix + suffix &&
         EqualIgnoringCase(std::string_view(name).substr(0, prefix), kGrabPrefix) &&
         EqualIgnoringCase(std::string_view(name).substr(name.size() - suffix), kGrabSuffix);
}

template <typename Predicate>
void DeleteFiles(MainState& state, Notifier& notifier, Predicate wanted) {
  int count = 0;
  const std::string& folder = state.WorkingFolder();
  if (!folder.empty()) {
    for (const DirEntry& entry : ListDirectory(folder)) {
      if (entry.is_directory || !wanted(entry.name)) continue;
      if (DeleteFileAt(folder + entry.name)) ++count;
    }
  }
  notifier.Information(std::to_string(count) + " files deleted.");
}

// "N of M addresses failed", then "Line K (URL): reason." for each failed
// line; the reasons get the full stop the top-level handler would give them.
std::string FailureList(const GrabRun& run) {
  std::string text = std::to_string(run.failed.size()) + " of " + std::to_string(run.lines) +
                     (run.lines == 1 ? " address" : " addresses") + " failed";
  bool https_refused = false;
  for (const FailedLine& failed : run.failed) {
    text += "\nLine " + std::to_string(failed.line) + " (" + failed.url +
            "): " + TopLevelMessage(failed.reason);
    https_refused = https_refused || failed.https_refused;
  }
  return https_refused ? WithHint(text, kSwitchOnHttpsHint) : text;
}

}  // namespace

std::string GrabbedFileName(int n) { return kGrabPrefix + std::to_string(n) + kGrabSuffix; }

GrabSettings GrabSettingsOf(const MainState& state) {
  GrabSettings settings;
  settings.allow_https = state.allowhttps;
  settings.timeout_seconds = static_cast<int>(ClampedValue(state.grabtimeout));
  settings.connections = static_cast<int>(ClampedValue(state.grabconnections));
  settings.go_on = state.grabgoon;
  return settings;
}

void PageFetcher::Start(int, const std::string&, std::string*) {
  throw std::logic_error("This page fetcher downloads one page at a time");
}

int PageFetcher::WaitForAny(std::exception_ptr*) {
  throw std::logic_error("This page fetcher downloads one page at a time");
}

bool GoesOnPast(const GrabRun& run, const std::exception_ptr& failure) {
  if (!run.settings.go_on) return false;
  try {
    std::rethrow_exception(failure);
  } catch (const VelloraError& e) {
    return !IsAbortError(e);
  } catch (...) {
    return false;
  }
}

void LineFailed(GrabRun& run, const std::exception_ptr& failure, int line, const std::string& url) {
  try {
    std::rethrow_exception(failure);
  } catch (const VelloraError& e) {
    if (IsAbortError(e)) throw;
    const auto* http = dynamic_cast<const EHttpError*>(&e);
    const bool https_refused = http != nullptr && !run.settings.allow_https &&
                               http->ErrorNumber() == 501 && e.what() == std::string(kHttpsRefusal);
    if (run.settings.go_on) {
      run.failed.push_back({line, url, e.what(), https_refused});
      return;
    }
    std::string message = e.what();
    if (https_refused) message = WithHint(message, kSwitchOnHttpsHint);
    message = WithHint(message, "At line " + std::to_string(line) + " of the list: " + url);
    if (http != nullptr) throw EHttpError(message, http->ErrorNumber());
    throw VelloraError(message);
  }
}

void GrabOneByOne(MainState& state, Notifier& notifier, PageFetcher& fetcher, GrabRun& run) {
  const int rounds = state.urls2grab.Count();
  for (int i = 1; i <= rounds; ++i) {
    // The list may have been edited while an earlier page was downloading.
    if (i > state.urls2grab.Count()) break;
    std::string url = state.urls2grab.Line(i - 1);
    SetGrabStatus(state, notifier, i);
    run.lines = i;
    try {
      fetcher.Fetch(url, &state.grab_stream);
    } catch (...) {
      LineFailed(run, std::current_exception(), i, url);
      continue;
    }
    WriteWholeFile(state.WorkingFolder() + GrabbedFileName(i), state.grab_stream);
  }
}

void SetGrabStatus(MainState& state, Notifier& notifier, int line) {
  SetStatus(state, notifier,
            "Processing URL \"" + state.urls2grab.Line(line - 1) + "\", [" + std::to_string(line) +
                "/" + std::to_string(state.urls2grab.Count()) + "]");
}

void bgraburlsClick(MainState& state, Notifier& notifier, PageFetcher& fetcher) {
  // Without a preset there is no working folder to write into.
  if (state.WorkingFolder().empty()) throw VelloraError(kNoWorkingFolderMessage);
  GrabRun run;
  run.settings = GrabSettingsOf(state);
  fetcher.Configure(run.settings);
  if (fetcher.Lanes() > 1) {
    GrabSimultaneously(state, notifier, fetcher, run);
  } else {
    GrabOneByOne(state, notifier, fetcher, run);
  }
  if (run.failed.empty()) {
    SetStatus(state, notifier, "Done.");
    return;
  }
  SetStatus(state, notifier, "Done, " + std::to_string(run.failed.size()) + " failed.");
  throw VelloraError(FailureList(run));
}

void bdelgrabfilesClick(MainState& state, Notifier& notifier) {
  // The temporary files an interrupted write of a grabbed file left go too.
  DeleteFiles(state, notifier, [](const std::string& name) {
    return IsGrabbedFileName(name) || IsTemporaryFileName(name);
  });
}

void bdelallfilesClick(MainState& state, Notifier& notifier) {
  DeleteFiles(state, notifier, [](const std::string&) { return true; });
}

}  // namespace vellora
