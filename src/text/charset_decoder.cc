// DecodeToUtf8 and DecodePageText: ICU converters from a page's encoding to
// UTF-8, with every invalid or unmapped sequence replaced by U+FFFD.

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>

#include <memory>
#include <string>

#include "text/charset.h"
#include "text/utf8.h"

namespace vellora {
namespace {

// ICU's name for an encoding of the Encoding Standard where the two differ
// in the bytes they map.
const char* IcuConverterName(std::string_view encoding) {
  struct Name {
    std::string_view encoding;
    const char* icu;
  };
  static constexpr Name kNames[] = {
      {"ISO-8859-8-I", "ISO-8859-8"}, {"Big5", "ibm-1375_P100-2008"},  // Big5-HKSCS
      {"Shift_JIS", "windows-31j"},   {"EUC-KR", "windows-949"},      {"GBK", "windows-936"},
  };
  for (const Name& name : kNames) {
    if (name.encoding == encoding) return name.icu;
  }
  return nullptr;
}

// Writes U+FFFD for each invalid, unmapped or incomplete sequence.
void SubstituteReplacementCharacter(const void*, UConverterToUnicodeArgs* args, const char*,
                                    int32_t, UConverterCallbackReason reason, UErrorCode* error) {
  if (reason > UCNV_IRREGULAR) return;  // reset, close or clone: nothing to write
  static const UChar kReplacement[] = {0xFFFD};
  *error = U_ZERO_ERROR;
  ucnv_cbToUWriteUChars(args, kReplacement, 1, 0, error);
}

struct ConverterCloser {
  void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter OpenConverter(std::string_view encoding) {
  const char* icu_name = IcuConverterName(encoding);
  const std::string name = icu_name != nullptr ? icu_name : std::string(encoding);
  UErrorCode error = U_ZERO_ERROR;
  Converter converter(ucnv_open(name.c_str(), &error));
  if (U_FAILURE(error) || converter == nullptr) {
    error = U_ZERO_ERROR;
    converter.reset(ucnv_open("windows-1252", &error));
    if (U_FAILURE(error)) return nullptr;
  }
  error = U_ZERO_ERROR;
  ucnv_setToUCallBack(converter.get(), SubstituteReplacementCharacter, nullptr, nullptr, nullptr,
                      &error);
  return converter;
}

// Appends UTF-16 code units as UTF-8; `pending` carries a high surrogate
// from one chunk to the next.
void AppendUtf16(std::string& out, const UChar* units, size_t count, char32_t* pending) {
  for (size_t i = 0; i < count; ++i) {
    const char32_t unit = units[i];
    if (*pending != 0) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((*pending - 0xD800) << 10) + (unit - 0xDC00));
        *pending = 0;
        continue;
      }
      AppendUtf8(out, kReplacementCharacter);
      *pending = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF) {
      *pending = unit;
    } else {
      AppendUtf8(out, unit);  // a lone low surrogate becomes U+FFFD
    }
  }
}

}  // namespace

std::string DecodeToUtf8(std::string_view bytes, std::string_view encoding) {
  std::string out;
  if (bytes.empty()) return out;
  // The standard's "replacement" encoding stands for encodings whose bytes
  // can smuggle markup; the whole input reads as one U+FFFD.
  if (encoding == "replacement") {
    AppendUtf8(out, kReplacementCharacter);
    return out;
  }
  if (encoding == "UTF-8" && IsValidUtf8(bytes)) return std::string(bytes);
  Converter converter = OpenConverter(encoding);
  if (converter == nullptr) return out;  // ICU has no data: nothing can be decoded
  out.reserve(bytes.size() + bytes.size() / 2);
  UChar buffer[16384];
  const char* source = bytes.data();
  const char* const source_end = bytes.data() + bytes.size();
  char32_t pending = 0;
  for (;;) {
    UChar* target = buffer;
    UErrorCode error = U_ZERO_ERROR;
    ucnv_toUnicode(converter.get(), &target, buffer + std::size(buffer), &source, source_end,
                   nullptr, /*flush=*/true, &error);
    AppendUtf16(out, buffer, static_cast<size_t>(target - buffer), &pending);
    if (error != U_BUFFER_OVERFLOW_ERROR) break;
  }
  if (pending != 0) AppendUtf8(out, kReplacementCharacter);
  return out;
}

std::string DecodePageText(std::string_view bytes) {
  const DetectedCharset charset = DetectCharset(bytes);
  const std::string_view text = bytes.substr(charset.bom_length);
  if (charset.source == DetectedCharset::Source::kValidUtf8) return std::string(text);
  return DecodeToUtf8(text, charset.encoding);
}

}  // namespace vellora
