#include "gui/report_model.h"

#include "gui/text_codec.h"

namespace vellora {

ReportListModel::ReportListModel(const ReportList* list, QStringList headers, QObject* parent)
    : QAbstractTableModel(parent), list_(list), headers_(std::move(headers)) {
  shown_rows_ = list_->Count();
}

int ReportListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : shown_rows_;
}

int ReportListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(headers_.size());
}

QVariant ReportListModel::data(const QModelIndex& index, int role) const {
  if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid()) return QVariant();
  int row = index.row();
  if (row < 0 || row >= list_->Count() || row >= shown_rows_) return QVariant();
  const std::string& text =
      index.column() == 0 ? list_->Row(row).caption : list_->SubItem(row, index.column() - 1);
  if (role == Qt::DisplayRole) return CellText(text);
  return ToolTipText(text);
}

QVariant ReportListModel::ToolTipText(const std::string& text) {
  // Short cells show whole in the list; longer ones are read in the tooltip,
  // line breaks kept, wrapped, and the text shown as it is, not as markup.
  if (text.size() <= kShortCell) return QVariant();
  QString shown = TextForWidget(std::string_view(text).substr(0, kLongestToolTip));
  if (text.size() > kLongestToolTip) shown += QStringLiteral(" ...");
  return QStringLiteral("<p style=\"white-space:pre-wrap\">") + shown.toHtmlEscaped() +
         QStringLiteral("</p>");
}

QVariant ReportListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return QVariant();
  if (section < 0 || section >= headers_.size()) return QVariant();
  return headers_[section];
}

void ReportListModel::Refresh() {
  beginResetModel();
  shown_rows_ = list_->Count();
  endResetModel();
}

void ReportListModel::RemoveRow(int row, const std::function<void()>& remove) {
  if (row < 0 || row >= shown_rows_ || shown_rows_ != list_->Count()) {
    remove();
    Refresh();
    return;
  }
  int before = list_->Count();
  beginRemoveRows(QModelIndex(), row, row);
  // The views ask nothing between begin and end; shown_rows_ changes last.
  remove();
  shown_rows_ = before - 1;
  endRemoveRows();
  if (list_->Count() != shown_rows_) Refresh();
}

}  // namespace vellora
