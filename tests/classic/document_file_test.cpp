#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>

#include "builder/build_runner.h"
#include "classic/document_file.h"
#include "support/child_process.h"
#include "support/test_env.h"

namespace {

// Saves `header` and `body` as the document at `path`, each handed over as a build does;
// returns the error, empty on success.
QString Save(const QString& path, QStringList header, QStringList body, bool html,
             int* replaced = nullptr) {
  DocumentFile file(path, html);
  file.Append(header);
  file.Append(body);
  EXPECT_TRUE(header.isEmpty() && body.isEmpty());
  QString error;
  if (!file.Save(&error)) return error.isEmpty() ? QStringLiteral("?") : error;
  if (replaced) *replaced = file.Replaced();
  return {};
}

TEST(DocumentFileTest, HeaderThenBodyInCodePageBytesWithCrLfAndNoCharacterLost) {
  QTemporaryDir dir;
  // "€" and "é" are in the code page; "Ω" (U+03A9) and the emoji are not. A long line
  // passes the point where the writer hands its bytes to the file.
  const QString longLine(1 << 20, u'x');
  const QStringList body = {QString::fromUtf8("€é"), "", QString::fromUtf8("Ω😀x"), longLine,
                            QString::fromUtf8("ü")};
  int replaced = -1;
  ASSERT_EQ(Save(dir.filePath("a.htm"), {"head"}, body, true, &replaced), "");
  EXPECT_EQ(testenv::ReadBytes(dir.filePath("a.htm")),
            "head\r\n\x80\xE9\r\n\r\n&#937;&#128512;x\r\n" + longLine.toLatin1() +
                "\r\n\xFC\r\n");
  EXPECT_EQ(replaced, 0);
  ASSERT_EQ(Save(dir.filePath("a.txt"), {QString::fromUtf8("Ω")}, body, false, &replaced), "");
  EXPECT_EQ(testenv::ReadBytes(dir.filePath("a.txt")),
            "?\r\n\x80\xE9\r\n\r\n??x\r\n" + longLine.toLatin1() + "\r\n\xFC\r\n");
  EXPECT_EQ(replaced, 3);
}

TEST(DocumentFileTest, PlainRunsAroundACodePageCharacterAtEveryPosition) {
  // Plain characters are encoded several at a time: a character outside that fast path, at
  // any place in a line, must still come out in order. "Œ" (U+0152, 0x8C in the code page)
  // has the top bit of neither of its bytes set.
  QTemporaryDir dir;
  for (int at = 0; at < 36; ++at) {
    QString line = QString::fromLatin1("0123456789abcdefghijklmnopqrstuvwxyz").left(at + 1);
    line[at] = QChar(0x0152);
    QByteArray expected = line.toLatin1();
    expected[at] = '\x8C';
    ASSERT_EQ(Save(dir.filePath("a.txt"), {}, {line + "xyz", line}, false), "");
    EXPECT_EQ(testenv::ReadBytes(dir.filePath("a.txt")),
              expected + "xyz\r\n" + expected + "\r\n") << at;
  }
}

TEST(DocumentFileTest, SaveReplacesTheFileWholeOrLeavesTheOldOne) {
  QTemporaryDir dir;
  const QString path = dir.filePath("doc.htm");
  testenv::WriteBytes(path, "old contents that are longer");
  const auto inode = [&] {
    struct stat st {};
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_ino : 0;
  };
  const ino_t before = inode();
  {
    // A build that ends without saving leaves the old document and nothing else.
    DocumentFile abandoned(path, true);
    QStringList lines = {"new"};
    abandoned.Append(lines);
  }
  EXPECT_EQ(testenv::ReadBytes(path), "old contents that are longer");
  ASSERT_EQ(Save(path, {"a"}, {"b"}, true), "");
  EXPECT_EQ(testenv::ReadBytes(path), "a\r\nb\r\n");
  EXPECT_NE(inode(), before) << "a new file is renamed in, never copied over the old one";

  // A document that cannot be written whole (a file size limit stands for a full disk).
  const int status = childprocess::Run([&] {
    childprocess::LimitFileSize(4096);
    return Save(path, {}, {QString(8192, u'x')}, true) == "File too large" ? 0 : 1;
  });
  EXPECT_EQ(status, 0);
  EXPECT_EQ(testenv::ReadBytes(path), "a\r\nb\r\n");

  testenv::WriteBytes(dir.filePath("plain"), "x");
  for (const QString& bad : {dir.filePath("missing/doc.htm"), dir.filePath("plain/doc.htm")}) {
    EXPECT_NE(Save(bad, {"a"}, {"b"}, true), "");
    EXPECT_FALSE(QFileInfo::exists(bad));
  }
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
            QStringList({"doc.htm", "plain"}));
}

TEST(OutputFileNameTest, ExtensionAppendedUnlessContained) {
  EXPECT_EQ(OutputFileName("report", OutputFormat::Text), "report.txt");
  EXPECT_EQ(OutputFileName("report.txt", OutputFormat::Html), "report.txt.htm");
  EXPECT_EQ(OutputFileName("notes.html", OutputFormat::Html), "notes.html");
  EXPECT_EQ(OutputFileName("/d/NOTES.TXT", OutputFormat::Text), "/d/NOTES.TXT");
  EXPECT_EQ(OutputFileName("/d.htm.old/x", OutputFormat::Html), "/d.htm.old/x");
}

}  // namespace
