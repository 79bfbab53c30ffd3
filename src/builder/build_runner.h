#pragma once
// The build of one document from the open project, without any dialog: what the Build
// command and vellumar-build both run once the output file and its type are chosen.
//
// It remembers the user's connection, sets the progress maximum, writes the title block,
// the contents and every section the Settings enable (each logging on with its entries'
// stored connections), saves the document and restores the user's connection. The caller
// does the rest of the command's wrap-up (the "Document is built." text, the version
// number, the "Modified" marker, showing the errors).

#include <QString>
#include <optional>

#include "modern/output_folder.h"

class Project;
class Database;
class BuildProgress;
struct Settings;

// The classic formats (Html, Text) and the modern ones: one HTML5 page (ModernHtml), a
// folder of Markdown files (Markdown) and a web site, a folder of HTML pages (Site).
enum class OutputFormat { Html, Text, ModernHtml, Markdown, Site };

// The modern formats, rendered from the document model through the templates.
bool IsModernFormat(OutputFormat format);
// The formats written as a folder (output_folder.h) rather than one file.
bool IsFolderFormat(OutputFormat format);

// The output file name: the chosen name with ".htm", ".txt" or ".html" appended, unless the
// name, compared without regard to case, already contains that extension anywhere. For
// Markdown the output is a folder: the chosen name without a final ".md", or, when the
// chosen file is a README.md, the folder it is in; for the web site likewise with ".html"
// and index.html.
QString OutputFileName(const QString& chosen, OutputFormat format);

// The modern formats never double an extension: for them, the other format whose extension
// (".htm", ".txt", ".html", ".md") the chosen name already ends in, compared without regard
// to case, so that the user can be asked which was meant. Nothing when the name ends in
// none of them, and always for the classic formats, which keep the rule of OutputFileName.
std::optional<OutputFormat> FormatOfExtension(const QString& chosen, OutputFormat format);

struct BuildResult {
  // UsersFiles: the output folder holds files of the user's that the build would replace.
  // Changes: the older snapshot of the Settings' Changes_since cannot be compared.
  enum class Failure { None, Database, Save, Template, Diagram, UsersFiles, Changes };

  Failure failure = Failure::None;
  // The file name written (or that could not be created), extension included.
  QString outputPath;
  // On failure the text to show: "ERROR: " and the database's message, or
  // "ERROR: Can't create a file <name>.". A database failure has already gone through the
  // Database's error handler; a caller that shows errors there must not show it again.
  QString error;
  // Text output: characters the code page cannot hold, written as "?". (HTML writes them
  // as numeric character references and loses none.)
  int replacedCharacters = 0;
  // The progress maximum that was set: 1 plus the entries of the enabled object kinds.
  int progressMax = 0;
  // False when logging on again with the user's connection failed afterwards (reported by
  // the Database's error handler); the connection is then closed.
  bool connectionRestored = true;

  bool ok() const { return failure == Failure::None; }
};

// Builds the document into `chosenPath` (extension appended by OutputFileName). A failure
// while the sections are written writes no file; in every case the user's connection, as
// it was when the build began, is restored (or closed, when there was none). The modern
// formats are rendered from the templates, each replaced by the one of the same name in
// the Settings' Template_dir when that holds it; a template that fails is a failure of
// kind Template (also one whose rendering grows past its bounds), a diagram that cannot be
// laid out one of kind Diagram, and nothing is written then. An output folder's files of
// the user's are replaced only when `mayReplace` allows it (see output_folder.h).
BuildResult BuildDocument(const Project& project, const Settings& settings, Database& db,
                          BuildProgress& progress, const QString& chosenPath,
                          OutputFormat format, const MayReplaceUsersFiles& mayReplace = {});
