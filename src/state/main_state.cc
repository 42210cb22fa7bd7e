#include "state/main_state.h"

#include "base/paths.h"

namespace vellora {

MainState::MainState() : eresfolder(HomeFolder() + "/res") {}

}  // namespace vellora
