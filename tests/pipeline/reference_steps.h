// Plain transcriptions of the pipeline steps, written for clarity and not
// for speed: the word list is searched row by row and re-sorted after every
// new word, the top row is found by a scan per phrase, phrases are taken by
// deleting the first line of `samples`, and every page is built by seven
// replace-alls over its whole text. The differential tests run them beside
// the steps of src/pipeline on random inputs and require identical state and
// files; the benchmarks time them on inputs small enough for them.
//
// They follow the same rules for the cases the plain algorithms leave open
// (bounds taken in order, number fields clamped on read, counts that are not
// numbers read as 0, no sentence template with a "$"), so that any
// difference is a fault of the fast steps.

#ifndef VELLORA_TESTS_PIPELINE_REFERENCE_STEPS_H_
#define VELLORA_TESTS_PIPELINE_REFERENCE_STEPS_H_

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "state/main_state.h"
#include "base/code_page.h"
#include "base/errors.h"
#include "base/file_io.h"
#include "base/notifier.h"
#include "pipeline/sitemap.h"
#include "regex/pattern_engine.h"

namespace vellora::reference {

inline void Status(MainState& state, Notifier& notifier, const std::string& text) {
  SetStatus(state, notifier, text);
}

inline std::string Progress(const std::string& activity, int64_t done, int64_t total) {
  return activity + " [" + std::to_string(done) + "/" + std::to_string(total) + "]";
}

inline int64_t Clamped(const IntegerSpin& spin) {
  return std::clamp(spin.Value(), spin.Minimum(), spin.Maximum());
}

inline int64_t Between(RandomGenerator& random, int64_t a, int64_t b) {
  if (a > b) std::swap(a, b);
  return a + static_cast<int64_t>(random.Random(static_cast<uint32_t>(b - a + 1)));
}

inline int64_t CountOf(const std::string& text) {
  // Optional sign and digits; anything else reads as 0.
  size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
  if (i == text.size() || text.size() - i > 18) return 0;
  for (size_t k = i; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return 0;
  }
  return std::stoll(text);
}

inline std::string Trim(const std::string& text) {
  size_t begin = 0, end = text.size();
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) --end;
  return text.substr(begin, end - begin);
}

inline std::string ReplaceAll(const std::string& text, const std::string& from,
                              const std::string& to, bool ignore_case) {
  if (from.empty()) return text;
  const std::string haystack = ignore_case ? UpperCase(text) : text;
  const std::string needle = ignore_case ? UpperCase(from) : from;
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t match = haystack.find(needle, pos);
    if (match == std::string::npos) break;
    out += text.substr(pos, match - pos) + to;
    pos = match + from.size();
  }
  return out + text.substr(pos);
}

inline std::string Capitalised(const std::string& text) {
  std::string out = text;
  if (out.size() >= 2 && out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 32);
  return out;
}

// ---- Word extraction ----

inline void AddFileWords(MainState& state, const std::string& path) {
  state.myfile.Clear();
  state.myfile.LoadFromFile(path);
  std::string text;
  for (int i = 0; i < state.myfile.Count(); ++i) {
    std::string line = Trim(state.myfile.Line(i));
    if (!line.empty()) text += line + " ";
  }
  text = ReplacePattern("<.+?>", text, "", true);
  text = ReplacePattern("\\b\\d*\\b", text, "", true);
  text = ReplacePattern("\\s{2,}", text, " ", true);
  text = ReplaceAll(text, " ", "\r\n", false);
  text = ReplacePattern("[\\[\\];\"\\(\\).,!:]", text, "", true);
  text = LowerCase(text);
  state.mytext.Add(text);
}

inline void SortByCaption(ReportList& list) {
  std::stable_sort(list.MutableRows().begin(), list.MutableRows().end(),
                   [](const ReportRow& a, const ReportRow& b) { return a.caption < b.caption; });
}

