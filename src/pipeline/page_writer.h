// The pages that the page writer ("Save files") makes, one at a time, so
// that a front end can show a page exactly as it will be written.
//
// SitePages renders from the state's template, site settings, link list and
// `filelist` as they stand when it is made; the state must outlive it and
// must not change meanwhile. IndexPage() and Page(row) give the same bytes
// that makefilesClick writes into the index file and the row's file.

#ifndef VELLORA_PIPELINE_PAGE_WRITER_H_
#define VELLORA_PIPELINE_PAGE_WRITER_H_

#include <string>
#include <vector>

#include "state/main_state.h"

namespace vellora {

// The template as the writer reads it: every line of `htmltemplate`
// followed by CR LF; empty when the template has no line.
std::string PageTemplateText(const TextList& htmltemplate);

// The names of the files that makefilesClick writes for the state as it
// stands, each once, in the order of their first write: the index page, the
// pages, sitemap.xml. Empty when the template has no line.
std::vector<std::string> SiteFileNames(const MainState& state);

// Whether a save writes sitemap.xml beside the pages: when `edataurl`, the
// directory address, is longer than 4 characters.
bool WritesSitemap(const MainState& state);

// True when a save of the state as it stands writes sitemap.xml (a template
// with lines, WritesSitemap) but `edataurl` names no
// site: nothing but "/" follows its "scheme://", as in the "http://" a new
// preset starts with, so every <loc> reads like "http://index.htm". The
// sitemap is written all the same; the front ends tell the user to set the
// directory address.
bool SitemapDirectoryUnset(const MainState& state);

class SitePages {
 public:
  explicit SitePages(const MainState& state);
  SitePages(const MainState& state, std::string page_template);

  // The template has no line: the writer writes nothing.
  bool Empty() const { return template_.empty(); }
  // The link list shared by every page.
  const std::string& Links() const { return links_; }

  std::string IndexPage() const;
  // REQUIRES: 0 <= row < state.filelist.Count().
  std::string Page(int row) const;

 private:
  const MainState& state_;
  std::string template_;
  std::string links_;
  std::string common_;  // the template with the three site-wide values in
  bool links_hold_content_;
};

}  // namespace vellora

#endif  // VELLORA_PIPELINE_PAGE_WRITER_H_
