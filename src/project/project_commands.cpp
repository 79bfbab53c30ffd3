#include "project/project_commands.h"

#include "app/prompts.h"
#include "project/file_times.h"
#include "project/history_menus.h"
#include "project/project.h"
#include "project/project_file.h"
#include "project/project_name.h"
#include "settings/settings.h"
#include "text/file_replacement.h"

ProjectCommands::ProjectCommands(Project& project, const Settings& settings, Prompts& prompts,
                                 HistoryMenus& history, ProjectShell& shell)
    : project_(project), settings_(settings), prompts_(prompts), history_(history), shell_(shell) {}

bool ProjectCommands::AskSaveChanges() {
  if (!project_.IsModified()) return true;
  switch (prompts_.AskSaveChanges(shell_.DialogParent(), QStringLiteral("Save changes?"))) {
    case SaveAnswer::Save: return SaveProject();
    case SaveAnswer::DontSave: return true;
    case SaveAnswer::Cancel: return false;
  }
  return false;
}

std::optional<QString> ProjectCommands::ChooseProjectFile(const QString& title,
                                                          const QString& fileName) {
  QString start = fileName;
  for (;;) {
    const auto path = prompts_.SaveFileName(
        shell_.DialogParent(), RequestIn(settings_.Project_dir, title, start, kProjectFileFilter));
    if (!path) return std::nullopt;
    if (prompts_.MayReplace(shell_.DialogParent(), ProjectFileNameFor(*path))) return path;
    start = *path;
  }
}

void ProjectCommands::NewProject() {
  if (!AskSaveChanges()) return;
  const auto path = ChooseProjectFile(QStringLiteral("New Project"), QString());
  if (!path) return;
  fileName_ = ProjectFileNameFor(*path);
  project_.ClearProject();
  project_.SetName(ProjectNameFor(*path));
  project_.SetVersion(QStringLiteral("1.0"));
  QString error;
  if (!WriteProject(project_, fileName_, &error)) {
    prompts_.Error(shell_.DialogParent(), error);
    EnterNoProject();
    return;
  }
  shell_.SetProjectOpen(true);
  shell_.UpdateCaption(fileName_);
  history_.AddToHistory(fileName_);
}

void ProjectCommands::OpenProject() {
  if (!AskSaveChanges()) return;
  const auto path = prompts_.OpenFileName(
      shell_.DialogParent(),
      RequestIn(settings_.Project_dir, QStringLiteral("Open Project"), QString(),
                kProjectFileFilter));
  if (path) OpenProjectFile(*path);
}

void ProjectCommands::OpenProjectFile(const QString& path) {
  fileName_ = path;
  // Recorded before it is read, so a file that fails to read is in the history too.
  history_.AddToHistory(fileName_);
  ReadOpenedFile();
}

void ProjectCommands::ReopenProject(const QString& path) {
  if (!AskSaveChanges()) return;
  fileName_ = path;
  ReadOpenedFile();
}

bool ProjectCommands::SaveProject() {
  QString error;
  if (WriteProject(project_, fileName_, &error)) return true;
  prompts_.Error(shell_.DialogParent(), error);
  return false;
}

void ProjectCommands::SaveProjectAs() {
  const auto path = ChooseProjectFile(QStringLiteral("Save as"), fileName_);
  if (!path) return;
  const QString newFile = ProjectFileNameFor(*path);
  const QString oldName = project_.Info().Name;
  project_.SetName(ProjectNameFor(*path));
  QString error;
  if (!WriteProject(project_, newFile, &error)) {
    // The project stays open, unsaved changes and all, under the file it came from.
    project_.SetName(oldName);
    prompts_.Error(shell_.DialogParent(), error);
    return;
  }
  fileName_ = newFile;
  shell_.SetProjectOpen(true);
  shell_.UpdateCaption(fileName_);
  history_.AddToHistory(fileName_);
}

void ProjectCommands::CloseProject() {
  if (!AskSaveChanges()) return;
  EnterNoProject();
}

void ProjectCommands::ReadOpenedFile() {
  // A save that was interrupted left its complete copy beside the file, which may be half
  // written: the user chooses which to open. The copy opened is the project as it was meant
  // to be saved, so it is marked modified until a save puts it in place.
  const auto copy = FileReplacement::InterruptedCopy(fileName_);
  const bool fromCopy =
      copy && prompts_.Question(shell_.DialogParent(),
                                QStringLiteral("The last save of %1 was interrupted; its "
                                               "complete copy is %2.\nOpen the copy?")
                                    .arg(fileName_, *copy));
  // The file is read whole into a new model before it replaces the open project, so a
  // failed read leaves nothing half-read that a later Save could write over the file.
  QString error;
  if (!ReadProject(project_, fromCopy ? *copy : fileName_, &error)) {
    prompts_.Error(shell_.DialogParent(), error);
    EnterNoProject();
    return;
  }
  if (fromCopy) {
    ShowFileTimes(project_, fileName_);
    project_.SetModified(true);
  }
  shell_.SetProjectOpen(true);
  shell_.UpdateCaption(fileName_);
}

void ProjectCommands::EnterNoProject() {
  shell_.SetProjectOpen(false);
  shell_.UpdateCaption(QString());
}
