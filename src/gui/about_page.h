// The tab page "About": the product name, the version and the web address.

#ifndef VELLORA_GUI_ABOUT_PAGE_H_
#define VELLORA_GUI_ABOUT_PAGE_H_

#include <QWidget>

class QLabel;

namespace vellora {

inline constexpr const char kProductWebAddress[] = "www.vellora-brindo.example";

class AboutPage : public QWidget {
  Q_OBJECT

 public:
  explicit AboutPage(QWidget* parent = nullptr);

  QLabel* vercaption;
};

}  // namespace vellora

#endif  // VELLORA_GUI_ABOUT_PAGE_H_
