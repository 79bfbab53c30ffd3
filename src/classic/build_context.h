#pragma once
// What every section writer of one build works with, and the progress it reports.

#include <QString>
#include <functional>

#include "classic/document.h"
#include "project/project.h"

class Database;
struct Settings;

// The build reports progress through this; the progress dialog and vellumar-build
// implement it. StepProgress also lets the dialog repaint (once per object).
class BuildProgress {
 public:
  virtual ~BuildProgress() = default;
  virtual void SetInfoText(const QString& text) = 0;
  virtual void StepProgress(int n) = 0;
  virtual void SetProgress(int n) = 0;
  virtual void SetProgressMax(int n) = 0;
};

struct BuildContext {
  Document& doc;
  const Project& project;
  const Settings& settings;  // read when a value is needed (the Content flag, the tags)
  Database& db;
  BuildProgress& progress;
  bool HtmlOutput;

  bool ContentOn() const;  // the Content document part
};

// The patterns every section follows. `n` is the section number, `title` the literal with
// its leading blank (" Tables"); `tablesAnchor` writes the anchor as "<A NAME = " (the
// Tables section), `contentsClose` is "</A></B><BR>" or "</A></B></P>".
void WriteSectionHeading(BuildContext& ctx, int n, const QString& title, bool tablesAnchor,
                         const QString& contentsClose);
// The object heading of entry m: body heading n.m + " " + name (escaped for HTML), its
// contents entry, and the empty line of text output.
void WriteObjectHeading(BuildContext& ctx, int n, int m, const QString& name);
// "</P>" into the contents (HTML with Content on), closing a section's contents group.
void CloseContentsGroup(BuildContext& ctx);
// "<HR>" in HTML, an empty line in text.
void WriteSectionEnd(BuildContext& ctx);
// A block title: "<H5>", the title, "</H5>" in HTML; the title and an empty line in text.
void WriteBlockTitle(BuildContext& ctx, const QString& title);
// A titled block holding one piece of text (a synonym, a description): in HTML the text
// escaped between "<P>" and "</P>", in text the text and an empty line. Line breaks stay.
void WriteTextBlock(BuildContext& ctx, const QString& title, const QString& text);
// The heading of most object entries: the object's name.
QString ObjectNameOf(const ObjectEntry& entry);
// The frame every section with per-object entries shares: the section heading, then for
// each entry of the kind, in the order of addition, the progress text (`building` + the
// name), one step of the bar, the object heading of headingOf(entry), the logon when the
// entry's connection differs from the previous entry's, and writeEntry(n, m, entry), the
// entry named (NamedEntry); then the contents group closed, the section end and the next
// section number. The header pass (Document::headerPass) writes the headings alone: the
// contents need nothing else, and no connection.
void WriteObjectSection(
    BuildContext& ctx, int& SectionNumber, ObjectKind kind, const QString& title,
    bool tablesAnchor, const QString& building,
    const std::function<QString(const ObjectEntry& entry)>& headingOf,
    const std::function<void(int n, int m, const ObjectEntry& entry)>& writeEntry);
// True when the text holds nothing but blanks and control characters.
bool IsBlankText(const QString& text);
// While an entry is built, every database error names it on a line after the database's
// message: its kind, DATABASE.NAME and USER@DATABASE ("Entry: Tables DEMO.EMP, connection
// HR@DEMO"), since a failed log-on or query does not say which entry it belongs to. The
// entry must outlive it.
class NamedEntry {
 public:
  NamedEntry(Database& db, ObjectKind kind, const ObjectEntry& entry);
  ~NamedEntry();
  NamedEntry(const NamedEntry&) = delete;
  NamedEntry& operator=(const NamedEntry&) = delete;

 private:
  Database& db_;
};
// The logon of an entry when its connection differs (exactly) from the remembered one.
struct RememberedLogon {
  Connection connection;
  void LogonIfChanged(Database& db, const Connection& entryConnection);
};

// The user's connection as it was when a build or report began; restored when it ends,
// however it ends.
class UserConnection {
 public:
  explicit UserConnection(Database& db);
  // Logs on again (or disconnects, when there was no connection). False when logging on
  // failed (the Database has reported why).
  bool Restore();

 private:
  Database& db_;
  bool connected_;
  QString server_, user_, password_;
};

// The progress maximum of a build: 1 plus the entries of the object kinds the Settings'
// document parts enable.
int ProgressMaximum(const Project& project, const Settings& settings);
