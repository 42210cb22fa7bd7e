#include "gui/options_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>

#include "state/main_state.h"
#include "gui/controls.h"

namespace vellora {
namespace {

QString Blanks(int n) { return QString(n, QLatin1Char(' ')); }

}  // namespace

QString UrlRateCaption() {
  return QStringLiteral("URL rate") + Blanks(32) + QStringLiteral("one per") + Blanks(23) +
         QStringLiteral("--") + Blanks(22) + QStringLiteral("phrases");
}

QString ImageRateCaption() {
  return QStringLiteral("Image rate") + Blanks(29) + QStringLiteral("one per") + Blanks(24) +
         QStringLiteral("--") + Blanks(21) + QStringLiteral("sentenses");
}

OptionsPage::OptionsPage(const MainState& initial, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("htmloptionsheet"));
  AddLabel(this, 10, 25, QStringLiteral("Website name"));
  esitename = AddEdit(this, "esitename", QRect(200, 20, 180, 21));
  AddLabel(this, 10, 50, QStringLiteral("Website URL"));
  esiteurl = AddEdit(this, "esiteurl", QRect(200, 45, 180, 21));
  AddLabel(this, 10, 75, QStringLiteral("Charset (html encoding)"));
  echarset = AddEdit(this, "echarset", QRect(200, 70, 180, 21));
  AddLabel(this, 10, 100, QStringLiteral("File extension (htm/html/php)"));
  efileext = AddEdit(this, "efileext", QRect(200, 95, 71, 21));
  unicodetext = new QCheckBox(QStringLiteral("Unicode (UTF-8)"), this);
  unicodetext->setObjectName(QStringLiteral("unicodetext"));
  unicodetext->setGeometry(QRect(280, 95, 101, 21));

  QLabel* url_rate = AddLabel(this, 10, 140, UrlRateCaption());
  url_rate->setObjectName(QStringLiteral("urlratelabel"));
  urlmin = AddSpin(this, "urlmin", QRect(200, 135, 51, 22), initial.urlmin);
  urlmax = AddSpin(this, "urlmax", QRect(270, 135, 51, 22), initial.urlmax);
  AddLabel(this, 10, 165, QStringLiteral("URL list (empty list means no URLs)"));
  urlsurl = AddMemo(this, "urlsurl", QRect(10, 182, 371, 134), MemoStyle::kBothScrollBars);

  QLabel* image_rate = AddLabel(this, 10, 335, ImageRateCaption());
  image_rate->setObjectName(QStringLiteral("imageratelabel"));
  imagemin = AddSpin(this, "imagemin", QRect(200, 330, 51, 22), initial.imagemin);
  imagemax = AddSpin(this, "imagemax", QRect(270, 330, 51, 22), initial.imagemax);
  AddLabel(this, 10, 355, QStringLiteral("Image list (empty list means no images)"));
  imagesurl = AddMemo(this, "imagesurl", QRect(10, 375, 371, 106), MemoStyle::kBothScrollBars);

  AddWrappedLabel(this, QRect(395, 20, 351, 31),
                  QStringLiteral("Index page (this should be a really human-made text with "
                                 "useful information about your website, can be "
                                 "html-formatted):"));
  AddLabel(this, 395, 65, QStringLiteral("Index page file name"));
  indexfname = AddEdit(this, "indexfname", QRect(530, 60, 216, 21));
  indexpage = AddMemo(this, "indexpage", QRect(395, 95, 351, 386), MemoStyle::kBothScrollBars);

  ChainTabOrder({esitename, esiteurl, imagemin, imagemax, imagesurl, urlmax, urlmin, urlsurl,
                 efileext, unicodetext, indexpage, indexfname, echarset});
}

}  // namespace vellora
