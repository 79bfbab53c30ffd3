// The sample data agree with each other: data/sample/demo.vlm is what the project writer
// makes of it, and every entry names an object that the bundled sample dictionary, found
// where the program looks, documents with rows in each of its queries.
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

  // The queries each kind's section runs, and the column that names the object in lists.
  const struct {
    ObjectKind kind;
    QList<QueryId> byName;
    QueryId list;
    const char* column;
  } kKinds[] = {
      {ObjectKind::Tables, {QueryId::OCITableFields}, QueryId::OCITables, "table_name"},
      {ObjectKind::Views, {QueryId::OCIViews}, QueryId::OCIViewNames, "view_name"},
      {ObjectKind::ProceduresAndFunctions, {}, QueryId::OCIProcedures, "proc"},
      {ObjectKind::Packages, {QueryId::OCIPackageText}, QueryId::OCIPackages, "name"},
      {ObjectKind::Sequences, {}, QueryId::OCISequences, "sequence_name"},
      {ObjectKind::Roles, {}, QueryId::OCIRoles, "grantee"},
  };
  Database db;  // no directory given: the sample dictionary is found without one
  for (const auto& k : kKinds) {
    EXPECT_FALSE(project.Entries(k.kind).isEmpty());
    for (const ObjectEntry& e : project.Entries(k.kind)) {
      SCOPED_TRACE(e.ObjectName.toStdString());
      ConnectDatabase(db, e.connection.ServerName(), e.connection.UserName(),
                      e.connection.Password());
      QStringList names;
      Query& list = db.query(k.list);
      list.Close();
      for (list.Open(); !list.Eof(); list.Next()) names << list.Field(k.column);
      EXPECT_TRUE(names.contains(e.ObjectName));
      for (QueryId id : k.byName) EXPECT_FALSE(RunQuery(db, id, e.ObjectName).Eof());
    }
  }
}

}  // namespace
