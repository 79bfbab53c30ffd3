#include "classic/procedures_section.h"

#include "classic/comment_tags.h"
#include "classic/dictionary_source.h"
#include "db/database.h"
#include "project/project.h"

UnitName UnitName::Of(QStringView objectName) {
  const qsizetype open = objectName.indexOf(u'(');
  if (open < 0) return {objectName.toString(), QString()};
  const qsizetype close = objectName.indexOf(u')', open + 1);
  const qsizetype typeEnd = close < 0 ? objectName.size() : close;
  return {objectName.left(open).toString(),
          objectName.mid(open + 1, typeEnd - open - 1).toString()};
}

void WriteProceduresSection(BuildContext& ctx, int& SectionNumber) {
  WriteObjectSection(
      ctx, SectionNumber, ObjectKind::ProceduresAndFunctions,
      QStringLiteral(" Procedures and functions"), false,
      QStringLiteral("Building function or procedure: \r\n"),
      [](const ObjectEntry& entry) { return UnitName::Of(entry.ObjectName()).Heading(); },
      [&ctx](int, int, const ObjectEntry& entry) {
        const UnitName unit = UnitName::Of(entry.ObjectName());
        Query& source = OpenUnitSource(ctx.db, TrimBlanks(unit.name), TrimBlanks(unit.type));
        WriteUnitComments(ctx.doc, ctx.settings, QueryLines(source), ctx.HtmlOutput);
        source.Close();
      });
}
