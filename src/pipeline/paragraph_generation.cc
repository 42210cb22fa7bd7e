// pagegensheetShow and maketxtClick: phrases poured into sentence templates
// and grouped into titled paragraphs (`pars`), then paragraphs grouped into
// pages (`filelist`).
//
// The phrases are consumed from the top of `samples` through an index over
// its lines instead of deleting the first line each time, and each sentence
// is searched for its next "$" from the place of the last one filled, which
// finds the same "$" as a search from the start.
//
// Phrases come from the words of the grabbed pages and enter the pages as
// text (AsPageText); the templates, user phrases and addresses are the
// user's own HTML and enter as they are. So the columns of `filelist` are
// the HTML the pages get, and the captions of `pars` and the file names stay
// the phrases themselves.

#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "pipeline/step_support.h"
#include "pipeline/steps.h"
#include "pipeline/token_extractor.h"

namespace vellora {
namespace {

// The lines of `list` as the steps read them (each up to kLineReadLimit
// characters, never a part of one); the views live as long as the list's
// text is unchanged.
std::vector<std::string_view> LinesOf(const TextList& list, TextMode mode) {
  const int count = list.Count();
  std::vector<std::string_view> lines;
  lines.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) lines.push_back(LineAsRead(list.FullLine(i), mode));
  return lines;
}

void AppendPlaceholderLink(std::string& out, std::string_view address, std::string_view phrase,
                           TextMode mode) {
  out += "<a href=\"";
  out.append(address);
  out += "\">";
  AppendAsPageText(out, phrase, mode);
  out += "</a>";
}

}  // namespace

void pagegensheetShow(MainState& state) {
  state.maketxt_enabled = state.samples.Count() > 0;
  state.makefiles_enabled = !state.filelist.Empty();
}

