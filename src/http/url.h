// Taking URLs apart, as the HTTP client needs it.
//
// Nothing here decodes or encodes percent escapes: every part comes back as
// written, except the scheme, which is lower-cased. Positions are 1-based,
// as the callers count them.

#ifndef VELLORA_HTTP_URL_H_
#define VELLORA_HTTP_URL_H_

#include <string>
#include <string_view>

namespace vellora {

// Splits `url` into its parts. The incoming `path` is the base against which
// "./" and "../" forms are resolved; every output is cleared first, and parts
// that are absent stay empty. Examples:
//   "http://u:p@Host:81/a?b"  -> http, u, p, Host, 81, /a?b
//   "host/dir/x.htm"          -> "", host, /dir/x.htm (no scheme)
//   "../x.htm" with base "/a/b/page.htm" -> path /a/x.htm
void SplitUrl(std::string_view url, std::string& scheme, std::string& user, std::string& password,
              std::string& host, std::string& port, std::string& path);

// With n = -1 the position of the last occurrence of `sub` in `text` (0 when
// none); n < -1 counts the |n|-th occurrence from the right (0 when fewer);
// n > 0 the n-th from the left (text length + 1 when fewer); n = 0 gives 0.
// An empty `sub` is never found.
int LastPos(std::string_view sub, std::string_view text, int n = -1);

bool IsHexDigit(char ch);
// "0"-"9" give 0-9; any other byte its low four bits + 9 ("a"/"A" 10 ... "f"/"F" 15).
int HexDigitValue(char ch);

// The prefix of `path` up to and including the last "/" or ":" standing
// before its first "?"; empty when there is none. Relative relocation
// targets are appended to it.
std::string PathBase(std::string_view path);

// The file name a document path suggests: the path without its query, then
// "document.htm" for an empty path or one ending in "/", otherwise the text
// after its last "/" (at most 255 characters).
std::string DeriveDocName(std::string_view path);

}  // namespace vellora

#endif  // VELLORA_HTTP_URL_H_
