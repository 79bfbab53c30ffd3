// The dictionary capture through the stub client library: a made HR schema read from the
// ALL_ views, written as a snapshot and read back by the snapshot backend.
#include <gtest/gtest.h>

#include <QDir>

#include "capture/dictionary_capture.h"
#include "capture/hr_dictionary.h"
#include "oci_stub.h"
#include "support/db_fixture.h"
#include "support/test_env.h"

namespace {

using namespace capturetest;

class CaptureTest : public ::testing::Test, public testdb::DbFixtureBase {
 protected:
  void SetUp() override {
    qputenv("VELLUMAR_OCI_LIBRARY", OCI_STUB_PATH);
    stub_reset();
    stub_set_logon("HR", "hr-pass", "ORCL");
    request.server = "ORCL";
    request.user = "HR";
    request.password = "hr-pass";
    out = SnapshotPath("orcl.sqlite");
  }
  void TearDown() override {
    db.Disconnect();
    qunsetenv("VELLUMAR_OCI_LIBRARY");
  }
  CaptureResult Capture() { return CaptureDictionary(request, out, steps); }

  CaptureRequest request;
  QString out;
  Steps steps;
};

TEST_F(CaptureTest, TheSnapshotHoldsWhatTheViewsShowAndDocumentsRead) {
  ScriptHr();
  const CaptureResult r = Capture();
  ASSERT_TRUE(r.ok()) << r.error.toStdString();
  EXPECT_EQ(r.owners, QStringList({"HR"}));
  EXPECT_EQ(r.rows, 42);
  EXPECT_EQ(stub_open_sessions(), 0);
  EXPECT_EQ(steps.done.first(), "ALL_USERS: 1 row");
  EXPECT_EQ(steps.done.mid(2, 1), QStringList({"ALL_TAB_COMMENTS: 3 rows"}));
  EXPECT_EQ(steps.done.size(), 20);  // ALL_USERS and a view per snapshot table
  EXPECT_EQ(steps.max, steps.done.size());
  EXPECT_EQ(QString::fromUtf8(stub_last_bind(1)), "HR");

  // No password hash was asked for: any password logs on.
  ConnectDatabase(db, "ORCL", "HR", "whatever");
  EXPECT_EQ(Column(QueryId::OCITables, {}, "table_name"), QStringList({"DEPARTMENTS", "EMPLOYEES"}));
  EXPECT_EQ(Rows(QueryId::OCIColumns, {"EMPLOYEES"},
                 {"column_name", "data_precision", "nullable", "data_default", "comments"}),
            QList<QStringList>({{"EMPLOYEE_ID", "6", "N", "", ""},
                                {"HIRE_DATE", "", "N", "SYSDATE ", "Day the employee started."},
                                {"DEPARTMENT_ID", "4", "Y", "", ""}}));
  EXPECT_EQ(Column(QueryId::OCIForeignKeys, {"EMPLOYEES"}, "kohdesarake"),
            QStringList({"DEPARTMENTS.DEPARTMENT_ID"}));
  EXPECT_EQ(Rows(QueryId::OCIIndexExpressions, {"EMPLOYEES"},
                 {"column_name", "descend", "column_expression"}),
            QList<QStringList>({{"SYS_NC00004$", "DESC", "\"HIRE_DATE\""}}));
  EXPECT_EQ(Column(QueryId::OCIViews, {"EMP_NAMES"}, "text"),
            QStringList({"SELECT e.employee_id, d.department_name\n"
                         "FROM employees e JOIN departments d USING (department_id)"}));
  EXPECT_EQ(Column(QueryId::OCIProctext, {"HEADCOUNT", "FUNCTION"}, "text"),
            QStringList({"FUNCTION headcount (p_dept NUMBER)\n",
                         "RETURN NUMBER IS BEGIN RETURN 0; END;"}));
  EXPECT_EQ(Rows(QueryId::OCITableSynonyms, {"HR", "EMPLOYEES"}, {"owner", "synonym_name"}),
            QList<QStringList>({{"PUBLIC", "EMP"}}));
  EXPECT_EQ(Rows(QueryId::OCIUnitArguments, {"HEADCOUNT"}, {"argument_name", "in_out"}),
            QList<QStringList>({{"", "OUT"}, {"P_DEPT", "IN"}}));
  // Both directions of what uses what: HR's own rows and another schema's use of HR.
  const QStringList hr{"HR", "HR"};
  EXPECT_EQ(Rows(QueryId::OCIDependencies, hr, {"owner", "name", "referenced_name"}),
            QList<QStringList>({{"HR", "HEADCOUNT", "EMPLOYEES"},
                                {"HR", "HEADCOUNT", "STANDARD"},
                                {"PAYROLL", "PAY_RUN", "HEADCOUNT"}}));
  EXPECT_EQ(Rows(QueryId::OCIInvalidObjects, {"HR"}, {"object_name", "object_type"}),
            QList<QStringList>({{"HEADCOUNT", "FUNCTION"}}));
}

TEST_F(CaptureTest, AFailureNamesWhatFailedAndLeavesTheOldSnapshot) {
  struct Case {
    const char* skip;      // the view Oracle refuses
    int loseAt;            // or the row of ALL_TAB_COLUMNS at which the connection is lost
    QStringList owners;
    const char* error;
  };
  const Case cases[] = {
      {"FROM all_source", -1, {}, "Reading ALL_SOURCE failed: ORA-00942: table or view does not exist"},
      {nullptr, 3, {}, "Reading ALL_TAB_COLUMNS failed: ORA-03113: end-of-file on communication channel"},
      {nullptr, -1, {"HR", "Scott", "PAYROLL"}, "ALL_USERS shows no user Scott, PAYROLL."},
  };
  testenv::WriteBytes(out, "the old snapshot");
  for (const Case& c : cases) {
    stub_reset();
    stub_set_logon("HR", "hr-pass", "ORCL");
    ScriptHr(c.skip);
    if (c.loseAt >= 0) {
      // ALL_TAB_COLUMNS scripted again, last, so that it answers.
      Script("FROM all_tab_columns", {"OWNER", "TABLE_NAME", "COLUMN_NAME", "COLUMN_ID",
                                      "DATA_TYPE", "DATA_LENGTH", "DATA_PRECISION", "NULLABLE",
                                      "DATA_SCALE", "CHAR_LENGTH", "CHAR_USED", "DATA_DEFAULT"},
             std::vector<Row>(5, Row{"HR", "T", "C", "1", "DATE", "7", nullptr, "Y", nullptr,
                                     nullptr, nullptr, nullptr}));
      stub_lose_connection_at(c.loseAt);
    }
    request.owners = c.owners;
    const CaptureResult r = Capture();
    EXPECT_TRUE(r.error.startsWith(c.error)) << r.error.toStdString();
    EXPECT_EQ(testenv::ReadBytes(out), "the old snapshot");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"orcl.sqlite"}));
    EXPECT_EQ(stub_open_sessions(), 0);
  }
  request.owners.clear();
  request.password = "wrong";
  EXPECT_EQ(Capture().error, "ORA-01017: invalid username/password; logon denied");
}

