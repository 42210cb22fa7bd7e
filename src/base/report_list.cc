#include "base/report_list.h"

#include "base/code_page.h"

namespace vellora {

int ReportList::FindCaption(std::string_view caption) const {
  for (size_t i = 0; i < rows_.size(); ++i) {
    if (EqualIgnoringCase(rows_[i].caption, caption)) return static_cast<int>(i);
  }
  return -1;
}

const std::string& ReportList::SubItem(int index, int column) const {
  static const std::string kEmpty;
  const ReportRow& row = rows_[static_cast<size_t>(index)];
  if (column < 0 || static_cast<size_t>(column) >= row.sub_items.size()) return kEmpty;
  return row.sub_items[static_cast<size_t>(column)];
}

}  // namespace vellora
