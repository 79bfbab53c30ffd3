#include "app/help_window.h"

#include <QAction>
#include <QFile>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include "settings/data_directory.h"

namespace {
QUrl Contents() { return QUrl::fromLocalFile(HelpDirectory() + QStringLiteral("/index.html")); }
}

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowTitle(tr("Vellumar Help"));
  resize(720, 560);

  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("HelpBrowser"));
  browser_->setOpenExternalLinks(true);
  QFile css(HelpDirectory() + QStringLiteral("/help.css"));
  if (css.open(QIODevice::ReadOnly))
    browser_->document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));

  auto* bar = new QToolBar(this);
  QAction* contents = bar->addAction(tr("&Contents"));
  QAction* back = bar->addAction(tr("&Back"));
  QAction* forward = bar->addAction(tr("&Forward"));
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(contents, &QAction::triggered, this, [this] { browser_->setSource(Contents()); });
  connect(back, &QAction::triggered, browser_, &QTextBrowser::backward);
  connect(forward, &QAction::triggered, browser_, &QTextBrowser::forward);
  connect(browser_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::sourceChanged, this,
          [this] { setWindowTitle(tr("Vellumar Help - %1").arg(browser_->documentTitle())); });

  auto* escape = new QAction(this);
  escape->setShortcut(Qt::Key_Escape);
  connect(escape, &QAction::triggered, this, &QWidget::close);
  addAction(escape);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(browser_);
}

void HelpWindow::ShowContents() {
  browser_->setSource(Contents());
  if (browser_->document()->isEmpty())
    browser_->setPlainText(tr("The help pages are missing from %1.").arg(HelpDirectory()));
  show();
  raise();
  activateWindow();
}
