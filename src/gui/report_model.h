// ReportListModel: a read-only Qt table model over a ReportList of the main
// window state, for the lists in report style (words, pars, filelist).
//
// The model holds a pointer to the list, not a copy: a list of hundreds of
// thousands of rows costs nothing until its visible rows are painted. After
// a step changed the list, Refresh() tells the views. The list must outlive
// the model. A cell longer than kShortCell characters has its text, up to
// kLongestToolTip characters, in its tooltip.

#ifndef VELLORA_GUI_REPORT_MODEL_H_
#define VELLORA_GUI_REPORT_MODEL_H_

#include <QAbstractTableModel>
#include <QStringList>
#include <functional>
#include <string>

#include "base/report_list.h"

namespace vellora {

class ReportListModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  ReportListModel(const ReportList* list, QStringList headers, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // The list changed in any way: views reread it.
  void Refresh();
  // Runs `remove`, which deletes row `row` from the list, and tells the views
  // that exactly that row went away. Falls back to Refresh() when `remove`
  // did not remove one row.
  void RemoveRow(int row, const std::function<void()>& remove);

  static constexpr size_t kShortCell = 40;
  static constexpr size_t kLongestToolTip = 20000;

 private:
  static QVariant ToolTipText(const std::string& text);

  const ReportList* list_;
  QStringList headers_;
  int shown_rows_ = 0;  // the row count the views know about
};

}  // namespace vellora

#endif  // VELLORA_GUI_REPORT_MODEL_H_
