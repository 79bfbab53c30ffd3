#pragma once
// TFRMTAB: the tab control that shows the open project, tabs at the bottom: the Project page,
// then one page per object kind in ObjectKind order.
//
// The object pages are plugged in with SetObjectPage; until then a tab shows an empty page.
// What a tab change does for an object kind (log-on, filling the available list, the page's
// buttons) is done by whoever listens to ObjectTabSelected.

#include <QWidget>
#include <array>

#include "project/project.h"

class ProjectPage;
class QTabWidget;

class TabWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TabWindow(Project& project, QWidget* parent = nullptr);

  QTabWidget* TabControl() const { return FlatTabControl; }
  ProjectPage* GeneralPage() const { return projectPage_; }

  // Puts `page` (which the tab window then owns) in the kind's tab, replacing what was there.
  void SetObjectPage(ObjectKind kind, QWidget* page);
  QWidget* ObjectPage(ObjectKind kind) const { return objectPages_[static_cast<int>(kind)]; }

  // The project-open state: the Project tab selected, ProjectOpened announced (object pages
  // switch their description boxes off), then the tab-changed handler.
  void ShowOpenedProject();

  // The tab-changed handler: lets the new page paint, then announces an object tab.
  void FlatTabControlTabChanged();

 signals:
  void ProjectOpened();
  void ObjectTabSelected(ObjectKind kind);

 private:
  QTabWidget* FlatTabControl;
  ProjectPage* projectPage_;
  std::array<QWidget*, kObjectKindCount> objectPages_{};
};
