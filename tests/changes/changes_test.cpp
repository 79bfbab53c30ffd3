// Comparing two snapshots: every kind of change and its class, on a made HR schema and the
// same schema a release later.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "changes/changes_output.h"
#include "changes/schema_changes.h"
#include "db/backend.h"
#include "db/snapshot_schema.h"
#include "support/snapshot_maker.h"

namespace {

// HR as the dictionary holds it: names upper case, NOT NULL kept as a check of its own, a
// function's return value as an argument row at position 0, overloads numbered as text.
const char kBefore[] = R"sql(
INSERT INTO dba_users VALUES ('HR', NULL);
INSERT INTO dba_tables VALUES ('HR', 'DEPARTMENTS'), ('HR', 'EMPLOYEES'), ('HR', 'JOBS'),
  ('HR', 'REGIONS');
INSERT INTO dba_tab_comments VALUES ('HR', 'DEPARTMENTS', 'TABLE', 'Departments.'),
  ('HR', 'EMPLOYEES', 'TABLE', NULL), ('HR', 'JOBS', 'TABLE', NULL),
  ('HR', 'EMP_NAMES', 'VIEW', NULL), ('HR', 'OLD_NAMES', 'VIEW', NULL);
INSERT INTO dba_tab_columns VALUES
  ('HR', 'DEPARTMENTS', 'DEPARTMENT_ID', 1, 'NUMBER', 22, 4, 'N', 0, 0, NULL, NULL),
  ('HR', 'DEPARTMENTS', 'DEPARTMENT_NAME', 2, 'VARCHAR2', 120, NULL, 'Y', NULL, 30, 'C', NULL),
  ('HR', 'DEPARTMENTS', 'BUDGET', 3, 'NUMBER', 22, 8, 'Y', 2, 0, NULL, NULL),
  ('HR', 'DEPARTMENTS', 'LOCATION_ID', 4, 'NUMBER', 22, 4, 'Y', 0, 0, NULL, NULL),
  ('HR', 'DEPARTMENTS', 'OPENED', 5, 'TIMESTAMP(3)', 11, NULL, 'Y', 3, 0, NULL, NULL),
  ('HR', 'DEPARTMENTS', 'REVIEW_PERIOD', 6, 'INTERVAL DAY(2) TO SECOND(6)', 11, 2, 'Y', 6, 0,
   NULL, NULL),
  ('HR', 'EMPLOYEES', 'EMPLOYEE_ID', 1, 'NUMBER', 22, 6, 'N', 0, 0, NULL, NULL),
  ('HR', 'EMPLOYEES', 'NAME', 2, 'VARCHAR2', 40, NULL, 'Y', NULL, 40, 'B', NULL),
  ('HR', 'EMPLOYEES', 'SALARY', 3, 'NUMBER', 22, 8, 'Y', 2, 0, NULL, NULL),
  ('HR', 'EMPLOYEES', 'BONUS', 4, 'NUMBER', 22, 8, 'Y', 2, 0, NULL, NULL),
  ('HR', 'EMPLOYEES', 'HIRE_DATE', 5, 'DATE', 7, NULL, 'N', NULL, 0, NULL, 'SYSDATE '),
  ('HR', 'EMPLOYEES', 'EMAIL', 6, 'VARCHAR2', 25, NULL, 'Y', NULL, 25, 'B', NULL),
  ('HR', 'EMPLOYEES', 'NOTE', 7, 'VARCHAR2', 100, NULL, 'Y', NULL, 100, 'B', NULL),
  ('HR', 'EMPLOYEES', 'DEPARTMENT_ID', 8, 'NUMBER', 22, 4, 'Y', 0, 0, NULL, NULL),
  ('HR', 'JOBS', 'JOB_ID', 1, 'VARCHAR2', 10, NULL, 'N', NULL, 10, 'B', NULL),
  ('HR', 'REGIONS', 'REGION_ID', 1, 'NUMBER', 22, NULL, 'N', NULL, 0, NULL, NULL),
  ('HR', 'EMP_NAMES', 'EMPLOYEE_ID', 1, 'NUMBER', 22, 6, 'N', 0, 0, NULL, NULL),
  ('HR', 'EMP_NAMES', 'NAME', 2, 'VARCHAR2', 40, NULL, 'Y', NULL, 40, 'B', NULL),
  ('HR', 'OLD_NAMES', 'NAME', 1, 'VARCHAR2', 40, NULL, 'Y', NULL, 40, 'B', NULL);
INSERT INTO dba_col_comments VALUES ('HR', 'EMPLOYEES', 'NAME', 'Full name.'),
  ('HR', 'EMPLOYEES', 'SALARY', NULL), ('HR', 'REGIONS', 'REGION_ID', NULL);
INSERT INTO dba_constraints VALUES
  ('HR', 'DEPT_PK', 'P', 'DEPARTMENTS', NULL, NULL, NULL),
  ('HR', 'SYS_C0011', 'P', 'EMPLOYEES', NULL, NULL, NULL),
  ('HR', 'EMP_DEPT_FK', 'R', 'EMPLOYEES', 'HR', 'DEPT_PK', NULL),
  ('HR', 'SYS_C0012', 'C', 'EMPLOYEES', NULL, NULL, '"HIRE_DATE" IS NOT NULL'),
  ('HR', 'EMP_SALARY_CK', 'C', 'EMPLOYEES', NULL, NULL, 'salary > 0');
INSERT INTO dba_cons_columns VALUES ('HR', 'DEPT_PK', 'DEPARTMENTS', 'DEPARTMENT_ID', 1),
  ('HR', 'SYS_C0011', 'EMPLOYEES', 'EMPLOYEE_ID', 1),
  ('HR', 'EMP_DEPT_FK', 'EMPLOYEES', 'DEPARTMENT_ID', 1),
  ('HR', 'SYS_C0012', 'EMPLOYEES', 'HIRE_DATE', NULL),
  ('HR', 'EMP_SALARY_CK', 'EMPLOYEES', 'SALARY', NULL);
INSERT INTO dba_indexes VALUES ('HR', 'SYS_C0011', 'HR', 'EMPLOYEES', 'UNIQUE'),
  ('HR', 'EMP_NAME_IX', 'HR', 'EMPLOYEES', 'NONUNIQUE'),
  ('HR', 'EMP_HIRE_IX', 'HR', 'EMPLOYEES', 'NONUNIQUE');
INSERT INTO dba_ind_columns VALUES ('HR', 'SYS_C0011', 'HR', 'EMPLOYEES', 'EMPLOYEE_ID', 1, 'ASC'),
  ('HR', 'EMP_NAME_IX', 'HR', 'EMPLOYEES', 'NAME', 1, 'ASC'),
  ('HR', 'EMP_HIRE_IX', 'HR', 'EMPLOYEES', 'HIRE_DATE', 1, 'ASC');
INSERT INTO dba_views VALUES ('HR', 'EMP_NAMES', 'SELECT employee_id, name FROM employees'),
  ('HR', 'OLD_NAMES', 'SELECT name FROM employees');
INSERT INTO dba_sequences VALUES ('HR', 'EMP_SEQ'), ('HR', 'JOB_SEQ');
INSERT INTO dba_source VALUES
  ('HR', 'HEADCOUNT', 'FUNCTION', 1, 'FUNCTION headcount (p_dept NUMBER) RETURN NUMBER'),
  ('HR', 'RAISE_SALARY', 'PROCEDURE', 1, 'PROCEDURE raise_salary (p_emp NUMBER, p_pct NUMBER := 5)'),
  ('HR', 'PURGE', 'PROCEDURE', 1, 'PROCEDURE purge IS BEGIN NULL; END;'),
  ('HR', 'EMP_MGMT', 'PACKAGE', 1, 'PACKAGE emp_mgmt IS'),
  ('HR', 'EMP_MGMT', 'PACKAGE BODY', 1, 'PACKAGE BODY emp_mgmt IS');
INSERT INTO dba_arguments VALUES
  ('HR', NULL, 'HEADCOUNT', NULL, NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('HR', NULL, 'HEADCOUNT', NULL, 'P_DEPT', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', NULL, 'RAISE_SALARY', NULL, 'P_EMP', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', NULL, 'RAISE_SALARY', NULL, 'P_PCT', 2, 2, 0, 'NUMBER', 'IN', NULL, 'Y'),
  ('HR', 'EMP_MGMT', 'HIRE', NULL, 'P_NAME', 1, 1, 0, 'VARCHAR2', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'HIRE', NULL, 'P_SALARY', 2, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'FIRE', NULL, 'P_ID', 1, 1, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'FIND', '1', NULL, 0, 1, 0, 'VARCHAR2', 'OUT', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'FIND', '1', 'P_ID', 1, 2, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'FIND', '2', NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'FIND', '2', 'P_NAME', 1, 2, 0, 'VARCHAR2', 'IN', NULL, 'N');
INSERT INTO dba_procedures VALUES ('HR', 'EMP_MGMT', NULL, 'PACKAGE', 0, NULL),
  ('HR', 'EMP_MGMT', 'HIRE', 'PACKAGE', 1, NULL), ('HR', 'EMP_MGMT', 'FIRE', 'PACKAGE', 2, NULL),
  ('HR', 'EMP_MGMT', 'FIND', 'PACKAGE', 3, '1'), ('HR', 'EMP_MGMT', 'FIND', 'PACKAGE', 4, '2');
)sql";

// The release: each statement one change a DBA makes.
const char kRelease[] = R"sql(
DELETE FROM dba_tables WHERE table_name = 'JOBS';
DELETE FROM dba_tab_columns WHERE table_name = 'JOBS';
INSERT INTO dba_tables VALUES ('HR', 'AUDIT_LOG');
UPDATE dba_tab_comments SET comments = 'Departments of the company.'
  WHERE table_name = 'DEPARTMENTS';
UPDATE dba_tab_columns SET data_length = 240, char_length = 60, char_used = 'C'
  WHERE column_name = 'NAME' AND table_name <> 'OLD_NAMES';
UPDATE dba_col_comments SET comments = 'Full name, as written.' WHERE column_name = 'NAME';
UPDATE dba_col_comments SET comments = 'Key of the region.' WHERE column_name = 'REGION_ID';
UPDATE dba_tab_columns SET data_precision = 6 WHERE column_name = 'SALARY';
UPDATE dba_tab_columns SET data_length = 60, char_length = 60, char_used = 'B'
  WHERE column_name = 'DEPARTMENT_NAME';
UPDATE dba_tab_columns SET data_precision = 10, data_scale = 1 WHERE column_name = 'BUDGET';
UPDATE dba_tab_columns SET data_precision = 6 WHERE column_name = 'LOCATION_ID';
UPDATE dba_tab_columns SET data_type = 'TIMESTAMP(6)', data_scale = 6
  WHERE column_name = 'OPENED';
UPDATE dba_tab_columns SET data_type = 'INTERVAL DAY(2) TO SECOND(3)', data_scale = 3
  WHERE column_name = 'REVIEW_PERIOD';
DELETE FROM dba_tab_columns WHERE column_name = 'BONUS';
UPDATE dba_tab_columns SET data_default = NULL WHERE column_name = 'HIRE_DATE';
UPDATE dba_tab_columns SET nullable = 'N' WHERE table_name = 'EMPLOYEES' AND column_name = 'EMAIL';
UPDATE dba_tab_columns SET data_type = 'CLOB', data_length = 4000, char_length = 0,
  char_used = NULL WHERE column_name = 'NOTE';
INSERT INTO dba_tab_columns VALUES
  ('HR', 'EMPLOYEES', 'STATUS', 9, 'VARCHAR2', 1, NULL, 'N', NULL, 1, 'B', NULL),
  ('HR', 'EMPLOYEES', 'MANAGER_ID', 10, 'NUMBER', 22, 6, 'Y', 0, 0, NULL, NULL);
-- The table made again: its primary key gets a new name from the database. A descending
-- index column is a hidden column of the table, which the column views leave out.
UPDATE dba_constraints SET constraint_name = 'SYS_C0099' WHERE constraint_name = 'SYS_C0011';
UPDATE dba_cons_columns SET constraint_name = 'SYS_C0099' WHERE constraint_name = 'SYS_C0011';
UPDATE dba_indexes SET index_name = 'SYS_C0099' WHERE index_name = 'SYS_C0011';
UPDATE dba_ind_columns SET index_name = 'SYS_C0099' WHERE index_name = 'SYS_C0011';
UPDATE dba_constraints SET search_condition = 'salary >= 0' WHERE constraint_name = 'EMP_SALARY_CK';
INSERT INTO dba_constraints VALUES ('HR', 'EMP_EMAIL_UK', 'U', 'EMPLOYEES', NULL, NULL, NULL),
  ('HR', 'SYS_C0100', 'C', 'EMPLOYEES', NULL, NULL, '"EMAIL" IS NOT NULL'),
  ('HR', 'SYS_C0101', 'C', 'EMPLOYEES', NULL, NULL, '"STATUS" IS NOT NULL');
INSERT INTO dba_cons_columns VALUES ('HR', 'EMP_EMAIL_UK', 'EMPLOYEES', 'EMAIL', 1),
  ('HR', 'SYS_C0100', 'EMPLOYEES', 'EMAIL', NULL), ('HR', 'SYS_C0101', 'EMPLOYEES', 'STATUS', NULL);
DELETE FROM dba_indexes WHERE index_name = 'EMP_HIRE_IX';
DELETE FROM dba_ind_columns WHERE index_name = 'EMP_HIRE_IX';
INSERT INTO dba_ind_columns VALUES
  ('HR', 'EMP_NAME_IX', 'HR', 'EMPLOYEES', 'SYS_NC00011$', 2, 'DESC'),
  ('HR', 'EMP_EMAIL_UK', 'HR', 'EMPLOYEES', 'EMAIL', 1, 'ASC');
INSERT INTO dba_ind_expressions VALUES
  ('HR', 'EMP_NAME_IX', 'HR', 'EMPLOYEES', '"HIRE_DATE"', 2);
INSERT INTO dba_indexes VALUES ('HR', 'EMP_EMAIL_UK', 'HR', 'EMPLOYEES', 'UNIQUE'),
  ('HR', 'DEPT_NAME_UX', 'HR', 'DEPARTMENTS', 'UNIQUE');
INSERT INTO dba_ind_columns VALUES
  ('HR', 'DEPT_NAME_UX', 'HR', 'DEPARTMENTS', 'SYS_NC00007$', 1, 'ASC');
INSERT INTO dba_ind_expressions VALUES
  ('HR', 'DEPT_NAME_UX', 'HR', 'DEPARTMENTS', 'UPPER("DEPARTMENT_NAME")', 1);
UPDATE dba_views SET text = 'SELECT employee_id, name, email FROM employees'
  WHERE view_name = 'EMP_NAMES';
INSERT INTO dba_tab_columns VALUES
  ('HR', 'EMP_NAMES', 'EMAIL', 3, 'VARCHAR2', 25, NULL, 'N', NULL, 25, 'B', NULL);
DELETE FROM dba_views WHERE view_name = 'OLD_NAMES';
DELETE FROM dba_sequences WHERE sequence_name = 'JOB_SEQ';
INSERT INTO dba_sequences VALUES ('HR', 'AUDIT_SEQ');
DELETE FROM dba_source WHERE name = 'PURGE';
INSERT INTO dba_source VALUES ('HR', 'ARCHIVE', 'FUNCTION', 1, 'FUNCTION archive RETURN NUMBER');
-- headcount (p_department VARCHAR2) RETURN PLS_INTEGER
UPDATE dba_arguments SET argument_name = 'P_DEPARTMENT', data_type = 'VARCHAR2'
  WHERE object_name = 'HEADCOUNT' AND position = 1;
UPDATE dba_arguments SET data_type = 'PLS_INTEGER' WHERE object_name = 'HEADCOUNT' AND position = 0;
-- raise_salary (p_pct NUMBER, p_emp NUMBER, p_reason VARCHAR2 := NULL)
UPDATE dba_arguments SET position = 2, sequence = 2 WHERE argument_name = 'P_EMP';
UPDATE dba_arguments SET position = 1, sequence = 1, defaulted = 'N' WHERE argument_name = 'P_PCT';
INSERT INTO dba_arguments VALUES
  ('HR', NULL, 'RAISE_SALARY', NULL, 'P_REASON', 3, 3, 0, 'VARCHAR2', 'IN', NULL, 'Y'),
  ('HR', 'EMP_MGMT', 'HIRE', NULL, 'P_DEPT', 3, 3, 0, 'NUMBER', 'IN', NULL, 'N'),
  ('HR', 'EMP_MGMT', 'FIND', '2', 'P_EXACT', 2, 3, 0, 'VARCHAR2', 'IN', NULL, 'Y');
UPDATE dba_arguments SET in_out = 'IN/OUT' WHERE argument_name = 'P_SALARY';
DELETE FROM dba_arguments WHERE object_name = 'FIRE';
DELETE FROM dba_procedures WHERE procedure_name = 'FIRE';
INSERT INTO dba_procedures VALUES ('HR', 'EMP_MGMT', 'TRANSFER', 'PACKAGE', 5, NULL);
INSERT INTO dba_users VALUES ('PAYROLL', NULL);
INSERT INTO dba_tables VALUES ('PAYROLL', 'RUNS');
)sql";

class ChangesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    before = dir.filePath("v1.sqlite");
    after = dir.filePath("v2.sqlite");
    testdb::MakeSnapshot(before, kBefore);
    testdb::MakeSnapshot(after, QString(kBefore) + kRelease);
  }
  std::vector<changes::Change> Compare(const QStringList& owners = {}) {
    return changes::CompareSnapshots(before, after, owners);
  }

  QTemporaryDir dir;
  QString before, after;
};

TEST_F(ChangesTest, EveryKindOfChangeIsListedWithItsClass) {
  EXPECT_EQ(changes::ChangesText(Compare(), "v1", "v2").toStdString(), R"(Changes from v1 to v2: 44, 25 breaking.

HR:
            table AUDIT_LOG added
            table DEPARTMENTS comment changed
  breaking  table DEPARTMENTS: column BUDGET type NUMBER(8,2) -> NUMBER(10,1)
  breaking  table DEPARTMENTS: column DEPARTMENT_NAME type VARCHAR2(30 CHAR) -> VARCHAR2(60)
            table DEPARTMENTS: column LOCATION_ID type NUMBER(4) -> NUMBER(6)
            table DEPARTMENTS: column OPENED type TIMESTAMP(3) -> TIMESTAMP(6)
  breaking  table DEPARTMENTS: column REVIEW_PERIOD type INTERVAL DAY(2) TO SECOND(6) -> INTERVAL DAY(2) TO SECOND(3)
  breaking  table DEPARTMENTS: index DEPT_NAME_UX added: UNIQUE (UPPER("DEPARTMENT_NAME"))
  breaking  table EMPLOYEES: column BONUS removed: NUMBER(8,2)
  breaking  table EMPLOYEES: column EMAIL NULL -> NOT NULL
  breaking  table EMPLOYEES: column HIRE_DATE default SYSDATE -> none
            table EMPLOYEES: column MANAGER_ID added: NUMBER(6)
            table EMPLOYEES: column NAME type VARCHAR2(40) -> VARCHAR2(60 CHAR)
            table EMPLOYEES: column NAME comment changed
  breaking  table EMPLOYEES: column NOTE type VARCHAR2(100) -> CLOB
  breaking  table EMPLOYEES: column SALARY type NUMBER(8,2) -> NUMBER(6,2)
  breaking  table EMPLOYEES: column STATUS added: VARCHAR2(1) NOT NULL
  breaking  table EMPLOYEES: constraint EMP_EMAIL_UK added: UNIQUE (EMAIL)
  breaking  table EMPLOYEES: constraint EMP_SALARY_CK CHECK (salary > 0) -> CHECK (salary >= 0)
            table EMPLOYEES: index EMP_HIRE_IX removed: (HIRE_DATE)
            table EMPLOYEES: index EMP_NAME_IX (NAME) -> (NAME, HIRE_DATE DESC)
  breaking  table JOBS removed
            table REGIONS: column REGION_ID comment changed
            view EMP_NAMES: column EMAIL added: VARCHAR2(25) NOT NULL
            view EMP_NAMES: column NAME type VARCHAR2(40) -> VARCHAR2(60 CHAR)
            view EMP_NAMES text changed
  breaking  view OLD_NAMES removed
            sequence AUDIT_SEQ added
  breaking  sequence JOB_SEQ removed
            function ARCHIVE added
  breaking  function HEADCOUNT return type NUMBER -> PLS_INTEGER
  breaking  function HEADCOUNT: argument P_DEPT renamed to P_DEPARTMENT
  breaking  function HEADCOUNT: argument P_DEPARTMENT type NUMBER -> VARCHAR2
  breaking  procedure PURGE removed
  breaking  procedure RAISE_SALARY: argument P_EMP moved from position 1 to 2
  breaking  procedure RAISE_SALARY: argument P_PCT moved from position 2 to 1
  breaking  procedure RAISE_SALARY: argument P_PCT default dropped
            procedure RAISE_SALARY: argument P_REASON added: P_REASON IN VARCHAR2 DEFAULT
            package EMP_MGMT: member FIND#2: argument P_EXACT added: P_EXACT IN VARCHAR2 DEFAULT
  breaking  package EMP_MGMT: member FIRE removed: (P_ID IN NUMBER)
  breaking  package EMP_MGMT: member HIRE: argument P_SALARY mode IN -> IN/OUT
  breaking  package EMP_MGMT: member HIRE: argument P_DEPT added: P_DEPT IN NUMBER
            package EMP_MGMT: member TRANSFER added: ()

PAYROLL:
            table RUNS added
)");
}

