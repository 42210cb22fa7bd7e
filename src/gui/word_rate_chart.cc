#include "gui/word_rate_chart.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "base/report_list.h"

namespace vellora {
namespace {

// At most this many points are drawn for the counts; on a logarithmic rank
// axis they are spread evenly over the logarithm of the rank.
constexpr int kMostPoints = 1500;

QString Number(int64_t n) { return QLocale::c().toString(static_cast<qlonglong>(n)); }

}  // namespace

WordRateChart::WordRateChart(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("wordratechart"));
  chart_ = new QChart;
  chart_->legend()->setAlignment(Qt::AlignBottom);
  chart_->setMargins(QMargins(4, 4, 4, 4));
  counts_series_ = new QLineSeries;
  counts_series_->setName(QStringLiteral("occurrences of the word at each rank"));
  rate_series_ = new QLineSeries;
  rate_series_->setName(QStringLiteral("Minimal word rate"));
  QPen rate_pen(QColor(200, 40, 40));
  rate_pen.setWidth(2);
  rate_series_->setPen(rate_pen);
  cut_series_ = new QLineSeries;
  cut_series_->setName(QStringLiteral("last word kept"));
  QPen cut_pen(QColor(200, 40, 40));
  cut_pen.setStyle(Qt::DashLine);
  cut_series_->setPen(cut_pen);
  for (QLineSeries* s : {counts_series_, rate_series_, cut_series_}) chart_->addSeries(s);

  rank_axis_ = new QLogValueAxis;
  rank_axis_->setTitleText(QStringLiteral("rank (1 = the most frequent word)"));
  rank_axis_->setLabelFormat(QStringLiteral("%g"));
  rank_axis_->setMinorTickCount(-1);
  count_axis_ = new QLogValueAxis;
  count_axis_->setTitleText(QStringLiteral("occurrences"));
  count_axis_->setLabelFormat(QStringLiteral("%g"));
  count_axis_->setMinorTickCount(-1);
  chart_->addAxis(rank_axis_, Qt::AlignBottom);
  chart_->addAxis(count_axis_, Qt::AlignLeft);
  for (QLineSeries* s : {counts_series_, rate_series_, cut_series_}) {
    s->attachAxis(rank_axis_);
    s->attachAxis(count_axis_);
  }

  view_ = new QChartView(chart_);
  view_->setRenderHint(QPainter::Antialiasing);
  figures_ = new QLabel;
  figures_->setObjectName(QStringLiteral("wordratefigures"));
  figures_->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(view_, 1);
  layout->addWidget(figures_);
  ReadList();
}

void WordRateChart::SetList(const ReportList* words, int64_t made_rate, int64_t multiplier) {
  list_ = words;
  made_rate_ = made_rate;
  multiplier_ = multiplier;
  stale_ = true;
  if (isVisible()) ReadList();
}

void WordRateChart::SetRate(int64_t rate) {
  rate_ = rate;
  if (stale_ && isVisible()) ReadList();
  ShowRate();
}

KeptWords WordRateChart::Kept() {
  if (stale_) ReadList();
  return KeptAtRate(counts_, rate_, multiplier_);
}

QString WordRateChart::Figures() {
  if (stale_) ReadList();
  return figures_->text();
}

QList<QPointF> WordRateChart::CountPoints() {
  if (stale_) ReadList();
  return counts_series_->points();
}

void WordRateChart::showEvent(QShowEvent* event) {
  if (stale_) ReadList();
  QWidget::showEvent(event);
}

void WordRateChart::ReadList() {
  stale_ = false;
  counts_ = list_ != nullptr ? CountsByRank(*list_) : std::vector<int64_t>();
  // Counts that read as 0 have no place on a logarithmic axis.
  while (!counts_.empty() && Occurrences(counts_.back(), multiplier_) < 1) counts_.pop_back();

  QList<QPointF> points;
  const int n = static_cast<int>(counts_.size());
  int last = 0;
  for (int i = 0; i < kMostPoints && n > 0; ++i) {
    int rank = n <= kMostPoints
                   ? i + 1
                   : static_cast<int>(std::lround(std::pow(n, double(i) / (kMostPoints - 1))));
    rank = std::clamp(rank, 1, n);
    if (rank == last) continue;
    last = rank;
    points.append(QPointF(rank, double(Occurrences(counts_[rank - 1], multiplier_))));
    if (rank == n) break;
  }
  counts_series_->replace(points);
  const double top = n > 0 ? double(Occurrences(counts_.front(), multiplier_)) : 10;
  rank_axis_->setRange(1, std::max(10.0, n * 1.2));
  count_axis_->setRange(0.8, std::max(10.0, top * 1.5));
  ShowRate();
}

void WordRateChart::ShowRate() {
  const KeptWords kept = KeptAtRate(counts_, rate_, multiplier_);
  const double right = rank_axis_->max();
  // A rate above the top of the axis is drawn at its top.
  const double y = std::min(double(rate_), count_axis_->max());
  rate_series_->replace({QPointF(1, y), QPointF(right, y)});
  if (kept.words > 0) {
    cut_series_->replace({QPointF(double(kept.words), count_axis_->min()),
                          QPointF(double(kept.words), count_axis_->max())});
  } else {
    cut_series_->clear();
  }
  QString text;
  if (counts_.empty()) {
    text = QStringLiteral("The word list is empty: \"Process files in the working folder\" "
                          "counts the words.");
  } else {
    text = QStringLiteral("Minimal word rate %1 keeps %2 of %3 words, total count %4.")
               .arg(Number(rate_), Number(kept.words), Number(int64_t(counts_.size())),
                    Number(kept.total));
    if (rate_ < made_rate_) {
      text += QStringLiteral(" The list was made at rate %1: the words below it are not in it.")
                  .arg(Number(made_rate_));
    }
    if (multiplier_ > 1) {
      text += QStringLiteral(" Counts multiplied by %1.").arg(Number(multiplier_));
    }
  }
  figures_->setText(text);
}

}  // namespace vellora
