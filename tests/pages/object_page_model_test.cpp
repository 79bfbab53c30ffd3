#include "pages/object_page_model.h"

#include <gtest/gtest.h>

#include "db/database.h"
#include "dictionary_fixture.h"
#include "pages/available_list.h"
#include "pages/initial_description.h"

namespace {

ObjectEntry Entry(const QString& server, const QString& name, const QString& user = "SCOTT",
                  const QString& password = "tiger", const QString& description = {}) {
  return {server, name, user, password, description};
}

QStringList LineTexts(const ObjectPageModel& model) {
  QStringList texts;
  for (const ProjectListItem& line : model.ProjectList()) texts.append(line.text);
  return texts;
}

TEST(FilterAvailable, LeavesOutOnlyNamesChosenFromTheSameDatabaseExactly) {
  const QList<ObjectEntry> entries = {Entry("ORCL", "EMP"), Entry("orcl", "DEPT"),
                                      Entry("TEST", "JOBS"), Entry("ORCL", "bonus")};
  const QStringList names = {"EMP", "DEPT", "JOBS", "BONUS", "bonus", "Audit", "_LOG", "adm"};
  EXPECT_EQ(FilterAvailable(names, entries, "ORCL"),
            QStringList({"adm", "Audit", "BONUS", "DEPT", "JOBS", "_LOG"}));
  EXPECT_EQ(FilterAvailable({}, entries, "ORCL"), QStringList());
}

class ObjectPageModelTest : public fixture::ScottDictionaryTest {
 protected:
  ObjectPageModel Model(ObjectKind kind) {
    return ObjectPageModel(project, conn.db, kind, Describer(kind));
  }
};

TEST_F(ObjectPageModelTest, RemoveReturnsANameOnlyWhenChosenUnderExactlyThisConnection) {
  project.AppendEntry(ObjectKind::Tables, Entry("ORCL", "DEPT", "SCOTT", "TIGER"));  // password differs
  project.AppendEntry(ObjectKind::Tables, Entry("ORCL", "bonus", "HR", "tiger"));    // user differs
  project.AppendEntry(ObjectKind::Tables, Entry("ORCL", "EMP"));                     // same login
  ObjectPageModel model = Model(ObjectKind::Tables);
  Connect("ORCL");
  model.FillAvailableList();
  EXPECT_TRUE(model.AvailableList().isEmpty());

  model.RemoveEntries({0, 1});  // ORCL.bonus and ORCL.DEPT
  EXPECT_TRUE(model.AvailableList().isEmpty());
  EXPECT_EQ(LineTexts(model), QStringList({"ORCL.EMP"}));
  model.RemoveAllEntries();
  EXPECT_EQ(model.AvailableList(), QStringList({"EMP"}));
  EXPECT_TRUE(project.Entries(ObjectKind::Tables).isEmpty());

  model.FillAvailableList();  // the dictionary decides again
  EXPECT_EQ(model.AvailableList(), QStringList({"bonus", "DEPT", "EMP"}));
}

TEST_F(ObjectPageModelTest, LinesThatReadTheSameStillAddressTheirOwnEntries) {
  project.AppendEntry(ObjectKind::Tables, Entry("orcl", "EMP", "SCOTT", "tiger", "lower"));
  project.AppendEntry(ObjectKind::Tables, Entry("ORCL", "EMP", "HR", "hr", "upper"));
  ObjectPageModel model = Model(ObjectKind::Tables);
  ASSERT_EQ(LineTexts(model), QStringList({"ORCL.EMP", "ORCL.EMP"}));
  const int second = model.ProjectList()[1].entry;
  const QString kept = project.Entries(ObjectKind::Tables)[1 - second].Description;
  model.RemoveEntries({1});
  ASSERT_EQ(project.Entries(ObjectKind::Tables).size(), 1);
  EXPECT_EQ(project.Entries(ObjectKind::Tables)[0].Description, kept);
}

TEST_F(ObjectPageModelTest, InitialDescriptionsOfEachKind) {
  Connect("ORCL");
  EXPECT_EQ(InitialDescription(conn.db, settings, ObjectKind::Tables, "EMP"),
            "Employees of the company");
  EXPECT_EQ(InitialDescription(conn.db, settings, ObjectKind::Tables, "DEPT"), "");
  EXPECT_EQ(InitialDescription(conn.db, settings, ObjectKind::Tables, "NOSUCH"), "");
  EXPECT_EQ(InitialDescription(conn.db, settings, ObjectKind::Packages, "PAY_PKG"),
            "first part second part");
  EXPECT_EQ(InitialDescription(conn.db, settings, ObjectKind::Views, "EMP_V"), "");
  settings.Package_opentag = "<PKG>";  // the tags in force at the moment decide
  EXPECT_EQ(InitialDescription(conn.db, settings, ObjectKind::Packages, "PAY_PKG"), "");
}

TEST_F(ObjectPageModelTest, EachKindListsItsDictionaryObjects) {
  Connect("ORCL");
  const std::pair<ObjectKind, QStringList> expected[] = {
      {ObjectKind::Views, {"EMP_V"}},
      {ObjectKind::ProceduresAndFunctions, {"GET_SAL (FUNCTION)", "RAISE_SAL (PROCEDURE)"}},
      {ObjectKind::Packages, {"PAY_PKG"}},
      {ObjectKind::Sequences, {"EMP_SEQ"}},
      {ObjectKind::Roles, {"CLERK", "HR"}}};
  for (const auto& [kind, names] : expected) {
    ObjectPageModel model = Model(kind);
    model.FillAvailableList();
    EXPECT_EQ(model.AvailableList(), names) << static_cast<int>(kind);
  }
  Connect("ORCL", "HR", "hr");  // HR owns no sequence: no rows, an empty list
  ObjectPageModel sequences = Model(ObjectKind::Sequences);
  sequences.FillAvailableList();
  EXPECT_TRUE(sequences.AvailableList().isEmpty());
}

}  // namespace
