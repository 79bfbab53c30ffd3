#include "pages/tab_window.h"

#include <QCoreApplication>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/compact_tabs.h"
#include "pages/project_page.h"

namespace {
const std::array<const char*, kObjectKindCount> kObjectTabCaptions = {
    "&Tables", "V&iews", "Pr&ocedures and functions", "P&ackages", "&Sequences",
    "Ro&les and privileges"};
}  // namespace

TabWindow::TabWindow(Project& project, QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("TabPanel"));
  FlatTabControl = new QTabWidget(this);
  FlatTabControl->setObjectName(QStringLiteral("FlatTabControl"));
  FlatTabControl->setTabPosition(QTabWidget::South);
  FlatTabControl->setUsesScrollButtons(false);
  MakeTabsCompact(FlatTabControl);

  projectPage_ = new ProjectPage(project);
  // Alt+P belongs to the Project menu; the tab takes its J.
  FlatTabControl->addTab(projectPage_, tr("Pro&ject"));
  for (int i = 0; i < kObjectKindCount; ++i) {
    objectPages_[i] = new QWidget;
    FlatTabControl->addTab(objectPages_[i], tr(kObjectTabCaptions[i]));
  }

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(FlatTabControl);
  connect(FlatTabControl, &QTabWidget::currentChanged, this,
          &TabWindow::FlatTabControlTabChanged);
}

void TabWindow::SetObjectPage(ObjectKind kind, QWidget* page) {
  const int k = static_cast<int>(kind);
  const int tab = k + 1;
  const bool wasCurrent = FlatTabControl->currentIndex() == tab;
  const QString caption = FlatTabControl->tabText(tab);
  const QSignalBlocker block(FlatTabControl);
  FlatTabControl->removeTab(tab);
  delete objectPages_[k];
  objectPages_[k] = page;
  FlatTabControl->insertTab(tab, page, caption);
  if (wasCurrent) FlatTabControl->setCurrentIndex(tab);
}

void TabWindow::ShowOpenedProject() {
  {
    const QSignalBlocker block(FlatTabControl);
    FlatTabControl->setCurrentIndex(0);
  }
  emit ProjectOpened();
  FlatTabControlTabChanged();
}

void TabWindow::FlatTabControlTabChanged() {
  // The page paints before a log-on dialog or a query blocks the window.
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const int tab = FlatTabControl->currentIndex();
  if (tab >= 1 && tab <= kObjectKindCount)
    emit ObjectTabSelected(static_cast<ObjectKind>(tab - 1));
}
