// The sitemap.xml of the page writer, in the format of the Sitemaps
// protocol 0.9: every line ends with CR LF, and each entry is followed by an
// empty line. Addresses are written so that the file stays well-formed XML
// and every <loc> is a valid URL whatever bytes the page names hold.

#ifndef VELLORA_PIPELINE_SITEMAP_H_
#define VELLORA_PIPELINE_SITEMAP_H_

#include <string>
#include <string_view>

#include "base/report_list.h"

namespace vellora {

// The value of one <loc>: `directory` (an address ending with "/") followed
// by `file_name`. Bytes that a URL may not hold raw (controls, space, bytes
// above 127, and " < > \ ^ ` { | }) are percent-encoded; in the directory a
// "%" that starts an escape stays, in the file name every "%", "?", "#",
// "[" and "]" is encoded as well, since a name is one path. Then "&", "<",
// ">", "'" and '"' are written as XML entities.
std::string SitemapLocation(std::string_view directory, std::string_view file_name);

// The href value that links a page to `file_name` in the same folder. Bytes
// that a relative URL cannot carry as they are (controls, space, bytes above
// 127, and " # % < > ?) are percent-encoded; every other byte stays, so a
// name of plain bytes is its own href.
std::string PageHref(std::string_view file_name);

// The whole sitemap for the index page `index_name` and the pages of
// `filelist` (file names in the captions), all under `directory`.
std::string SitemapText(std::string_view directory, std::string_view index_name,
                        const ReportList& filelist);

}  // namespace vellora

#endif  // VELLORA_PIPELINE_SITEMAP_H_
