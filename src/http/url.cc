#include "http/url.h"

#include "base/code_page.h"

namespace vellora {

namespace {

bool IsSchemeChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// The base's directory: up to and including its last "/", or "/" when none.
std::string BaseDirectory(const std::string& base) {
  size_t slash = base.rfind('/');
  if (slash == std::string::npos) return "/";
  return base.substr(0, slash + 1);
}

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

void SplitAuthority(std::string_view authority, std::string& user, std::string& password,
                    std::string& host, std::string& port) {
  size_t colon = authority.rfind(':');
  size_t at = authority.rfind('@');
  std::string_view user_info;
  bool has_user_info = false;
  if (colon == std::string_view::npos && at == std::string_view::npos) {
    host = authority;
    return;
  }
  if (colon != std::string_view::npos && (at == std::string_view::npos || colon > at)) {
    port = authority.substr(colon + 1);
    size_t host_start = at == std::string_view::npos ? 0 : at + 1;
    host = authority.substr(host_start, colon - host_start);
    if (at == std::string_view::npos) return;
    user_info = authority.substr(0, at);
    has_user_info = true;
  } else {
    host = authority.substr(at + 1);
    user_info = authority.substr(0, at);
    has_user_info = true;
  }
  if (!has_user_info) return;
  size_t first_colon = user_info.find(':');
  if (first_colon == std::string_view::npos) {
    user = user_info;
  } else {
    user = user_info.substr(0, first_colon);
    password = user_info.substr(first_colon + 1);
  }
}

}  // namespace

void SplitUrl(std::string_view url, std::string& scheme, std::string& user, std::string& password,
              std::string& host, std::string& port, std::string& path) {
  const std::string base = path;
  scheme.clear();
  user.clear();
  password.clear();
  host.clear();
  port.clear();
  path.clear();
  if (url.empty()) return;

  if (StartsWith(url, "./")) {
    path = BaseDirectory(base) + std::string(url.substr(2));
    return;
  }
  if (StartsWith(url, "../")) {
    std::string directory = BaseDirectory(base);
    std::string_view rest = url.substr(3);
    for (;;) {
      if (!directory.empty() && directory.back() == '/') directory.pop_back();
      size_t slash = directory.rfind('/');
      directory = slash == std::string::npos ? "/" : directory.substr(0, slash + 1);
      if (!StartsWith(rest, "../")) break;
      rest.remove_prefix(3);
    }
    path = directory + std::string(rest);
    return;
  }

  std::string_view rest = url;  // authority and path, once the scheme is off
  bool have_scheme = false;
  size_t separator = url.find("://");
  if (separator != std::string_view::npos) {
    std::string candidate = LowerCase(url.substr(0, separator));
    bool valid = true;
    for (char c : candidate) valid = valid && IsSchemeChar(c);
    if (valid) {
      scheme = candidate;
      rest = url.substr(separator + 3);
      have_scheme = true;
    } else {
      scheme = "http";
    }
  }
  if (!have_scheme) {
    if (url[0] == '/') {
      scheme = "http";
      if (url.size() > 1 && url[1] != '/') {
        path = url;
        return;
      }
      rest = url.substr(1);
    } else if (LowerCase(url.substr(0, 5)) == "http:") {
      scheme = "http";
      if (url.size() > 6 && url[6] != '/') {
        path = url.substr(5);
        return;
      }
      rest = url.substr(std::min<size_t>(url.size(), 6));
    } else if (LowerCase(url.substr(0, 7)) == "mailto:") {
      scheme = "mailto";
      rest = url.substr(url.find(':') + 1);
    }
  }

  size_t path_start = rest.find_first_of("/?");
  std::string_view authority = rest;
  if (path_start != std::string_view::npos) {
    path = rest.substr(path_start);
    authority = rest.substr(0, path_start);
  }
  SplitAuthority(authority, user, password, host, port);
}

int LastPos(std::string_view sub, std::string_view text, int n) {
  if (n == 0 || sub.empty() || sub.size() > text.size()) {
    if (n > 0) return static_cast<int>(text.size()) + 1;
    return 0;
  }
  if (n > 0) {
    size_t from = 0;
    for (int found = 0;;) {
      size_t at = text.find(sub, from);
      if (at == std::string_view::npos) return static_cast<int>(text.size()) + 1;
      if (++found == n) return static_cast<int>(at) + 1;
      from = at + 1;
    }
  }
  size_t from = text.size() - sub.size();
  for (int found = 0;;) {
    size_t at = text.rfind(sub, from);
    if (at == std::string_view::npos) return 0;
    if (++found == -n) return static_cast<int>(at) + 1;
    if (at == 0) return 0;
    from = at - 1;
  }
}

bool IsHexDigit(char ch) {
  return (ch >= '0' && ch <= '9') || (ch >= 'a' && ch <= 'f') || (ch >= 'A' && ch <= 'F');
}

int HexDigitValue(char ch) {
  if (ch >= '0' && ch <= '9') return ch - '0';
  return (static_cast<unsigned char>(ch) & 0x0F) + 9;
}

std::string PathBase(std::string_view path) {
  size_t query = path.find('?');
  std::string_view head = path.substr(0, query);
  size_t last = head.find_last_of("/:");
  if (last == std::string_view::npos) return "";
  return std::string(head.substr(0, last + 1));
}

std::string DeriveDocName(std::string_view path) {
  std::string_view name = path.substr(0, path.find('?'));
  if (name.empty() || name.back() == '/') return "document.htm";
  size_t slash = name.rfind('/');
  if (slash != std::string_view::npos) name.remove_prefix(slash + 1);
  return std::string(name.substr(0, 255));
}

}  // namespace vellora
