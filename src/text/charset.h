// Finding the encoding of a page's bytes as a browser finds it, and turning
// the bytes into UTF-8.
//
// The order is a byte-order mark; else a <meta charset=...> or
// <meta http-equiv="Content-Type" content="...; charset=..."> found by the
// HTML prescan of the first 1,024 bytes; else UTF-8 when the bytes are valid
// UTF-8; else Windows-1252. Encoding labels are mapped as the WHATWG
// Encoding Standard maps them ("iso-8859-1", "latin1" and "ascii" mean
// windows-1252). The decoding is ICU's; a byte sequence that is not valid
// in the encoding becomes U+FFFD, so any input gives valid UTF-8.
// Thread-safe: no shared state (each call opens its own converter).

#ifndef VELLORA_TEXT_CHARSET_H_
#define VELLORA_TEXT_CHARSET_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace vellora {

// How many bytes of a page the <meta> prescan looks at.
inline constexpr size_t kCharsetPrescanBytes = 1024;

struct DetectedCharset {
  enum class Source { kByteOrderMark, kMeta, kValidUtf8, kFallback };
  // The encoding's name in the Encoding Standard ("UTF-8", "windows-1251").
  std::string_view encoding;
  Source source;
  // The length of the byte-order mark, which is not part of the text.
  size_t bom_length = 0;
};

// The encoding of the Encoding Standard that `label` names, ignoring ASCII
// case and surrounding white space; empty for an unknown label.
std::string_view EncodingForLabel(std::string_view label);

// The encoding that a <meta> element among the first kCharsetPrescanBytes
// bytes of `bytes` declares, after the HTML prescan's adjustments (UTF-16
// means UTF-8, x-user-defined means windows-1252); empty when none does.
std::string_view PrescanMetaCharset(std::string_view bytes);

DetectedCharset DetectCharset(std::string_view bytes);

// `bytes` in `encoding` (a name EncodingForLabel returns) as UTF-8. Invalid
// sequences become U+FFFD; an encoding that ICU lacks decodes as
// windows-1252.
std::string DecodeToUtf8(std::string_view bytes, std::string_view encoding);

// DetectCharset and DecodeToUtf8 in one, without the byte-order mark. Bytes
// that are valid UTF-8 are returned as they are, without a conversion.
std::string DecodePageText(std::string_view bytes);

}  // namespace vellora

#endif  // VELLORA_TEXT_CHARSET_H_
