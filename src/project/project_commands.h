#pragma once
// The File menu's project commands: New, Open, Reopen, Save, Save As, Close, and the
// question that New, Open, Reopen, Close and Exit ask first.
//
// No command loses work: the question offers Cancel (Escape and the box's close button
// mean it), which stops the asking command; when the user wants the changes saved and the
// save fails, the asking command stops too, with the project open and marked; a Save As
// that cannot write keeps the project open under its old file; a file that cannot be read
// replaces nothing; a file whose last save was interrupted is opened as it is or from the
// complete copy that save left beside it, as the user chooses; New and Save As replace an
// existing file (the one they write, ".vlm" appended) only when the user says so.

#include <QString>
#include <optional>

class HistoryMenus;
class Project;
class Prompts;
class QWidget;
struct Settings;

// What the commands change in the main window.
class ProjectShell {
 public:
  virtual ~ProjectShell() = default;
  virtual void SetProjectOpen(bool open) = 0;
  virtual void UpdateCaption(const QString& fileName) = 0;
  virtual QWidget* DialogParent() = 0;
};

// The filter of every project file dialog.
inline const QString kProjectFileFilter = QStringLiteral("Vellumar Project (*.vlm)");

class ProjectCommands {
 public:
  ProjectCommands(Project& project, const Settings& settings, Prompts& prompts,
                  HistoryMenus& history, ProjectShell& shell);

  // The file that Save writes; kept after Close.
  const QString& ProjectFileName() const { return fileName_; }

  // Asks "Save changes?" when the project is modified: Save saves, Don't Save goes on with
  // the changes unsaved. False after Cancel, or when the save was wanted and failed: the
  // caller must stop.
  bool AskSaveChanges();

  void NewProject();
  void OpenProject();
  // Open's work once the file is chosen (also the project named when the program starts):
  // records the path in the history and reads the file.
  void OpenProjectFile(const QString& path);
  void ReopenProject(const QString& path);
  // Writes ProjectFileName; an error is shown. True when written.
  bool SaveProject();
  void SaveProjectAs();
  void CloseProject();

 private:
  // The project file a save dialog of `title` names, starting at `fileName`: a file that
  // exists and is not to be replaced brings the dialog back, as No in a dialog's own
  // question would; nullopt when it is cancelled.
  std::optional<QString> ChooseProjectFile(const QString& title, const QString& fileName);
  void ReadOpenedFile();
  void EnterNoProject();

  Project& project_;
  const Settings& settings_;
  Prompts& prompts_;
  HistoryMenus& history_;
  ProjectShell& shell_;
  QString fileName_;
};
