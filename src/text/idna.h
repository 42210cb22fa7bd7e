// Host names as browsers send them: a name with letters beyond ASCII
// ("münchen.example") in its ASCII form ("xn--mnchen-3ya.example"), by
// IDNA's UTS #46 processing (non-transitional, as current browsers do: "ß"
// stays a letter of its own). ICU's; thread-safe.

#ifndef VELLORA_TEXT_IDNA_H_
#define VELLORA_TEXT_IDNA_H_

#include <optional>
#include <string>
#include <string_view>

namespace vellora {

// The ASCII form of the UTF-8 host name `host`, lower-cased and mapped as
// UTS #46 says; nullopt when IDNA refuses the name (bytes that are not
// UTF-8, characters no host name may hold, a label too long).
std::optional<std::string> HostNameToAscii(std::string_view host);

}  // namespace vellora

#endif  // VELLORA_TEXT_IDNA_H_