// The same dictionary gives the same bytes whatever order a snapshot holds its rows in.
TEST_F(ChangesTest, RowOrderChangesNothing) {
  const QString text = changes::ChangesText(Compare(), "v1", "v2");
  QString reverse;
  for (const snapshot::Table& t : snapshot::Tables())
    reverse += QStringLiteral("CREATE TEMP TABLE r AS SELECT * FROM %1 ORDER BY rowid DESC; "
                              "DELETE FROM %1; INSERT INTO %1 SELECT * FROM r; DROP TABLE r;\n")
                   .arg(QLatin1String(t.name));
  testdb::MakeSnapshot(before, kBefore + reverse);
  testdb::MakeSnapshot(after, QString(kBefore) + kRelease + reverse);
  EXPECT_EQ(changes::ChangesText(Compare(), "v1", "v2"), text);
}

TEST_F(ChangesTest, JsonNamesEachPartOfAChangeForTheOwnersAsked) {
  const QJsonObject root =
      QJsonDocument::fromJson(changes::ChangesJson(Compare({"HR"}), "v1", "v2")).object();
  EXPECT_EQ(root["format"].toString(), "vellumar-changes");
  EXPECT_EQ(root["total"].toObject(), QJsonObject({{"changes", 43}, {"breaking", 25}}));
  const QJsonArray list = root["changes"].toArray();
  EXPECT_EQ(list.first().toObject(), QJsonObject({{"owner", "HR"},
                                                  {"objectType", "table"},
                                                  {"object", "AUDIT_LOG"},
                                                  {"change", "added"},
                                                  {"breaking", false},
                                                  {"text", "table AUDIT_LOG added"}}));
  EXPECT_EQ(list[40].toObject(),
            QJsonObject({{"owner", "HR"},
                         {"objectType", "package"},
                         {"object", "EMP_MGMT"},
                         {"change", "argument_mode_changed"},
                         {"item", "HIRE"},
                         {"argument", "P_SALARY"},
                         {"old", "IN"},
                         {"new", "IN/OUT"},
                         {"breaking", true},
                         {"text", "package EMP_MGMT: member HIRE: argument P_SALARY mode IN -> "
                                  "IN/OUT"}}));
}

