#pragma once
// Project > Coverage in the program: runs the coverage report with the progress dialog,
// logging on with the entries' connections as a build does, restores the status bar's
// connection text, and shows the report in the coverage window. A double click on one of its
// rows brings that object's entry to the front, or says how to add an object that is not in
// the project.

#include <QObject>

class CoverageWindow;
class Database;
class ProjectWindow;
struct CoverageObject;

class CoverageCommand : public QObject {
  Q_OBJECT
 public:
  CoverageCommand(ProjectWindow& window, Database& db);

  void MICoverageClick();
  CoverageWindow* Window() const { return coverage_; }  // null until first shown

 private:
  void ShowEntry(const CoverageObject& object);

  ProjectWindow& window_;
  Database& db_;
  CoverageWindow* coverage_ = nullptr;  // made at first use, owned by the main window
  bool running_ = false;
};
