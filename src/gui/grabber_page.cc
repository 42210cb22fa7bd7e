#include "gui/grabber_page.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "gui/controls.h"
#include "gui/page_growth.h"

namespace vellora {

GrabberPage::GrabberPage(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("htmlgrabber"));
  AddWrappedLabel(
      this, QRect(10, 15, 740, 56),
      QStringLiteral(
          "Go to Internet, use Google or any other search engine you like to find 5-15 "
          "interesting webpages about what you are going to promote. Copy their URLs from the "
          "browser's address bar to the list below, one URL per line please. Then press Grab "
          "button to save these web pages to the working folder. Additionally, you can also "
          "copy any HTML files from your computer to the folder mentioned below and they will "
          "be also processed."));
  urls2grab = AddMemo(this, "urls2grab", QRect(10, 80, 740, 316), MemoStyle::kBothScrollBars);
  bdelgrabfiles = AddButton(this, "bdelgrabfiles", QRect(10, 415, 241, 25),
                            QStringLiteral("Delete only grabber's files in the working folder"));
  bdelallfiles = AddButton(this, "bdelallfiles", QRect(260, 415, 241, 25),
                           QStringLiteral("Delete all files in the working folder"));
  bgraburls = AddButton(this, "bgraburls", QRect(10, 455, 491, 25), QStringLiteral("Grab"));
  bstopgrab = AddButton(this, "bstopgrab", QRect(510, 455, 100, 25), QStringLiteral("Stop"));
  bstopgrab->setToolTip(QStringLiteral("Abort the waiting download and end the grab"));
  bstopgrab->setEnabled(false);
  ChainTabOrder({urls2grab, bgraburls, bstopgrab, bdelgrabfiles, bdelallfiles});

  // The URL list takes all the growth; the buttons under it move down.
  auto* growth = new PageGrowth(this, DesignedPageSize());
  growth->Add(findChild<QLabel*>(), kGrowRight);
  growth->Add(urls2grab, kGrowRightDown);
  for (QWidget* button : {bdelgrabfiles, bdelallfiles, bgraburls, bstopgrab}) {
    growth->Add(button, kMoveDown);
  }
}

}  // namespace vellora
