#include "builder/coverage_command.h"

#include <QCoreApplication>
#include <QScopedValueRollback>
#include <QTabWidget>

#include "app/prompts.h"
#include "builder/build_command.h"
#include "builder/progress_dialog.h"
#include "coverage/coverage.h"
#include "coverage/coverage_window.h"
#include "db/database.h"
#include "pages/object_page.h"
#include "pages/project_window.h"
#include "pages/tab_window.h"
#include "project/project.h"
#include "settings/settings.h"

CoverageCommand::CoverageCommand(ProjectWindow& window, Database& db)
    : QObject(&window), window_(window), db_(db) {}

void CoverageCommand::MICoverageClick() {
  if (running_) return;
  const QScopedValueRollback<bool> running(running_, true);
  const Settings& settings = window_.LiveSettings();
  const bool wasConnected = db_.Connected();
  auto* progress = new ProgressDialog(&window_);
  progress->setWindowTitle(tr("Coverage"));
  window_.CenterOver(progress);
  QCoreApplication::processEvents();

  db_.SetSnapshotDirectories({settings.Project_dir, SampleDictionaryDirectory()});
  db_.SetCallTimeout(settings.Call_timeout);
  const CoverageRun run = RunCoverage(window_.CurrentProject(), settings, db_, *progress);
  ShowConnectionAfterBuild(window_, db_, wasConnected, run.connectionRestored);
  if (!run.ok()) {
    progress->Finish(tr("Coverage failed."), false);
    return;
  }
  progress->Finish(tr("Coverage is measured."), true);
  progress->close();

  if (!coverage_) {
    coverage_ = new CoverageWindow(&window_);
    connect(coverage_, &CoverageWindow::ObjectActivated, this, &CoverageCommand::ShowEntry);
  }
  coverage_->ShowReport(run.report);
  if (!coverage_->isVisible()) {
    // Centred over the main window, but never beyond the screen's edges; at the size the
    // report's rows make it, not the smaller one it had before it was filled.
    coverage_->resize(coverage_->sizeHint());  // adjustSize would stop at 2/3 of the screen
    window_.PlaceOnScreen(coverage_);
  }
  coverage_->show();
  coverage_->raise();
  coverage_->activateWindow();
}

void CoverageCommand::ShowEntry(const CoverageObject& object) {
  // A project closed since the report has no pages to show.
  if (!window_.Tabs().isVisible()) return;
  const ObjectKind kind = EntryKind(object.kind);
  const int tab = static_cast<int>(kind) + 1;
  const int entry = ProjectEntry(window_.CurrentProject(), object);
  if (entry < 0) {
    window_.UserPrompts().Information(
        coverage_, tr("%1 is not in the project. To add it, log on as %2 to %3, select it on "
                      "the %4 tab and press Add.")
                       .arg(object.FullName(), object.key.owner, object.key.database,
                            window_.Tabs().TabControl()->tabText(tab).remove(u'&')));
    return;
  }
  window_.raise();
  window_.activateWindow();
  // As a click on the tab: it logs on when there is no connection.
  window_.Tabs().TabControl()->setCurrentIndex(tab);
  static_cast<ObjectPage*>(window_.Tabs().ObjectPage(kind))->ShowEntry(entry);
}
