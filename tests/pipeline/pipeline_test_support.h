// Shared helpers of the pipeline tests: a scratch folder per test, a
// notifier that records every status text, and a state with a working
// folder and an output folder inside the scratch folder.

#ifndef VELLORA_TESTS_PIPELINE_PIPELINE_TEST_SUPPORT_H_
#define VELLORA_TESTS_PIPELINE_PIPELINE_TEST_SUPPORT_H_

#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "state/main_state.h"
#include "base/file_io.h"
#include "base/notifier.h"

namespace vellora::testing {

class RecordingNotifier : public Notifier {
 public:
  void Information(const std::string& message) override { information.push_back(message); }
  void Error(const std::string& message) override { errors.push_back(message); }
  void Status(const std::string& text) override { statuses.push_back(text); }

  // The texts with runs of equal texts collapsed to one: what a user sees.
  std::vector<std::string> Distinct() const {
    std::vector<std::string> out;
    for (const std::string& text : statuses) {
      if (out.empty() || out.back() != text) out.push_back(text);
    }
    return out;
  }

  std::vector<std::string> information;
  std::vector<std::string> errors;
  std::vector<std::string> statuses;
};

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = ::testing::TempDir() + "vb-pipeline-XXXXXX";
    char* made = ::mkdtemp(pattern.data());
    EXPECT_NE(made, nullptr);
    path_ = pattern + "/";
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  // The folder's path, ending with "/".
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

// A state whose working folder is `scratch` + "Files/" (created) and whose
// output folder is `scratch` + "res" (not created), seeded with `seed`.
inline MainState MakeState(const ScratchFolder& scratch, uint32_t seed = 1) {
  MainState state;
  state.eworkingfolder = scratch.Path() + "Files/";
  ForceDirectories(state.eworkingfolder);
  state.eresfolder = scratch.Path() + "res";
  state.random.SetSeed(seed);
  return state;
}

inline std::vector<std::string> Captions(const ReportList& list) {
  std::vector<std::string> out;
  for (const ReportRow& row : list.Rows()) out.push_back(row.caption);
  return out;
}

// "caption=count" for every row of a word list.
inline std::vector<std::string> WordRows(const ReportList& words) {
  std::vector<std::string> out;
  for (int i = 0; i < words.Count(); ++i) {
    out.push_back(words.Row(i).caption + "=" + words.SubItem(i, 0));
  }
  return out;
}

inline ReportRow Word(const std::string& word, const std::string& count) {
  return ReportRow{word, {count}};
}

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_PIPELINE_PIPELINE_TEST_SUPPORT_H_
