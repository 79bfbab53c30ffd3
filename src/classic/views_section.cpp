#include "classic/views_section.h"

#include "classic/html.h"
#include "db/database.h"
#include "project/project.h"

QStringList SplitViewText(const QString& text) {
  QStringList lines;
  qsizetype start = 0;
  for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', start)) {
    lines.append(text.mid(start, i - start));
    start = i + 1;
  }
  const QString rest = text.mid(start);
  if (!IsBlankText(rest)) lines.append(rest);
  return lines;
}

namespace {

void WriteViewEntry(BuildContext& ctx, const ObjectEntry& entry) {
  const bool html = ctx.HtmlOutput;
  QStringList& body = ctx.doc.TempMemo;
  if (!entry.Description().isEmpty()) {
    WriteTextBlock(ctx, QStringLiteral("Description"), entry.Description().toString());
  }
  WriteBlockTitle(ctx, QStringLiteral("Creation script"));
  const QString text =
      FirstRowField(ctx.db, QueryId::OCIViews, entry.ObjectName().toString(),
                    QStringLiteral("text"));
  if (html) body.append(QStringLiteral("<PRE>"));
  // HTML keeps a carriage return before the line feed; a text document has its own CR LF.
  for (const QString& line : SplitViewText(text)) {
    body.append(html ? EscapeHtml(line) : WithoutLineEnd(line));
  }
  body.append(html ? QStringLiteral("</PRE>") : QString());
}

}  // namespace

void WriteViewsSection(BuildContext& ctx, int& SectionNumber) {
  WriteObjectSection(ctx, SectionNumber, ObjectKind::Views, QStringLiteral(" Views"), false,
                     QStringLiteral("Building view: \r\n"), ObjectNameOf,
                     [&ctx](int, int, const ObjectEntry& entry) { WriteViewEntry(ctx, entry); });
}
