#include "pages/object_tabs.h"

#include "db/database.h"
#include "db/login_dialog.h"
#include "pages/initial_description.h"
#include "pages/object_page.h"
#include "pages/project_window.h"
#include "pages/tab_window.h"
#include "settings/settings.h"

ObjectTabs::ObjectTabs(ProjectWindow& window, Database& db)
    : QObject(&window), window_(window), db_(db) {
  login_ = new LoginDialog(db_, window_.UserPrompts(), &window_);
  for (ObjectKind kind : kAllObjectKinds) {
    const Settings& settings = window_.LiveSettings();
    auto* page = new ObjectPage(window_.CurrentProject(), db_, window_.UserPrompts(), kind,
                                [&db, &settings, kind](const QString& name) {
                                  return InitialDescription(db, settings, kind, name);
                                });
    pages_[static_cast<int>(kind)] = page;
    window_.Tabs().SetObjectPage(kind, page);
  }
  connect(&window_, &ProjectWindow::LoginRequested, this, &ObjectTabs::ToolButton10Click);
  connect(&window_.Tabs(), &TabWindow::ObjectTabSelected, this,
          &ObjectTabs::EnterObjectTab);
  connect(&window_.Tabs(), &TabWindow::ProjectOpened, this, [this] {
    for (ObjectPage* page : pages_) page->SwitchDescriptionOff();
  });
}

bool ObjectTabs::ShowLogin() {
  // Snapshots are looked for in the project directory in force, then among the samples.
  db_.SetSnapshotDirectories({window_.LiveSettings().Project_dir, SampleDictionaryDirectory()});
  db_.SetCallTimeout(window_.LiveSettings().Call_timeout);
  login_->SetHistoryFile(window_.LiveSettings().DBLog_history);
  login_->adjustSize();
  window_.CenterOver(login_);
  if (login_->exec() != QDialog::Accepted) {
    // Every log-on drops the connection first: after one that failed there is none.
    if (!db_.Connected()) window_.SetConnectionStatus(QString());
    return false;
  }
  window_.SetConnectionStatus(db_.UserName() + QStringLiteral("@") + db_.ServerName());
  return true;
}

void ObjectTabs::ToolButton10Click() {
  ShowLogin();
  window_.Tabs().FlatTabControlTabChanged();
}

void ObjectTabs::EnterObjectTab(ObjectKind kind) {
  if (!db_.Connected()) ShowLogin();
  ObjectPage* page = Page(kind);
  page->FillAvailableList();
  page->UpdatePageButtons();
}
