#include "gui/page_growth.h"

#include <QEvent>
#include <QScrollArea>
#include <QWidget>
#include <cmath>

namespace vellora {
namespace {

int Moved(int edge, double share, int growth) {
  return edge + static_cast<int>(std::lround(share * growth));
}

}  // namespace

PageGrowth::PageGrowth(QWidget* page, QSize designed)
    : QObject(page), page_(page), designed_(designed) {
  page_->setMinimumSize(designed_);
  page_->installEventFilter(this);
}

void PageGrowth::Add(QWidget* control, Follow follow) {
  entries_.push_back({control, control->geometry(), follow});
  Apply();
}

bool PageGrowth::eventFilter(QObject* watched, QEvent* event) {
  if (watched == page_ && event->type() == QEvent::Resize) Apply();
  return QObject::eventFilter(watched, event);
}

void PageGrowth::Apply() {
  const int dx = std::max(0, page_->width() - designed_.width());
  const int dy = std::max(0, page_->height() - designed_.height());
  for (const Entry& e : entries_) {
    if (!e.control) continue;
    const QRect& r = e.designed;
    // Edges as coordinates (right and bottom one past the last pixel).
    const int left = Moved(r.left(), e.follow.left, dx);
    const int top = Moved(r.top(), e.follow.top, dy);
    const int right = Moved(r.left() + r.width(), e.follow.right, dx);
    const int bottom = Moved(r.top() + r.height(), e.follow.bottom, dy);
    if (e.follow.left == e.follow.right && e.follow.top == e.follow.bottom) {
      // Moved only: a label that fits itself to its text keeps its size.
      e.control->move(left, top);
    } else {
      e.control->setGeometry(left, top, right - left, bottom - top);
    }
  }
}

QSize DesignedPageSize() { return QSize(778, 510); }

QScrollArea* Scrolled(QWidget* page) {
  auto* area = new QScrollArea;
  area->setObjectName(page->objectName() + QStringLiteral("_scroll"));
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(true);
  area->setWidget(page);
  return area;
}

}  // namespace vellora
