// Base64 encoding (RFC 4648 alphabet, "=" padding), for Basic credentials.

#ifndef VELLORA_HTTP_BASE64_H_
#define VELLORA_HTTP_BASE64_H_

#include <string>
#include <string_view>

namespace vellora {

std::string Base64Encode(std::string_view bytes);

}  // namespace vellora

#endif  // VELLORA_HTTP_BASE64_H_
