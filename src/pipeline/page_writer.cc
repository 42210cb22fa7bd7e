// makefilesClick: the pages of `filelist`, the index page and sitemap.xml
// written into the output folder.
//
// Every page is the template with seven placeholders replaced in turn, each
// replacement running over the text the one before left. The first three
// values are the same for every page, so that part is done once. The link
// list, the same for every page and by far its largest part, starts with
// "<" and ends with a line break, neither of which "$content$" holds, so no
// match of "$content$" can straddle its edges: the pieces around each
// "$links$" and the link list itself are replaced separately and joined,
// which gives the same text as replacing over the whole page.

#include "pipeline/page_writer.h"

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "base/errors.h"
#include "base/file_io.h"
#include "pipeline/sitemap.h"
#include "pipeline/step_support.h"
#include "pipeline/steps.h"

namespace vellora {
namespace {

constexpr std::string_view kCharset = "$charset$";
constexpr std::string_view kSitename = "$sitename$";
constexpr std::string_view kSiteurl = "$siteurl$";
constexpr std::string_view kKeywords = "$keywords$";
constexpr std::string_view kDescription = "$description$";
constexpr std::string_view kLinks = "$links$";
constexpr std::string_view kContent = "$content$";

std::string JoinPath(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.back() != '/') path += '/';
  path.append(name);
  return path;
}

// `text` with "$links$" and then "$content$" replaced, as two replace-alls
// in a row would give.
std::string ReplaceLinksAndContent(std::string_view text, std::string_view links,
                                   bool links_hold_content, std::string_view content) {
  std::string out;
  out.reserve(text.size() + links.size() + content.size());
  const std::string replaced_links =
      links_hold_content ? ReplaceAllIgnoringCase(links, kContent, content) : std::string();
  size_t pos = 0;
  for (;;) {
    const size_t match = FindIgnoringCase(text, kLinks, pos);
    const std::string_view piece =
        text.substr(pos, match == std::string_view::npos ? std::string_view::npos : match - pos);
    if (FindIgnoringCase(piece, kContent) == std::string_view::npos) {
      out.append(piece);
    } else {
      out += ReplaceAllIgnoringCase(piece, kContent, content);
    }
    if (match == std::string_view::npos) break;
    out.append(links_hold_content ? std::string_view(replaced_links) : links);
    pos = match + kLinks.size();
  }
  return out;
}

// Refuses a file name that would not name a file directly inside `folder`:
// the index page's name and the page names come from the preset, which may
// come from someone else.
void CheckNameStaysInFolder(const std::string& folder, const std::string& name) {
  if (name.find_first_of(std::string_view("/\0", 2)) != std::string::npos || name == "." ||
      name == "..") {
    throw EFileError("Cannot create file \"" + JoinPath(folder, name) +
                     "\". A file name cannot contain \"/\" or be \".\" or \"..\"");
  }
}

// Pages are written by the thousand and can be written again at will, so
// they do not wait for the disk one by one (that costs several milliseconds
// a page); each is still replaced whole.
constexpr Flush kPageFlush = Flush::kLeaveToSystem;

}  // namespace

std::string PageTemplateText(const TextList& htmltemplate) {
  TextList buffer;
  const int lines = htmltemplate.Count();
  for (int i = 0; i < lines; ++i) buffer.Add(htmltemplate.FullLine(i));
  return buffer.Count() == 0 ? std::string() : buffer.Text();
}

bool WritesSitemap(const MainState& state) { return state.edataurl.size() > 4; }

std::vector<std::string> SiteFileNames(const MainState& state) {
  std::vector<std::string> names;
  if (state.htmltemplate.Count() == 0) return names;
  std::set<std::string> seen;
  auto add = [&](const std::string& name) {
    if (seen.insert(name).second) names.push_back(name);
  };
  add(state.indexfname);
  for (int row = 0; row < state.filelist.Count(); ++row) add(state.filelist.Row(row).caption);
  if (WritesSitemap(state)) add("sitemap.xml");
  return names;
}

bool SitemapDirectoryUnset(const MainState& state) {
  if (state.htmltemplate.Count() == 0 || !WritesSitemap(state)) return false;
  std::string_view address = state.edataurl;
  const size_t scheme_end = address.find("://");
  if (scheme_end != std::string_view::npos) address.remove_prefix(scheme_end + 3);
  return address.find_first_not_of('/') == std::string_view::npos;
}

