#pragma once
// The main window as the parts plugged into it see it: the open project, the live settings,
// the prompts, the tab window that shows the project, and the status bar's connection text
// and "Modified" marker. The object tabs and the Build and Coverage commands work through
// it, so none of them depends on the main window (app/main_window.h), which implements it
// and is handed to them when the program is put together.

#include <QMainWindow>

class Project;
class Prompts;
class TabWindow;
struct Settings;

class ProjectWindow : public QMainWindow {
  Q_OBJECT
 public:
  using QMainWindow::QMainWindow;

  virtual Project& CurrentProject() = 0;
  virtual Settings& LiveSettings() = 0;
  virtual Prompts& UserPrompts() = 0;
  virtual TabWindow& Tabs() = 0;
  // Panel 0 of the status bar: the connection ("Not connected" when empty).
  virtual void SetConnectionStatus(const QString& text) = 0;
  // Panel 1: "Modified" or empty.
  virtual void SetModifiedMarker(const QString& text) = 0;
  // Places a dialog centred over the window.
  virtual void CenterOver(QWidget* dialog) const = 0;

 signals:
  // The Login button (its dialog belongs to the log-on part of the program).
  void LoginRequested();
};
