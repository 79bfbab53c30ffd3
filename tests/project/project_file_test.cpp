#include "project/project_file.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/child_process.h"
#include "support/test_env.h"

namespace {

QByteArray Line(const QString& text, int shift) { return EncodeLine(text, shift).toLatin1() + "\r\n"; }

ObjectEntry Entry(const QString& server, const QString& name, const QString& description = {}) {
  return {{server, QStringLiteral("scott"), QStringLiteral("tiger")}, name, description};
}

class ProjectFileTest : public ::testing::Test {
 protected:
  QString PathOf(const QString& name) const { return dir_.filePath(name); }

  // A project with one entry in every kind and both section texts.
  void Fill(Project& p) {
    p.SetName("demo");
    p.SetVersion("1.0");
    p.SetGeneral("first line\r\nsecond line");
    for (ObjectKind kind : kAllObjectKinds)
      p.AppendEntry(kind, Entry("orcl", "OBJ" + QString::number(int(kind)), "text"));
    p.AppendEntry(ObjectKind::Tables, Entry("pr;od", "E;;MP", "employees"));
    p.SetSectionDescription(ObjectKind::Sequences, "seq text");
    p.SetSectionDescription(ObjectKind::Roles, "roles text");
  }

  // Expects ReadProject to refuse the file at `path` and change nothing.
  void ExpectPathRejected(const QString& path, const QString& reason = {}) {
    Project p;
    Fill(p);
    p.SetModified(true);
    const ProjectContents before = p.Contents();
    QString error;
    EXPECT_FALSE(ReadProject(p, path, &error));
    EXPECT_TRUE(error.startsWith(
        QString("ERROR: Vellumar Project file %1 can't be opened.").arg(path)));
    EXPECT_TRUE(error.contains(reason)) << error.toStdString();
    EXPECT_EQ(p.Info().Name, before.info.Name);
    EXPECT_EQ(p.Info().General, before.info.General);
    EXPECT_EQ(p.Contents().entries, before.entries);
    EXPECT_EQ(p.SectionDescription(ObjectKind::Roles), before.rolesDescription);
    EXPECT_TRUE(p.IsModified());
  }
  void ExpectRejected(const QByteArray& bytes) {
    testenv::WriteBytes(PathOf("damaged.vlm"), bytes);
    ExpectPathRejected(PathOf("damaged.vlm"));
  }

  // The file of a project with no entries, with `rows` as the Tables entries.
  static QByteArray EmptyFileWithTables(const QString& count, const QByteArray& rows) {
    return Line("x", 1) + Line("1.0", 2) + Line("", 3) + Line(count, 1) + rows +
           Line("0", 2) + Line("0", 3) + Line("0", 1) + Line("", 2) + Line("0", 3) +
           Line("", 1) + Line("0", 2);
  }

