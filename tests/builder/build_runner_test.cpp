// Whole builds against the shared made dictionary: the document bytes, the logons and the
// progress.
#include "builder/build_runner.h"

#include <gtest/gtest.h>

#include <QDirIterator>
#include <QFileInfo>
#include <QTemporaryDir>
#include <map>

#include "classic/document.h"
#include "modern/templates.h"
#include "support/build_fixture.h"
#include "support/shop_dictionary.h"
#include "support/snapshot_maker.h"
#include "support/test_env.h"

namespace {

QString Pad(const QString& s, int w) { return PadText(s, w); }

using testdb::kLongColumn;

// Records the connection's session at every progress text, so a test sees where the
// sections logged on.
class SessionProgress : public RecordingProgress {
 public:
  explicit SessionProgress(Database& db) : db_(db) {}
  void SetInfoText(const QString& text) override {
    RecordingProgress::SetInfoText(text);
    sessions.append(db_.Session());
  }
  QList<quint64> sessions;

 private:
  Database& db_;
};

class BuildRunnerTest : public ::testing::Test, public BuildFixture {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    testdb::MakeSnapshot(dir.filePath("testdb.sqlite"), testdb::ShopDictionarySql());
    db.SetSnapshotDirectories({dir.path()});
    SetInfo("Shop", "1.0", "Our shop.");
  }

  void OnlyParts(std::initializer_list<DocumentPart> parts) {
    settings.Document_parts.fill(false);
    for (DocumentPart p : parts) settings.SetPart(p, true);
  }
  void AddEntry(ObjectKind kind, const QString& name, const QString& description = {},
                const QString& user = "SHOP", const QString& password = "secret") {
    project.AppendEntry(kind, {{"TESTDB", user, password}, name, description});
  }
  BuildResult Build(OutputFormat format, BuildProgress* p = nullptr) {
    return BuildDocument(project, settings, db, p ? *p : progress, dir.filePath("doc"), format);
  }
  // The document's lines (split at CR LF; build only documents whose texts hold none).
  QStringList Lines(const BuildResult& r) {
    QString all = QString::fromLatin1(testenv::ReadBytes(r.outputPath));
    EXPECT_TRUE(all.endsWith("\r\n"));
    all.chop(2);
    return all.split("\r\n");
  }

  QTemporaryDir dir;
};

TEST_F(BuildRunnerTest, WorkedTextExampleByteForByte) {
  OnlyParts({DocumentPart::Content, DocumentPart::Project, DocumentPart::Tables});
  AddEntry(ObjectKind::Tables, "NOTES");
  const BuildResult r = Build(OutputFormat::Text);
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(r.outputPath, dir.filePath("doc.txt"));
  const QStringList expected = {
      "Vellumar", "", "Name Shop", "Version 1.0", "Created 1.2.2024 10:00:00",
      "Updated 3.4.2024 11:30:00", "", "Content", "1 General", "2 Tables", "2.1 NOTES",
      "1 General", "", "Our shop.", "", "2 Tables", "", "2.1 NOTES", "", "Columns", "",
      Pad("Name", 30) + Pad("Type", 15) + Pad("Null?", 15) + Pad("Description", 15),
      Pad("NOTE_ID", 30) + Pad("NUMBER(10)", 15) + Pad("Not null", 15) + Pad("Key", 15),
      Pad("BODY", 30) + Pad("VARCHAR2(100)", 15) + Pad("Null", 15) + Pad("", 15), "", ""};
  EXPECT_EQ(testenv::ReadBytes(r.outputPath), (expected.join("\r\n") + "\r\n").toLatin1());
  EXPECT_EQ(progress.maximum, 2);
  EXPECT_EQ(progress.infoTexts, QStringList{"Building table: \r\nNOTES"});
  EXPECT_FALSE(db.Connected());  // no connection before the build, none after it
}

