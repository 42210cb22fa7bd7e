#include "gui/about_page.h"

#include <QLabel>

#include "gui/page_growth.h"

namespace vellora {
namespace {

QLabel* CentredLabel(QWidget* parent, const QRect& rect, int pixel_size, const QString& text) {
  auto* label = new QLabel(text, parent);
  label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  label->setGeometry(rect);
  QFont font = label->font();
  font.setPixelSize(pixel_size);
  label->setFont(font);
  return label;
}

}  // namespace

AboutPage::AboutPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("about"));
  CentredLabel(this, QRect(85, 55, 600, 37), 32, QStringLiteral("Vellora Brindo"))
      ->setObjectName(QStringLiteral("producttitle"));
  vercaption = CentredLabel(this, QRect(85, 95, 600, 37), 32, QStringLiteral("Version: "));
  vercaption->setObjectName(QStringLiteral("vercaption"));
  CentredLabel(this, QRect(85, 140, 600, 24), 19, QString::fromLatin1(kProductWebAddress))
      ->setObjectName(QStringLiteral("webaddress"));
  // The three lines stay centred in a wider window.
  auto* growth = new PageGrowth(this, DesignedPageSize());
  for (QLabel* label : findChildren<QLabel*>()) growth->Add(label, {0.5, 0, 0.5, 0});
}

}  // namespace vellora
