// The charset sniffer and decoder on untrusted page bytes, and the HTML
// character-reference decoder on what they give. Properties:
//  - whatever the bytes and whatever encoding they are decoded from (the
//    one sniffed, or one named by a label from the input), the text is
//    valid UTF-8;
//  - a byte-order mark lies inside the bytes, and bytes sniffed as valid
//    UTF-8 are valid UTF-8 and come back unchanged;
//  - a charset the <meta> prescan finds is an encoding's own name;
//  - decoding character references keeps a valid UTF-8 text valid, and a
//    reference never takes more bytes than are left.

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "fuzz_check.h"
#include "text/charset.h"
#include "text/html_entities.h"
#include "text/utf8.h"

namespace {

using vellora::fuzz::Escape;

void CheckReferences(const std::string& text) {
  std::string decoded = vellora::DecodeCharacterReferences(text);
  if (vellora::IsValidUtf8(text)) {
    FUZZ_CHECK(vellora::IsValidUtf8(decoded), "references gave invalid UTF-8 from " + Escape(text));
  }
  for (size_t at = text.find('&'); at != std::string::npos; at = text.find('&', at + 1)) {
    std::string out;
    size_t taken = vellora::DecodeCharacterReference(text, at, out);
    FUZZ_CHECK(taken <= text.size() - at, "a reference past the end of " + Escape(text));
    FUZZ_CHECK((taken == 0) == out.empty(),
               "a reference of " + std::to_string(taken) + " bytes gave " + Escape(out));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  std::string label = input.ConsumeRandomLengthString(32);
  std::string bytes = input.ConsumeRemainingBytesAsString();

  vellora::DetectedCharset detected = vellora::DetectCharset(bytes);
  FUZZ_CHECK(detected.bom_length <= bytes.size(), "a byte-order mark beyond the bytes");
  FUZZ_CHECK(!detected.encoding.empty(), "no encoding detected");
  std::string page = vellora::DecodePageText(bytes);
  FUZZ_CHECK(vellora::IsValidUtf8(page),
             "page text is not UTF-8, encoding " + std::string(detected.encoding));
  if (detected.source == vellora::DetectedCharset::Source::kValidUtf8) {
    FUZZ_CHECK(vellora::IsValidUtf8(bytes) && page == bytes, "valid UTF-8 changed");
  }
  std::string_view meta = vellora::PrescanMetaCharset(bytes);
  if (!meta.empty()) {
    FUZZ_CHECK(vellora::EncodingForLabel(meta) == meta, "meta charset " + std::string(meta));
  }
  std::string_view named = vellora::EncodingForLabel(label);
  if (!named.empty()) {
    std::string text = vellora::DecodeToUtf8(bytes, named);
    FUZZ_CHECK(vellora::IsValidUtf8(text),
               "decoding from " + std::string(named) + " gave invalid UTF-8");
  }
  CheckReferences(page);
  CheckReferences(bytes);
  return 0;
}
