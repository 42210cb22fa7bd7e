#include "gui/options_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <initializer_list>

#include "state/main_state.h"
#include "gui/controls.h"
#include "gui/framing_label.h"
#include "gui/page_growth.h"

namespace vellora {
namespace {

// Where the right column begins, less a gap.
constexpr int kColumnRight = 390;

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

  auto* url_rate = new FramingLabel(UrlRateCaption(), this);
  url_rate->setGeometry(10, 140, 353, 13);
  url_rate->setObjectName(QStringLiteral("urlratelabel"));
  urlmin = AddSpin(this, "urlmin", QRect(200, 135, 51, 22), initial.urlmin);
  urlmax = AddSpin(this, "urlmax", QRect(270, 135, 51, 22), initial.urlmax);
  // The boxes are as wide as nine digits need; the row stays in its column.
  url_rate->Frame(urlmin, urlmax, kColumnRight);
  AddLabel(this, 10, 165, QStringLiteral("URL list (empty list means no URLs)"));
  urlsurl = AddMemo(this, "urlsurl", QRect(10, 182, 371, 134), MemoStyle::kBothScrollBars);

  auto* image_rate = new FramingLabel(ImageRateCaption(), this);
  image_rate->setGeometry(10, 335, 362, 13);
  image_rate->setObjectName(QStringLiteral("imageratelabel"));
  imagemin = AddSpin(this, "imagemin", QRect(200, 330, 51, 22), initial.imagemin);
  imagemax = AddSpin(this, "imagemax", QRect(270, 330, 51, 22), initial.imagemax);
  image_rate->Frame(imagemin, imagemax, kColumnRight);
  QLabel* image_list_label =
      AddLabel(this, 10, 355, QStringLiteral("Image list (empty list means no images)"));
  imagesurl = AddMemo(this, "imagesurl", QRect(10, 375, 371, 106), MemoStyle::kBothScrollBars);

  QLabel* index_label = AddWrappedLabel(this, QRect(395, 20, 351, 31),
                  QStringLiteral("Index page (this should be a really human-made text with "
                                 "useful information about your website, can be "
                                 "html-formatted):"));
  QLabel* index_name_label = AddLabel(this, 395, 65, QStringLiteral("Index page file name"));
  indexfname = AddEdit(this, "indexfname", QRect(530, 60, 216, 21));
  indexpage = AddMemo(this, "indexpage", QRect(395, 95, 351, 386), MemoStyle::kBothScrollBars);

  ChainTabOrder({esitename, esiteurl, imagemin, imagemax, imagesurl, urlmax, urlmin, urlsurl,
                 efileext, unicodetext, indexpage, indexfname, echarset});

  // The two columns share the width the window gains; in the left one the
  // URL list takes half of the height and the image rows move down.
  growth = new PageGrowth(this, DesignedPageSize());
  for (QWidget* edit : {esitename, esiteurl, echarset}) growth->Add(edit, {0, 0, 0.5, 0});
  growth->Add(urlsurl, {0, 0, 0.5, 0.5});
  for (QWidget* row : std::initializer_list<QWidget*>{image_rate, imagemin, imagemax,
                                                       image_list_label}) {
    growth->Add(row, {0, 0.5, 0, 0.5});
  }
  growth->Add(imagesurl, {0, 0.5, 0.5, 1});
  growth->Add(index_label, {0.5, 0, 1, 0});
  growth->Add(index_name_label, {0.5, 0, 0.5, 0});
  growth->Add(indexfname, {0.5, 0, 1, 0});
  growth->Add(indexpage, {0.5, 0, 1, 1});
}

}  // namespace vellora
