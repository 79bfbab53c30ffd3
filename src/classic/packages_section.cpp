#include "classic/packages_section.h"

#include "classic/comment_tags.h"
#include "classic/dictionary_source.h"
#include "db/database.h"
#include "project/project.h"

void WritePackagesSection(BuildContext& ctx, int& SectionNumber) {
  WriteObjectSection(
      ctx, SectionNumber, ObjectKind::Packages, QStringLiteral(" Packages"), false,
      QStringLiteral("Building package: \r\n"), ObjectNameOf,
      [&ctx](int n, int m, const ObjectEntry& entry) {
        // Written even when empty; the user's line breaks stay, no "<BR>" is added.
        WriteTextBlock(ctx, QStringLiteral("Description"), entry.Description().toString());
        Query& source = OpenPackageSource(ctx.db, entry.ObjectName().toString());
        WriteMemberComments(ctx.doc, ctx.settings, QueryLines(source), ctx.HtmlOutput, n, m);
        source.Close();
      });
}
