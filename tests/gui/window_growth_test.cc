// The window at its laid-out size, larger and smaller: places at the
// laid-out size, lists and memos that grow, buttons that keep their places
// beside them, no controls run into each other, and scrolling below the
// laid-out size.

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QStyleOptionSpinBox>
#include <QTabWidget>
#include <QTest>

#include "gui/about_page.h"
#include "gui/controls.h"
#include "gui/framing_label.h"
#include "gui/generator_page.h"
#include "gui/grabber_page.h"
#include "gui/main_window.h"
#include "gui/options_page.h"
#include "gui/page_growth.h"
#include "gui/phrases_page.h"
#include "gui/qt_event_loop.h"
#include "gui/words_page.h"
#include "gui_test_support.h"

namespace vellora {
namespace {

// The visible direct children of `page` that overlap, as "a|b" pairs.
QStringList Overlaps(QWidget* page) {
  QList<QWidget*> children;
  for (QWidget* w : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (!w->isHidden() && !w->isWindow()) children << w;
  }
  QStringList pairs;
  for (int i = 0; i < children.size(); ++i) {
    for (int j = i + 1; j < children.size(); ++j) {
      if (children[i]->geometry().intersects(children[j]->geometry())) {
        pairs << children[i]->objectName() + "|" + children[j]->objectName() + ":" +
                     QString::number(i) + "," + QString::number(j);
      }
    }
  }
  return pairs;
}

class WindowGrowthTest : public QObject {
  Q_OBJECT

 private:
  QtEventLoop loop_;
  MainWindow window_{loop_};

  QList<QWidget*> Pages() {
    return QList<QWidget*>{window_.Grabber(), window_.Words(),     window_.Phrases(),
                           window_.Options(), window_.Generator(), window_.About()};
  }
  void ResizeTo(int width, int height) {
    window_.resize(width, height);
    for (int i = 0; i < window_.Pages()->count(); ++i) {
      window_.Pages()->setCurrentIndex(i);
      QTest::qWait(5);
    }
    window_.Pages()->setCurrentIndex(0);
  }

 private slots:
  void initTestCase() {
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
  }

  void atTheLaidOutSizeNothingMovesOrScrolls() {
    ResizeTo(MainWindow::kClientWidth, MainWindow::kClientHeight);
    for (QWidget* page : Pages()) {
      QCOMPARE(page->size(), DesignedPageSize());
      auto* area = qobject_cast<QScrollArea*>(page->parentWidget()->parentWidget());
      QVERIFY(area != nullptr);
      QVERIFY(!area->horizontalScrollBar()->isVisible());
      QVERIFY(!area->verticalScrollBar()->isVisible());
    }
    QCOMPARE(window_.Grabber()->urls2grab->geometry(), QRect(10, 80, 740, 316));
    QCOMPARE(window_.Grabber()->bgraburls->geometry(), QRect(10, 455, 491, 25));
    QCOMPARE(window_.Words()->shellfilelist->geometry(), QRect(15, 45, 476, 96));
    QCOMPARE(window_.Words()->words->geometry(), QRect(16, 235, 475, 241));
    QCOMPARE(window_.Words()->dontcontain->geometry(), QRect(640, 49, 111, 402));
    QCOMPARE(window_.Words()->extractmode->geometry(), QRect(505, 477, 246, 24));
    QCOMPARE(window_.Phrases()->samples->geometry(), QRect(11, 48, 740, 283));
    QCOMPARE(window_.Phrases()->usersamples->geometry(), QRect(10, 390, 740, 101));
    QCOMPARE(window_.Options()->indexpage->geometry(), QRect(395, 95, 351, 386));
    QCOMPARE(window_.Options()->imagesurl->geometry(), QRect(10, 375, 371, 106));
    QCOMPARE(window_.Generator()->pars->geometry(), QRect(10, 107, 306, 124));
    QCOMPARE(window_.Generator()->htmltemplate->geometry(), QRect(336, 210, 410, 196));
    QCOMPARE(window_.Generator()->makefiles->geometry(), QRect(465, 468, 281, 25));
  }