// A hidden index column is what it indexes: a function-based index on another expression
// changed, though its hidden column kept its name; a descending index made again, whose
// hidden column Oracle numbered anew, did not.
TEST_F(ChangesTest, IndexColumnsAreComparedByTheirExpressions) {
  const QString indexes = R"sql(
INSERT INTO dba_indexes VALUES ('HR', 'EMP_UPPER_IX', 'HR', 'EMPLOYEES', 'NONUNIQUE'),
  ('HR', 'DEPT_BUDGET_IX', 'HR', 'DEPARTMENTS', 'NONUNIQUE');
INSERT INTO dba_ind_columns VALUES
  ('HR', 'EMP_UPPER_IX', 'HR', 'EMPLOYEES', 'SYS_NC00009$', 1, 'ASC'),
  ('HR', 'DEPT_BUDGET_IX', 'HR', 'DEPARTMENTS', 'SYS_NC00007$', 1, 'DESC');
INSERT INTO dba_ind_expressions VALUES
  ('HR', 'EMP_UPPER_IX', 'HR', 'EMPLOYEES', 'UPPER("NAME")', 1),
  ('HR', 'DEPT_BUDGET_IX', 'HR', 'DEPARTMENTS', '"BUDGET"', 1);
)sql";
  testdb::MakeSnapshot(before, kBefore + indexes);
  testdb::MakeSnapshot(after, kBefore + indexes + R"sql(
UPDATE dba_ind_expressions SET column_expression = 'UPPER("EMAIL")'
  WHERE index_name = 'EMP_UPPER_IX';
UPDATE dba_ind_columns SET column_name = 'SYS_NC00008$' WHERE index_name = 'DEPT_BUDGET_IX';
)sql");
  EXPECT_EQ(changes::ChangesText(Compare(), "v1", "v2").toStdString(),
            "Changes from v1 to v2: 1, 0 breaking.\n\nHR:\n"
            "            table EMPLOYEES: index EMP_UPPER_IX (UPPER(\"NAME\")) -> "
            "(UPPER(\"EMAIL\"))\n");
}

