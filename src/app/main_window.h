#pragma once
// TFRMMAIN, the main window: menus, the button bar, the status bar with the connection
// text and the "Modified" marker, and the two states of the user interface, no project
// and project open. It owns the open project, the live settings and the project commands.

#include <memory>

#include "pages/project_window.h"
#include "project/project_commands.h"

class AboutDialog;
class HelpWindow;
class HistoryMenus;
class OptionsDialog;
class Prompts;
class QAction;
class QKeySequence;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

class MainWindow : public ProjectWindow, private ProjectShell {
  Q_OBJECT
 public:
  explicit MainWindow(Prompts& prompts, QWidget* parent = nullptr);
  ~MainWindow() override;

  ProjectCommands& Commands() { return *commands_; }
  HistoryMenus& History() { return *history_; }
  const QString& ProjectFileName() const { return commands_->ProjectFileName(); }

  // No project: the tab window taken out, both status panels cleared, the project
  // commands disabled. Project open: the tab window shown on the Project tab, "Not
  // connected", the commands enabled. Either way the database is left disconnected.
  void SetProjectOpen(bool open) override;
  bool IsModified() const;
  // "<FILE> - Vellumar v.1.0" (the file marked while the project is modified), or
  // "Vellumar v.1.0" without a file.
  void UpdateCaption(const QString& fileName) override;

  // Help > Contents and the Help button.
  void ShowHelpContents();
  void ShowAbout();
  void ShowOptions();

  OptionsDialog* Options() const { return options_; }  // null until first opened
  HelpWindow* Help() const { return help_; }            // null until first shown

 signals:
  // Project > Build.
  void BuildRequested();
  // Project > Coverage.
  void CoverageRequested();
  // File > Capture dictionary.
  void CaptureRequested();
  // Every change of project state; the database connection must be closed.
  void DisconnectRequested();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  QWidget* DialogParent() override { return this; }
  void FormShow();
  void CreateMenus();
  void CreateButtonBar();
  void CreateStatusBar();
  // What an Edit item does in the focused field: its slot `slot` ("undo", "copy", ...).
  void EditInFocus(const char* slot);
  // While the Edit menu is open, its items show what the focused field can do (Cut only
  // over a selection, Undo only with something to undo); once it closes they are all
  // enabled again, so that their keys reach the field whatever it has become since.
  void ShowEditItemsForFocus();
  void EnableEditItems();
  void ShowModifiedState(bool modified);

  std::unique_ptr<HistoryMenus> history_;
  std::unique_ptr<ProjectCommands> commands_;
  OptionsDialog* options_ = nullptr;
  AboutDialog* about_ = nullptr;
  HelpWindow* help_ = nullptr;
  bool shown_ = false;
  bool projectOpen_ = false;

  QMenu* MIReopen = nullptr;
  QMenu* PopupMenu = nullptr;
  QAction* MINew = nullptr;
  QAction* MIOpen = nullptr;
  QAction* MISave = nullptr;
  QAction* MISaveAs = nullptr;
  QAction* MIClose = nullptr;
  QAction* MICapture = nullptr;
  QAction* MIExit = nullptr;
  QAction* MIUndo = nullptr;
  QAction* MIRedo = nullptr;
  QAction* MICut = nullptr;
  QAction* MICopy = nullptr;
  QAction* MIPaste = nullptr;
  QAction* MISelectAll = nullptr;
  QAction* MIToolbar = nullptr;
  QAction* MIBuildproject = nullptr;
  QAction* MICoverage = nullptr;
  QAction* MIOptions = nullptr;
  QAction* MIContents = nullptr;
  QAction* MIAbout = nullptr;
  QToolBar* ToolBar2 = nullptr;
  QToolButton* ToolButton8 = nullptr;   // Save
  QToolButton* ToolButton10 = nullptr;  // Login
  QLabel* statusPanel1_ = nullptr;
};