  // Labels fit their texts into the page; the framing words of the rate
  // rows stand beside the boxes, not under them.
  void textsAreNotCut() {
    ResizeTo(MainWindow::kClientWidth, MainWindow::kClientHeight);
    for (QWidget* page : Pages()) {
      for (QLabel* label : page->findChildren<QLabel*>()) {
        QRect box = label->geometry();
        QVERIFY2(box.right() < page->width(), qPrintable(label->text()));
        if (label->wordWrap() || qobject_cast<FramingLabel*>(label) != nullptr) continue;
        QFontMetrics metrics(label->font());
        QVERIFY2(metrics.horizontalAdvance(label->text()) <= box.width(),
                 qPrintable(label->text()));
      }
    }
    QLabel* manual = testing::Find<QLabel>(window_.Phrases(), "usersampleslabel");
    QFontMetrics metrics(manual->font());
    QRect needed =
        metrics.boundingRect(QRect(0, 0, manual->width(), 1000), Qt::TextWordWrap, manual->text());
    QVERIFY(needed.height() <= manual->height());
    QVERIFY(manual->geometry().bottom() < window_.Phrases()->usersamples->geometry().top() + 1);
    OptionsPage* o = window_.Options();
    for (auto [min, max] : {std::pair{o->urlmin, o->urlmax}, std::pair{o->imagemin, o->imagemax}}) {
      QVERIFY(min->geometry().right() + 8 < max->geometry().left());  // room for "--"
      QVERIFY(max->geometry().right() < o->indexpage->geometry().left() - 10);
    }
  }

  // Every box shows its longest number whole.
  void spinsShowTheirMaximum() {
    for (QSpinBox* box : window_.findChildren<QSpinBox*>()) {
      box->setValue(box->maximum());
      QStyleOptionSpinBox option;
      option.initFrom(box);
      option.rect = box->rect();
      option.frame = true;
      option.subControls = QStyle::SC_All;
      const QRect field = box->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                       QStyle::SC_SpinBoxEditField, box);
      QFontMetrics metrics(box->font());
      QVERIFY2(metrics.horizontalAdvance(box->text()) + 4 <= field.width(),
               qPrintable(box->objectName()));
    }
  }

  void aLargerWindowGrowsTheListsAndMemos() {
    ResizeTo(1400, 950);
    GrabberPage* g = window_.Grabber();
    QVERIFY(g->urls2grab->width() > 1000 && g->urls2grab->height() > 600);
    // The buttons keep their places under the list.
    QCOMPARE(g->bgraburls->y() - (g->urls2grab->y() + g->urls2grab->height()), 455 - 396);
    QCOMPARE(g->bgraburls->x(), 10);
    WordsPage* w = window_.Words();
    QVERIFY(w->shellfilelist->height() > 96 + 100);
    QVERIFY(w->words->height() > 241 + 200 && w->words->width() > 475 + 200);
    QVERIFY(w->prohibited->height() > 452 + 300);
    QCOMPARE(w->bprocess->y() - (w->shellfilelist->y() + w->shellfilelist->height()), 154 - 141);
    QCOMPARE(w->panel->y() - w->bprocess->y(), 185 - 154);
    QCOMPARE(w->words->y() - w->panel->y(), 235 - 185);
    QCOMPARE(w->wordcount->y() - (w->words->y() + w->words->height()), 480 - 476);
    QVERIFY(w->prohibited->x() > w->words->x() + w->words->width());
    PhrasesPage* p = window_.Phrases();
    QVERIFY(p->samples->width() > 1000 && p->samples->height() > 283 + 200);
    QVERIFY(p->usersamples->height() > 101 + 100);
    OptionsPage* o = window_.Options();
    QVERIFY(o->urlsurl->height() > 134 + 100 && o->indexpage->width() > 351 + 200);
    QCOMPARE(o->imagemin->y() - (o->urlsurl->y() + o->urlsurl->height()), 330 - 316);
    GeneratorPage* gen = window_.Generator();
    QVERIFY(gen->pars->width() > 306 + 200 && gen->filelist->height() > 163 + 200);
    QVERIFY(gen->htmltemplate->width() > 410 + 200);
    QCOMPARE(gen->makefiles->y() - (gen->htmltemplate->y() + gen->htmltemplate->height()),
             468 - 406);
    QCOMPARE(gen->makefiles->x(), gen->htmltemplate->x() + 465 - 336);
    const int centre = window_.About()->vercaption->geometry().center().x();
    QVERIFY(std::abs(centre - (window_.About()->width() / 2 + (85 + 300 - 778 / 2))) <= 1);
  }

