// What an element's class, id and role say about it: names that content
// carries ("article", "post-body", "entry-content") and names that page
// furniture carries ("nav", "site-footer", "share-buttons", "cookie-banner").
// Matching is by substring of the lower-cased names, as sites compose their
// class names freely ("c-article__body", "js-share-bar").

#ifndef VELLORA_HTML_FURNITURE_HINTS_H_
#define VELLORA_HTML_FURNITURE_HINTS_H_

#include <string_view>

namespace vellora {

// +25 for names of content, -25 for names of furniture, 0 for neither or
// both. `names` is the class and the id, lower case, separated by a space.
int ClassWeight(std::string_view names);

// True when `names` mark the element as furniture so clearly that the main
// text never lies inside it, unless a name of content stands beside it.
bool LooksLikeFurniture(std::string_view names);

// True for ARIA roles of furniture (navigation, complementary, menu, ...).
// `role` lower case.
bool IsFurnitureRole(std::string_view role);

}  // namespace vellora

#endif  // VELLORA_HTML_FURNITURE_HINTS_H_
