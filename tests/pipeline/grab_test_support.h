// What the grabber's tests compare between runs: a grab's error, status
// texts and files.

#ifndef VELLORA_TESTS_PIPELINE_GRAB_TEST_SUPPORT_H_
#define VELLORA_TESTS_PIPELINE_GRAB_TEST_SUPPORT_H_

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/errors.h"
#include "pipeline/grabber.h"
#include "pipeline/pipeline_test_support.h"
#include "test_util.h"

namespace vellora::testing {

struct GrabOutcome {
  std::string error;  // empty when the grab completed
  std::vector<std::string> statuses;
  std::map<std::string, std::string> files;  // the working folder afterwards, by name
  bool operator==(const GrabOutcome&) const = default;
};

// Empties the working folder, grabs, and tells what the grab left.
inline GrabOutcome GrabAndLook(MainState& state, PageFetcher& fetcher) {
  namespace fs = std::filesystem;
  fs::remove_all(state.eworkingfolder);
  fs::create_directories(state.eworkingfolder);
  GrabOutcome outcome;
  RecordingNotifier notifier;
  try {
    bgraburlsClick(state, notifier, fetcher);
  } catch (const VelloraError& e) {
    outcome.error = e.what();
  }
  outcome.statuses = notifier.statuses;
  for (const auto& entry : fs::directory_iterator(state.eworkingfolder)) {
    outcome.files[entry.path().filename().string()] = ReadFileForTest(entry.path().string());
  }
  return outcome;
}

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_PIPELINE_GRAB_TEST_SUPPORT_H_
