#include "text/idna.h"

#include <unicode/uidna.h>

#include <memory>

namespace vellora {
namespace {

struct IdnaCloser {
  void operator()(UIDNA* idna) const { uidna_close(idna); }
};

// One UTS #46 object for the process: ICU's are immutable and thread-safe.
const UIDNA* Uts46() {
  static const std::unique_ptr<UIDNA, IdnaCloser> idna([] {
    UErrorCode error = U_ZERO_ERROR;
    UIDNA* made = uidna_openUTS46(
        UIDNA_NONTRANSITIONAL_TO_ASCII | UIDNA_CHECK_BIDI | UIDNA_CHECK_CONTEXTJ, &error);
    return U_SUCCESS(error) ? made : nullptr;
  }());
  return idna.get();
}

}  // namespace

std::optional<std::string> HostNameToAscii(std::string_view host) {
  const UIDNA* idna = Uts46();
  if (idna == nullptr || host.empty() || host.size() > 1024) return std::nullopt;
  char out[1024];
  UIDNAInfo info = UIDNA_INFO_INITIALIZER;
  UErrorCode error = U_ZERO_ERROR;
  const int32_t length = uidna_nameToASCII_UTF8(
      idna, host.data(), static_cast<int32_t>(host.size()), out, sizeof out, &info, &error);
  if (U_FAILURE(error) || info.errors != 0 || length <= 0 ||
      length > static_cast<int32_t>(sizeof out)) {
    return std::nullopt;
  }
  return std::string(out, static_cast<size_t>(length));
}

}  // namespace vellora
