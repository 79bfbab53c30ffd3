// The procedures and functions section and the packages section over the shared made
// dictionary.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "classic/packages_section.h"
#include "classic/procedures_section.h"
#include "support/build_fixture.h"
#include "support/shop_dictionary.h"
#include "support/snapshot_maker.h"

namespace {

using testdb::kGetRate;

class SourceSections : public ::testing::Test, public BuildFixture {
 protected:
  void SetUp() override {
    settings = DefaultSettings();
    testdb::MakeSnapshot(dir.filePath("testdb.sqlite"), testdb::ShopDictionarySql());
    db.SetSnapshotDirectories({dir.path()});
  }

  ObjectEntry Entry(const QString& name, const QString& user, const QString& description = {}) {
    return {{"TESTDB", user, user.toLower()}, name, description};
  }

  // Runs a section writer as the build would, with section number 3.
  template <typename Writer>
  void Build(Writer writer, bool html) {
    BuildContext ctx = Context(html);
    int n = 3;
    writer(ctx, n);
    EXPECT_EQ(n, 4);
  }

  QTemporaryDir dir;
};

TEST_F(SourceSections, ProceduresHtmlPerEntryConnectionAndHeadings) {
  project.AppendEntry(ObjectKind::ProceduresAndFunctions, Entry("GET_RATE (FUNCTION)", "HR"));
  project.AppendEntry(ObjectKind::ProceduresAndFunctions, Entry("GET_RATE (FUNCTION)", "OPS"));
  project.AppendEntry(ObjectKind::ProceduresAndFunctions, Entry("GONE (PROCEDURE)", "OPS"));
  Build(WriteProceduresSection, true);

  QStringList expected{
      "<H3>", "<A NAME=\"3\">", "3 Procedures and functions", "</A>", "</H3>",
      "<H4>", "<A NAME=\"3.1\">", "3.1 FUNCTION GET_RATE ", "</A>", "</H4>",
      "<H5>Description</H5><P>", "  The rate of a code.\n<BR>", "</P><H5>Parameters</H5><P>"};
  expected += HtmlTable({200, 100, 300}, {{"Name", "Type", "Description"},
                                          {"  p_code", " VARCHAR2", "\n  Code of the rate"}});
  expected += {"</P><H5>Return value (NUMBER)\n</H5><P>", "  The rate.\n<BR>", "</P>",
      "<H4>", "<A NAME=\"3.2\">", "3.2 FUNCTION GET_RATE ", "</A>", "</H4>",
      "<H5>Description</H5><P>", "  The rate in OPS.\n<BR>", "</P>",
      "<H4>", "<A NAME=\"3.3\">", "3.3 PROCEDURE GONE ", "</A>", "</H4>",
      "<HR>"};
  EXPECT_EQ(doc.TempMemo, expected);
  EXPECT_EQ(doc.TempMemoHeader,
            (QStringList{"<P><B><A HREF=\"#3\">", "3 Procedures and functions", "</A></B><BR>",
                         "&nbsp;&nbsp;&nbsp;&nbsp;<I><A HREF=\"#3.1\">", "3.1 FUNCTION GET_RATE ",
                         "</A></I><BR>", "&nbsp;&nbsp;&nbsp;&nbsp;<I><A HREF=\"#3.2\">",
                         "3.2 FUNCTION GET_RATE ", "</A></I><BR>",
                         "&nbsp;&nbsp;&nbsp;&nbsp;<I><A HREF=\"#3.3\">", "3.3 PROCEDURE GONE ",
                         "</A></I><BR>", "</P>"}));
  EXPECT_EQ(progress.infoTexts,
            (QStringList{"Building function or procedure: \r\nGET_RATE (FUNCTION)",
                         "Building function or procedure: \r\nGET_RATE (FUNCTION)",
                         "Building function or procedure: \r\nGONE (PROCEDURE)"}));
  EXPECT_EQ(progress.position, 3);
  EXPECT_EQ(db.UserName(), "OPS");
}

TEST_F(SourceSections, ProceduresTextWithoutContents) {
  settings.SetPart(DocumentPart::Content, false);
  Build(WriteProceduresSection, false);
  EXPECT_EQ(doc.TempMemo, (QStringList{"3 Procedures and functions", "", ""}));
  EXPECT_TRUE(doc.TempMemoHeader.isEmpty());

  project.AppendEntry(ObjectKind::ProceduresAndFunctions, Entry("GET_RATE (FUNCTION)", "HR"));
  doc.Clear();
  Build(WriteProceduresSection, false);
  QStringList expected{"3 Procedures and functions", "", "3.1 FUNCTION GET_RATE ", ""};
  for (int i = 3; i < 10; ++i) expected << kGetRate[i];  // each without its line feed
  expected << "";
  EXPECT_EQ(doc.TempMemo, expected);
}

TEST_F(SourceSections, PackagesHtmlReadTheSpecificationOnly) {
  project.AppendEntry(ObjectKind::Packages, Entry("ORDERS", "HR", "Orders & more"));
  project.AppendEntry(ObjectKind::Packages, Entry("NONE", "HR"));
  settings.SetPart(DocumentPart::Content, false);
  Build(WritePackagesSection, true);

  const QStringList expected{
      "<H3>", "3 Packages", "</H3>",
      "<H4>", "3.1 ORDERS", "</H4>",
      "<H5>", "Description", "</H5>", "<P>", "Orders &amp; more", "</P>",
      "<H4>", "3.1.1 Function open_count\n", "</H4>",
      "</P><H5>Return value (NUMBER)\n</H5><P>", "  Open orders.\n<BR>", "</P>",
      "<H4>", "3.1.2 Procedure close_all\n", "</H4>",
      "<H5>Description</H5><P>", "  Closes &lt;every&gt; order.\n<BR>", "</P>",
      "<H4>", "3.2 NONE", "</H4>",
      "<H5>", "Description", "</H5>", "<P>", "", "</P>",
      "<HR>"};
  EXPECT_EQ(doc.TempMemo, expected);
  EXPECT_TRUE(doc.TempMemoHeader.isEmpty());
  EXPECT_EQ(progress.infoTexts,
            (QStringList{"Building package: \r\nORDERS", "Building package: \r\nNONE"}));
}

}  // namespace