TEST_F(BuildRunnerTest, NumberingAndContentsFollowTheEnabledParts) {
  // Project off: Tables is section 1. Content off: no anchors, no contents, no "<HR>".
  OnlyParts({DocumentPart::Tables, DocumentPart::Sequences});
  const QStringList html = Lines(Build(OutputFormat::Html));
  EXPECT_EQ(html.mid(12), QStringList({"<H3>", "1 Tables", "</H3>", "<HR>", "<H3>",
                                       "2 Sequences", "</H3>", "<HR>", "</BODY></HTML>"}));
  settings.SetPart(DocumentPart::Content, true);
  const QStringList withContents = Lines(Build(OutputFormat::Html));
  EXPECT_EQ(withContents.mid(12, 12),
            QStringList({"<H3>", "Content", "</H3>", "<P><B><A HREF=\"#1\">", "1 Tables",
                         "</A></B><BR>", "</P>", "<P><B><A HREF=\"#2\">", "2 Sequences",
                         "</A></B></P>", "<HR>", "<H3>"}));
  EXPECT_EQ(withContents[24], "<A NAME = \"1\">");
  EXPECT_TRUE(withContents.contains("<A NAME=\"2\">"));
}

TEST_F(BuildRunnerTest, TablesSectionInHtml) {
  OnlyParts({DocumentPart::Content, DocumentPart::Tables});
  AddEntry(ObjectKind::Tables, "ORDERS", "Orders <all> & more");
  AddEntry(ObjectKind::Tables, "GONE");  // no longer in the dictionary
  const QStringList lines = Lines(Build(OutputFormat::Html));
  QStringList expected = {"<H3>", "<A NAME = \"1\">", "1 Tables", "</A>", "</H3>",
                          "<H4>", "<A NAME=\"1.1\">", "1.1 ORDERS", "</A>", "</H4>",
                          "<H5>", "Synonym", "</H5>", "<P>", "ALT_ORDERS", "</P>",
                          "<H5>", "Description", "</H5>", "<P>", "Orders &lt;all&gt; &amp; more",
                          "</P>", "<H5>", "Columns", "</H5>"};
  expected += HtmlTable(
      {300, 150, 100, 0},
      {{"Name", "Type", "Null?", "Description"},
       {Pad("ORDER_ID", 30), Pad("NUMBER(10)", 14), Pad("Not null", 10), "Order number"},
       {Pad("CUSTOMER_ID", 30), Pad("NUMBER(10)", 14), Pad("Not null", 10), "Who"},
       {Pad("NOTE", 30), Pad("VARCHAR2(200)", 14), Pad("Null", 10),
        "Free &lt;text&gt; &amp; &quot;notes&quot;"}});
  expected += {"<H5>", "Primary keys", "</H5>", "<P>"};
  expected += HtmlTable({200, 300}, {{"Name", "Column"}, {Pad("ORDERS_PK", 20), "ORDER_ID"}});
  expected += {"</P>", "<H5>", "Foreign keys", "</H5>", "<P>"};
  expected += HtmlTable({200, 250, 0}, {{"Name", "From Column", "To Column"},
                                        {Pad("ORDERS_CUST_FK", 20), Pad("CUSTOMER_ID", 30),
                                         "CUSTOMERS.CUSTOMER_ID"}});
  expected += {"<H5>", "Indexes", "</H5>", "<P>"};
  expected += HtmlTable({200, 300}, {{"Name", "Column"},
                                     {Pad("ORDERS_IX", 20), "ORDER_ID"},
                                     {Pad("ORDERS_IX", 20), "CUSTOMER_ID"}});
  expected += {"<H4>", "<A NAME=\"1.2\">", "1.2 GONE", "</A>", "</H4>", "<H5>", "Columns",
               "</H5>"};
  expected += HtmlTable({300, 150, 100, 0}, {{"Name", "Type", "Null?", "Description"}});
  expected += {"<HR>", "</BODY></HTML>"};
  // After the contents; the file has a line where the body has a row of lines.
  EXPECT_EQ(lines.mid(lines.indexOf("<HR>") + 1), expected.join("\r\n").split("\r\n"));
}

