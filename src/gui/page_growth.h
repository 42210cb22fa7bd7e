// PageGrowth: how the controls of a tab page follow the window.
//
// A page is laid out at fixed places for its designed size. When the page
// is larger, each edge of a registered control moves by a fixed share of
// the growth in its direction: share 0 keeps the edge where it was laid
// out, share 1 moves it with the page's right (or bottom) edge. A control
// whose left and right edges both take share 1 keeps its width and moves; a
// control with left 0 and right 1 grows by the whole growth. Two columns
// side by side split the growth with shares of one half. Unregistered
// controls keep their places. At the designed size (and below it, where the
// page scrolls instead of shrinking) every control is exactly where it was
// laid out.

#ifndef VELLORA_GUI_PAGE_GROWTH_H_
#define VELLORA_GUI_PAGE_GROWTH_H_

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <vector>

class QScrollArea;
class QWidget;

namespace vellora {

// Shares of the growth that the left, top, right and bottom edges take.
struct Follow {
  double left = 0, top = 0, right = 0, bottom = 0;
};
// Common cases.
constexpr Follow kGrowRight{0, 0, 1, 0};
constexpr Follow kGrowRightDown{0, 0, 1, 1};
constexpr Follow kMoveDown{0, 1, 0, 1};

class PageGrowth : public QObject {
  Q_OBJECT

 public:
  // The layout of `page` is designed for `designed`; the page never becomes
  // smaller than that.
  PageGrowth(QWidget* page, QSize designed);

  // Registers `control` (a child of the page, placed already) with the
  // shares of its edges. The place it has now is its designed place.
  void Add(QWidget* control, Follow follow);

  QSize Designed() const { return designed_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Entry {
    QPointer<QWidget> control;
    QRect designed;
    Follow follow;
  };
  void Apply();

  QWidget* page_;
  QSize designed_;
  std::vector<Entry> entries_;
};

// The designed size of every tab page: the page's area in the window at its
// laid-out size.
QSize DesignedPageSize();

// Puts `page` into a frameless scroll area that resizes it to its viewport:
// the page grows with the window and scrolls when the window is smaller
// than the page's designed size.
QScrollArea* Scrolled(QWidget* page);

}  // namespace vellora

#endif  // VELLORA_GUI_PAGE_GROWTH_H_