// What a text mode changes in the run: how a file becomes tokens, how many
// characters a token has, how a line of `mytext` is read, and which row of
// `words` holds a token's word.
struct ExtractionRules {
  void (*add_file_words)(MainState& state, const std::string& path);
  size_t (*length)(const std::string& token);
  std::string (*line)(const TextList& list, int index);
  int (*find_word)(const ReportList& words, const std::string& token);
};

inline ExtractionRules AnsiRules() {
  return {
      AddFileWords, [](const std::string& token) { return token.size(); },
      [](const TextList& list, int index) { return list.Line(index); },
      [](const ReportList& words, const std::string& token) { return words.FindCaption(token); }};
}

inline void ExtractWords(MainState& state, Notifier& notifier, const ExtractionRules& rules) {
  state.bprocess_enabled = false;
  state.mytext.Clear();
  std::string folder = state.eworkingfolder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  if (!folder.empty()) {
    for (const DirEntry& entry : ListDirectory(folder)) {
      struct stat st;
      const std::string path = folder + entry.name;
      if (entry.is_directory || entry.is_hidden) continue;
      if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
      Status(state, notifier, "Processing file " + path);
      rules.add_file_words(state, path);
    }
  }
  state.myfile.Clear();
  Status(state, notifier, "Cleaning up the word list...");
  const int total = state.mytext.Count();
  int i = 0, n = 0;
  while (i < state.mytext.Count()) {
    std::string line = rules.line(state.mytext, i);
    bool drop = line.empty() || rules.length(line) < 2;
    for (int k = 0; !drop && k < state.prohibited.Count(); ++k) {
      drop = line == state.prohibited.Line(k);
    }
    for (int k = 0; !drop && k < state.dontcontain.Count(); ++k) {
      std::string fragment = state.dontcontain.Line(k);
      drop = !fragment.empty() && line.find(fragment) != std::string::npos;
    }
    if (drop) {
      state.mytext.Delete(i);
    } else {
      ++i;
    }
    ++n;
    if (n % 10 == 0) Status(state, notifier, Progress("Cleaning up the word list", n, total));
  }

  Status(state, notifier, "Generating final word list table...");
  state.words.Clear();
  const int lines = state.mytext.Count();
  for (int t = 0; t < lines; ++t) {
    std::string token = rules.line(state.mytext, t);
    int row = rules.find_word(state.words, token);
    if (row >= 0) {
      std::string& count = state.words.MutableRow(row).sub_items[0];
      count = std::to_string(CountOf(count) + 1);
    } else {
      state.words.Add(ReportRow{token, {"1"}});
      SortByCaption(state.words);
    }
    if (t % 10 == 0) {
      Status(state, notifier, Progress("Generating final word list table", t, lines));
    }
  }

  const int64_t min_rate = Clamped(state.minwordrate);
  const int64_t multiplier = Clamped(state.ratemultiplier);
  const int rows = state.words.Count();
  int r = 0, m = 1;
  while (r < state.words.Count()) {
    int64_t k = CountOf(state.words.SubItem(r, 0));
    if (k < min_rate) {
      state.words.Delete(r);
    } else {
      if (multiplier > 1) state.words.MutableRow(r).sub_items[0] = std::to_string(k * multiplier);
      ++r;
    }
    ++m;
    if (m % 10 == 0) Status(state, notifier, Progress("Processing word rate", m, rows));
  }
  std::stable_sort(state.words.MutableRows().begin(), state.words.MutableRows().end(),
                   [](const ReportRow& a, const ReportRow& b) {
                     return CountOf(b.sub_items[0]) - CountOf(a.sub_items[0]) < 0;
                   });
  Status(state, notifier, "Done.");
  int64_t sum = 0;
  for (int row = 0; row < state.words.Count(); ++row) sum += CountOf(state.words.SubItem(row, 0));
  state.wordcount = "Unique words: " + std::to_string(state.words.Count()) +
                    ", total: " + std::to_string(sum) + ".";
  state.bprocess_enabled = true;
}

