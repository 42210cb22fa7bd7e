#include "gui/gui_notifier.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QStackedWidget>
#include <QTabWidget>

#include "base/errors.h"
#include "gui/text_codec.h"

namespace vellora {

GuiNotifier::GuiNotifier(StatusPanel* panel, QWidget* parent) : panel_(panel), parent_(parent) {
  since_paint_.start();
}

void GuiNotifier::Information(const std::string& message) {
  Show(Kind::kInformation, FromText(message));
}

void GuiNotifier::Error(const std::string& message) {
  // A hint after the message is a paragraph of its own.
  QString text = FromText(TopLevelMessage(message));
  const qsizetype line_end = text.indexOf(QLatin1Char('\n'));
  if (line_end >= 0) text.insert(line_end, QLatin1Char('\n'));
  Show(Kind::kError, text);
}

void GuiNotifier::Show(Kind kind, const QString& text) {
  if (sink_) {
    sink_(kind, text);
    return;
  }
  // A long message (a grab that went on past many failed addresses) would
  // make a box taller than the screen: it shows its first lines, and the
  // whole text stays under "Show Details...".
  const QStringList lines = text.split(QLatin1Char('\n'));
  QString shown = text;
  if (lines.size() > kBoxLines) {
    shown = lines.mid(0, kBoxLines).join(QLatin1Char('\n')) +
            QStringLiteral("\n... and %1 more lines.").arg(lines.size() - kBoxLines);
  }
  QMessageBox box(kind == Kind::kError ? QMessageBox::Critical : QMessageBox::NoIcon,
                  QString::fromLatin1(kApplicationTitle), shown, QMessageBox::Ok, BoxOwner());
  if (shown != text) box.setDetailedText(text);
  box.exec();
}

std::string GuiNotifier::SettingName(const std::string& field) const {
  const QCheckBox* check =
      parent_ ? parent_->findChild<QCheckBox*>(QString::fromStdString(field)) : nullptr;
  if (check == nullptr) return Notifier::SettingName(field);
  QString name = QStringLiteral("the \"%1\" check box").arg(QString(check->text()).remove('&'));
  // The tab page: the child of a tab widget's page stack that holds the box.
  for (const QWidget* w = check; w->parentWidget() != nullptr; w = w->parentWidget()) {
    const auto* stack = qobject_cast<const QStackedWidget*>(w->parentWidget());
    const auto* tabs = stack ? qobject_cast<const QTabWidget*>(stack->parentWidget()) : nullptr;
    if (tabs == nullptr) continue;
    const int index = tabs->indexOf(const_cast<QWidget*>(w));
    if (index >= 0) name += QStringLiteral(" on \"%1\"").arg(tabs->tabText(index).remove('&'));
    break;
  }
  return ToText(name);
}

void GuiNotifier::Status(const std::string& text) {
  if (panel_) panel_->SetText(FromText(text));
  if (status_hook_) status_hook_();
  if (since_paint_.elapsed() >= kPaintIntervalMs) {
    since_paint_.restart();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
}

}  // namespace vellora