TEST_F(BuildRunnerTest, LongNamesAndTypesComeWholeAndTextTablesStayAligned) {
  OnlyParts({DocumentPart::Tables});
  AddEntry(ObjectKind::Tables, "LONG_NAMES");
  const QString at = Pad("SHIPPED_AT", 30);
  const QString zoned = "TIMESTAMP(6) WITH TIME ZONE";
  // A column widens to its longest cell and one blank where a cell is longer; the last
  // column keeps its width; the comment's second line stands under its first. The index
  // on SHIPPED_AT descending is on a hidden column, which stands for it.
  const QStringList text = Lines(Build(OutputFormat::Text));
  EXPECT_EQ(text.mid(text.indexOf("Columns")), QStringList({
      "Columns", "",
      Pad("Name", 129) + Pad("Type", 28) + Pad("Null?", 15) + Pad("Description", 15),
      kLongColumn + " " + Pad("NUMBER(10)", 28) + Pad("Not null", 15) + Pad("", 15),
      Pad(at, 129) + Pad(zoned, 28) + Pad("Null", 15) + "When it left.  ",
      QString(129 + 28 + 15, u' ') + "Local time.    ", "",
      "Primary keys", "",
      Pad("Name", 30) + Pad("Column", 15),
      Pad("LONG_NAMES_PRIMARY_KEY_PK", 30) + kLongColumn, "",
      "Foreign keys", "",
      Pad("Name", 26) + Pad("From Column", 129) + Pad("To Column", 30),
      "LONG_NAMES_CUSTOMER_ID_FK " + kLongColumn + " " + "CUSTOMERS.CUSTOMER_ID         ", "",
      "Indexes", "",
      Pad("Name", 25) + Pad("Column", 30),
      Pad("LONG_NAMES_SHIPPED_AT_IX", 25) + Pad("SHIPPED_AT DESC", 30),
      Pad("LONG_NAMES_SHIPPED_AT_UK", 25) + Pad("SHIPPED_AT", 30),
      Pad("LONG_NAMES_SHIPPED_AT_UK", 25) + kLongColumn, "", ""}));

  const QString html = QString::fromLatin1(testenv::ReadBytes(Build(OutputFormat::Html).outputPath));
  for (const QString& cell : QStringList{kLongColumn, zoned, Pad("NUMBER(10)", 14), "When it left.\r\nLocal time.",
        "LONG_NAMES_PRIMARY_KEY_PK", "LONG_NAMES_CUSTOMER_ID_FK", "LONG_NAMES_SHIPPED_AT_IX",
        "LONG_NAMES_SHIPPED_AT_UK"}) {
    EXPECT_TRUE(html.contains(" VALIGN=TOP>" + cell + "</TD>\r\n")) << cell.toStdString();
  }
}

// A cell exactly as wide as its column (a 30-character column name, VARCHAR2(32767) in 15,
// a 20-character key name) widens it by one blank; names the query pads to the width do not.
TEST_F(BuildRunnerTest, ATextCellThatFillsItsColumnStillLeavesABlank) {
  OnlyParts({DocumentPart::Tables});
  AddEntry(ObjectKind::Tables, "SHIPMENTS", {}, "OPS", "ops");
  const QStringList text = Lines(Build(OutputFormat::Text));
  EXPECT_EQ(text.mid(text.indexOf("Columns")), QStringList({
      "Columns", "",
      Pad("Name", 31) + Pad("Type", 16) + Pad("Null?", 15) + Pad("Description", 15),
      Pad("SHIPMENT_ID", 31) + Pad("NUMBER(10)", 16) + Pad("Not null", 15) + Pad("", 15),
      "COLUMN_NAME_EXACTLY_30_CHARS_X VARCHAR2(32767) " + Pad("Null", 15) + Pad("", 15),
      Pad("SPLIT_FROM", 31) + Pad("NUMBER(10)", 16) + Pad("Null", 15) + Pad("", 15), "",
      "Primary keys", "",
      Pad("Name", 30) + Pad("Column", 15),
      Pad("SHIPMENTS_PK", 30) + Pad("SHIPMENT_ID", 15), "",
      "Foreign keys", "",
      Pad("Name", 21) + Pad("From Column", 30) + Pad("To Column", 30),
      "SHIPMENTS_PARENTS_FK " + Pad("SPLIT_FROM", 30) + Pad("SHIPMENTS.SHIPMENT_ID", 30), "",
      ""}));
}

