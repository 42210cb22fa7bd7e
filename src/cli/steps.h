// The steps that "vellora run" can take, by name. Each presses one button of
// the desktop program: a step whose tab page, when shown, would leave its
// button disabled fails with a message saying why instead of running.

#ifndef VELLORA_CLI_STEPS_H_
#define VELLORA_CLI_STEPS_H_

#include <string>

#include "state/main_state.h"
#include "base/event_loop.h"
#include "base/notifier.h"

namespace vellora::cli {

// What a step works on. The loop runs downloads; Ctrl-C requests its
// termination.
struct StepContext {
  MainState& state;
  Notifier& notifier;
  EventLoop& loop;
};

struct Step {
  const char* name;
  void (*run)(StepContext& context);
};

// The step named `name`, or nullptr.
const Step* FindStep(const std::string& name);

// How "run" finds its steps: FindStep, or a table of a test's own.
using StepLookup = const Step* (*)(const std::string& name);

}  // namespace vellora::cli

#endif  // VELLORA_CLI_STEPS_H_
