// WordRateChart: how the counts of the word list fall off by rank, on
// logarithmic axes, with a "Minimal word rate" drawn across as a line and
// what that rate keeps (number of words and their total count) written
// under the chart.
//
// The figures come from the core's KeptAtRate over the list as the last
// extraction made it (its rate and multiplier); the widget only draws them.
// The list is read again when the chart is shown after it changed.

#ifndef VELLORA_GUI_WORD_RATE_CHART_H_
#define VELLORA_GUI_WORD_RATE_CHART_H_

#include <QWidget>
#include <cstdint>
#include <vector>

#include "pipeline/word_rate.h"

class QChart;
class QChartView;
class QLabel;
class QLineSeries;
class QLogValueAxis;

namespace vellora {

class ReportList;

class WordRateChart : public QWidget {
  Q_OBJECT

 public:
  explicit WordRateChart(QWidget* parent = nullptr);

  // Shows the counts of `words` (which must outlive the chart or be set
  // again), a list that the extraction made at `made_rate` with
  // `multiplier`. Read now when the chart is visible, else when shown.
  void SetList(const ReportList* words, int64_t made_rate, int64_t multiplier);
  // Moves the rate line and updates the figures.
  void SetRate(int64_t rate);

  int64_t Rate() const { return rate_; }
  // What the rate keeps of the list.
  KeptWords Kept();
  // The text under the chart.
  QString Figures();
  // The points drawn for the counts: (rank, occurrences).
  QList<QPointF> CountPoints();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ReadList();
  void ShowRate();

  QChart* chart_;
  QChartView* view_;
  QLineSeries* counts_series_;
  QLineSeries* rate_series_;
  QLineSeries* cut_series_;
  QLogValueAxis* rank_axis_;
  QLogValueAxis* count_axis_;
  QLabel* figures_;
  const ReportList* list_ = nullptr;
  bool stale_ = false;
  std::vector<int64_t> counts_;
  int64_t made_rate_ = 1;
  int64_t multiplier_ = 1;
  int64_t rate_ = 1;
};

}  // namespace vellora

#endif  // VELLORA_GUI_WORD_RATE_CHART_H_
