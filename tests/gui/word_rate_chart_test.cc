// The word-rate chart: the figures it shows for the rate typed into
// "Minimal word rate" are what that rate keeps of the word list, also for a
// list made with a multiplier; the drawn counts follow the list.

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <cstdint>

#include "base/report_list.h"
#include "gui/main_window.h"
#include "gui/qt_event_loop.h"
#include "gui/word_rate_chart.h"
#include "gui/words_page.h"

namespace vellora {
namespace {

// A word list as the extraction leaves it: `counts` largest first.
ReportList WordList(const std::vector<int64_t>& counts) {
  ReportList list;
  for (size_t i = 0; i < counts.size(); ++i) {
    list.Add(ReportRow{"w" + std::to_string(i), {std::to_string(counts[i])}});
  }
  return list;
}

// Counted straight from the rows: words whose occurrences reach `rate`.
std::pair<int64_t, int64_t> Expected(const ReportList& list, int64_t rate, int64_t multiplier) {
  int64_t words = 0, total = 0;
  for (int r = 0; r < list.Count(); ++r) {
    const int64_t count = std::stoll(list.SubItem(r, 0));
    if (count / multiplier >= rate) {
      ++words;
      total += count;
    }
  }
  return {words, total};
}

class WordRateChartTest : public QObject {
  Q_OBJECT

 private:
  QtEventLoop loop_;
  MainWindow window_{loop_};

  void TypeRate(const QString& text) {
    QSpinBox* rate = window_.Words()->minwordrate;
    rate->setFocus();
    rate->selectAll();
    QTest::keyClicks(rate, text);  // the chart follows while typing
  }

 private slots:
  void initTestCase() {
    window_.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window_));
    window_.Pages()->setCurrentIndex(1);
  }

  void theFiguresFollowTheTypedRate() {
    const ReportList list = WordList({40, 40, 17, 9, 9, 9, 5, 3, 2, 2, 1, 1, 1, 1});
    WordsPage* page = window_.Words();
    page->NoteRun(1, 1);
    page->ShowWordList(&list);
    QTest::mouseClick(page->bwordchart, Qt::LeftButton);
    QVERIFY(QTest::qWaitForWindowExposed(page->chartwindow));
    for (int rate : {1, 2, 3, 9, 10, 40, 41, 5000}) {
      TypeRate(QString::number(rate));
      const auto [words, total] = Expected(list, rate, 1);
      const KeptWords kept = page->chart->Kept();
      QCOMPARE(kept.words, words);
      QCOMPARE(kept.total, total);
      QCOMPARE(page->chart->Rate(), int64_t(rate));
      QString figures = page->chart->Figures();
      QVERIFY2(figures.contains(QString("keeps %1 of 14 words, total count %2.")
                                    .arg(words)
                                    .arg(total)),
               qPrintable(figures));
    }
    // The arrows and a value set (a preset loaded) move the line as well.
    TypeRate("9");
    QTest::keyClick(page->minwordrate, Qt::Key_Up);
    QCOMPARE(page->chart->Rate(), int64_t(10));
    QCOMPARE(page->chart->Kept().words, Expected(list, 10, 1).first);
    page->minwordrate->setValue(3);
    QCOMPARE(page->chart->Rate(), int64_t(3));
    QCOMPARE(page->chart->Kept().words, Expected(list, 3, 1).first);
    // Typed beyond the box's maximum, the rate reads clamped.
    TypeRate("123456789");
    QCOMPARE(page->chart->Rate(), int64_t(9999999));
    QCOMPARE(page->chart->Kept().words, int64_t(0));
    page->chartwindow->hide();
  }

  // A list made with multiplier 3 holds 3 x the occurrences; a rate below
  // the one the list was made with is flagged.
  void aMultipliedList() {
    const ReportList list = WordList({30, 12, 9, 6, 3});
    WordsPage* page = window_.Words();
    page->NoteRun(2, 3);
    page->ShowWordList(&list);
    for (int rate : {1, 2, 3, 4, 10, 11}) {
      TypeRate(QString::number(rate));
      const auto [words, total] = Expected(list, rate, 3);
      QCOMPARE(page->chart->Kept().words, words);
      QCOMPARE(page->chart->Kept().total, total);
      QCOMPARE(page->chart->Figures().contains("made at rate 2"), rate < 2);
    }
    const QList<QPointF> points = page->chart->CountPoints();
    QCOMPARE(points.size(), 5);
    QCOMPARE(points.first(), QPointF(1, 10));  // drawn as occurrences
    QCOMPARE(points.last(), QPointF(5, 1));
  }

  // A long list is drawn with a bounded number of points, from the first
  // rank to the last, counts falling.
  void aLongListIsSampled() {
    std::vector<int64_t> counts;
    for (int i = 0; i < 200000; ++i) counts.push_back(1 + 100000 / (i + 1));
    const ReportList list = WordList(counts);
    WordsPage* page = window_.Words();
    page->NoteRun(1, 1);
    page->ShowWordList(&list);
    const QList<QPointF> points = page->chart->CountPoints();
    QVERIFY(points.size() > 100 && points.size() <= 1500);
    QCOMPARE(points.first().x(), 1.0);
    QCOMPARE(points.last().x(), 200000.0);
    for (int i = 1; i < points.size(); ++i) {
      QVERIFY(points[i].x() > points[i - 1].x());
      QVERIFY(points[i].y() <= points[i - 1].y());
    }
    TypeRate("5");
    QCOMPARE(page->chart->Kept().words, Expected(list, 5, 1).first);
    page->ShowWordList(nullptr);
    QVERIFY(page->chart->Figures().startsWith("The word list is empty"));
  }
};

}  // namespace
}  // namespace vellora

QTEST_MAIN(vellora::WordRateChartTest)
#include "word_rate_chart_test.moc"
