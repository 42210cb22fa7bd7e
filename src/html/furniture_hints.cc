#include "html/furniture_hints.h"

namespace vellora {
namespace {

constexpr std::string_view kContentNames[] = {
    "article", "blog", "body", "content", "entry", "h-entry",
    "hentry",  "main", "page", "post",    "story", "text",
};

constexpr std::string_view kFurnitureNames[] = {
    "-ad-",   "banner",  "breadcrumb", "combx",    "comment", "com-",   "contact",
    "cookie", "foot",    "gdpr",       "masthead", "media",   "meta",   "menu",
    "modal",  "nav",     "newsletter", "outbrain", "popup",   "promo",  "related",
    "scroll", "share",   "shopping",   "shoutbox", "sidebar", "signup", "skyscraper",
    "social", "sponsor", "subscribe",  "tags",     "tool",    "widget",
};

constexpr std::string_view kClearFurnitureNames[] = {
    "-ad-",       "ad-break",   "agegate",   "ai2html",    "banner",       "breadcrumb",
    "combx",      "comment",    "community", "cookie",     "cover-wrap",   "disqus",
    "extra",      "footer",     "gdpr",      "header",     "legends",      "menu",
    "navbar",     "newsletter", "pager",     "pagination", "popup",        "related",
    "remark",     "replies",    "rss",       "share",      "shoutbox",     "sidebar",
    "skyscraper", "social",     "sponsor",   "subscribe",  "supplemental", "yom-remote",
};

constexpr std::string_view kMaybeContentNames[] = {
    "and", "article", "body", "column", "content", "main", "shadow",
};

constexpr std::string_view kFurnitureRoles[] = {
    "alert",  "alertdialog", "banner",  "complementary", "contentinfo",
    "dialog", "menu",        "menubar", "navigation",    "search",
};

template <size_t N>
bool HoldsAny(std::string_view names, const std::string_view (&words)[N]) {
  for (std::string_view word : words) {
    if (names.find(word) != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

int ClassWeight(std::string_view names) {
  if (names.empty()) return 0;
  int weight = 0;
  if (HoldsAny(names, kContentNames)) weight += 25;
  if (HoldsAny(names, kFurnitureNames)) weight -= 25;
  return weight;
}

bool LooksLikeFurniture(std::string_view names) {
  return !names.empty() && HoldsAny(names, kClearFurnitureNames) &&
         !HoldsAny(names, kMaybeContentNames);
}

bool IsFurnitureRole(std::string_view role) {
  for (std::string_view r : kFurnitureRoles) {
    if (role == r) return true;
  }
  return false;
}

}  // namespace vellora