  // Growing adds no overlap that the laid-out page does not have.
  void growingRunsNothingIntoAnything() {
    ResizeTo(MainWindow::kClientWidth, MainWindow::kClientHeight);
    QList<QStringList> laid_out;
    for (QWidget* page : Pages()) laid_out << Overlaps(page);
    for (QSize size : {QSize(1000, 700), QSize(1920, 1050), QSize(800, 1050), QSize(1920, 560)}) {
      ResizeTo(size.width(), size.height());
      for (int i = 0; i < Pages().size(); ++i) {
        for (const QString& pair : Overlaps(Pages()[i])) {
          QVERIFY2(laid_out[i].contains(pair), qPrintable(pair));
        }
      }
    }
  }

  // Every button is drawn whole at every size: a framed one is as tall as
  // its frame needs and stands clear of the page's edges, whose frame would
  // otherwise swallow its own; a flat one (a link) stays inside the page.
  void buttonsAreWholeAtEverySize() {
    window_.Generator()->ShowSaveSummary("3 files written into /tmp/site", true);
    for (QSize size : {QSize(MainWindow::kClientWidth, MainWindow::kClientHeight), QSize(1000, 700),
                       QSize(1920, 1050), QSize(600, 400)}) {
      ResizeTo(size.width(), size.height());
      for (QWidget* page : Pages()) {
        for (QPushButton* b : page->findChildren<QPushButton*>()) {
          if (b->isHidden()) continue;
          const QRect box = b->geometry();
          const QString where = QStringLiteral("%1 at %2x%3: %4,%5 %6x%7 in %8x%9")
                                    .arg(b->objectName())
                                    .arg(size.width())
                                    .arg(size.height())
                                    .arg(box.x())
                                    .arg(box.y())
                                    .arg(box.width())
                                    .arg(box.height())
                                    .arg(page->width())
                                    .arg(page->height());
          QVERIFY2(page->rect().contains(box), qPrintable(where));
          if (b->isFlat()) continue;
          QVERIFY2(box.height() >= b->minimumSizeHint().height(), qPrintable(where));
          QVERIFY2(box.bottom() <= page->height() - 3, qPrintable(where));
          QVERIFY2(box.right() <= page->width() - 3, qPrintable(where));
        }
      }
    }
    window_.Generator()->HideSaveSummary();
  }

  // The pages' frame ends in its outline on the window's bottom edge, as on
  // its left and right edges: no lighter strip below it.
  void thePaneFrameEndsOnTheWindowEdges() {
    ResizeTo(MainWindow::kClientWidth, MainWindow::kClientHeight);
    const QImage image = window_.Pages()->grab().toImage();
    const int middle_x = image.width() / 2, middle_y = image.height() / 2;
    const QRgb left = image.pixel(0, middle_y);
    QCOMPARE(image.pixel(image.width() - 1, middle_y), left);
    QCOMPARE(image.pixel(middle_x, image.height() - 1), left);
  }

  void aSmallerWindowScrollsThePage() {
    ResizeTo(600, 400);
    GrabberPage* g = window_.Grabber();
    QCOMPARE(g->size(), DesignedPageSize());
    QCOMPARE(g->bgraburls->geometry(), QRect(10, 455, 491, 25));
    auto* area = qobject_cast<QScrollArea*>(window_.Pages()->currentWidget());
    QVERIFY(area != nullptr);
    QVERIFY(area->verticalScrollBar()->isVisible());
    QVERIFY(area->horizontalScrollBar()->isVisible());
    // Tabbing to a button below the visible part scrolls it into view.
    g->urls2grab->setFocus();
    QTest::keyClick(g->urls2grab, Qt::Key_Tab);
    QTest::qWait(20);
    QCOMPARE(QApplication::focusWidget(), g->bgraburls);
    QRect shown(g->mapFrom(area->viewport(), QPoint(0, 0)), area->viewport()->size());
    QVERIFY(shown.contains(g->bgraburls->geometry()));
    ResizeTo(MainWindow::kClientWidth, MainWindow::kClientHeight);
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::WindowGrowthTest)
#include "window_growth_test.moc"
