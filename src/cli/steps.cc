#include "cli/steps.h"

namespace vellora::cli {
namespace {

const Step kSteps[] = {
    {nullptr, nullptr},
};

}  // namespace

const Step* FindStep(const std::string& name) {
  for (const Step& step : kSteps) {
    if (step.name != nullptr && name == step.name) return &step;
  }
  return nullptr;
}

}  // namespace vellora::cli