SitePages::SitePages(const MainState& state)
    : SitePages(state, PageTemplateText(state.htmltemplate)) {}

SitePages::SitePages(const MainState& state, std::string page_template)
    : state_(state), template_(std::move(page_template)) {
  const ReportList& filelist = state.filelist;
  links_ = "<a href=\"" + PageHref(state.indexfname) + "\">Index</a><br><br>\r\n";
  for (int row = 0; row < filelist.Count(); ++row) {
    links_ += "<a href=\"";
    links_ += PageHref(filelist.Row(row).caption);
    links_ += "\">";
    links_ += filelist.SubItem(row, 0);
    links_ += "</a><br>\r\n";
  }
  common_ = ReplaceAllIgnoringCase(template_, kCharset, state.echarset);
  common_ = ReplaceAllIgnoringCase(common_, kSitename, state.esitename);
  common_ = ReplaceAllIgnoringCase(common_, kSiteurl, state.esiteurl);
  links_hold_content_ = FindIgnoringCase(links_, kContent) != std::string::npos;
}

std::string SitePages::IndexPage() const {
  const std::string& sitename = state_.esitename;
  std::string text = ReplaceAllIgnoringCase(common_, kKeywords, sitename);
  text = ReplaceAllIgnoringCase(text, kDescription, sitename + " home page");
  text = ReplaceAllIgnoringCase(text, kLinks, links_);
  return ReplaceAllIgnoringCase(text, kContent, state_.indexpage.Text());
}

std::string SitePages::Page(int row) const {
  const ReportList& filelist = state_.filelist;
  std::string text = ReplaceAllIgnoringCase(common_, kKeywords, filelist.SubItem(row, 1));
  text = ReplaceAllIgnoringCase(text, kDescription, filelist.SubItem(row, 2));
  return ReplaceLinksAndContent(text, links_, links_hold_content_, filelist.SubItem(row, 3));
}

namespace {

// The work of makefilesClick.
void SaveFiles(MainState& state, Notifier& notifier) {
  StatusReporter status(state, notifier);
  status.Set("Saving files, please wait...");
  state.makefiles_enabled = false;
  const std::string folder = state.eresfolder;
  if (folder.empty()) throw EFileError("Unable to create directory");
  // Every name is checked before anything is written.
  CheckNameStaysInFolder(folder, state.indexfname);
  for (int row = 0; row < state.filelist.Count(); ++row) {
    CheckNameStaysInFolder(folder, state.filelist.Row(row).caption);
  }
  // A folder that cannot be made shows at the first write, naming the file.
  if (folder.size() >= 3 && !DirectoryExists(folder)) ForceDirectories(folder);
  RemoveLeftoverTemporaryFiles(folder);

  state.savememo.SetText(PageTemplateText(state.htmltemplate));
  if (state.savememo.Count() == 0) return;
  const SitePages pages(state, state.savememo.Text());
  const ReportList& filelist = state.filelist;

  // The index page.
  {
    std::string text = pages.IndexPage();
    WriteWholeFile(JoinPath(folder, state.indexfname), text, LinkRule::kReplaceLink, kPageFlush);
    state.savememo.SetText(std::move(text));
  }

  // The pages.
  for (int row = 0; row < filelist.Count(); ++row) {
    std::string text = pages.Page(row);
    WriteWholeFile(JoinPath(folder, filelist.Row(row).caption), text, LinkRule::kReplaceLink,
                   kPageFlush);
    state.savememo.SetText(std::move(text));
  }

  // The sitemap.
  if (WritesSitemap(state)) {
    if (state.edataurl.back() != '/') state.edataurl += '/';
    std::string text = SitemapText(state.edataurl, state.indexfname, filelist);
    WriteWholeFile(JoinPath(folder, "sitemap.xml"), text, LinkRule::kReplaceLink, kPageFlush);
    state.savememo.SetText(std::move(text));
  }

  status.Set("Done.");
  state.makefiles_enabled = true;
}

}  // namespace

void makefilesClick(MainState& state, Notifier& notifier) {
  // The pages stay in `filelist`: a failed save can be retried at once.
  RunRetryableStep(state, notifier, &MainState::makefiles_enabled, kSaveFailedStatus,
                   [&] { SaveFiles(state, notifier); });
}

}  // namespace vellora
