#pragma once
// Project > Build in the program: asks for the output file (and whether to replace it, when
// the file with its extension exists), runs the build with a progress dialog, restores the
// status bar's connection text, then asks for the new version number and marks the project
// modified. The progress dialog then names the file (or folder) written and offers to open
// it.
//
// The modern types never double an extension: a name that ends in another type's
// extension ("v.htm" as a web page) asks which type was meant.
//
// Files of the user's in a Markdown or site folder are replaced only when the user, asked
// with their names, agrees.
//
// A web page of a large project is one file a browser needs long to open: for a project of
// more than kSiteAdvice objects the command says so and offers the web site instead.
//
// A build that fails (a log-on or query while its sections are written, or the save) says
// "Build failed." in its progress dialog, which can then be closed; the error is shown once
// (a database error by the Database's error handler), and no version is asked.

#include <QObject>
#include <QString>

#include "builder/build_runner.h"

class Database;
class NewVersionDialog;
class ProjectWindow;
class Prompts;

// The status bar's connection text after a build or report that logged on with the entries'
// connections: the user's again when it was restored, "Not connected" when none is left.
void ShowConnectionAfterBuild(ProjectWindow& window, const Database& db, bool wasConnected,
                              bool restored);

// Past this many entries a web page takes seconds to open; its page per object keeps a web
// site's pages small however many there are.
inline constexpr int kSiteAdvice = 2000;

class BuildCommand : public QObject {
  Q_OBJECT
 public:
  BuildCommand(ProjectWindow& window, Database& db, Prompts& prompts);

  void MIBuildprojectClick();

  // The save dialog's filters, HTML first; the second chooses text output, the others the
  // modern formats (a Markdown document and a web site are folders: see OutputFileName).
  static const QString kHtmlFilter;
  static const QString kTextFilter;
  static const QString kModernFilter;
  static const QString kMarkdownFilter;
  static const QString kSiteFilter;

 private:
  // True when `output` may be written: it does not exist, or the user agrees to replace it
  // (for a folder: the files Vellumar wrote there).
  bool MayWrite(const QString& output, OutputFormat format);

  ProjectWindow& window_;
  Database& db_;
  Prompts& prompts_;
  // The file type the save dialog opens with: the one chosen at the previous build.
  QString selectedFilter_;
  NewVersionDialog* version_ = nullptr;  // made at first use, owned by the main window
  bool running_ = false;
};
