// ReportList: the rows of a list in report style. Each row has a caption
// (the first column) and sub-item texts (the further columns). Counts are
// kept as decimal text, as the list shows them.
//
// Plain vectors: a list may hold hundreds of thousands of rows, and callers
// that need a lookup keep their own index. Not thread-safe.

#ifndef VELLORA_BASE_REPORT_LIST_H_
#define VELLORA_BASE_REPORT_LIST_H_

#include <string>
#include <string_view>
#include <vector>

namespace vellora {

struct ReportRow {
  std::string caption;
  std::vector<std::string> sub_items;
};

class ReportList {
 public:
  int Count() const { return static_cast<int>(rows_.size()); }
  bool Empty() const { return rows_.empty(); }
  void Clear() { rows_.clear(); }

  const ReportRow& Row(int index) const { return rows_[static_cast<size_t>(index)]; }
  ReportRow& MutableRow(int index) { return rows_[static_cast<size_t>(index)]; }
  const std::vector<ReportRow>& Rows() const { return rows_; }
  std::vector<ReportRow>& MutableRows() { return rows_; }

  void Add(ReportRow row) { rows_.push_back(std::move(row)); }
  void Delete(int index) { rows_.erase(rows_.begin() + index); }

  // The first row whose caption equals `caption` ignoring case, or -1.
  int FindCaption(std::string_view caption) const;

  // Sub-item `column` of row `index` (column 0 is the first sub-item), or an
  // empty text when the row has fewer sub-items.
  const std::string& SubItem(int index, int column) const;

 private:
  std::vector<ReportRow> rows_;
};

}  // namespace vellora

#endif  // VELLORA_BASE_REPORT_LIST_H_
