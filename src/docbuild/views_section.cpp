#include "docbuild/views_section.h"

#include "db/database.h"
#include "docbuild/html.h"
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

QString ViewText(Database& db, const QString& view) {
  Query& q = db.query(QueryId::OCIViews);
  q.Close();
  q.BindText(1, view);
  q.Open();
  const QString text = q.Eof() ? QString() : q.Field(QStringLiteral("text"));
  q.Close();
  return text;
}

void WriteViewEntry(BuildContext& ctx, int n, int m, const ObjectEntry& entry) {
  const bool html = ctx.HtmlOutput;
  QStringList& body = ctx.doc.TempMemo;
  WriteObjectHeading(ctx, n, m, entry.ObjectName);
  if (!entry.Description.isEmpty()) {
    if (html) {
      body.append({QStringLiteral("<H5>"), QStringLiteral("Description"), QStringLiteral("</H5>"),
                   QStringLiteral("<P>"), EscapeHtml(entry.Description), QStringLiteral("</P>")});
    } else {
      body.append({QStringLiteral("Description"), QString(), entry.Description, QString()});
    }
  }
  if (html) {
    body.append({QStringLiteral("<H5>"), QStringLiteral("Creation script"),
                 QStringLiteral("</H5>")});
  } else {
    body.append({QStringLiteral("Creation script"), QString()});
  }
  const QString text = ViewText(ctx.db, entry.ObjectName);
  if (html) body.append(QStringLiteral("<PRE>"));
  for (const QString& line : SplitViewText(text)) body.append(DocText(line, html));
  body.append(html ? QStringLiteral("</PRE>") : QString());
}

}  // namespace

void WriteViewsSection(BuildContext& ctx, int& SectionNumber) {
  const int n = SectionNumber;
  WriteSectionHeading(ctx, n, QStringLiteral(" Views"), false, QStringLiteral("</A></B><BR>"));
  if (!ctx.HtmlOutput) ctx.doc.TempMemo.append(QString());

  RememberedLogon logon;
  const QList<ObjectEntry>& entries = ctx.project.Entries(ObjectKind::Views);
  for (int i = 0; i < entries.size(); ++i) {
    const ObjectEntry& entry = entries[i];
    ctx.progress.SetInfoText("Building view: \r\n" + entry.ObjectName);
    ctx.progress.StepProgress(1);
    logon.LogonIfChanged(ctx.db, entry.ServerName, entry.UserName, entry.Password);
    WriteViewEntry(ctx, n, i + 1, entry);
  }

  CloseContentsGroup(ctx);
  WriteSectionEnd(ctx);
  ++SectionNumber;
}
