#include "cli/steps.h"

#include "base/errors.h"
#include "pipeline/grabber.h"
#include "pipeline/http_page_fetcher.h"
#include "pipeline/page_writer.h"
#include "pipeline/steps.h"

namespace vellora::cli {
namespace {

void RequireEnabled(bool enabled, const char* why) {
  if (!enabled) throw VelloraError(why);
}

void Grab(StepContext& c) {
  HttpPageFetcher fetcher(c.loop);
  bgraburlsClick(c.state, c.notifier, fetcher);
}

void DeleteGrabbed(StepContext& c) { bdelgrabfilesClick(c.state, c.notifier); }

void DeleteAll(StepContext& c) { bdelallfilesClick(c.state, c.notifier); }

void Extract(StepContext& c) {
  RequireEnabled(c.state.bprocess_enabled, "Cannot process files: the step is disabled");
  bprocessClick(c.state, c.notifier);
}

void Phrases(StepContext& c) {
  phrasegensheetShow(c.state);
  RequireEnabled(c.state.makewordphrases_enabled,
                 "Cannot create phrases: the word list is empty");
  makewordphrasesClick(c.state, c.notifier);
}

void Generate(StepContext& c) {
  pagegensheetShow(c.state);
  RequireEnabled(c.state.maketxt_enabled, "Cannot generate paragraphs: there are no phrases");
  maketxtClick(c.state, c.notifier);
}

void Save(StepContext& c) {
  pagegensheetShow(c.state);
  RequireEnabled(c.state.makefiles_enabled, "Cannot save files: there are no pages");
  makefilesClick(c.state, c.notifier);
  if (SitemapDirectoryUnset(c.state)) {
    c.notifier.Notice("sitemap.xml: the directory URL is not set (edataurl)");
  }
}

const Step kSteps[] = {
    {"grab", Grab},         {"delete-grabbed", DeleteGrabbed},
    {"delete-all", DeleteAll}, {"extract", Extract},
    {"phrases", Phrases},   {"generate", Generate},
    {"save", Save},
};

}  // namespace

const Step* FindStep(const std::string& name) {
  for (const Step& step : kSteps) {
    if (name == step.name) return &step;
  }
  return nullptr;
}

}  // namespace vellora::cli
