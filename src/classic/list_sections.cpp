#include "classic/list_sections.h"

#include "classic/html.h"
#include "project/project.h"

namespace {

// Writes the section; returns whether it had entries (and so wrote the table).
bool WriteListSection(BuildContext& ctx, int n, ObjectKind kind, const QString& title,
                      const QString& buildingText) {
  const bool html = ctx.HtmlOutput;
  QStringList& body = ctx.doc.TempMemo;
  WriteSectionHeading(ctx, n, title, false, QStringLiteral("</A></B></P>"));
  if (!html) body.append(QString());

  const QString description = ctx.project.SectionDescription(kind);
  if (!IsBlankText(description)) {
    if (html) body.append(QStringLiteral("<P>"));
    body.append(ParagraphText(description, html));
    if (html) body.append(QStringLiteral("</P>"));
  }

  const QList<ObjectEntry>& entries = ctx.project.Entries(kind);
  if (entries.isEmpty()) return false;
  // The table is body alone, which the header pass drops: its rows are not made there.
  if (ctx.doc.headerPass) return true;
  if (!html) body.append(QString());
  Grid& grid = ctx.doc.TempGrid;
  AddGridValue(grid, QStringLiteral("Name"), 1);
  AddGridValue(grid, QStringLiteral("Description"), 2);
  // The cells show the entries' own text rather than copies of it, as a large project holds
  // thousands of sequences: the project does not change during a build, and the table is
  // written and the grid emptied before this returns.
  const auto shown = [](QStringView text) { return QString::fromRawData(text.data(), text.size()); };
  for (const ObjectEntry& entry : entries) {
    ctx.progress.SetInfoText(buildingText + entry.ObjectName().toString());
    ctx.progress.StepProgress(1);
    AddGridValue(grid, shown(entry.ObjectName()), 1);
    AddGridValue(grid, shown(entry.Description()), 2);
  }
  WriteGridTable(grid, ctx.doc, html ? QList<int>{300, 0} : QList<int>{30, 30}, html);
  return true;
}

}  // namespace

void WriteSequencesSection(BuildContext& ctx, int& SectionNumber) {
  WriteListSection(ctx, SectionNumber, ObjectKind::Sequences, QStringLiteral(" Sequences"),
                   QStringLiteral("Building sequence: \r\n"));
  WriteSectionEnd(ctx);
  ++SectionNumber;
}

// A roles section without entries ends with its text (or its heading): it is the last
// section of the document.
void WriteRolesSection(BuildContext& ctx, int& SectionNumber) {
  if (WriteListSection(ctx, SectionNumber, ObjectKind::Roles,
                       QStringLiteral(" Roles and privileges"),
                       QStringLiteral("Building role: \r\n"))) {
    WriteSectionEnd(ctx);
  }
  ++SectionNumber;
}
