#include <gtest/gtest.h>

#include "db_test_support.h"

namespace {

// The bundled sample dictionary as the program finds it.
class SampleDictionaryTest : public ::testing::Test, public testdb::DbFixtureBase {
 protected:
  void SetUp() override { db.SetSnapshotDirectories({SampleDictionaryDirectory()}); }
};

TEST_F(SampleDictionaryTest, IsFoundWhereTheProgramLooks) {
  Database fresh;  // searches the sample directory without being told
  ConnectDatabase(fresh, "DEMO", "HR", "hr");
  EXPECT_TRUE(fresh.Connected());
}

TEST_F(SampleDictionaryTest, HrSchemaHasCompositeKeysAndMultiLineTexts) {
  ConnectDatabase(db, "DEMO", "HR", "hr");
  EXPECT_EQ(Column(QueryId::OCISynonyms, {"EMPLOYEES"}, "synonym_name").size(), 2);
  EXPECT_EQ(Column(QueryId::OCIPrimaryKeys, {"JOB_HISTORY"}, "sarake"),
            QStringList({"EMPLOYEE_ID", "START_DATE"}));
  EXPECT_EQ(Column(QueryId::OCIForeignKeys, {"JOB_HISTORY_NOTES"}, "kohdesarake"),
            QStringList({"JOB_HISTORY.EMPLOYEE_ID", "JOB_HISTORY.START_DATE"}));

  const QStringList view = Column(QueryId::OCIViews, {"EMP_DETAILS_VIEW"}, "text");
  ASSERT_EQ(view.size(), 1);
  EXPECT_TRUE(view[0].contains('<') && view[0].contains('&') && view[0].endsWith('\n'));
  EXPECT_GT(view[0].count('\n'), 3);

  const QStringList source = Column(QueryId::OCIPackageText, {"EMP_MGMT"}, "text");
  ASSERT_GT(source.size(), 10);
  for (int i = 0; i + 1 < source.size(); ++i) EXPECT_TRUE(source[i].endsWith('\n')) << i;
  EXPECT_TRUE(source.contains("<PD>\n"));
  EXPECT_GE(source.count("<FD>\n"), 3);
}

TEST_F(SampleDictionaryTest, EveryQueryFindsRowsForHr) {
  const struct {
    QueryId id;
    QStringList binds;
  } kCases[] = {
      {QueryId::OCITables, {}},
      {QueryId::OCIViewNames, {}},
      {QueryId::OCIProcedures, {}},
      {QueryId::OCIPackages, {}},
      {QueryId::OCISequences, {}},
      {QueryId::OCIRoles, {}},
      {QueryId::OCIComments, {"DEPARTMENTS"}},
      {QueryId::OCISynonyms, {"DEPARTMENTS"}},
      {QueryId::OCITableFields, {"EMPLOYEES"}},
      {QueryId::OCIPrimaryKeys, {"EMPLOYEES"}},
      {QueryId::OCIForeignKeys, {"EMPLOYEES"}},
      {QueryId::OCIIndexes, {"EMPLOYEES"}},
      {QueryId::OCIViews, {"DEPARTMENT_HEADCOUNT"}},
      {QueryId::OCIProctext, {"RAISE_SALARY", "PROCEDURE"}},
      {QueryId::OCIPackageText, {"HR_UTIL"}},
  };
  ConnectDatabase(db, "DEMO", "HR", "hr");
  for (const auto& c : kCases) {
    Query& q = db.query(c.id);
    q.Close();
    for (int i = 0; i < c.binds.size(); ++i) q.BindText(i + 1, c.binds[i]);
    q.Open();
    EXPECT_FALSE(q.Eof()) << QueryTextOf(c.id).name;
  }
  QStringList nameIndex;
  for (const QStringList& row : Rows(QueryId::OCIIndexes, {"EMPLOYEES"}, {"nimi", "sarake"}))
    if (row[0].trimmed() == "EMP_NAME_IX") nameIndex << row[1];
  EXPECT_EQ(nameIndex, QStringList({"LAST_NAME", "FIRST_NAME"}));
  EXPECT_TRUE(errors.isEmpty());
}

TEST_F(SampleDictionaryTest, SecondUserAndSecondDatabase) {
  ConnectDatabase(db, "DEMO", "PAYROLL", "payroll");
  EXPECT_EQ(Column(QueryId::OCIComments, {"EMPLOYEES"}, "comments").first(),
            "Payroll data of employees: bank account and tax code.");
  ConnectDatabase(db, "SALES", "SALES", "sales");
  EXPECT_EQ(Column(QueryId::OCITables, {}, "table_name"),
            QStringList({"CUSTOMERS", "ORDERS", "ORDER_ITEMS"}));
}

}  // namespace
