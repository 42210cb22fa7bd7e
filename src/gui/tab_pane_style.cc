#include "gui/tab_pane_style.h"

#include <QProxyStyle>
#include <QStyleOption>
#include <QTabWidget>

namespace vellora {
namespace {

class EdgeToEdgePaneStyle : public QProxyStyle {
 public:
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
    const auto* frame = qstyleoption_cast<const QStyleOptionTabWidgetFrame*>(option);
    if (element != PE_FrameTabWidget || frame == nullptr) {
      QProxyStyle::drawPrimitive(element, option, painter, widget);
      return;
    }
    // One row more than the widget has: the shadow falls outside and is
    // clipped, the outline lands on the last row.
    QStyleOptionTabWidgetFrame moved = *frame;
    moved.rect.setBottom(moved.rect.bottom() + 1);
    QProxyStyle::drawPrimitive(element, &moved, painter, widget);
  }
};

}  // namespace

void UseEdgeToEdgePane(QTabWidget* tabs) {
  auto* style = new EdgeToEdgePaneStyle;
  style->setParent(tabs);
  tabs->setStyle(style);
}

}  // namespace vellora