  QTemporaryDir dir_;
};

TEST(LineEncoding, CodesMinusShiftWithALengthDigitRoundTripAndNothingElseReads) {
  EXPECT_EQ(EncodeLine("abc", 1), "296297298");
  EXPECT_EQ(EncodeLine(QString(QChar(1)), 3), "2-2");          // below the shift: negative
  EXPECT_EQ(EncodeLine(QString::fromUtf8("€"), 1), "3127");     // 0x80 in the code page
  EXPECT_EQ(EncodeLine(QString::fromUtf8("😀"), 2), "6128510"); // U+1F600, no byte
  QString all;
  for (char32_t cp = 0; cp < 0x3000; ++cp) all.append(QChar(char16_t(cp)));
  all += QString::fromUtf8("😀𝄞");
  for (int shift = 1; shift <= 3; ++shift)
    EXPECT_EQ(DecodeLine(EncodeLine(all, shift), shift), all) << "shift " << shift;
  for (const char* bad : {"x12", "0", "3-", "39", "29a", "2-9", "9999999999", "1-", "3 12"})
    EXPECT_FALSE(DecodeLine(bad, 1).has_value()) << bad;
  EXPECT_EQ(DecodeLine("3096", 1), QString("a"));  // a leading zero still gives the code
}

TEST_F(ProjectFileTest, EmptyNewProjectIsElevenLines) {
  Project p;
  p.SetName("demo");
  p.SetVersion("1.0");
  QString error;
  ASSERT_TRUE(WriteProject(p, PathOf("new.vlm"), &error)) << error.toStdString();
  const QByteArray expected = "299310031083110\r\n"  // demo, shift 1
                              "247244246\r\n"        // 1.0, shift 2
                              "\r\n"                 // General
                              "247\r\n246\r\n245\r\n247\r\n"  // Tables..Packages: 0
                              "\r\n245\r\n"          // Sequences text, count
                              "\r\n246\r\n";         // Roles text, count
  EXPECT_EQ(testenv::ReadBytes(PathOf("new.vlm")), expected);
}

TEST_F(ProjectFileTest, RowsUseRotatingShiftsAndFiveTerminatedFields) {
  Project p;
  for (int i = 0; i < 4; ++i) p.AppendEntry(ObjectKind::Views, Entry("db", "V" + QString::number(i)));
  ASSERT_TRUE(WriteProject(p, PathOf("rows.vlm"), nullptr));
  const QList<QByteArray> lines = testenv::ReadBytes(PathOf("rows.vlm")).split('\n');
  EXPECT_EQ(lines[5], EncodeLine("db;V0;scott;tiger;;", 1).toLatin1() + "\r");
  EXPECT_EQ(lines[6], EncodeLine("db;V1;scott;tiger;;", 2).toLatin1() + "\r");
  EXPECT_EQ(lines[7], EncodeLine("db;V2;scott;tiger;;", 3).toLatin1() + "\r");
  EXPECT_EQ(lines[8], EncodeLine("db;V3;scott;tiger;;", 1).toLatin1() + "\r");
}

// Lines of megabytes too, well past the reader's blocks.
TEST_F(ProjectFileTest, SaveAndReopenKeepsEverything) {
  Project p;
  Fill(p);
  p.SetGeneral("first line\r\n" + QString(700000, QChar(0x3A9)));
  p.AppendEntry(ObjectKind::Packages,
                Entry(QString::fromUtf8("Zürich"), "PKG",
                      QString::fromUtf8("Größe € Ω 😀 \x1f; a;b;;\x1fs\r\nline two")));
  p.AppendEntry(ObjectKind::Roles, Entry("db", "R", QString(450000, u'x')));
  p.AppendEntry(ObjectKind::Views, Entry("orcl", "V2"));
  p.SetModified(true);
  QString error;
  ASSERT_TRUE(WriteProject(p, PathOf("full.vlm"), &error));
  EXPECT_FALSE(p.IsModified());
  EXPECT_FALSE(p.Info().Updated.isEmpty());

  Project back;
  back.SetModified(true);
  ASSERT_TRUE(ReadProject(back, PathOf("full.vlm"), &error)) << error.toStdString();
  EXPECT_EQ(back.Info().Name, "demo");
  EXPECT_EQ(back.Info().Version, "1.0");
  EXPECT_EQ(back.Info().General, p.Info().General);
  EXPECT_EQ(back.Contents().entries, p.Contents().entries);
  EXPECT_EQ(back.SectionDescription(ObjectKind::Sequences), "seq text");
  EXPECT_EQ(back.SectionDescription(ObjectKind::Roles), "roles text");
  EXPECT_EQ(back.Info().Updated, p.Info().Updated);
  EXPECT_TRUE(back.IsModified());  // reading leaves the marker alone
  // Entries under one connection hold one copy of it, as added and as read.
  for (const Project* project : {&p, &back}) {
    const QList<ObjectEntry>& views = project->Entries(ObjectKind::Views);
    EXPECT_EQ(&views[1].connection().ServerName(), &views[0].connection().ServerName());
  }
}

TEST_F(ProjectFileTest, ReadsWhatEditorsAndEarlierVersionsWrote) {
  const QByteArray crlf = EmptyFileWithTables("1", Line("a;b;c;d;e;", 1));
  QByteArray lf = crlf;
  lf.replace("\r\n", "\n");
  struct Case {
    const char* name;
    QByteArray file;
    QString description;
  };
  const Case cases[] = {
      {"bare LF line ends", lf, "e"},
      {"no last line end", lf.chopped(1), "e"},
      // Written before a ";" in a field had its escape: the rest of the row is the description.
      {"older row", EmptyFileWithTables("1", Line("a;b;c;d;one; two;;three;", 1)),
       "one; two;;three"},
  };
  for (const Case& c : cases) {
    testenv::WriteBytes(PathOf("read.vlm"), c.file);
    Project p;
    ASSERT_TRUE(ReadProject(p, PathOf("read.vlm"), nullptr)) << c.name;
    EXPECT_EQ(p.Info().Name, "x") << c.name;
    EXPECT_EQ(p.Entries(ObjectKind::Tables).value(0),
              (ObjectEntry{{"a", "c", "d"}, "b", c.description}))
        << c.name;
  }
}

TEST_F(ProjectFileTest, DamagedFilesAreRejectedAndChangeNothing) {
  ExpectRejected("just some text\r\n");
  ExpectRejected(QByteArray("\x00\x01\x02\xff", 4));
  ExpectRejected(QByteArray(3 << 20, '7') + 'x');  // a long line that is no encoding
  ExpectRejected("");
  ExpectRejected(Line("x", 1) + Line("1.0", 2));  // texts may be missing, the counts not
  // Cut in the middle of a row: the row lacks its last field end, and the later rows and
  // counts are missing.
  QByteArray cut = EmptyFileWithTables("2", Line("a;b;c;d;e;", 1) + Line("a;b;c;d;e;", 2));
  ExpectRejected(cut.left(cut.indexOf("\r\n", 40) - 4));
  ExpectRejected(EmptyFileWithTables("1", "x" + Line("a;b;c;d;e;", 1)));   // length not a digit
  for (const char* count : {"zero", "-1", " 1", "+1", "1.0", ""})
    ExpectRejected(EmptyFileWithTables(count, {}));
  ExpectRejected(EmptyFileWithTables("1", Line("a;b;c;d;", 1)));            // four fields
  ExpectRejected(EmptyFileWithTables("1", Line("a;b;c;d;e", 1)));           // no final ";"
  ExpectRejected(EmptyFileWithTables("1", Line("a;b;c;d;e;", 1)) + Line("more", 1));
  // A huge count with too few rows fails at the first missing row, at once.
  ExpectRejected(EmptyFileWithTables("999999999", Line("a;b;c;d;e;", 1)));

  // What is not a regular file is refused before it is read: it could block or never end.
  ExpectPathRejected(PathOf("missing.vlm"), "No such file or directory");
  ExpectPathRejected(dir_.path(), "Is a directory");
  ASSERT_EQ(::mkfifo(QFile::encodeName(PathOf("fifo.vlm")).constData(), 0600), 0);
  ExpectPathRejected(PathOf("fifo.vlm"), "Not a regular file");
  ExpectPathRejected("/dev/zero", "Not a regular file");
}

TEST_F(ProjectFileTest, FailedWriteKeepsTheOldFileWholeAndTheMarkerSet) {
  Project p;
  Fill(p);
  const QString path = PathOf("keep.vlm");
  ASSERT_TRUE(WriteProject(p, path, nullptr));
  const QByteArray old = testenv::ReadBytes(path);

  // The new file cannot be written whole (a file size limit stands for a full disk).
  p.SetGeneral(QString(100000, u'x'));
  p.SetModified(true);
  const int status = childprocess::Run([&] {
    childprocess::LimitFileSize(old.size() + 100);
    QString error;
    const bool written = WriteProject(p, path, &error);
    return !written && p.IsModified() &&
                   error == QString("ERROR: Vellumar Project file %1 can't be created. "
                                    "File too large.").arg(path)
               ? 0
               : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(testenv::ReadBytes(path), old);
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"keep.vlm"});
}

}  // namespace
