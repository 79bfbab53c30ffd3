#pragma once
// The six object tabs of the main window and the log-on they depend on. The Login button
// and every change to an object tab without a connection show the login dialog; a tab
// change then refills the tab's available list from the dictionary and sets its buttons.

#include <QObject>
#include <array>

#include "project/project.h"

class Database;
class LoginDialog;
class ObjectPage;
class ProjectWindow;

class ObjectTabs : public QObject {
  Q_OBJECT
 public:
  ObjectTabs(ProjectWindow& window, Database& db);

  ObjectPage* Page(ObjectKind kind) const { return pages_[static_cast<int>(kind)]; }
  LoginDialog* Login() const { return login_; }

  // The login dialog, centred over the main window, with the connection history file of
  // the settings; after OK the status bar names the connection, after a log-on that failed
  // it says "Not connected". True after OK.
  bool ShowLogin();

 private:
  void ToolButton10Click();
  void EnterObjectTab(ObjectKind kind);

  ProjectWindow& window_;
  Database& db_;
  LoginDialog* login_;
  std::array<ObjectPage*, kObjectKindCount> pages_{};
};
