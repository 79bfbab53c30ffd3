#pragma once
// What the document builder tests share: a project, settings, a connection and a progress
// that records what the build reports.

#include <QList>
#include <QStringList>
#include <ostream>

#include "classic/build_context.h"
#include "db/database.h"
#include "project/project.h"
#include "settings/settings.h"

// Readable failures: strings as text, not as arrays of code units.
inline void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

class RecordingProgress : public BuildProgress {
 public:
  void SetInfoText(const QString& text) override { infoTexts.append(text); }
  void StepProgress(int n) override { position += n; }
  void SetProgress(int n) override { position = n; }
  void SetProgressMax(int n) override { maximum = n; }

  QStringList infoTexts;
  int position = 0;
  int maximum = 0;
};

struct BuildFixture {
  Project project;
  Settings settings;
  Database db;
  RecordingProgress progress;
  Document doc;

  BuildContext Context(bool html) { return {doc, project, settings, db, progress, html}; }
  void SetInfo(const QString& name, const QString& version, const QString& general) {
    project.SetName(name);
    project.SetVersion(version);
    project.SetGeneral(general);
    project.SetFileTimes("1.2.2024 10:00:00", "3.4.2024 11:30:00");
  }
};

// An HTML table as the table writer puts it into the body: the first row is the header,
// `widths` gives each column's width, and each row is one piece, its lines joined by CR LF.
inline QStringList HtmlTable(const QList<int>& widths, const QList<QStringList>& rows) {
  QStringList out = {"<TABLE BORDER=0>"};
  for (int r = 0; r < rows.size(); ++r) {
    QString row = "<TR>";
    for (int c = 0; c < rows[r].size(); ++c) {
      const QString w = QString::number(widths[c]);
      row += r == 0 ? "\r\n<TD width=" + w + " VALIGN=TOP bgcolor=\"#CCCCCC\"><B>" +
                          rows[r][c] + "</B></TD>"
                    : "\r\n<TD width=" + w + " VALIGN=TOP>" + rows[r][c] + "</TD>";
    }
    out.append(row + "\r\n</TR>");
  }
  out.append("</TABLE>");
  return out;
}