inline void bprocessClick(MainState& state, Notifier& notifier) {
  ExtractWords(state, notifier, AnsiRules());
}

// ---- Phrase creation ----

inline void makewordphrasesClick(MainState& state, Notifier& notifier) {
  state.makewordphrases_enabled = false;
  state.samples.Clear();
  Status(state, notifier, "Preparing phrases...");
  ReportList& words = state.words;
  int64_t total = 0;
  for (int row = 0; row < words.Count(); ++row) {
    total += std::max<int64_t>(0, CountOf(words.SubItem(row, 0)));
  }
  int64_t used = 0;
  const uint32_t n = static_cast<uint32_t>(words.Count());
  const uint32_t max_length = static_cast<uint32_t>(Clamped(state.phraselength));
  auto count = [&words](int row) { return CountOf(words.SubItem(row, 0)); };
  while (used < total) {
    std::string phrase;
    int64_t length = state.random.Random(max_length) + 1;
    if (total - used < length) length = total - used;
    int top = -1;
    int64_t best = 0;
    for (int row = 0; row < words.Count(); ++row) {
      if (count(row) > best) {
        best = count(row);
        top = row;
      }
    }
    std::vector<int> placed;
    auto in_placed = [&placed](int row) {
      return std::find(placed.begin(), placed.end(), row) != placed.end();
    };
    int64_t top_position = state.random.Random(static_cast<uint32_t>(length)) + 1;
    for (int64_t position = 1; position <= length; ++position) {
      int index;
      if (position == top_position && length > 1 && top >= 0 && count(top) > 0 && !in_placed(top)) {
        index = top;
      } else {
        do {
          index = static_cast<int>(state.random.Random(n));
          if (in_placed(index)) index = static_cast<int>(state.random.Random(n));
        } while (count(index) < 1);
      }
      placed.push_back(index);
      ++used;
      words.MutableRow(index).sub_items[0] = std::to_string(count(index) - 1);
      phrase += words.Row(index).caption + " ";
    }
    state.samples.Add(Trim(phrase));
    if (used % 10 == 0) {
      Status(state, notifier, Progress("Preparing phrases, procssing words", used, total));
    }
  }
  Status(state, notifier, "Done.");
  words.Clear();
  state.wordcount = "Word count = 0";
  state.phrasescount = "Phrases count: " + std::to_string(state.samples.Count()) + ".";
}

// ---- Paragraph generation ----

