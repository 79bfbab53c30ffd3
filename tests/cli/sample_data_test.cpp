// The sample data agree with each other: data/sample/demo.vlm is what the project writer
// makes of it, and the bundled sample dictionary, found where the program looks, documents
// its entries.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "db/database.h"
#include "project/project_file.h"
#include "support/test_env.h"

namespace {

TEST(SampleData, ProjectAndDictionaryAgree) {
  const QString sample = testenv::SourceDir() + "/data/sample/demo.vlm";
  Project project;
  QString error;
  ASSERT_TRUE(ReadProject(project, sample, &error)) << error.toStdString();
  QTemporaryDir dir;
  ASSERT_TRUE(WriteProject(project, dir.filePath("demo.vlm"), &error)) << error.toStdString();
  EXPECT_EQ(testenv::ReadBytes(dir.filePath("demo.vlm")), testenv::ReadBytes(sample));

  // Every entry's object has rows in the queries its section runs by name (that each one
  // exists, the sample's coverage report says).
  const std::pair<ObjectKind, QueryId> kQueries[] = {
      {ObjectKind::Tables, QueryId::OCITableFields},
      {ObjectKind::Views, QueryId::OCIViews},
      {ObjectKind::Packages, QueryId::OCIPackageText},
  };
  Database db;  // no directory given: the sample dictionary is found without one
  for (const auto& [kind, query] : kQueries) {
    EXPECT_FALSE(project.Entries(kind).isEmpty());
    for (const ObjectEntry& e : project.Entries(kind)) {
      ConnectDatabase(db, e.connection().ServerName(), e.connection().UserName(),
                      e.connection().Password());
      const QString name = e.ObjectName().toString();
      EXPECT_FALSE(RunQuery(db, query, name).Eof()) << name.toStdString();
    }
  }
}

}  // namespace
