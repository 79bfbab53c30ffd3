#include "project/project_history.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

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

TEST_F(ProjectHistoryTest, ReadsHandEditedFiles) {
  QDir().mkpath(QFileInfo(history_.Path()).path());
  testenv::WriteBytes(history_.Path(), "/a.vlm\n\n/A.VLM\n/b\xe9.vlm");  // LF, no last end
  QStringList paths;
  ASSERT_TRUE(history_.LoadHistory(&paths, nullptr));
  EXPECT_EQ(paths, (QStringList{"/a.vlm", QString::fromUtf8("/bé.vlm")}));
  bool added = false;
  ASSERT_TRUE(history_.AddToHistory("/c.vlm", &added, nullptr));
  EXPECT_TRUE(added);
  EXPECT_EQ(testenv::ReadBytes(history_.Path()),
            "/a.vlm\r\n\r\n/A.VLM\r\n/b\xe9.vlm\r\n/c.vlm\r\n");  // not joined to the last line
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
  EXPECT_EQ(error, "ERROR: Project history file " + history_.Path() + " can't be deleted.");
  QStringList paths;
  EXPECT_FALSE(history_.LoadHistory(&paths, &error));
  EXPECT_EQ(error, "ERROR: Project history file " + history_.Path() + " can't be opened.");
}

TEST_F(ProjectHistoryTest, UncreatableFileIsReported) {
  testenv::WriteBytes(dir_.filePath("file"), "x");
  const ProjectHistory blocked(dir_.filePath("file/Velmar.prh"));  // parent is a file
  bool added = true;
  QString error;
  EXPECT_FALSE(blocked.AddToHistory("/x.vlm", &added, &error));
  EXPECT_FALSE(added);
  EXPECT_EQ(error, "ERROR: Project history file " + blocked.Path() + " can't be created.");
}

}  // namespace
