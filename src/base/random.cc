#include "base/random.h"

#include <time.h>

namespace vellora {

void RandomGenerator::SeedFromClock() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  uint64_t nanoseconds = static_cast<uint64_t>(now.tv_sec) * 1000000000ull +
                         static_cast<uint64_t>(now.tv_nsec);
  seed_ = static_cast<uint32_t>(nanoseconds);
}

}  // namespace vellora
