// The documentation comments of stored PL/SQL in the modern documents: members and forms
// from the parsed source with the dictionary adding its details (as a real dictionary
// holds them: no argument rows for a procedure without arguments, no default_value), the
// body's comment, the tags winning, the option, and what the web page and Markdown show.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <tuple>

#include "coverage/coverage.h"
#include "diagrams/diagrams.h"
#include "model/document_model.h"
#include "model/document_model_builder.h"
#include "modern/markdown.h"
#include "modern/modern_html.h"
#include "modern/templates.h"
#include "support/build_fixture.h"
#include "support/streamed_build.h"
#include "support/snapshot_maker.h"

namespace {

const QStringList kSpec{
    "PACKAGE ledger AS\n",
    "  /**\n", "   * Bookings of the general ledger.\n", "   * - one line per booking\n", "   */\n",
    "\n",
    "  /** A booking's amount. */\n", "  SUBTYPE t_amount IS NUMBER(12,2);\n", "\n",
    "  /**\n", "   * Books an amount.\n", "   * See {@link reverse} and {@link nowhere}.\n",
    "   * @param p_account the account\n", "   * @param p_ghost   not declared\n",
    "   * @return the booking's id\n", "   * @throws e_closed when the period is closed\n",
    "   * @deprecated use {@link post}\n", "   * @example\n", "   *   id := ledger.book(1, 10);\n",
    "   */\n",
    "  FUNCTION book(p_account IN NUMBER, p_amount IN t_amount DEFAULT 0) RETURN NUMBER;\n",
    "  -- Books in another currency.\n",
    "  FUNCTION book(p_account IN NUMBER, p_amount IN t_amount,\n",
    "                p_currency IN VARCHAR2 := 'EUR') RETURN NUMBER;\n", "\n",
    "  PROCEDURE reverse(p_id IN NUMBER,  -- the booking to reverse\n",
    "                    p_day IN DATE $if $$strict $then $else DEFAULT SYSDATE $end);\n", "\n",
    "  PROCEDURE close_period;\n", "\n",
    "  /*\n", "  <FD>\n", "  Procedure post\n", "  Description:\n", "    Posts everything.\n",
    "  </FD>\n", "  */\n", "  /** Posts. */\n", "  PROCEDURE post;\n",
    "  PROCEDURE note(p_text IN VARCHAR2);\n", "  PROCEDURE note(p_text IN CLOB);\n",
    "  FUNCTION \"rows_of\"(p_n IN NUMBER) RETURN t_rows PIPELINED;\n",
    "END ledger;\n"};
const QStringList kBody{
    "PACKAGE BODY ledger AS\n",
    "  -- Closes the current period; nothing can be booked in it afterwards.\n",
    "  PROCEDURE close_period IS\n", "  BEGIN\n", "    IF 1 = 1 THEN NULL; END IF;\n",
    "  END close_period;\n",
    "  /** Notes a long text in pieces of 32767 characters. */\n",
    "  PROCEDURE note(p_text IN CLOB) IS BEGIN NULL; END;\n",
    "  /** Notes a short text. */\n", "  PROCEDURE note(p_text IN varchar2) IS BEGIN NULL; END;\n",
    "END ledger;\n"};
// The package's own block under the package tags is the tags' (the project's description).
const QStringList kTagged{"PACKAGE tagged AS\n", "/*\n", "<PD>\n", "Description:\n",
                          "  Written for the tags.\n", "</PD>\n", "*/\n", "\n",
                          "PROCEDURE run;\n", "END tagged;\n"};
const QStringList kNightly{"PROCEDURE nightly\n", "AS\n", "  -- Runs the night's bookings.\n",
                           "BEGIN\n", "  NULL;\n", "END;\n"};

// Owner SHOP as a release since 12.1.0.2 keeps it: argument rows only for arguments,
// default_value NULL, DEFAULTED telling which have a default; BOOK's second form keeps a
// snapshot's own default. The package's subprograms are not listed apart.
QString LedgerSql() {
  QString sql = testdb::UserSql("SHOP", {});
  const std::tuple<const char*, const char*, const QStringList*> sources[] = {
      {"LEDGER", "PACKAGE", &kSpec}, {"LEDGER", "PACKAGE BODY", &kBody},
      {"TAGGED", "PACKAGE", &kTagged}, {"NIGHTLY", "PROCEDURE", &kNightly}};
  for (const auto& [name, type, lines] : sources) {
    for (int l = 0; l < lines->size(); ++l)
      sql += QStringLiteral("INSERT INTO dba_source VALUES ('SHOP', '%1', '%2', %3, '%4');\n")
                 .arg(name, type)
                 .arg(l + 1)
                 .arg(QString((*lines)[l]).replace("'", "''"));
  }
  sql += R"sql(
INSERT INTO dba_arguments (owner, package_name, object_name, overload, argument_name, position,
  sequence, data_level, data_type, in_out, default_value, defaulted) VALUES
  ('SHOP', 'LEDGER', 'BOOK', '1', NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('SHOP', 'LEDGER', 'BOOK', '1', 'P_ACCOUNT', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('SHOP', 'LEDGER', 'BOOK', '1', 'P_AMOUNT', 2, 3, 0, 'NUMBER', 'IN', NULL, 'Y'),
  ('SHOP', 'LEDGER', 'BOOK', '2', NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('SHOP', 'LEDGER', 'BOOK', '2', 'P_ACCOUNT', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('SHOP', 'LEDGER', 'BOOK', '2', 'P_AMOUNT', 2, 3, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('SHOP', 'LEDGER', 'BOOK', '2', 'P_CURRENCY', 3, 4, 0, 'VARCHAR2', 'IN', '''USD''', 'Y'),
  ('SHOP', 'LEDGER', 'REVERSE', NULL, 'P_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('SHOP', 'LEDGER', 'REVERSE', NULL, 'P_DAY', 2, 2, 0, 'DATE', 'IN', NULL, 'Y'),
  ('SHOP', 'LEDGER', 'NOTE', '1', 'P_TEXT', 1, 1, 0, 'VARCHAR2', 'IN', NULL, 'N'),
  ('SHOP', 'LEDGER', 'NOTE', '2', 'P_TEXT', 1, 1, 0, 'CLOB', 'IN', NULL, 'N'),
  ('SHOP', 'LEDGER', 'rows_of', NULL, NULL, 0, 1, 0, 'TABLE', 'OUT', NULL, 'N'),
  ('SHOP', 'LEDGER', 'rows_of', NULL, 'P_N', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N');
)sql";
  return sql;
}

class DocCommentsTest : public ::testing::Test, public BuildFixture {
 protected:
  DocCommentsTest() {
    settings = DefaultSettings();
    testdb::MakeSnapshot(dir_.filePath("orcl.sqlite"), LedgerSql());
    db.SetSnapshotDirectories({dir_.path()});
    project.AppendEntry(ObjectKind::Packages, {{"ORCL", "shop", ""}, "LEDGER", ""});
    project.AppendEntry(ObjectKind::Packages, {{"ORCL", "shop", ""}, "TAGGED", ""});
    project.AppendEntry(ObjectKind::ProceduresAndFunctions,
                        {{"ORCL", "shop", ""}, "NIGHTLY (PROCEDURE)", ""});
  }
  DocumentModel Build() { return BuildDocumentModel(project, settings, db, progress); }

 private:
  QTemporaryDir dir_;
};

TEST_F(DocCommentsTest, MembersComeFromTheSourceAndCarryTheirComments) {
  const DocumentModel m = Build();
  const PackageObject& p = m.packages.value(0);
  EXPECT_EQ(p.doc.summary, "Bookings of the general ledger.");
  ASSERT_EQ(p.declarations.size(), 1);
  EXPECT_EQ(p.declarations[0].text, "SUBTYPE t_amount IS NUMBER(12,2);");
  EXPECT_EQ(p.declarations[0].doc.summary, "A booking's amount.");

  QStringList names;
  for (const MemberObject& member : p.members) names << member.name;
  ASSERT_EQ(names, QStringList({"BOOK", "REVERSE", "CLOSE_PERIOD", "POST", "NOTE", "rows_of"}));
  const QList<Signature>& book = p.members[0].signatures;
  ASSERT_EQ(book.size(), 2);
  EXPECT_EQ(book[0].overload, "1");
  EXPECT_EQ(book[0].arguments[1].type, "NUMBER");  // the dictionary's
  EXPECT_EQ(book[0].arguments[1].defaultValue, "0");  // the declaration's
  EXPECT_EQ(book[0].arguments[0].description, "the account");
  EXPECT_EQ(book[1].doc.summary, "Books in another currency.");
  EXPECT_EQ(book[1].arguments[2].defaultValue, "'USD'");  // the snapshot's own value wins
  const Signature& reverse = p.members[1].signatures.value(0);
  EXPECT_EQ(reverse.arguments.value(0).description, "the booking to reverse");
  EXPECT_EQ(reverse.arguments.value(1).defaultValue, QString(QChar(0x2026)));
  // No argument rows: the form is the source's, the comment the body's.
  const Signature& close = p.members[2].signatures.value(0);
  EXPECT_TRUE(close.arguments.isEmpty());
  EXPECT_TRUE(close.doc.fromBody);
  EXPECT_EQ(close.doc.summary, "Closes the current period; nothing can be booked in it afterwards.");
  // Forms that differ in their types alone each carry their own body's comment.
  const QList<Signature>& note = p.members[4].signatures;
  ASSERT_EQ(note.size(), 2);
  EXPECT_EQ(note[0].doc.summary, "Notes a short text.");
  EXPECT_EQ(note[1].doc.summary, "Notes a long text in pieces of 32767 characters.");
  // The tags describe POST: its Javadoc block is left out.
  EXPECT_EQ(p.members[3].blocks.size(), 1);
  EXPECT_TRUE(p.members[3].signatures.value(0).doc.IsEmpty());

  EXPECT_TRUE(m.packages.value(1).doc.IsEmpty());
  EXPECT_EQ(m.packages.value(1).members.size(), 1);

  const UnitObject& nightly = m.units.value(0);
  ASSERT_EQ(nightly.signatures.size(), 1);
  EXPECT_EQ(nightly.signatures[0].doc.summary, "Runs the night's bookings.");

  // Every member counts, documented by its comment; a @param naming nothing declared is stale.
  const CoverageReport report = MeasureCoverage(m);
  const KindSummary members = report.Summary(CoverageKind::Members);
  EXPECT_EQ(members.objects, 7);  // TAGGED.RUN too
  EXPECT_EQ(members.tallies[int(Measure::Blocks)].documented, 4);  // REVERSE: parameters only
  QStringList stale;
  for (const CoverageObject& o : report.objects) stale += o.staleParameters;
  EXPECT_EQ(stale, QStringList{"p_ghost"});
  EXPECT_TRUE(report.objects.value(0).described);  // the package, by its comment
}

TEST_F(DocCommentsTest, TurnedOffTheTagsAloneDescribe) {
  settings.Documentation_comments = false;
  const DocumentModel m = Build();
  const PackageObject& p = m.packages.value(0);
  EXPECT_TRUE(p.doc.IsEmpty());
  EXPECT_TRUE(p.declarations.isEmpty());
  ASSERT_EQ(p.members.size(), 6);
  for (const MemberObject& member : p.members) {
    EXPECT_FALSE(HasDocComment(member.signatures)) << member.name.toStdString();
    for (const Signature& s : member.signatures)
      for (const ModelArgument& a : s.arguments) EXPECT_TRUE(a.description.isEmpty());
  }
  EXPECT_FALSE(HasDocComment(m.units.value(0).signatures));
}

TEST_F(DocCommentsTest, WebPageAndMarkdownShowWhatTheCommentsSay) {
  const DocumentModel m = Build();
  const Diagrams none;
  TemplateSet html;
  QString error;
  ASSERT_TRUE(html.Load(TemplateFormat::ModernHtml, {}, &error)) << error.toStdString();
  const QString page = QString::fromStdString(RenderModernHtml(m, html, none));
  const QString book = m.packages[0].members[0].anchor;
  const QString reverse = m.packages[0].members[1].anchor;
  for (const QString& expected :
       {QString("<ul>\n<li>one line per booking</li>\n</ul>"),
        "See <a href=\"#" + reverse + "\"><code>reverse</code></a> and <code>nowhere</code>.",
        QString("<strong>Deprecated.</strong> use <a href=\"#"),
        QString("<li><code>e_closed</code> when the period is closed</li>"),
        QString("<pre class=\"code\"><code>id := ledger.book(1, 10);</code></pre>"),
        QString("<td class=\"name\">p_ghost <span class=\"gap\">(not declared)</span></td>"),
        QString("<td>the booking to reverse</td>"),
        QString("<p class=\"origin\">From the comment in the package body.</p>"),
        QString("<span class=\"kind\">Subtype</span> <code>T_AMOUNT</code>"),
        // A quoted name in quotes, and what a caller must know of the function.
        QString("<code>FUNCTION &quot;rows_of&quot; (\n  <span class=\"arg undescribed\">P_N</span>"
                " IN NUMBER\n) RETURN t_rows PIPELINED</code>")}) {
    EXPECT_TRUE(page.contains(expected)) << expected.toStdString();
  }
  EXPECT_FALSE(page.contains("Posts.</p>"));

  TemplateSet markdown;
  ASSERT_TRUE(markdown.Load(TemplateFormat::Markdown, {}, &error)) << error.toStdString();
  QString packagePage;
  for (const OutputFile& f : RenderMarkdown(m, markdown, none))
    if (f.name == "orcl/shop/orcl.shop.ledger.md") packagePage = QString::fromUtf8(f.bytes);
  const QString ledger = "../../orcl/shop/orcl.shop.ledger.md#";
  EXPECT_TRUE(packagePage.contains("See [reverse](" + ledger + reverse + ") and nowhere."));
  EXPECT_TRUE(packagePage.contains("**Deprecated.** use [post](" + ledger));
  EXPECT_TRUE(packagePage.contains("| p\\_ghost *(not declared)* |  | not declared |"));
  EXPECT_TRUE(packagePage.contains("```sql\nid := ledger.book(1, 10);\n```"));
  EXPECT_TRUE(packagePage.contains("## Declarations"));
  EXPECT_TRUE(page.contains("id=\"" + book + "\""));
}

// Every part of a documentation comment survives the objects' temporary file.
TEST_F(DocCommentsTest, AStreamedBuildWritesWhatOneInMemoryWrites) { ExpectStreamedAsWhole(*this); }

}  // namespace
