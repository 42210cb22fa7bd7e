// FUZZ_CHECK: a property that a fuzz target checks on the code it drives.
// A broken property prints where and what, with an optional detail, and
// aborts, so libFuzzer reports the input as a crash and keeps it.

#ifndef VELLORA_FUZZ_FUZZ_CHECK_H_
#define VELLORA_FUZZ_FUZZ_CHECK_H_

#include <cstdio>
#include <cstdlib>
#include <string>

namespace vellora::fuzz {

// `bytes` as a C string literal's contents: printable ASCII as it is, every
// other byte as \xNN, for the detail of a broken property.
inline std::string Escape(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F && c != '\\' && c != '"') {
      out += static_cast<char>(c);
    } else {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += hex;
    }
  }
  return "\"" + out + "\"";
}

[[noreturn]] inline void Fail(const char* file, int line, const char* condition,
                              const std::string& detail) {
  std::fprintf(stderr, "%s:%d: property broken: %s %s\n", file, line, condition, detail.c_str());
  std::abort();
}

}  // namespace vellora::fuzz

#define FUZZ_CHECK(condition, detail)                                                \
  do {                                                                               \
    if (!(condition)) ::vellora::fuzz::Fail(__FILE__, __LINE__, #condition, detail); \
  } while (0)

#endif  // VELLORA_FUZZ_FUZZ_CHECK_H_
