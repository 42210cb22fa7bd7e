// Pattern engine benchmark: the five patterns of the program, each as a
// replace-all over a generated HTML-like corpus (32 MiB by default), and the
// word extraction's chain of four, run side by side with std::regex
// (ECMAScript), PCRE2 without JIT and PCRE2 with JIT. Every engine does the
// same replace-all (leftmost matches, the next search after an empty match
// one character further on); the outputs are compared.
//
//   regex_bench [--mb N] [--repeat N] [--no-std]
//
// Prints MB/s (MiB of input per second, best of --repeat runs after a
// warm-up run; std::regex runs once after its warm-up) and the ratios the
// goals name. Output buffers are reused by every engine.

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "regex/pattern_engine.h"

namespace {

// --- Corpus -------------------------------------------------------------------

class CorpusWriter {
 public:
  explicit CorpusWriter(uint32_t seed) : rng_(seed) {}

  std::string Make(size_t bytes) {
    out_.reserve(bytes + 65536);
    while (out_.size() < bytes) Page();
    return std::move(out_);
  }

 private:
  int Pick(int n) { return static_cast<int>(rng_() % static_cast<uint32_t>(n)); }

  void Word() {
    static const char* const kWords[] = {
        "the",     "of",      "and",     "to",        "in",      "is",
        "for",     "package", "system",  "file",      "files",   "configuration",
        "Debian",  "install", "the",     "a",         "with",    "this",
        "that",    "be",      "on",      "as",        "are",     "by",
        "or",      "it",      "from",    "you",       "can",     "documentation",
        "kernel",  "user",    "network", "directory", "options", "default",
        "command", "server",  "version", "source",    "manual",  "see",
        "also",    "use",     "used",    "which",     "when",    "not",
        "all",     "new",     "each",    "program",   "Linux",   "security",
        "update",  "release", "boot",    "device",    "driver"};
    out_ += kWords[Pick(static_cast<int>(std::size(kWords)))];
  }

  void Number() {
    switch (Pick(5)) {
      case 0:
        out_ += std::to_string(1990 + Pick(36));
        break;
      case 1:
        out_ += std::to_string(Pick(100));
        break;
      case 2:
        out_ += std::to_string(Pick(10)) + "." + std::to_string(Pick(100));
        break;
      case 3:
        out_ += "v" + std::to_string(Pick(10));
        break;  // not a whole number
      default:
        out_ += std::to_string(Pick(100000));
        break;
    }
  }

  void Sentence() {
    int words = 4 + Pick(14);
    for (int i = 0; i < words; ++i) {
      if (i) out_ += Pick(40) == 0 ? "  " : " ";
      int r = Pick(100);
      if (r < 8) {
        Number();
      } else if (r < 12) {
        static const char* const kInline[] = {"<b>", "<i>", "<code>", "<em>"};
        static const char* const kClose[] = {"</b>", "</i>", "</code>", "</em>"};
        int k = Pick(4);
        out_ += kInline[k];
        Word();
        out_ += kClose[k];
      } else if (r < 14) {
        out_ += "<a href=\"../";
        Word();
        out_ += "/index.html#s" + std::to_string(Pick(40)) + "\">";
        Word();
        out_ += " ";
        Word();
        out_ += "</a>";
      } else if (r < 16) {
        out_ += "(";
        Word();
        out_ += ")";
      } else if (r < 17) {
        out_ += "\"";
        Word();
        out_ += "\"";
      } else if (r < 18) {
        out_ += "&amp;";
      } else {
        Word();
      }
      if (Pick(12) == 0) out_ += ",";
      if (Pick(60) == 0) out_ += ";";
      if (Pick(80) == 0) out_ += ":";
    }
    static const char kEnds[] = "....!?:";
    out_ += kEnds[Pick(7)];
  }

  void Indent(int level) {
    for (int i = 0; i < level; ++i) out_ += Pick(3) == 0 ? "\t" : "  ";
  }

  void Paragraph(int level) {
    Indent(level);
    out_ += Pick(4) == 0 ? "<p class=\"body\">" : "<p>";
    int sentences = 1 + Pick(6);
    for (int i = 0; i < sentences; ++i) {
      if (i) out_ += " ";
      if (Pick(5) == 0) {
        out_ += "\r\n";
        Indent(level + 1);
      }
      Sentence();
    }
    out_ += "</p>\r\n";
  }

