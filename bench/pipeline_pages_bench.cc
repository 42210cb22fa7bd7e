// Paragraph and page generation plus the page writer for 200,000 phrases,
// with the default templates, five link and five image addresses and a
// sitemap; and the plain transcriptions on 40 times fewer phrases. Usage:
//   pipeline_pages_bench [PHRASES]

#include <cstdlib>
#include <string>

#include "../tests/pipeline/reference_steps.h"
#include "state/main_state.h"
#include "bench_support.h"
#include "pipeline/steps.h"

namespace vellora::bench {
namespace {

MainState PageState(int phrases, const std::string& out) {
  static const char* const kWords[] = {"cheap",  "flights", "paris", "rome", "hotel",   "deals",
                                       "travel", "guide",   "best",  "city", "weekend", "tips",
                                       "museum", "food",    "night", "train"};
  MainState state;
  state.random.SetSeed(7);
  RandomGenerator words(3);
  std::string samples;
  for (int i = 0; i < phrases; ++i) {
    int length = 1 + static_cast<int>(words.Random(4));
    for (int w = 0; w < length; ++w) {
      if (w > 0) samples += ' ';
      samples += kWords[words.Random(16)];
    }
    samples += "\r\n";
  }
  state.samples.SetText(samples);
  state.templates.LoadFromBytes(DataText("ini_templates.txt"));
  state.htmltemplate.LoadFromBytes(DataText("ini_template.htm"));
  state.indexpage.LoadFromBytes(DataText("ini_index.htm"));
  std::string urls, images;
  for (int i = 1; i <= 5; ++i) {
    urls += "http://partner" + std::to_string(i) + ".example/\r\n";
    images += "http://img.example/" + std::to_string(i) + ".jpg\r\n";
  }
  state.urlsurl.SetText(urls);
  state.imagesurl.SetText(images);
  state.usersamples.SetText("Best city breaks\r\nWeekend in Rome\r\n");
  state.edataurl = "http://www.example.com/pages";
  state.eresfolder = out;
  return state;
}

struct Timing {
  double generate;
  double save;
  double cpu;  // both steps
  int pages;
};

Timing Run(bool plain, int phrases, const std::string& out) {
  MainState state = PageState(phrases, out);
  CountingNotifier notifier;
  Stopwatch generate_clock;
  if (plain) {
    reference::maketxtClick(state, notifier);
  } else {
    maketxtClick(state, notifier);
  }
  const double generate = generate_clock.Seconds();
  Stopwatch save_clock;
  if (plain) {
    reference::makefilesClick(state, notifier);
  } else {
    makefilesClick(state, notifier);
  }
  return Timing{generate, save_clock.Seconds(), generate_clock.CpuSeconds(),
                state.filelist.Count()};
}

int Main(int argc, char** argv) {
  const int phrases = argc > 1 ? std::atoi(argv[1]) : 200000;
  ScratchFolder scratch("vb-pages-bench");
  Timing fast = Run(false, phrases, scratch.Path() + "fast");
  size_t bytes = 0;
  for (const DirEntry& entry : ListDirectory(scratch.Path() + "fast")) {
    bytes += ReadWholeFile(scratch.Path() + "fast/" + entry.name).size();
  }
  std::printf(
      "vellora generate + save, %d phrases: %.3f s + %.3f s = %.3f s (CPU %.3f s; goal: under "
      "3 s), %d pages, %.1f MB written\n",
      phrases, fast.generate, fast.save, fast.generate + fast.save, fast.cpu, fast.pages,
      static_cast<double>(bytes) / (1 << 20));

  const int small = phrases / 40;
  Timing plain = Run(true, small, scratch.Path() + "plain");
  Timing again = Run(false, small, scratch.Path() + "again");
  bool same = plain.pages == again.pages;
  for (const DirEntry& entry : ListDirectory(scratch.Path() + "plain")) {
    same = same && ReadWholeFile(scratch.Path() + "plain/" + entry.name) ==
                       ReadWholeFile(scratch.Path() + "again/" + entry.name);
  }
  std::printf(
      "%d phrases: plain transcription %.3f s + %.3f s (CPU %.3f s), vellora %.4f s + %.4f s "
      "(CPU %.4f s), CPU ratio %.0fx (%s)\n",
      small, plain.generate, plain.save, plain.cpu, again.generate, again.save, again.cpu,
      plain.cpu / again.cpu, same ? "same files" : "FILES DIFFER");
  return same ? 0 : 1;
}

}  // namespace
}  // namespace vellora::bench

int main(int argc, char** argv) { return vellora::bench::Main(argc, argv); }
