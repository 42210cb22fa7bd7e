#include "gui/status_panel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>

namespace vellora {

StatusPanel::StatusPanel(QWidget* parent) : QFrame(parent) {
  setObjectName(QStringLiteral("Status"));
  setFixedHeight(kHeight);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  text_ = new QLabel(this);
  text_->setObjectName(QStringLiteral("StatusText"));
  text_->setFrameShape(QFrame::Panel);
  text_->setFrameShadow(QFrame::Sunken);
  text_->setTextFormat(Qt::PlainText);
  text_->setMinimumWidth(10);
  text_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("StatusProgress"));
  progress_->setFixedWidth(160);
  progress_->setTextVisible(false);
  progress_->hide();
  layout->addWidget(text_, 1);
  layout->addWidget(progress_);
}

QString StatusPanel::Text() const { return text_->text(); }

void StatusPanel::SetText(const QString& text) {
  text_->setText(text);
  if (progress_->isHidden()) return;
  // "[n/total]" names the item at work (the grabber's URL being fetched),
  // so n - 1 are done; with none done yet the bar is a busy indicator, not
  // an empty bar, and a last URL that waits does not show a full one.
  auto fraction = ParseProgress(text);
  const long long done = fraction ? fraction->first - 1 : 0;
  if (done > 0) {
    // Scale into int, which QProgressBar takes.
    const long long total = fraction->second;
    const int scaled = static_cast<int>(done * 1000 / total);
    progress_->setRange(0, 1000);
    progress_->setValue(scaled > 1000 ? 1000 : scaled);
  } else {
    progress_->setRange(0, 0);  // busy indicator
  }
}

void StatusPanel::BeginBusy() {
  progress_->setRange(0, 0);
  progress_->show();
}

void StatusPanel::EndBusy() { progress_->hide(); }

bool StatusPanel::Busy() const { return !progress_->isHidden(); }

std::optional<std::pair<long long, long long>> StatusPanel::ParseProgress(const QString& text) {
  if (!text.endsWith(QLatin1Char(']'))) return std::nullopt;
  qsizetype open = text.lastIndexOf(QLatin1Char('['));
  if (open < 0) return std::nullopt;
  QString inner = text.mid(open + 1, text.size() - open - 2);
  QStringList parts = inner.split(QLatin1Char('/'));
  if (parts.size() != 2) return std::nullopt;
  bool ok_done = false, ok_total = false;
  long long done = parts[0].toLongLong(&ok_done);
  long long total = parts[1].toLongLong(&ok_total);
  if (!ok_done || !ok_total || done < 0 || total <= 0) return std::nullopt;
  return std::make_pair(done > total ? total : done, total);
}

}  // namespace vellora