void maketxtClick(MainState& state, Notifier& notifier) {
  const TextMode mode = TextModeOf(state.unicodetext);
  const std::vector<std::string_view> phrases = LinesOf(state.samples, mode);
  const std::vector<std::string_view> templates = LinesOf(state.templates, mode);
  const int64_t phrase_total = static_cast<int64_t>(phrases.size());
  if (phrase_total > 0) {
    bool any_place = false;
    for (std::string_view line : templates) any_place = any_place || line.find('$') != line.npos;
    if (!any_place) {
      throw VelloraError("No sentence template holds a \"$\" place for a phrase");
    }
  }

  StatusReporter status(state, notifier);
  RandomGenerator& random = state.random;
  state.maketxt_enabled = false;
  state.pars.Clear();
  state.filelist.Clear();
  const std::vector<std::string_view> urls = LinesOf(state.urlsurl, mode);
  const std::vector<std::string_view> images = LinesOf(state.imagesurl, mode);
  const int64_t url_min = ClampedValue(state.urlmin), url_max = ClampedValue(state.urlmax);
  const int64_t image_min = ClampedValue(state.imagemin);
  const int64_t image_max = ClampedValue(state.imagemax);
  const int64_t sent_min = ClampedValue(state.sentmin), sent_max = ClampedValue(state.sentmax);
  const int64_t par_min = ClampedValue(state.parmin), par_max = ClampedValue(state.parmax);

  // Phase 1: sentences and paragraphs.
  int64_t j = 0;
  int64_t sentence_target = 0;
  int64_t sentence_count = 0;
  int64_t link_interval = 0, phrases_since_link = 0;
  size_t next_address = 0;
  int64_t image_interval = 0, sentences_since_image = 0;
  size_t next_image = 0;
  if (!urls.empty()) link_interval = RandomBetweenOrdered(random, url_min, url_max);
  if (!images.empty()) image_interval = RandomBetweenOrdered(random, image_min, image_max);

  std::vector<ReportRow>& pars = state.pars.MutableRows();
  std::string sentence;
  std::string filling;
  while (j < phrase_total) {
    if (j % 10 == 0) status.Progress("Using the samples", j, phrase_total);
    if (sentence_target == 0 || sentence_count >= sentence_target) {
      pars.push_back(ReportRow{std::string(phrases[static_cast<size_t>(j)]), {std::string()}});
      sentence_target = RandomBetweenOrdered(random, sent_min, sent_max);
      sentence_count = 0;
    }
    sentence.assign(templates[random.Random(static_cast<uint32_t>(templates.size()))]);
    size_t place = 0;
    while ((place = sentence.find('$', place)) != std::string::npos) {
      const std::string_view first =
          j < phrase_total ? phrases[static_cast<size_t>(j)] : std::string_view();
      filling.clear();
      if (!urls.empty() && phrases_since_link >= link_interval) {
        AppendPlaceholderLink(filling, urls[next_address], first, mode);
        next_address = (next_address + 1) % urls.size();
        link_interval = RandomBetweenOrdered(random, url_min, url_max);
        phrases_since_link = 0;
      } else {
        AppendAsPageText(filling, first, mode);
      }
      sentence.replace(place, 1, filling);
      ++phrases_since_link;
      ++j;
      if (j > phrase_total) {
        sentence.clear();
        break;
      }
    }
    ++sentence_count;
    ++sentences_since_image;
    if (!sentence.empty()) {
      ReportRow& paragraph = pars.back();
      std::string& text = paragraph.sub_items[0];
      if (!text.empty()) text += ' ';
      text += sentence;
      if (!images.empty() && sentences_since_image >= image_interval) {
        text += " <br><br><div align=\"center\"><img src=\"";
        text.append(images[next_image]);
        text += "\" alt=\"";
        AppendAsPageText(text, paragraph.caption, mode);
        text += "\"></div><br>";
        next_image = (next_image + 1) % images.size();
        image_interval = RandomBetweenOrdered(random, image_min, image_max);
        sentences_since_image = 0;
      }
    }
  }
  state.samples.Clear();

  // Phase 2: pages.
  auto file_name_of = [&](std::string_view text) {
    return FileNameOf(text, state.efileext, mode);
  };
  auto capitalised = [mode](std::string_view text) { return Capitalised(text, mode); };
  auto as_page_text = [mode](std::string_view phrase) { return AsPageText(phrase, mode); };
  const std::vector<std::string_view> user_phrases = LinesOf(state.usersamples, mode);
  size_t next_user = 0;
  const int64_t par_count = static_cast<int64_t>(pars.size());
  std::vector<ReportRow>& pages = state.filelist.MutableRows();
  int64_t i = 0;
  while (i < par_count) {
    if (i % 10 == 0) status.Progress("Preparing file content", i, par_count);
    int64_t n = RandomBetweenOrdered(random, par_min, par_max);
    if (par_count - i < n) n = par_count - i;
    const std::string& head = pars[static_cast<size_t>(i)].caption;
    ReportRow page;
    page.sub_items.resize(4);
    std::string& keywords = page.sub_items[1];
    std::string& body = page.sub_items[3];
    const bool user_page = next_user < user_phrases.size();
    if (user_page) {
      const std::string_view user = user_phrases[next_user];
      page.caption = file_name_of(user);
      page.sub_items[0] = capitalised(user);
      keywords.assign(user);
      page.sub_items[2] = std::string(user) + ", " + as_page_text(head);
    } else {
      page.caption = file_name_of(head);
      page.sub_items[0] = as_page_text(capitalised(head));
      page.sub_items[2] = as_page_text(head);
    }
    for (int64_t added = 0; added < n && i < par_count; ++added, ++i) {
      const ReportRow& paragraph = pars[static_cast<size_t>(i)];
      if (!keywords.empty()) keywords += ", ";
      AppendAsPageText(keywords, paragraph.caption, mode);
      const std::string heading = as_page_text(capitalised(paragraph.caption));
      if (body.empty() && next_user < user_phrases.size()) {
        body += "\r\n<center><h1>";
        body += capitalised(user_phrases[next_user]);
        body += "</h1></center>\r\n<h2>";
        body += heading;
        body += "</h2>\r\n\r\n";
        ++next_user;
      } else if (body.empty()) {
        body += "\r\n<h1>";
        body += heading;
        body += "</h1>\r\n\r\n";
      } else {
        body += " \r\n<h2>";
        body += heading;
        body += "</h2>\r\n\r\n";
      }
      body += paragraph.sub_items[0];
      body += "\r\n";
    }
    pages.push_back(std::move(page));
  }

  status.Set("Done.");
  state.phrasescount = "Phrases count = 0";
  state.makefiles_enabled = !state.filelist.Empty();
}

}  // namespace vellora
