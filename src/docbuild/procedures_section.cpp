#include "docbuild/procedures_section.h"

#include "db/database.h"
#include "docbuild/comment_tags.h"
#include "docbuild/dictionary_source.h"
#include "project/project.h"

UnitName UnitName::Of(const QString& objectName) {
  const qsizetype open = objectName.indexOf(u'(');
  if (open < 0) return {objectName, QString()};
  const qsizetype close = objectName.indexOf(u')', open + 1);
  const qsizetype typeEnd = close < 0 ? objectName.size() : close;
  return {objectName.left(open), objectName.mid(open + 1, typeEnd - open - 1)};
}

void WriteProceduresSection(BuildContext& ctx, int& SectionNumber) {
  const int n = SectionNumber;
  WriteSectionHeading(ctx, n, QStringLiteral(" Procedures and functions"), false,
                      QStringLiteral("</A></B><BR>"));
  if (!ctx.HtmlOutput) ctx.doc.TempMemo.append(QString());

  RememberedLogon logon;
  const QList<ObjectEntry>& entries = ctx.project.Entries(ObjectKind::ProceduresAndFunctions);
  for (int i = 0; i < entries.size(); ++i) {
    const ObjectEntry& entry = entries[i];
    ctx.progress.SetInfoText("Building function or procedure: \r\n" + entry.ObjectName);
    ctx.progress.StepProgress(1);
    logon.LogonIfChanged(ctx.db, entry.ServerName, entry.UserName, entry.Password);
    const UnitName unit = UnitName::Of(entry.ObjectName);
    WriteObjectHeading(ctx, n, i + 1, unit.Heading());
    Query& source = OpenUnitSource(ctx.db, TrimBlanks(unit.name), TrimBlanks(unit.type));
    WriteUnitComments(ctx.doc, ctx.settings, QueryLines(source), ctx.HtmlOutput);
    source.Close();
  }

  CloseContentsGroup(ctx);
  WriteSectionEnd(ctx);
  ++SectionNumber;
}
