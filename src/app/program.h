#pragma once
// The program as one object: the prompts, the data module (the database connection), the
// main window and what the other parts plug into it. main() runs it; the start-up
// benchmark and the screenshot tool build the same.

#include <memory>

class Database;
class MainWindow;
class ObjectTabs;
class Prompts;
class QApplication;

// Sets the application title "VLM" and the program's icon.
void SetUpApplication(QApplication& app);

class Program {
 public:
  // With no prompts the program asks the user through Qt's dialogs.
  explicit Program(Prompts* prompts = nullptr);
  ~Program();

  MainWindow& Window() { return *window_; }
  Database& Data() { return *database_; }
  // The six object tabs and the login dialog.
  ObjectTabs& Objects() { return *objectTabs_; }

 private:
  std::unique_ptr<Prompts> ownPrompts_;
  std::unique_ptr<Database> database_;
  std::unique_ptr<MainWindow> window_;
  ObjectTabs* objectTabs_ = nullptr;  // owned by the window
};
