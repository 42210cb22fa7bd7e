// The steps that "vellora run" can take, by name, in the order a user works
// through them.

#ifndef VELLORA_CLI_STEPS_H_
#define VELLORA_CLI_STEPS_H_

#include <csignal>
#include <string>

#include "app/main_state.h"
#include "cli/cli_notifier.h"

namespace vellora::cli {

// What a step works on. `interrupted` turns non-zero on Ctrl-C.
struct StepContext {
  MainState& state;
  CliNotifier& notifier;
  volatile std::sig_atomic_t* interrupted;
};

struct Step {
  const char* name;
  void (*run)(StepContext& context);
};

// The step named `name`, or nullptr.
const Step* FindStep(const std::string& name);

}  // namespace vellora::cli

#endif  // VELLORA_CLI_STEPS_H_
