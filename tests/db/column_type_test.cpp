// Every form of a column's type, read through OCITableFields from made snapshots with and
// without the type details (data_scale, char_length, char_used).
#include "db/column_type.h"

#include <gtest/gtest.h>

#include "support/db_fixture.h"
#include "support/snapshot_maker.h"

namespace {

struct TypeCase {
  const char* pieces;   // data_type, data_length, data_precision
  const char* details;  // data_scale, char_length, char_used
  const char* text;
  const char* withoutDetails;
};

const TypeCase kCases[] = {
    {"'NUMBER', 22, NULL", "NULL, 0, NULL", "NUMBER", "NUMBER"},
    {"'NUMBER', 22, 8", "0, 0, NULL", "NUMBER(8)", "NUMBER(8)"},
    {"'NUMBER', 22, 8", "2, 0, NULL", "NUMBER(8,2)", "NUMBER(8)"},
    {"'NUMBER', 22, 5", "-2, 0, NULL", "NUMBER(5,-2)", "NUMBER(5)"},
    {"'NUMBER', 22, NULL", "2, 0, NULL", "NUMBER(*,2)", "NUMBER"},
    {"'NUMBER', 22, NULL", "0, 0, NULL", "NUMBER(*,0)", "NUMBER"},
    {"'FLOAT', 22, 126", "NULL, 0, NULL", "FLOAT(126)", "FLOAT(126)"},
    {"'VARCHAR2', 30, NULL", "NULL, 30, 'B'", "VARCHAR2(30)", "VARCHAR2(30)"},
    {"'VARCHAR2', 160, NULL", "NULL, 40, 'C'", "VARCHAR2(40 CHAR)", "VARCHAR2(160)"},
    {"'CHAR', 12, NULL", "NULL, 3, 'C'", "CHAR(3 CHAR)", "CHAR(12)"},
    {"'NCHAR', 20, NULL", "NULL, 10, 'C'", "NCHAR(10)", "NCHAR(20)"},
    {"'RAW', 16, NULL", "NULL, 0, NULL", "RAW(16)", "RAW(16)"},
    {"'TIMESTAMP(6) WITH TIME ZONE', 13, NULL", "6, 0, NULL", "TIMESTAMP(6) WITH TIME ZONE",
     "TIMESTAMP(6) WITH TIME ZONE"},
};

TEST(ColumnTypeTest, EveryFormAsADbaWritesItAndWithoutTheDetails) {
  for (const bool details : {true, false}) {
    testdb::DbFixtureBase f;
    QString sql = testdb::UserSql("APP", {});
    if (!details) {  // the table as snapshots were made before the details
      sql += "DROP TABLE dba_tab_columns; CREATE TABLE dba_tab_columns (owner, table_name, "
             "column_name, column_id, data_type, data_length, data_precision, nullable);";
    }
    for (int i = 0; i < int(std::size(kCases)); ++i) {
      sql += QStringLiteral("INSERT INTO dba_tab_columns (owner, table_name, column_name, "
                            "column_id, nullable, data_type, data_length, data_precision%1) "
                            "VALUES ('APP', 'T', 'C%2', %2, 'Y', %3);\n")
                 .arg(details ? ", data_scale, char_length, char_used" : "")
                 .arg(i)
                 .arg(kCases[i].pieces + (details ? QString(", ") + kCases[i].details : ""));
    }
    sql += "INSERT INTO dba_col_comments SELECT owner, table_name, column_name, NULL "
           "FROM dba_tab_columns;";
    testdb::MakeSnapshot(f.SnapshotPath("types.sqlite"), sql);
    ConnectDatabase(f.db, "TYPES", "APP", "");
    Query& q = f.db.query(QueryId::OCITableFields);
    q.BindText(1, "T");
    int i = 0;
    for (q.Open(); !q.Eof(); q.Next(), ++i) {
      ASSERT_LT(i, int(std::size(kCases)));
      EXPECT_EQ(ColumnTypeText(ColumnTypeOf(q)), details ? kCases[i].text : kCases[i].withoutDetails)
          << kCases[i].pieces << (details ? " with details" : "");
    }
    EXPECT_EQ(i, int(std::size(kCases)));
    EXPECT_TRUE(f.errors.isEmpty());
  }
}

}  // namespace
