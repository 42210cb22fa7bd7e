#include "gui/preset_dialog_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

#include "base/notifier.h"
#include "gui/controls.h"
#include "gui/text_codec.h"

namespace vellora {

PresetDialogWindow::PresetDialogWindow(MainState& state, Notifier& notifier, QWidget* parent)
    : QDialog(parent), notifier_(notifier), dialog_(state) {
  setObjectName(QStringLiteral("presform"));
  setWindowTitle(QString::fromLatin1(kDialogCaption));
  setFont(WindowFont());
  setFixedSize(494 - 8, 166 - 27);  // outer 494 x 166 less a common frame

  QLabel* heading = new QLabel(QStringLiteral("Presets management"), this);
  heading->setObjectName(QStringLiteral("heading"));
  heading->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  heading->setGeometry(20, 20, 431, 20);
  QFont bold = heading->font();
  bold.setBold(true);
  bold.setPointSize(12);
  heading->setFont(bold);

  AddLabel(this, 20, 60, QStringLiteral("Load existing preset"));
  epresname = new QComboBox(this);
  epresname->setObjectName(QStringLiteral("epresname"));
  epresname->setGeometry(135, 55, 231, 21);
  epresname->setEditable(false);
  for (const std::string& name : dialog_.Items()) epresname->addItem(FromPath(name));
  epresname->setCurrentIndex(dialog_.Selected());
  connect(epresname, &QComboBox::currentIndexChanged, this,
          [this](int index) { dialog_.Select(index); });
  Button1 = AddButton(this, "Button1", QRect(375, 55, 75, 21), QStringLiteral("Load"));

  AddLabel(this, 20, 90, QStringLiteral("Create a new preset"));
  enewpresname = AddEdit(this, "enewpresname", QRect(135, 85, 231, 21));
  Button2 = AddButton(this, "Button2", QRect(375, 85, 75, 21), QStringLiteral("Create"));

  ChainTabOrder({epresname, enewpresname, Button1, Button2});
  // Return presses the default button: Load, or Create while a new name is
  // typed (the field has the focus).
  for (QPushButton* button : {Button1, Button2}) button->setAutoDefault(true);
  Button1->setDefault(true);
  epresname->installEventFilter(this);
  enewpresname->installEventFilter(this);
  connect(Button1, &QPushButton::clicked, this, &PresetDialogWindow::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &PresetDialogWindow::Button2Click);

  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
}

void PresetDialogWindow::Button1Click() { Finish(dialog_.Button1Click()); }

void PresetDialogWindow::Button2Click() {
  Finish(dialog_.Button2Click(ToPath(enewpresname->text())));
}

void PresetDialogWindow::Finish(const DialogOutcome& outcome) {
  if (!outcome.information.empty()) notifier_.Information(outcome.information);
  if (outcome.closed) accept();
}

bool PresetDialogWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn) {
    (watched == enewpresname ? Button2 : Button1)->setDefault(true);
  }
  return QDialog::eventFilter(watched, event);
}

void PresetDialogWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();  // no cancel button: only the close box ends the dialog
    return;
  }
  QDialog::keyPressEvent(event);
}

void PresetDialogWindow::closeEvent(QCloseEvent* event) {
  if (dialog_.FormCloseQuery()) terminate_requested_ = true;
  QDialog::closeEvent(event);
}

}  // namespace vellora
