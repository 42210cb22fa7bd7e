#include "gui/grabber_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <initializer_list>

#include "gui/controls.h"
#include "gui/page_growth.h"
#include "state/main_state.h"

namespace vellora {

GrabberPage::GrabberPage(const MainState& initial, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("htmlgrabber"));
  QLabel* introduction = AddWrappedLabel(
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

  // How the grab reaches the web, right of the buttons under the URL list.
  allowhttps = new QCheckBox(QStringLiteral("Allow HTTPS"), this);
  allowhttps->setObjectName(QStringLiteral("allowhttps"));
  allowhttps->setGeometry(QRect(520, 417, 100, 21));
  allowhttps->setToolTip(
      QStringLiteral("Fetch https addresses and follow relocations between http and https; "
                     "the server's certificate is checked against the system's trust store"));
  QLabel* connections_label = AddLabel(this, 628, 419, QStringLiteral("At once"));
  grabconnections =
      AddSpin(this, "grabconnections", QRect(690, 415, 60, 22), initial.grabconnections);
  grabconnections->setToolTip(QStringLiteral("Downloads at the same time (1 to 16)"));
  QLabel* timeout_label = AddLabel(this, 620, 459, QStringLiteral("Time limit"));
  grabtimeout = AddSpin(this, "grabtimeout", QRect(690, 455, 60, 22), initial.grabtimeout);
  grabtimeout->setToolTip(
      QStringLiteral("Seconds without any byte from the server before a download fails "
                     "with \"Connection timed out\"; 0 means no limit"));
  connections_label->setToolTip(grabconnections->toolTip());
  timeout_label->setToolTip(grabtimeout->toolTip());
  // What a failed address does to the grab, under the "Grab" button.
  grabgoon = new QCheckBox(QStringLiteral("Go on past a failed address"), this);
  grabgoon->setObjectName(QStringLiteral("grabgoon"));
  grabgoon->setGeometry(QRect(10, 486, 300, 21));
  grabgoon->setToolTip(
      QStringLiteral("A failed address writes no file and the grab goes on with the next line; "
                     "at the end one message lists every failed line. Off: the first failed "
                     "address ends the grab"));
  ChainTabOrder({urls2grab, bgraburls, bstopgrab, bdelgrabfiles, bdelallfiles, allowhttps,
                 grabconnections, grabtimeout, grabgoon});

  // The URL list takes all the growth; the controls under it move down.
  auto* growth = new PageGrowth(this, DesignedPageSize());
  growth->Add(introduction, kGrowRight);
  growth->Add(urls2grab, kGrowRightDown);
  for (QWidget* control : std::initializer_list<QWidget*>{
           bdelgrabfiles, bdelallfiles, bgraburls, bstopgrab, allowhttps, connections_label,
           grabconnections, timeout_label, grabtimeout, grabgoon}) {
    growth->Add(control, kMoveDown);
  }
}

}  // namespace vellora
