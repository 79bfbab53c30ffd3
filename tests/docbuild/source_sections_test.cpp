// The procedures and functions section and the packages section over a real dictionary
// snapshot with two schemas.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "build_fixture.h"
#include "db/database.h"
#include "docbuild/build_context.h"
#include "docbuild/dictionary_source.h"
#include "docbuild/packages_section.h"
#include "docbuild/procedures_section.h"
#include "project/project.h"
#include "settings/settings.h"
#include "support/snapshot_maker.h"

static void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace {

// Source rows of one unit: each line gets its line feed as stored, the last one none.
QString SourceSql(const QString& owner, const QString& name, const QString& type,
                  const QStringList& lines) {
  QString sql;
  for (int i = 0; i < lines.size(); ++i) {
    QString text = lines[i];
    text.replace(u'\'', QStringLiteral("''"));
    sql += QStringLiteral("INSERT INTO dba_source (owner, name, type, line, text) "
                          "VALUES ('%1', '%2', '%3', %4, '%5'%6);\n")
               .arg(owner, name, type)
               .arg(i + 1)
               .arg(text, i + 1 < lines.size() ? QStringLiteral(" || char(10)") : QString());
  }
  return sql;
}

const QStringList kGetRate{
    "FUNCTION get_rate (p_code IN VARCHAR2) RETURN NUMBER",
    "/*",
    "<FD>",
    "Description:",
    "  The rate of a code.",
    "Parameters:",
    "  p_code, VARCHAR2:",
    "  Code of the rate;",
    "Return value (NUMBER):",
    "  The rate.",
    "</FD>",
    "*/",
    "IS BEGIN RETURN 1; END;",
};

const QStringList kOrdersSpec{
    "PACKAGE orders IS",
    "<PD>",
    "Description:",
    "  Order handling.",
    "</PD>",
    "<FD>",
    "Function open_count",
    "Return value (NUMBER):",
    "  Open orders.",
    "</FD>",
    "<FD>",
    "Procedure close_all",
    "Description:",
    "  Closes <every> order.",
    "</FD>",
    "END orders;",
};

class SourceSections : public ::testing::Test, public BuildFixture {
 protected:
  void SetUp() override {
    settings = DefaultSettings();
    QString sql = testdb::UserSql("HR", "hr") + testdb::UserSql("OPS", "ops");
    sql += SourceSql("HR", "GET_RATE", "FUNCTION", kGetRate);
    sql += SourceSql("OPS", "GET_RATE", "FUNCTION",
                     {"<FD>", "Description:", "  The rate in OPS.", "</FD>"});
    sql += SourceSql("HR", "ORDERS", "PACKAGE", kOrdersSpec);
    sql += SourceSql("HR", "ORDERS", "PACKAGE BODY",
                     {"PACKAGE BODY orders IS", "<FD>", "Procedure hidden", "</FD>"});
    testdb::MakeSnapshot(dir.filePath("testdb.sqlite"), sql);
    db.SetSnapshotDirectories({dir.path()});
  }

  ObjectEntry Entry(const QString& name, const QString& user, const QString& description = {}) {
    return {"TESTDB", name, user, user.toLower(), description};
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

TEST_F(SourceSections, PackagesTextCopiesMemberBlocks) {
  project.AppendEntry(ObjectKind::Packages, Entry("ORDERS", "HR", "Line one\r\nLine two"));
  Build(WritePackagesSection, false);
  QStringList expected{"3 Packages", "", "3.1 ORDERS", "", "Description", "",
                       "Line one\r\nLine two", ""};
  for (int i : {6, 7, 8, 11, 12, 13}) expected << kOrdersSpec[i];
  expected << "";
  EXPECT_EQ(doc.TempMemo, expected);
  EXPECT_EQ(doc.TempMemoHeader, (QStringList{"3 Packages", "3.1 ORDERS"}));
}

TEST_F(SourceSections, PackageDescriptionFromTheDictionary) {
  ConnectDatabase(db, "TESTDB", "HR", "hr");
  EXPECT_EQ(ExtractPackageDescription(db, settings, "ORDERS"), "Order handling.");
  EXPECT_EQ(ExtractPackageDescription(db, settings, "GET_RATE"), "");
  EXPECT_FALSE(db.query(QueryId::OCIPackageText).IsOpen());
}

TEST(UnitName, CutFromTheObjectName) {
  const UnitName unit = UnitName::Of("GET_X (FUNCTION)");
  EXPECT_EQ(unit.name, "GET_X ");
  EXPECT_EQ(unit.type, "FUNCTION");
  EXPECT_EQ(unit.Heading(), "FUNCTION GET_X ");
  EXPECT_EQ(UnitName::Of("P(PROCEDURE) (X)").type, "PROCEDURE");
  EXPECT_EQ(UnitName::Of("NO_TYPE").name, "NO_TYPE");
  EXPECT_EQ(UnitName::Of("NO_TYPE").type, "");
  EXPECT_EQ(UnitName::Of("OPEN (PROC").type, "PROC");
  EXPECT_EQ(UnitName::Of("ODD) (X)").type, "X");
}

}  // namespace