  void Page() {
    out_ += "<!DOCTYPE html PUBLIC \"-//W3C//DTD HTML 4.01//EN\">\r\n<html lang=\"en\">\r\n";
    out_ +=
        "<head>\r\n  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\r\n";
    out_ += "  <title>";
    Word();
    out_ += " ";
    Word();
    out_ += " - Chapter " + std::to_string(1 + Pick(20)) + "</title>\r\n";
    out_ += "  <link rel=\"stylesheet\" type=\"text/css\" href=\"debian.css\">\r\n</head>\r\n";
    out_ += "<body>\r\n<div class=\"navheader\">\r\n<table width=\"100%\" summary=\"nav\">\r\n";
    out_ += "<tr><td width=\"20%\" align=\"left\"><a accesskey=\"p\" href=\"ch0" +
            std::to_string(Pick(10)) + ".html\">Prev</a></td></tr>\r\n</table>\r\n</div>\r\n";
    int sections = 2 + Pick(5);
    for (int s = 0; s < sections; ++s) {
      out_ += "<div class=\"section\">\r\n  <h2 class=\"title\"><a name=\"s" + std::to_string(s) +
              "\"></a>" + std::to_string(s + 1) + ". ";
      Word();
      out_ += " ";
      Word();
      out_ += "</h2>\r\n";
      int blocks = 2 + Pick(6);
      for (int b = 0; b < blocks; ++b) {
        int r = Pick(10);
        if (r < 6) {
          Paragraph(1);
        } else if (r < 8) {
          out_ += "  <ul class=\"itemizedlist\">\r\n";
          int items = 2 + Pick(5);
          for (int i = 0; i < items; ++i) {
            out_ += "    <li><p>";
            Sentence();
            out_ += "</p></li>\r\n";
          }
          out_ += "  </ul>\r\n";
        } else if (r < 9) {
          out_ += "  <pre class=\"screen\">$ sudo apt-get install ";
          Word();
          out_ += "\r\n# ";
          Word();
          out_ += " --" + std::to_string(Pick(100)) + "\r\n</pre>\r\n";
        } else {
          out_ += "  <table border=\"1\">\r\n";
          int rows = 2 + Pick(4);
          for (int i = 0; i < rows; ++i) {
            out_ += "    <tr><td>";
            Word();
            out_ += "</td><td>" + std::to_string(Pick(5000)) + "</td><td>";
            Number();
            out_ += "</td></tr>\r\n";
          }
          out_ += "  </table>\r\n";
        }
      }
      out_ += "</div>\r\n";
    }
    out_ += "</body>\r\n</html>\r\n";
  }

  std::mt19937 rng_;
  std::string out_;
};

// --- Engines ------------------------------------------------------------------

struct PatternCase {
  const char* name;
  const char* pattern;  // this engine and PCRE2 (PCRE2 with DOTALL)
  const char* ecma;     // std::regex ECMAScript
  const char* replacement;
};

const PatternCase kCases[] = {
    {"<.+?>", "<.+?>", "<[\\s\\S]+?>", ""},
    {"\\b\\d*\\b", "\\b\\d*\\b", "\\b\\d*\\b", ""},
    {"\\s{2,}", "\\s{2,}", "\\s{2,}", " "},
    {"[\\[\\];\\\"\\(\\).,!:]", "[\\[\\];\\\"\\(\\).,!:]", "[\\[\\];\"\\(\\).,!:]", ""},
    {"[\\/?:*\\\"><| ]", "[\\/?:*\\\"><| ]", "[\\/?:*\"><| ]", "-"},
    // Not one of the program's: two words and a digit, which backtracks over
    // the words at nearly every start position, so that the row shows what
    // the matcher's resumptions (and its backtracking budget) cost.
    {"backtracking", "\\w+\\s+\\w+\\s+\\d", "\\w+\\s+\\w+\\s+\\d", ""},
};
constexpr int kChain[] = {0, 1, 2, 3};  // the word extraction's four

// A replace-all of in into *out (cleared first; its capacity is reused, so
// that no engine pays for fresh output pages, which are slow on some VMs).
using Replacer = std::function<void(const std::string& in, std::string* out)>;

Replacer VelloraReplacer(const PatternCase& c) {
  auto engine = std::make_shared<vellora::TPatternEngine>();
  engine->SetExpression(c.pattern);
  engine->Compile();
  std::string repl = c.replacement;
  return [engine, repl](const std::string& in, std::string* out) {
    out->clear();
    engine->ReplaceAllTo(in, repl, true, out);
  };
}

Replacer StdReplacer(const PatternCase& c) {
  auto re = std::make_shared<std::regex>(c.ecma, std::regex::ECMAScript);
  std::string repl = c.replacement;
  return [re, repl](const std::string& in, std::string* out) {
    out->clear();
    std::regex_replace(std::back_inserter(*out), in.begin(), in.end(), *re, repl);
  };
}

Replacer PcreReplacer(const PatternCase& c, bool jit) {
  int error = 0;
  PCRE2_SIZE offset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(c.pattern), PCRE2_ZERO_TERMINATED,
                                   PCRE2_DOTALL, &error, &offset, nullptr);
  if (code == nullptr) {
    std::fprintf(stderr, "pcre2_compile failed for %s\n", c.pattern);
    std::exit(1);
  }
  if (jit && pcre2_jit_compile(code, PCRE2_JIT_COMPLETE) != 0) {
    std::fprintf(stderr, "pcre2_jit_compile failed\n");
    std::exit(1);
  }
  std::shared_ptr<pcre2_code> owned(code, pcre2_code_free);
  std::shared_ptr<pcre2_match_data> data(pcre2_match_data_create_from_pattern(code, nullptr),
                                         pcre2_match_data_free);
  std::string repl = c.replacement;
  return [owned, data, repl](const std::string& in, std::string* result) {
    std::string& out = *result;
    out.clear();
    out.reserve(in.size());
    PCRE2_SPTR subject = reinterpret_cast<PCRE2_SPTR>(in.data());
    size_t from = 0;    // copied up to here
    size_t search = 0;  // next search
    while (search <= in.size()) {
      int rc = pcre2_match(owned.get(), subject, in.size(), search, 0, data.get(), nullptr);
      if (rc < 0) break;
      PCRE2_SIZE* ov = pcre2_get_ovector_pointer(data.get());
      out.append(in, from, ov[0] - from);
      out += repl;
      from = ov[1];
      search = ov[1] + (ov[1] == ov[0] ? 1 : 0);
    }
    out.append(in, from, std::string::npos);
  };
}

