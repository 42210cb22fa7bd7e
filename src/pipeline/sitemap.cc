#include "pipeline/sitemap.h"

namespace vellora {
namespace {

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool IsUrlByte(unsigned char c) {
  if (c <= 32 || c >= 127) return false;
  switch (c) {
    case '"':
    case '<':
    case '>':
    case '\\':
    case '^':
    case '`':
    case '{':
    case '|':
    case '}':
      return false;
    default:
      return true;
  }
}

void AppendPercentByte(std::string& out, unsigned char c) {
  static const char kHex[] = "0123456789ABCDEF";
  out += '%';
  out += kHex[c >> 4];
  out += kHex[c & 15];
}

bool IsHrefByte(unsigned char c) {
  if (c <= 32 || c >= 127) return false;
  switch (c) {
    case '"':
    case '#':
    case '%':
    case '<':
    case '>':
    case '?':
      return false;
    default:
      return true;
  }
}

void AppendEscaped(std::string& out, std::string_view text, bool path_segment) {
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    bool raw = IsUrlByte(c);
    if (c == '%') {
      raw = !path_segment && i + 2 < text.size() && IsHexDigit(text[i + 1]) &&
            IsHexDigit(text[i + 2]);
    } else if (path_segment && (c == '?' || c == '#' || c == '[' || c == ']')) {
      raw = false;
    }
    if (!raw) {
      AppendPercentByte(out, c);
    } else if (c == '&') {
      out += "&amp;";
    } else if (c == '\'') {
      out += "&apos;";
    } else {
      out += static_cast<char>(c);
    }
  }
}

void AppendEntry(std::string& out, std::string_view directory, std::string_view file_name) {
  out += "<url>\r\n  <loc>";
  out += SitemapLocation(directory, file_name);
  out += "</loc>\r\n  <priority>0.5</priority>\r\n</url>\r\n\r\n";
}

}  // namespace

std::string SitemapLocation(std::string_view directory, std::string_view file_name) {
  std::string out;
  out.reserve(directory.size() + file_name.size() + 8);
  AppendEscaped(out, directory, false);
  AppendEscaped(out, file_name, true);
  return out;
}

std::string PageHref(std::string_view file_name) {
  std::string out;
  out.reserve(file_name.size());
  for (char byte : file_name) {
    const unsigned char c = static_cast<unsigned char>(byte);
    if (IsHrefByte(c)) {
      out += byte;
    } else {
      AppendPercentByte(out, c);
    }
  }
  return out;
}

std::string SitemapText(std::string_view directory, std::string_view index_name,
                        const ReportList& filelist) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "<urlset\r\n"
      "      xmlns=\"http://www.sitemaps.org/schemas/sitemap/0.9\"\r\n"
      "      xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\"\r\n"
      "      xsi:schemaLocation=\"http://www.sitemaps.org/schemas/sitemap/0.9\r\n"
      "            http://www.sitemaps.org/schemas/sitemap/0.9/sitemap.xsd\">\r\n"
      "\r\n";
  AppendEntry(out, directory, index_name);
  for (const ReportRow& row : filelist.Rows()) AppendEntry(out, directory, row.caption);
  out += "</urlset>\r\n";
  return out;
}

}  // namespace vellora