TEST_F(CaptureTest, ASnapshotPasswordGuardsEveryOwner) {
  ScriptHr();
  request.snapshotPassword = "snap shot";
  ASSERT_TRUE(Capture().ok());
  EXPECT_THROW(ConnectDatabase(db, "ORCL", "HR", "hr-pass"), DatabaseError);
  ConnectDatabase(db, "ORCL", "HR", "snap shot");
  EXPECT_TRUE(db.Connected());
}

TEST(CaptureText, ConnectionsAndOwnersAreReadAsOracleReadsThem) {
  struct Case {
    const char* text;
    const char* user;
    const char* password;  // null: none given
    const char* database;  // null: not a connection
  };
  for (const Case& c : {Case{"scott/tiger@orcl", "scott", "tiger", "orcl"},
                        Case{"scott/p@ss/w@host:1521/orcl", "scott", "p@ss/w", "host:1521/orcl"},
                        Case{"scott@host/orcl", "scott", nullptr, "host/orcl"},
                        Case{"scott/@orcl", "scott", "", "orcl"},
                        Case{"scott/tiger", nullptr, nullptr, nullptr},
                        Case{"/tiger@orcl", nullptr, nullptr, nullptr},
                        Case{"scott@", nullptr, nullptr, nullptr}}) {
    SCOPED_TRACE(c.text);
    const auto parsed = ParseConnection(c.text);
    ASSERT_EQ(parsed.has_value(), c.database != nullptr);
    if (!parsed) continue;
    EXPECT_EQ(parsed->user, c.user);
    EXPECT_EQ(parsed->password.has_value(), c.password != nullptr);
    if (c.password) {
      EXPECT_EQ(*parsed->password, c.password);
    }
    EXPECT_EQ(parsed->database, c.database);
  }
  EXPECT_EQ(OwnerNames(" hr, \"Mixed\" ,,payroll,\"\""), QStringList({"HR", "Mixed", "PAYROLL"}));
}

}  // namespace