double Seconds(const std::function<void()>& f) {
  auto t0 = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
}

struct Result {
  double seconds = 0;
  std::string output;
};

// The best time of repeat runs of run(out), after one untimed run that
// touches the buffers.
Result Best(const std::function<void(std::string*)>& run, int repeat) {
  Result r;
  r.seconds = 1e100;
  run(&r.output);
  for (int i = 0; i < repeat; ++i) {
    double s = Seconds([&] { run(&r.output); });
    r.seconds = std::min(r.seconds, s);
  }
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  double mb = 32;
  int repeat = 5;
  bool with_std = true;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "--mb" && i + 1 < argc) {
      mb = std::atof(argv[++i]);
    } else if (a == "--repeat" && i + 1 < argc) {
      repeat = std::max(1, std::atoi(argv[++i]));
    } else if (a == "--no-std") {
      with_std = false;
    } else {
      std::fprintf(stderr, "usage: regex_bench [--mb N] [--repeat N] [--no-std]\n");
      return 2;
    }
  }
  std::string corpus = CorpusWriter(1).Make(static_cast<size_t>(mb * 1024 * 1024));
  double size_mb = static_cast<double>(corpus.size()) / (1024.0 * 1024.0);
  std::printf("corpus: %.1f MiB of generated HTML-like text\n", size_mb);

  const int kEngines = 4;
  const char* names[kEngines] = {"vellora", "pcre2-jit", "pcre2", "std::regex"};
  std::vector<std::vector<Replacer>> replacers(kEngines);
  for (const PatternCase& c : kCases) {
    replacers[0].push_back(VelloraReplacer(c));
    replacers[1].push_back(PcreReplacer(c, true));
    replacers[2].push_back(PcreReplacer(c, false));
    replacers[3].push_back(StdReplacer(c));
  }

  bool identical = true;
  std::printf("\n%-22s %11s %11s %11s %11s   %9s %9s %9s\n", "MB/s", names[0], names[1], names[2],
              names[3], "/pcre2", "/std", "/jit");
  auto row = [&](const char* label, const std::vector<Result>& r, bool have_std) {
    std::printf("%-22s", label);
    for (int e = 0; e < kEngines; ++e) {
      if (e == 3 && !have_std) {
        std::printf(" %11s", "-");
      } else {
        std::printf(" %11.1f", size_mb / r[e].seconds);
      }
    }
    std::printf("   %8.2fx", r[2].seconds / r[0].seconds);
    if (have_std) {
      std::printf(" %8.1fx", r[3].seconds / r[0].seconds);
    } else {
      std::printf(" %9s", "-");
    }
    std::printf(" %8.2fx\n", r[1].seconds / r[0].seconds);
    for (int e = 1; e < kEngines; ++e) {
      if (e == 3 && !have_std) continue;
      if (r[e].output != r[0].output) {
        identical = false;
        std::printf("  ! %s output differs from vellora\n", names[e]);
      }
    }
  };

  for (size_t p = 0; p < std::size(kCases); ++p) {
    std::vector<Result> r(kEngines);
    for (int e = 0; e < kEngines; ++e) {
      if (e == 3 && !with_std) continue;
      r[e] = Best([&](std::string* out) { replacers[e][p](corpus, out); }, e == 3 ? 1 : repeat);
    }
    row(kCases[p].name, r, with_std);
  }

  // The chain: each pattern over the output of the one before.
  std::vector<Result> chain(kEngines);
  for (int e = 0; e < kEngines; ++e) {
    if (e == 3 && !with_std) continue;
    std::string a;
    std::string b;
    chain[e] = Best(
        [&](std::string* out) {
          replacers[e][kChain[0]](corpus, &a);
          replacers[e][kChain[1]](a, &b);
          replacers[e][kChain[2]](b, &a);
          replacers[e][kChain[3]](a, out);
        },
        e == 3 ? 1 : repeat);
  }
  row("chain of four", chain, with_std);
  std::printf(
      "\nratios: /pcre2 and /std = their time over vellora's (goal: > 1 and >= 20);\n"
      "        /jit = PCRE2-JIT time over vellora's (goal for the chain: >= 1)\n");
  std::printf("outputs identical: %s\n", identical ? "yes" : "NO");
  return identical ? 0 : 1;
}