inline void maketxtClick(MainState& state, Notifier& notifier) {
  if (state.samples.Count() > 0) {
    bool any = false;
    for (int k = 0; k < state.templates.Count(); ++k) {
      any = any || state.templates.Line(k).find('$') != std::string::npos;
    }
    if (!any) throw VelloraError("No sentence template holds a \"$\" place for a phrase");
  }
  RandomGenerator& random = state.random;
  state.maketxt_enabled = false;
  state.pars.Clear();
  state.filelist.Clear();
  const int total = state.samples.Count();
  int j = 0;
  int64_t target = 0, sentences = 0;
  bool has_link = false, has_image = false;
  int64_t link_interval = 0, since_link = 0, image_interval = 0, since_image = 0;
  int address = 0, image = 0;
  if (state.urlsurl.Count() > 0) {
    has_link = true;
    link_interval = Between(random, Clamped(state.urlmin), Clamped(state.urlmax));
  }
  if (state.imagesurl.Count() > 0) {
    has_image = true;
    image_interval = Between(random, Clamped(state.imagemin), Clamped(state.imagemax));
  }
  while (j < total) {
    if (j % 10 == 0) Status(state, notifier, Progress("Using the samples", j, total));
    if (sentences == target || target == 0) {
      state.pars.Add(ReportRow{state.samples.Line(0), {""}});
      target = Between(random, Clamped(state.sentmin), Clamped(state.sentmax));
      sentences = 0;
    }
    std::string sentence =
        state.templates.Line(static_cast<int>(random.Random(state.templates.Count())));
    while (sentence.find('$') != std::string::npos) {
      size_t place = sentence.find('$');
      std::string first = state.samples.Count() > 0 ? state.samples.Line(0) : std::string();
      if (has_link && since_link >= link_interval) {
        sentence.replace(place, 1,
                         "<a href=\"" + state.urlsurl.Line(address) + "\">" + first + "</a>");
        address = (address + 1) % state.urlsurl.Count();
        link_interval = Between(random, Clamped(state.urlmin), Clamped(state.urlmax));
        since_link = 0;
      } else {
        sentence.replace(place, 1, first);
      }
      ++since_link;
      if (state.samples.Count() > 0) state.samples.Delete(0);
      ++j;
      if (j > total) sentence.clear();
    }
    ++sentences;
    ++since_image;
    if (!sentence.empty()) {
      ReportRow& paragraph = state.pars.MutableRow(state.pars.Count() - 1);
      std::string& text = paragraph.sub_items[0];
      if (!text.empty()) text += " ";
      text += sentence;
      if (has_image && since_image >= image_interval) {
        text += " <br><br><div align=\"center\"><img src=\"" + state.imagesurl.Line(image) +
                "\" alt=\"" + paragraph.caption + "\"></div><br>";
        image = (image + 1) % state.imagesurl.Count();
        image_interval = Between(random, Clamped(state.imagemin), Clamped(state.imagemax));
        since_image = 0;
      }
    }
  }
  state.samples.Clear();

  auto file_name_of = [&state](const std::string& text) {
    return ReplacePattern("[\\/?:*\"><| ]", text, "-", true) + "." + state.efileext;
  };
  int next_user = state.usersamples.Count() > 0 ? 0 : -1;
  auto user_available = [&]() { return next_user >= 0 && next_user < state.usersamples.Count(); };
  int i = 0;
  const int par_count = state.pars.Count();
  while (i < par_count) {
    if (i % 10 == 0) Status(state, notifier, Progress("Preparing file content", i, par_count));
    int64_t n = Between(random, Clamped(state.parmin), Clamped(state.parmax));
    if (par_count - i < n) n = par_count - i;
    const std::string head = state.pars.Row(i).caption;
    ReportRow page;
    if (user_available()) {
      std::string user = state.usersamples.Line(next_user);
      page = ReportRow{file_name_of(user), {Capitalised(user), user, user + ", " + head, ""}};
    } else {
      page = ReportRow{file_name_of(head), {Capitalised(head), "", head, ""}};
    }
    for (int64_t k = 0; k < n && i < par_count; ++k, ++i) {
      const ReportRow& paragraph = state.pars.Row(i);
      std::string h = Capitalised(paragraph.caption);
      const std::string& x = paragraph.sub_items[0];
      if (!page.sub_items[1].empty()) page.sub_items[1] += ", ";
      page.sub_items[1] += paragraph.caption;
      std::string& body = page.sub_items[3];
      if (body.empty() && user_available()) {
        body += "\r\n<center><h1>" + Capitalised(state.usersamples.Line(next_user)) +
                "</h1></center>\r\n<h2>" + h + "</h2>\r\n\r\n" + x + "\r\n";
        ++next_user;
      } else if (body.empty()) {
        body += "\r\n<h1>" + h + "</h1>\r\n\r\n" + x + "\r\n";
      } else {
        body += " \r\n<h2>" + h + "</h2>\r\n\r\n" + x + "\r\n";
      }
    }
    state.filelist.Add(page);
  }
  Status(state, notifier, "Done.");
  state.phrasescount = "Phrases count = 0";
  state.makefiles_enabled = state.filelist.Count() > 0;
}

// ---- Page writer ----

