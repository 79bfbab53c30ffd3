#include "project/project_history.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

#include <QFile>

#include "support/child_process.h"
#include "support/test_env.h"

namespace {

class ProjectHistoryTest : public ::testing::Test {
 protected:
  QTemporaryDir dir_;
  ProjectHistory history_{dir_.filePath("hist/Velmar.prh")};
};

TEST_F(ProjectHistoryTest, RecordsEachPathOnceOldestFirst) {
  QStringList paths;
  ASSERT_TRUE(history_.LoadHistory(&paths, nullptr));
  EXPECT_TRUE(paths.isEmpty());

  bool added = false;
  QString error;
  for (const char* p : {"/p/A.vlm", "/p/B.vlm", "/p/C.vlm"}) {
    ASSERT_TRUE(history_.AddToHistory(p, &added, &error)) << error.toStdString();
    EXPECT_TRUE(added);
  }
  ASSERT_TRUE(history_.AddToHistory("/P/b.VLM", &added, &error));
  EXPECT_FALSE(added);
  EXPECT_EQ(testenv::ReadBytes(history_.Path()), "/p/A.vlm\r\n/p/B.vlm\r\n/p/C.vlm\r\n");
  ASSERT_TRUE(history_.LoadHistory(&paths, &error));
  EXPECT_EQ(paths, (QStringList{"/p/A.vlm", "/p/B.vlm", "/p/C.vlm"}));
}

TEST_F(ProjectHistoryTest, ReadsHandEditedAndMixedFilesAndRefusesWhatIsNoFile) {
  QDir().mkpath(QFileInfo(history_.Path()).path());
  const QString longPath = "/p/" + QString(2 << 20, u'x') + ".vlm";
  const QString byteName = QStringLiteral("/p/caf") + QChar(0xDCE9) + ".vlm";  // not UTF-8
  struct Case {
    const char* name;
    QByteArray file;
    QStringList paths;
  };
  const Case cases[] = {
      {"LF, empty lines, repeats, no last end", "/a.vlm\n\n/A.VLM\n/b\xe9.vlm",
       {"/a.vlm", QString::fromUtf8("/bé.vlm")}},
      {"Windows-1252 and UTF-8 lines", "/caf\xe9.vlm\r\n/\xce\xa9.vlm\r\n/\xc3\xa9\xe9.vlm\r\n",
       {QString::fromUtf8("/café.vlm"), QString::fromUtf8("/Ω.vlm"), QString::fromUtf8("/Ã©é.vlm")}},
  };
  QStringList paths;
  for (const Case& c : cases) {
    testenv::WriteBytes(history_.Path(), c.file);
    ASSERT_TRUE(history_.LoadHistory(&paths, nullptr)) << c.name;
    EXPECT_EQ(paths, c.paths) << c.name;
  }
  // What the file cannot spell in Windows-1252 is recorded once and reads back exactly.
  for (const QString& path : {longPath, byteName, QString::fromUtf8("/p/Ω.vlm")}) {
    bool added = false;
    ASSERT_TRUE(history_.AddToHistory(path, &added, nullptr));
    ASSERT_TRUE(history_.AddToHistory(path, &added, nullptr));
    EXPECT_FALSE(added) << "recorded once";
  }
  ASSERT_TRUE(history_.LoadHistory(&paths, nullptr));
  EXPECT_EQ(paths.mid(3), (QStringList{longPath, byteName, QString::fromUtf8("/p/Ω.vlm")}));
  EXPECT_TRUE(testenv::ReadBytes(history_.Path()).startsWith(cases[1].file)) << "old lines kept";

  QFile::remove(history_.Path());
  ASSERT_EQ(::mkfifo(QFile::encodeName(history_.Path()).constData(), 0600), 0);
  QString error;
  EXPECT_FALSE(history_.LoadHistory(&paths, &error));
  EXPECT_EQ(error, "ERROR: Project history file " + history_.Path() +
                       " can't be opened. Not a regular file.");
}

TEST_F(ProjectHistoryTest, EmptyHistoryDeletesOnceAndReportsFailure) {
  ASSERT_TRUE(history_.AddToHistory("/x.vlm", nullptr, nullptr));
  QString error;
  ASSERT_TRUE(history_.EmptyHistory(&error));
  EXPECT_FALSE(history_.Exists());
  EXPECT_TRUE(history_.EmptyHistory(&error));  // nothing left to delete

  // A directory in the file's place cannot be deleted as a file.
  ASSERT_TRUE(QDir().mkpath(history_.Path() + "/inside"));
  EXPECT_FALSE(history_.EmptyHistory(&error));
  EXPECT_EQ(error, "ERROR: Project history file " + history_.Path() +
                       " can't be deleted. Is a directory.");
  QStringList paths;
  EXPECT_FALSE(history_.LoadHistory(&paths, &error));
  EXPECT_EQ(error, "ERROR: Project history file " + history_.Path() +
                       " can't be opened. Is a directory.");
}

// Permission bits stop only an unprivileged user (root runs this as one): a history that
// cannot be read is reported, and recording a project leaves its lines as they are.
TEST_F(ProjectHistoryTest, AFileThatCannotBeReadIsReportedAndKept) {
  ASSERT_TRUE(history_.AddToHistory("/p/A.vlm", nullptr, nullptr));
  const QByteArray name = QFile::encodeName(history_.Path());
  ::chmod(name.constData(), 0200);
  for (const QString& path : {dir_.path(), QFileInfo(history_.Path()).path(), history_.Path()})
    childprocess::GiveToChild(path);
  const QString reason =
      "ERROR: Project history file " + history_.Path() + " can't be opened. Permission denied.";
  const int status = childprocess::Run(
      [&] {
        QStringList paths;
        QString read, added;
        history_.LoadHistory(&paths, &read);
        history_.AddToHistory("/p/B.vlm", nullptr, &added);
        return read == reason && added == reason ? 0 : 1;
      },
      true);
  ::chmod(name.constData(), 0600);
  EXPECT_EQ(status, 0) << childprocess::kCannotDrop << ": root could not drop its rights";
  EXPECT_EQ(testenv::ReadBytes(history_.Path()), "/p/A.vlm\r\n");
}

}  // namespace
