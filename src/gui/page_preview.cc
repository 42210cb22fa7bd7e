#include "gui/page_preview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vellora {
namespace {

// A text browser that loads nothing: no file beside the page and no address
// of the net, so showing a page reads and fetches nothing.
class InertBrowser : public QTextBrowser {
 public:
  using QTextBrowser::QTextBrowser;
  QVariant loadResource(int, const QUrl&) override { return QVariant(); }
};

}  // namespace

PagePreview::PagePreview(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("pagepreview"));
  setWindowTitle(QStringLiteral("Page preview"));
  setModal(false);
  resize(760, 560);

  pagename = new QLabel(this);
  pagename->setObjectName(QStringLiteral("previewname"));
  pagename->setTextFormat(Qt::PlainText);
  pagename->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* browser = new InertBrowser(this);
  browser->setOpenLinks(false);
  browser->setOpenExternalLinks(false);
  rendered = browser;
  rendered->setObjectName(QStringLiteral("previewpage"));
  source = new QPlainTextEdit(this);
  source->setObjectName(QStringLiteral("previewsource"));
  source->setReadOnly(true);
  source->setLineWrapMode(QPlainTextEdit::NoWrap);
  views = new QTabWidget(this);
  views->addTab(rendered, QStringLiteral("Page"));
  views->addTab(source, QStringLiteral("HTML"));

  indexbutton = new QPushButton(QStringLiteral("Index page"), this);
  indexbutton->setObjectName(QStringLiteral("previewindex"));
  closebutton = new QPushButton(QStringLiteral("Close"), this);
  closebutton->setObjectName(QStringLiteral("previewclose"));
  connect(indexbutton, &QPushButton::clicked, this, &PagePreview::indexRequested);
  connect(closebutton, &QPushButton::clicked, this, &QDialog::close);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(pagename, 1);
  buttons->addWidget(indexbutton);
  buttons->addWidget(closebutton);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(buttons);
  layout->addWidget(views, 1);
}

void PagePreview::ShowPage(const QString& name, int row, const QString& html) {
  name_ = name;
  row_ = row;
  pagename->setText(row < 0 ? name + QStringLiteral("  (index page)") : name);
  setWindowTitle(QStringLiteral("Page preview - ") + name);
  html_ = html;
  rendered->setHtml(html);
  QString lines = html;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  source->setPlainText(lines);
}

}  // namespace vellora
