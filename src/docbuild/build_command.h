#pragma once
// Project > Build in the program: asks for the output file, runs the build with a progress
// dialog, restores the status bar's connection text, then asks for the new version number
// and marks the project modified.
//
// A build that fails while its sections are written has had its error shown by the
// Database's error handler: it writes no file, asks nothing, and leaves its progress
// dialog saying so and closable.

#include <QObject>
#include <QString>

class Database;
class MainWindow;
class NewVersionDialog;
class Prompts;

class BuildCommand : public QObject {
  Q_OBJECT
 public:
  BuildCommand(MainWindow& window, Database& db, Prompts& prompts);

  void MIBuildprojectClick();

  // The save dialog's filters, HTML first; the second chooses text output, the other two
  // the modern formats (a Markdown document is a folder: see OutputFileName).
  static const QString kHtmlFilter;
  static const QString kTextFilter;
  static const QString kModernFilter;
  static const QString kMarkdownFilter;

 private:
  MainWindow& window_;
  Database& db_;
  Prompts& prompts_;
  // The file type the save dialog opens with: the one chosen at the previous build.
  QString selectedFilter_;
  NewVersionDialog* version_ = nullptr;  // made at first use, owned by the main window
  bool running_ = false;
};