TEST_F(BuildRunnerTest, ViewTextSplitAtLineFeeds) {
  OnlyParts({DocumentPart::Views});
  for (const char* v : {"V_OPEN", "V_ONE", "V_TAIL", "V_BLANK"}) AddEntry(ObjectKind::Views, v);
  const BuildResult r = Build(OutputFormat::Text);
  const QStringList expected = {
      "1 Views", "",
      "1.1 V_OPEN", "", "Creation script", "", "select *", "from orders", "",
      "1.2 V_ONE", "", "Creation script", "", "select 1 from dual", "",
      "1.3 V_TAIL", "", "Creation script", "", "select a", "from b", "",
      "1.4 V_BLANK", "", "Creation script", "", "", ""};
  const QByteArray bytes = testenv::ReadBytes(r.outputPath);
  EXPECT_TRUE(bytes.endsWith((expected.join("\r\n") + "\r\n").toLatin1()));

  project.ClearProject();
  AddEntry(ObjectKind::Views, "V_ESC", "Shows <b>");
  const QStringList html = Lines(Build(OutputFormat::Html));
  EXPECT_EQ(html.mid(12), QStringList({"<H3>", "1 Views", "</H3>", "<H4>", "1.1 V_ESC", "</H4>",
                                       "<H5>", "Description", "</H5>", "<P>", "Shows &lt;b&gt;",
                                       "</P>", "<H5>", "Creation script", "</H5>", "<PRE>",
                                       "select '&lt;b&gt;' &amp; x from t", "</PRE>", "<HR>",
                                       "</BODY></HTML>"}));
}

TEST_F(BuildRunnerTest, LogsOnOnlyWhenTheStoredConnectionChanges) {
  OnlyParts({DocumentPart::Tables});
  AddEntry(ObjectKind::Tables, "STAFF", "", "HR", "pw");
  AddEntry(ObjectKind::Tables, "STAFF", "", "HR", "pw");
  AddEntry(ObjectKind::Tables, "STAFF", "", "HR", "PW");  // differs only in case
  AddEntry(ObjectKind::Tables, "STAFF", "", "HR", "PW");
  SessionProgress p(db);
  ASSERT_TRUE(Build(OutputFormat::Text, &p).ok());
  ASSERT_EQ(p.sessions.size(), 4);
  EXPECT_NE(p.sessions[1], p.sessions[0]);  // the first entry logged on
  EXPECT_EQ(p.sessions[2], p.sessions[1]);  // the same connection: no new logon
  EXPECT_NE(p.sessions[3], p.sessions[2]);  // the password's case differs: a new logon
  EXPECT_EQ(p.position, 4);
  EXPECT_EQ(p.maximum, 5);
}

// The files of a built document: the page, or each file of the folder, by name.
std::map<QString, QByteArray> Written(const QString& path) {
  std::map<QString, QByteArray> files;
  if (QFileInfo(path).isFile()) {
    files[path] = testenv::ReadBytes(path);
    return files;
  }
  QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString file = it.next();
    files[QDir(path).relativeFilePath(file)] = testenv::ReadBytes(file);
  }
  return files;
}

// A modern build that stops while its objects are written (here: the templates pass their
// limit at an object near the end) leaves the document there was, and nothing of its own.
TEST_F(BuildRunnerTest, AModernBuildThatStopsPartWayLeavesTheOldDocument) {
  AddEntry(ObjectKind::Tables, "CUSTOMERS");
  AddEntry(ObjectKind::Tables, "ORDERS");
  AddEntry(ObjectKind::Views, "V_OPEN");
  for (const OutputFormat format :
       {OutputFormat::ModernHtml, OutputFormat::Markdown, OutputFormat::Site}) {
    SCOPED_TRACE(int(format));
    project.SetVersion("1.0");
    const BuildResult first = Build(format);
    ASSERT_TRUE(first.ok()) << first.error.toStdString();
    const std::map<QString, QByteArray> old = Written(first.outputPath);
    // What the templates make: every page but the drawings and the search index.
    qint64 rendered = 0;
    for (const auto& [name, bytes] : old)
      if (name.endsWith(".md") || name.endsWith(".html") || name.endsWith(".css") ||
          (name.endsWith(".js") && !name.startsWith("search")))
        rendered += bytes.size();

    project.SetVersion("2.0");
    SetTemplateLimits({TemplateLimits().steps, rendered - 1});
    const BuildResult second = Build(format);
    SetTemplateLimits({});
    EXPECT_EQ(second.failure, BuildResult::Failure::Template) << second.error.toStdString();
    EXPECT_EQ(Written(first.outputPath), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot).size(),
              QDir(dir.path()).entryList({"*.sqlite"}).size() + 1)
        << "the build's temporary files are gone";
    QDir(first.outputPath).removeRecursively();
    QFile::remove(first.outputPath);
  }
}

}  // namespace
