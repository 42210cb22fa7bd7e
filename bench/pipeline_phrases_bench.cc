// Phrase creation over 100,000 distinct words holding 2,000,000 units, and
// the plain transcription on a list 50 times smaller of the same shape.
// Counts follow Zipf's law, as counted words do: a few words hold most of
// the units and most words hold one or two. Usage:
//   pipeline_phrases_bench [WORDS] [UNITS]

#include <cmath>
#include <cstdlib>
#include <string>

#include "../tests/pipeline/reference_steps.h"
#include "state/main_state.h"
#include "bench_support.h"
#include "pipeline/steps.h"

namespace vellora::bench {
namespace {

// `words` rows whose counts add up to `units`: one each, and the rest
// shared out by 1/(rank + 1).
void FillWords(MainState& state, int words, int64_t units) {
  double harmonic = 0;
  for (int i = 0; i < words; ++i) harmonic += 1.0 / (i + 1);
  const int64_t spare = units - words;
  int64_t given = 0;
  std::vector<int64_t> counts(static_cast<size_t>(words), 1);
  for (int i = 0; i < words; ++i) {
    int64_t extra = static_cast<int64_t>(std::floor(spare / harmonic / (i + 1)));
    counts[static_cast<size_t>(i)] += extra;
    given += extra;
  }
  counts[0] += spare - given;
  state.words.Clear();
  for (int i = 0; i < words; ++i) {
    state.words.Add(
        ReportRow{"word" + std::to_string(i), {std::to_string(counts[static_cast<size_t>(i)])}});
  }
}

// Returns the wall-clock seconds; `cpu` receives the CPU seconds.
double Run(bool plain, int words, int64_t units, uint32_t seed, MainState* out, double* cpu) {
  MainState state;
  state.random.SetSeed(seed);
  FillWords(state, words, units);
  CountingNotifier notifier;
  Stopwatch clock;
  if (plain) {
    reference::makewordphrasesClick(state, notifier);
  } else {
    makewordphrasesClick(state, notifier);
  }
  const double seconds = clock.Seconds();
  *cpu = clock.CpuSeconds();
  if (out != nullptr) *out = std::move(state);
  return seconds;
}

int Main(int argc, char** argv) {
  const int words = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int64_t units = argc > 2 ? std::atoll(argv[2]) : 2000000;
  MainState fast;
  double cpu = 0;
  const double seconds = Run(false, words, units, 1, &fast, &cpu);
  std::printf("vellora phrases: %d words, %lld units: %.3f s (CPU %.3f s), %s (goal: under 2 s)\n",
              words, static_cast<long long>(units), seconds, cpu, fast.phrasescount.c_str());

  const int small_words = words / 50;
  const int64_t small_units = units / 50;
  MainState plain_state, fast_state;
  double plain_cpu = 0, fast_cpu = 0;
  Run(true, small_words, small_units, 1, &plain_state, &plain_cpu);
  Run(false, small_words, small_units, 1, &fast_state, &fast_cpu);
  const bool same = plain_state.samples.Text() == fast_state.samples.Text();
  std::printf(
      "%d words, %lld units: plain transcription CPU %.3f s, vellora CPU %.4f s, ratio %.0fx "
      "(%s)\n",
      small_words, static_cast<long long>(small_units), plain_cpu, fast_cpu, plain_cpu / fast_cpu,
      same ? "same phrases" : "PHRASES DIFFER");
  return same ? 0 : 1;
}

}  // namespace
}  // namespace vellora::bench

int main(int argc, char** argv) { return vellora::bench::Main(argc, argv); }