// A snapshot made before argument lists were read declares none: its units are compared,
// their signatures not, rather than every argument taken for new. One that does not say
// which arguments have defaults drops none of them; an argument it adds may lack one. One
// made before columns had a scale, a length in characters or a default compares its
// columns' types without them, and no defaults.
TEST_F(ChangesTest, PartsAreComparedOnlyWhereBothSnapshotsHoldThem) {
  testdb::MakeSnapshot(before, QString(kBefore) + "DELETE FROM dba_arguments;");
  std::vector<changes::Change> found = Compare();
  EXPECT_EQ(found.size(), 32u);
  for (const changes::Change& c : found)
    EXPECT_FALSE(c.objectType == "package" || c.kind.startsWith("argument") ||
                 c.kind == "return_type_changed")
        << changes::ChangeText(c).toStdString();

  testdb::MakeSnapshot(before, kBefore);
  testdb::MakeSnapshot(after,
                       QString(kBefore) + kRelease + "UPDATE dba_arguments SET defaulted = NULL;");
  found = Compare();
  EXPECT_EQ(found.size(), 43u);
  EXPECT_EQ(std::count_if(found.begin(), found.end(),
                          [](const changes::Change& c) { return c.breaking; }),
            26);
  for (const changes::Change& c : found)
    EXPECT_FALSE(c.kind.startsWith("argument_default")) << changes::ChangeText(c).toStdString();

  testdb::MakeSnapshot(before, QString(kBefore) +
                                   "ALTER TABLE dba_tab_columns DROP COLUMN data_scale; "
                                   "ALTER TABLE dba_tab_columns DROP COLUMN char_length; "
                                   "ALTER TABLE dba_tab_columns DROP COLUMN char_used; "
                                   "ALTER TABLE dba_tab_columns DROP COLUMN data_default;");
  testdb::MakeSnapshot(after, QString(kBefore) + "UPDATE dba_tab_columns SET data_precision = 6 "
                                                 "WHERE column_name = 'SALARY';");
  EXPECT_EQ(changes::ChangesText(Compare(), "v1", "v2").toStdString(),
            "Changes from v1 to v2: 1, 1 breaking.\n\nHR:\n"
            "  breaking  table EMPLOYEES: column SALARY type NUMBER(8) -> NUMBER(6)\n");
}

}  // namespace