inline std::string FillPage(MainState& state, const std::string& keywords,
                            const std::string& description, const std::string& links,
                            const std::string& content) {
  state.savememo.Clear();
  for (int k = 0; k < state.htmltemplate.Count(); ++k) {
    state.savememo.Add(state.htmltemplate.FullLine(k));
  }
  std::string text = state.savememo.Text();
  text = ReplaceAll(text, "$charset$", state.echarset, true);
  text = ReplaceAll(text, "$sitename$", state.esitename, true);
  text = ReplaceAll(text, "$siteurl$", state.esiteurl, true);
  text = ReplaceAll(text, "$keywords$", keywords, true);
  text = ReplaceAll(text, "$description$", description, true);
  text = ReplaceAll(text, "$links$", links, true);
  text = ReplaceAll(text, "$content$", content, true);
  return text;
}

// A file name as a link to it: every byte outside printable ASCII, and each
// of the bytes " # % < > ? and space, as %XX.
inline std::string Href(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (c > 32 && c < 127 &&
        std::string("\"#%<>?").find(static_cast<char>(c)) == std::string::npos) {
      out += static_cast<char>(c);
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", c);
      out += escape;
    }
  }
  return out;
}

inline void makefilesClick(MainState& state, Notifier& notifier) {
  Status(state, notifier, "Saving files, please wait...");
  state.makefiles_enabled = false;
  const std::string folder = state.eresfolder;
  if (folder.empty()) throw EFileError("Unable to create directory");
  if (folder.size() >= 3 && !DirectoryExists(folder)) ForceDirectories(folder);
  const std::string prefix = folder.back() == '/' ? folder : folder + "/";
  std::string links = "<a href=\"" + Href(state.indexfname) + "\">Index</a><br><br>\r\n";
  for (int row = 0; row < state.filelist.Count(); ++row) {
    links += "<a href=\"" + Href(state.filelist.Row(row).caption) + "\">" +
             state.filelist.SubItem(row, 0) + "</a><br>\r\n";
  }
  if (state.htmltemplate.Count() == 0) return;
  WriteWholeFile(prefix + state.indexfname,
                 FillPage(state, state.esitename, state.esitename + " home page", links,
                          state.indexpage.Text()));
  for (int row = 0; row < state.filelist.Count(); ++row) {
    WriteWholeFile(prefix + state.filelist.Row(row).caption,
                   FillPage(state, state.filelist.SubItem(row, 1), state.filelist.SubItem(row, 2),
                            links, state.filelist.SubItem(row, 3)));
  }
  if (state.edataurl.size() > 4) {
    if (state.edataurl.back() != '/') state.edataurl += "/";
    const std::string d = state.edataurl;
    state.savememo.Clear();
    state.savememo.Add(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<urlset\r\n"
        "      xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\"\r\n"
        "      xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\r\n"
        "      xsi:schemaLocation=\"http://www.sitemaps.org/schemas/sitemap/0.9\r\n"
        "            http://www.sitemaps.org/schemas/sitemap/0.9/sitemap.xsd\">\r\n\r\n"
        "<url>\r\n  <loc>" +
        SitemapLocation(d, state.indexfname) +
        "</loc>\r\n  <priority>0.5</priority>\r\n</url>\r\n");
    for (int row = 0; row < state.filelist.Count(); ++row) {
      state.savememo.Add("<url>\r\n  <loc>" + SitemapLocation(d, state.filelist.Row(row).caption) +
                         "</loc>\r\n  <priority>0.5</priority>\r\n</url>\r\n");
    }
    state.savememo.Add("</urlset>");
    WriteWholeFile(prefix + "sitemap.xml", state.savememo.Text());
  }
  Status(state, notifier, "Done.");
  state.makefiles_enabled = true;
}

}  // namespace vellora::reference

#endif  // VELLORA_TESTS_PIPELINE_REFERENCE_STEPS_H_
