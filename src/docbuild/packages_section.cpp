#include "docbuild/packages_section.h"

#include "db/database.h"
#include "docbuild/comment_tags.h"
#include "docbuild/dictionary_source.h"
#include "docbuild/html.h"
#include "project/project.h"

namespace {

// The user's Description as one piece: line breaks stay, no "<BR>" is added.
void WriteDescription(BuildContext& ctx, const QString& description) {
  QStringList& body = ctx.doc.TempMemo;
  if (ctx.HtmlOutput) {
    body.append({QStringLiteral("<H5>"), QStringLiteral("Description"), QStringLiteral("</H5>"),
                 QStringLiteral("<P>"), EscapeHtml(description), QStringLiteral("</P>")});
  } else {
    body.append({QStringLiteral("Description"), QString(), description, QString()});
  }
}

}  // namespace

void WritePackagesSection(BuildContext& ctx, int& SectionNumber) {
  const int n = SectionNumber;
  WriteSectionHeading(ctx, n, QStringLiteral(" Packages"), false,
                      QStringLiteral("</A></B><BR>"));
  if (!ctx.HtmlOutput) ctx.doc.TempMemo.append(QString());

  RememberedLogon logon;
  const QList<ObjectEntry>& entries = ctx.project.Entries(ObjectKind::Packages);
  for (int i = 0; i < entries.size(); ++i) {
    const ObjectEntry& entry = entries[i];
    ctx.progress.SetInfoText("Building package: \r\n" + entry.ObjectName);
    ctx.progress.StepProgress(1);
    logon.LogonIfChanged(ctx.db, entry.ServerName, entry.UserName, entry.Password);
    WriteObjectHeading(ctx, n, i + 1, entry.ObjectName);
    WriteDescription(ctx, entry.Description);
    Query& source = OpenPackageSource(ctx.db, entry.ObjectName);
    WriteMemberComments(ctx.doc, ctx.settings, QueryLines(source), ctx.HtmlOutput, n, i + 1);
    source.Close();
  }

  CloseContentsGroup(ctx);
  WriteSectionEnd(ctx);
  ++SectionNumber;
}
