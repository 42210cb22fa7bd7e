// RandomGenerator: the program's one source of randomness, a 32-bit linear
// congruential generator:
//   seed' = seed * 134775813 + 1 (mod 2^32),  Random(n) = (n * seed') >> 32.
// The order and number of draws are part of the program's behaviour, so the
// same seed and inputs give the same output. Not thread-safe.

#ifndef VELLORA_BASE_RANDOM_H_
#define VELLORA_BASE_RANDOM_H_

#include <cstdint>

namespace vellora {

class RandomGenerator {
 public:
  explicit RandomGenerator(uint32_t seed = 0) : seed_(seed) {}

  uint32_t Seed() const { return seed_; }
  void SetSeed(uint32_t seed) { seed_ = seed; }
  // Seeds from the low 32 bits of the monotonic clock in nanoseconds.
  void SeedFromClock();

  // A uniform integer in 0..n-1. REQUIRES: n > 0.
  uint32_t Random(uint32_t n) {
    seed_ = seed_ * 134775813u + 1u;
    return static_cast<uint32_t>((static_cast<uint64_t>(n) * seed_) >> 32);
  }

  // a + Random(b - a + 1). REQUIRES: a <= b.
  int64_t RandomBetween(int64_t a, int64_t b) {
    return a + static_cast<int64_t>(Random(static_cast<uint32_t>(b - a + 1)));
  }

 private:
  uint32_t seed_;
};

}  // namespace vellora

#endif  // VELLORA_BASE_RANDOM_H_
