#pragma once
// The main window as the parts plugged into it see it: the open project, the live settings,
// the prompts, the tab window that shows the project, and the status bar's connection text
// and "Modified" marker. The object tabs and the Build and Coverage commands work through
// it, so none of them depends on the main window (app/main_window.h), which is made from it
// and adds its menus, its button bar and its dialogs.

#include <QMainWindow>
#include <QString>

#include "project/project.h"
#include "settings/settings.h"

class Prompts;
class QLabel;
class TabWindow;

// The text of the status bar's "Modified" marker.
inline const QString kModifiedMarker = QStringLiteral("Modified");

class ProjectWindow : public QMainWindow {
  Q_OBJECT
 public:
  explicit ProjectWindow(Prompts& prompts, QWidget* parent = nullptr);

  Project& CurrentProject() { return project_; }
  Settings& LiveSettings() { return settings_; }
  Prompts& UserPrompts() { return prompts_; }
  TabWindow& Tabs() { return *tabWindow_; }

  // Panel 0: the text in upper case ("Not connected" when empty), as wide as it needs + 6.
  void SetConnectionStatus(const QString& text);
  // Panel 1: "Modified" or empty; it follows the project's modified state.
  void SetModifiedMarker(const QString& text);
  // Places a dialog centred over this window.
  void CenterOver(QWidget* dialog) const;
  // A window of its own (coverage, help) at its size as far as the screen holds it, centred
  // over this one but never beyond the screen's edges.
  void PlaceOnScreen(QWidget* window) const;

 signals:
  // The Login button (its dialog belongs to the log-on part of the program).
  void LoginRequested();

 protected:
  Prompts& prompts_;
  Project project_;
  Settings settings_;
  TabWindow* tabWindow_ = nullptr;  // made by the main window
  QLabel* statusPanel0_ = nullptr;  // made by the main window
};
