// Helpers shared by the desktop program's tests: a message recorder in place
// of message boxes, and lookups of controls by name.

#ifndef VELLORA_TESTS_GUI_GUI_TEST_SUPPORT_H_
#define VELLORA_TESTS_GUI_GUI_TEST_SUPPORT_H_

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <utility>
#include <vector>

#include "gui/gui_notifier.h"

namespace vellora::testing {

// Collects the messages a GuiNotifier would show in boxes.
struct MessageLog {
  std::vector<std::pair<GuiNotifier::Kind, QString>> messages;

  GuiNotifier::Sink Sink() {
    return
        [this](GuiNotifier::Kind kind, const QString& text) { messages.emplace_back(kind, text); };
  }
  QStringList Texts() const {
    QStringList texts;
    for (const auto& m : messages) texts << m.second;
    return texts;
  }
  int Count(GuiNotifier::Kind kind) const {
    int n = 0;
    for (const auto& m : messages) n += m.first == kind ? 1 : 0;
    return n;
  }
};

template <typename T>
T* Find(const QWidget* root, const char* name) {
  T* child = root->findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) qFatal("no control named %s", name);
  return child;
}

inline bool WriteFile(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  return file.write(bytes) == bytes.size();
}

inline QByteArray ReadFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return QByteArray();
  return file.readAll();
}

// The focusable controls in the Tab-key order that starts at `first`,
// restricted to `among`.
inline QList<QWidget*> TabChain(QWidget* first, const QList<QWidget*>& among) {
  QList<QWidget*> chain;
  QWidget* w = first;
  for (int guard = 0; guard < 2000 && w != nullptr; ++guard) {
    if (among.contains(w) && !chain.contains(w)) chain << w;
    if (chain.size() == among.size()) break;
    w = w->nextInFocusChain();
    if (w == first) break;
  }
  return chain;
}

}  // namespace vellora::testing

#endif  // VELLORA_TESTS_GUI_GUI_TEST_SUPPORT_H_
