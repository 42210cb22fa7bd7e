// The command's top-level handler: what an escaping exception prints, and that
// a step failing in an unexpected way still leaves the preset saved.

#include "cli/top_level.h"

#include <gtest/gtest.h>

#include <new>
#include <stdexcept>
#include <string>

#include "base/errors.h"
#include "cli/commands.h"
#include "cli/in_process.h"
#include "test_util.h"

namespace vellora::cli {
namespace {

struct Outcome {
  int status;
  std::string err;
};

// Runs `command` under the handler, with its streams in memory.
Outcome Capture(const std::function<int(const Streams&)>& command) {
  CapturedStreams captured;
  const Streams& io = captured.streams();
  int status = RunCatchingAll(io.err, [&] { return command(io); });
  return {status, captured.Err()};
}

TEST(RunCatchingAll, TurnsEveryKindOfExceptionIntoAMessageAndStatusOne) {
  EXPECT_EQ(Capture([](const Streams&) { return 0; }).status, 0);
  EXPECT_EQ(Capture([](const Streams&) { return 2; }).status, 2);

  Outcome own = Capture([](const Streams&) -> int { throw EFileError("Disk not ready"); });
  EXPECT_EQ(own.status, 1);
  EXPECT_EQ(own.err, "Disk not ready.\n");

  Outcome memory = Capture([](const Streams&) -> int { throw std::bad_alloc(); });
  EXPECT_EQ(memory.status, 1);
  EXPECT_EQ(memory.err, "Out of memory.\n");

  Outcome fault = Capture([](const Streams&) -> int { throw std::out_of_range("vector::at"); });
  EXPECT_EQ(fault.status, 1);
  EXPECT_EQ(fault.err, "Internal error: vector::at.\n");

  Outcome odd = Capture([](const Streams&) -> int { throw 7; });
  EXPECT_EQ(odd.status, 1);
  EXPECT_EQ(odd.err.rfind("Internal error: ", 0), 0u) << odd.err;
}

void Explode(StepContext&) { throw std::logic_error("step broke"); }
void RunOutOfMemory(StepContext&) { throw std::bad_alloc(); }

const Step* FaultySteps(const std::string& name) {
  static const Step kExplode{"explode", Explode};
  static const Step kMemory{"memory", RunOutOfMemory};
  if (name == "explode") return &kExplode;
  if (name == "memory") return &kMemory;
  return FindStep(name);
}

TEST(RunCommandTopLevel, AnUnexpectedStepExceptionReachesTheHandlerAfterTheSave) {
  TempDir dir;
  const std::string presets = dir.path() + "/P";
  Outcome outcome = Capture([&](const Streams& io) {
    return RunCommandWithSteps(
        {"--presets", presets, "--preset", "p", "--create", "--set", "esitename=Kept", "explode"},
        FaultySteps, io);
  });
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("Internal error: step broke."), std::string::npos) << outcome.err;
  EXPECT_NE(ReadFileForTest(presets + "/p/settings.ini").find("SiteName=Kept\r\n"),
            std::string::npos);
}

TEST(RunCommandTopLevel, AFailedAllocationInAStepReadsOutOfMemoryAndSaves) {
  TempDir dir;
  const std::string presets = dir.path() + "/P";
  Outcome outcome = Capture([&](const Streams& io) {
    return RunCommandWithSteps({"--presets", presets, "--preset", "p", "--create", "--set",
                                "esitename=Kept", "memory", "generate"},
                               FaultySteps, io);
  });
  EXPECT_EQ(outcome.status, 1);
  EXPECT_NE(outcome.err.find("Out of memory."), std::string::npos) << outcome.err;
  EXPECT_EQ(outcome.err.find("bad_alloc"), std::string::npos) << outcome.err;
  EXPECT_NE(ReadFileForTest(presets + "/p/settings.ini").find("SiteName=Kept\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace vellora::cli
