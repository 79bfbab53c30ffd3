#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>

#include "db/snapshot_limits.h"
#include "support/db_fixture.h"
#include "support/snapshot_maker.h"
#include "support/test_env.h"

namespace {

// Owners with look-alike objects, rows inserted out of their natural order, and the
// cases the dictionary queries must render: a 35-character column name, a NULL comment,
// composite keys.
const char* kDictionary = R"sql(
INSERT INTO dba_tables VALUES ('APP', 'ORDERS'), ('APP', 'CUSTOMERS'), ('OTHER', 'SECRET');
INSERT INTO dba_tab_columns (owner, table_name, column_name, column_id, data_type,
  data_length, data_precision, nullable) VALUES
  ('APP', 'ORDERS', 'ZONE', 3, 'VARCHAR2', 30, NULL, 'Y'),
  ('APP', 'ORDERS', 'ORDER_ID', 1, 'NUMBER', 22, 10, 'N'),
  ('APP', 'ORDERS', 'AMOUNT', 2, 'NUMBER', 22, NULL, 'Y'),
  ('APP', 'ORDERS', 'CREATED', 4, 'DATE', 7, NULL, 'N'),
  ('APP', 'ORDERS', 'A_VERY_LONG_COLUMN_NAME_OF_35_CHARS', 5, 'CHAR', 1, NULL, 'Y'),
  ('APP', 'ORDERS', 'CUST_ID', 6, 'NUMBER', 22, 6, 'N'),
  ('APP', 'ORDERS', 'CUST_BRANCH', 7, 'NUMBER', 22, 3, 'N'),
  ('APP', 'CUSTOMERS', 'BRANCH', 2, 'NUMBER', 22, 3, 'N'),
  ('APP', 'CUSTOMERS', 'ID', 1, 'NUMBER', 22, 6, 'N'),
  ('APP', 'CUSTOMERS', 'MÄÄRÄ', 3, 'NUMBER', 22, NULL, 'Y'),
  ('OTHER', 'ORDERS', 'HIDDEN', 1, 'NUMBER', 22, NULL, 'N');
INSERT INTO dba_col_comments SELECT owner, table_name, column_name, NULL FROM dba_tab_columns;
UPDATE dba_col_comments SET comments = 'Total; in "euros" & cents' WHERE column_name = 'AMOUNT';
INSERT INTO dba_tab_comments VALUES
  ('ADMIN', 'ORDERS', 'TABLE', 'Not ours'), ('APP', 'ORDERS', 'TABLE', 'Customer orders'),
  ('APP', 'CUSTOMERS', 'TABLE', NULL);
INSERT INTO dba_constraints (owner, constraint_name, constraint_type, table_name,
  r_owner, r_constraint_name) VALUES
  ('APP', 'ORDERS_PK', 'P', 'ORDERS', NULL, NULL),
  ('APP', 'ORDERS_CUST_FK', 'R', 'ORDERS', 'APP', 'CUSTOMERS_PK'),
  ('APP', 'CUSTOMERS_PK', 'P', 'CUSTOMERS', NULL, NULL),
  ('OTHER', 'ORDERS_PK2', 'P', 'ORDERS', NULL, NULL);
INSERT INTO dba_cons_columns VALUES
  ('APP', 'ORDERS_CUST_FK', 'ORDERS', 'CUST_BRANCH', 2),
  ('APP', 'ORDERS_CUST_FK', 'ORDERS', 'CUST_ID', 1),
  ('APP', 'ORDERS_PK', 'ORDERS', 'ORDER_ID', 1),
  ('APP', 'CUSTOMERS_PK', 'CUSTOMERS', 'BRANCH', 2),
  ('APP', 'CUSTOMERS_PK', 'CUSTOMERS', 'ID', 1),
  ('OTHER', 'ORDERS_PK2', 'ORDERS', 'HIDDEN', 1);
INSERT INTO dba_indexes (owner, index_name, table_owner, table_name) VALUES ('APP', 'ORDERS_PK', 'APP', 'ORDERS'),
  ('APP', 'ORDERS_ZONE_IX', 'APP', 'ORDERS');
INSERT INTO dba_ind_columns (index_owner, index_name, table_owner, table_name,
  column_name, column_position) VALUES
  ('APP', 'ORDERS_ZONE_IX', 'APP', 'ORDERS', 'CREATED', 2),
  ('APP', 'ORDERS_ZONE_IX', 'APP', 'ORDERS', 'ZONE', 1),
  ('APP', 'ORDERS_PK', 'APP', 'ORDERS', 'ORDER_ID', 1);
INSERT INTO dba_synonyms VALUES ('PUBLIC', 'ORD', 'APP', 'ORDERS'), ('APP', 'O', 'APP', 'ORDERS');
INSERT INTO dba_sequences VALUES ('APP', 'ORDERS_SEQ'), ('APP', 'CUSTOMERS_SEQ'), ('OTHER', 'X_SEQ');
INSERT INTO dba_tab_privs VALUES
  ('APP', 'ORDERS', 'APP', 'CLERK', 'SELECT'), ('APP', 'ORDERS', 'APP', 'CLERK', 'UPDATE'),
  ('APP', 'CUSTOMERS', 'APP', 'AUDITOR', 'SELECT'), ('OTHER', 'SECRET', 'OTHER', 'SPY', 'SELECT'),
  ('OTHER', 'SECRET', 'APP', 'PARTNER', 'SELECT');
INSERT INTO dba_views VALUES ('APP', 'BIG_ORDERS', 'SELECT *
  FROM orders WHERE amount > 10 AND amount < 99
'), ('APP', 'ALL_ORDERS', 'SELECT * FROM orders');
INSERT INTO dba_source VALUES
  ('APP', 'TOTAL', 'FUNCTION', 2, 'RETURN NUMBER IS' || char(10)),
  ('APP', 'TOTAL', 'FUNCTION', 1, 'FUNCTION total' || char(10)),
  ('APP', 'TOTAL', 'FUNCTION', 3, 'BEGIN RETURN 1; END;'),
  ('APP', 'PURGE', 'PROCEDURE', 1, 'PROCEDURE purge IS BEGIN NULL; END;'),
  ('APP', 'API', 'PACKAGE', 1, 'PACKAGE api IS' || char(10)),
  ('APP', 'API', 'PACKAGE', 2, 'END api;'),
  ('APP', 'API', 'PACKAGE BODY', 1, 'PACKAGE BODY api IS END api;'),
  ('OTHER', 'SNOOP', 'FUNCTION', 1, 'FUNCTION snoop');
)sql";

class SnapshotTest : public ::testing::Test, public testdb::DbFixtureBase {
 protected:
  void SetUp() override {
    testdb::MakeSnapshot(
        SnapshotPath("shop.sqlite"),
        testdb::UserSql("APP", "secret") + testdb::UserSql("OTHER", {}) + kDictionary);
  }
  void LogOn() { ConnectDatabase(db, "SHOP", "APP", "secret"); }
};

// What each fixed query gives for the user APP: padded names counting characters, composite
// keys by position, the user's objects only, the user's own comment before another owner's,
// source and view text whole.
TEST_F(SnapshotTest, EveryQueryGivesTheUsersRowsInOrder) {
  const auto pad = [](const char* name, int width) { return QString(name).leftJustified(width); };
  const struct {
    QueryId id;
    QStringList binds, columns;
    QList<QStringList> rows;
  } kCases[] = {
      {QueryId::OCIComments, {"ORDERS' OR '1'='1"}, {"comments"}, {}},
      {QueryId::OCIComments, {"x'; DROP TABLE dba_tables; --"}, {"comments"}, {}},
      {QueryId::OCITableFields, {"ORDERS"}, {"KENTTA", "nulli", "kuvaus"},
       {{pad("ORDER_ID", 30), "Not null  ", ""},
        {pad("AMOUNT", 30), "Null      ", "Total; in \"euros\" & cents"},
        {pad("ZONE", 30), "Null      ", ""},
        {pad("CREATED", 30), "Not null  ", ""},
        {"A_VERY_LONG_COLUMN_NAME_OF_35_CHARS", "Null      ", ""},
        {pad("CUST_ID", 30), "Not null  ", ""},
        {pad("CUST_BRANCH", 30), "Not null  ", ""}}},
      {QueryId::OCIColumns, {"ORDERS"}, {"column_name"},
       {{"ORDER_ID"}, {"AMOUNT"}, {"ZONE"}, {"CREATED"}, {"A_VERY_LONG_COLUMN_NAME_OF_35_CHARS"},
        {"CUST_ID"}, {"CUST_BRANCH"}}},
      {QueryId::OCITableFields, {"CUSTOMERS"}, {"kentta"},
       {{pad("ID", 30)}, {pad("BRANCH", 30)}, {QString::fromUtf8("MÄÄRÄ").leftJustified(30)}}},
      {QueryId::OCIPrimaryKeys, {"CUSTOMERS"}, {"Nimi", "Sarake"},
       {{pad("CUSTOMERS_PK", 20), "ID"}, {pad("CUSTOMERS_PK", 20), "BRANCH"}}},
      {QueryId::OCIForeignKeys, {"ORDERS"}, {"Nimi", "Lahtosarake", "Kohdesarake"},
       {{pad("ORDERS_CUST_FK", 20), pad("CUST_ID", 30), "CUSTOMERS.ID"},
        {pad("ORDERS_CUST_FK", 20), pad("CUST_BRANCH", 30), "CUSTOMERS.BRANCH"}}},
      {QueryId::OCIIndexes, {"ORDERS"}, {"nimi", "sarake"},
       {{pad("ORDERS_PK", 20), "ORDER_ID"},
        {pad("ORDERS_ZONE_IX", 20), "ZONE"},
        {pad("ORDERS_ZONE_IX", 20), "CREATED"}}},
      {QueryId::OCITables, {}, {"table_name"}, {{"CUSTOMERS"}, {"ORDERS"}}},
      {QueryId::OCIViewNames, {}, {"VIEW_NAME"}, {{"ALL_ORDERS"}, {"BIG_ORDERS"}}},
      {QueryId::OCIProcedures, {}, {"proc"}, {{"PURGE (PROCEDURE)"}, {"TOTAL (FUNCTION)"}}},
      {QueryId::OCIPackages, {}, {"name"}, {{"API"}}},
      {QueryId::OCISequences, {}, {"sequence_name"}, {{"CUSTOMERS_SEQ"}, {"ORDERS_SEQ"}}},
      {QueryId::OCIRoles, {}, {"grantee"}, {{"AUDITOR"}, {"CLERK"}, {"PARTNER"}}},
      {QueryId::OCIComments, {"ORDERS"}, {"COMMENTS"}, {{"Customer orders"}, {"Not ours"}}},
      {QueryId::OCIComments, {"CUSTOMERS"}, {"comments"}, {{""}}},
      {QueryId::OCISynonyms, {"ORDERS"}, {"synonym_name"}, {{"O"}, {"ORD"}}},
      {QueryId::OCIProctext, {"TOTAL", "FUNCTION"}, {"text"},
       {{"FUNCTION total\n"}, {"RETURN NUMBER IS\n"}, {"BEGIN RETURN 1; END;"}}},
      {QueryId::OCIProctext, {"TOTAL", "PROCEDURE"}, {"text"}, {}},
      {QueryId::OCIPackageText, {"API"}, {"TEXT"}, {{"PACKAGE api IS\n"}, {"END api;"}}},
      {QueryId::OCIViews, {"BIG_ORDERS"}, {"text"},
       {{"SELECT *\n  FROM orders WHERE amount > 10 AND amount < 99\n"}}},
  };
  const QByteArray before = testenv::ReadBytes(SnapshotPath("shop.sqlite"));
  LogOn();
  for (const auto& c : kCases)
    EXPECT_EQ(Rows(c.id, c.binds, c.columns), c.rows)
        << QueryTextOf(c.id).name << " " << c.binds.join(',').toStdString();
  EXPECT_TRUE(errors.isEmpty());
  db.Disconnect();
  EXPECT_EQ(testenv::ReadBytes(SnapshotPath("shop.sqlite")), before);
}

TEST_F(SnapshotTest, LogOnChecksUserAndPassword) {
  struct Case {
    QString user, password;
    bool ok;
  };
  for (const Case& c :
       {Case{"APP", "secret", true}, Case{"app", "secret", true}, Case{"APP", "Secret", false},
        Case{"NOBODY", "secret", false}, Case{"OTHER", "anything", true}}) {
    errors.clear();
    try {
      ConnectDatabase(db, "shop", c.user, c.password);
      EXPECT_TRUE(c.ok) << c.user.toStdString() << "/" << c.password.toStdString();
    } catch (const DatabaseError& e) {
      EXPECT_FALSE(c.ok) << c.user.toStdString() << "/" << c.password.toStdString();
      EXPECT_EQ(e.Message(), "ORA-01017: invalid username/password; logon denied");
      EXPECT_EQ(errors, QStringList({e.Message()}));
    }
    EXPECT_EQ(db.Connected(), c.ok);
  }
  // OTHER sees its own schema only, also while APP reads the same file.
  Database app;
  app.SetSnapshotDirectories({dir.path()});
  ConnectDatabase(app, "SHOP", "APP", "secret");
  Query& theirs = app.query(QueryId::OCITables);
  theirs.Open();
  EXPECT_EQ(Column(QueryId::OCIProcedures, {}, "proc"), QStringList({"SNOOP (FUNCTION)"}));
  EXPECT_EQ(theirs.Field("table_name"), "CUSTOMERS");

  // A failed log-on ends the connection before it and keeps what was tried.
  errors.clear();
  EXPECT_THROW(ConnectDatabase(db, "SHOP", "APP", "wrong"), DatabaseError);
  EXPECT_FALSE(db.Connected());
  EXPECT_EQ(db.ServerName(), "SHOP");
  EXPECT_EQ(db.Password(), "wrong");
  db.Disconnect();  // nothing to do, no error
  EXPECT_EQ(errors.size(), 1);
}

TEST_F(SnapshotTest, QueryMisuseIsReportedOnce) {
  Query& tables = db.query(QueryId::OCITables);
  EXPECT_THROW(tables.Open(), DatabaseError);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_EQ(errors[0], "Not connected to a database.");

  LogOn();
  tables.Open();
  EXPECT_THROW(tables.Field("no_such_column"), DatabaseError);
  EXPECT_EQ(errors.last(), "Query OCITables has no column no_such_column.");
  EXPECT_THROW(db.query(QueryId::OCIViews).BindText(2, "X"), DatabaseError);
  Query& none = RunQuery(db, QueryId::OCIComments, "NOPE");
  EXPECT_TRUE(none.Eof());
  EXPECT_EQ(none.Field("comments"), "");  // no row: an empty value

  // Two queries of one kind read their own rows.
  Query outer(db, QueryId::OCITables);
  QStringList pairs;
  for (outer.Open(); !outer.Eof(); outer.Next())
    for (tables.Open(); !tables.Eof(); tables.Next())
      pairs << outer.Field("table_name") + "/" + tables.Field("TABLE_NAME");
  EXPECT_EQ(pairs, QStringList({"CUSTOMERS/CUSTOMERS", "CUSTOMERS/ORDERS", "ORDERS/CUSTOMERS",
                                "ORDERS/ORDERS"}));

  // A disconnect ends every open query; reading it then is an error, not a crash.
  outer.Open();
  db.Disconnect();
  EXPECT_FALSE(outer.IsOpen());
  EXPECT_TRUE(tables.Eof());
  EXPECT_THROW(tables.Field("table_name"), DatabaseError);
  EXPECT_EQ(errors.size(), 4);
}

class SnapshotFileTest : public ::testing::Test, public testdb::DbFixtureBase {};

TEST_F(SnapshotFileTest, NameIsFoundWithoutRegardToCaseInDirectoryOrder) {
  QTemporaryDir second;
  testdb::MakeSnapshot(
      second.path() + "/Mixed.SQLite",
      testdb::UserSql("U", {}) + "INSERT INTO dba_tables VALUES ('U', 'FROM_SECOND');");
  testdb::MakeSnapshot(
      SnapshotPath("mixed.sqlite"),
      testdb::UserSql("U", {}) + "INSERT INTO dba_tables VALUES ('U', 'FROM_FIRST');");
  db.SetSnapshotDirectories({dir.path(), second.path()});
  ConnectDatabase(db, "MIXED", "U", "x");
  EXPECT_EQ(Column(QueryId::OCITables, {}, "table_name"), QStringList({"FROM_FIRST"}));
  db.SetSnapshotDirectories({second.path(), dir.path()});
  ConnectDatabase(db, "MIXED", "U", "x");
  EXPECT_EQ(Column(QueryId::OCITables, {}, "table_name"), QStringList({"FROM_SECOND"}));

  // A name with a path goes to Oracle (here: no client library), never to a file elsewhere.
  qputenv("VELLUMAR_OCI_LIBRARY", (dir.path() + "/none.so").toUtf8());
  ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));
  ASSERT_TRUE(QFile::copy(SnapshotPath("mixed.sqlite"), dir.path() + "/sub/..\\mixed.sqlite"));
  db.SetSnapshotDirectories({dir.path() + "/sub"});
  for (const char* server : {"../mixed", "..\\mixed"}) {
    EXPECT_THROW(ConnectDatabase(db, server, "U", "x"), DatabaseError) << server;
    EXPECT_FALSE(db.Connected());
  }
  qunsetenv("VELLUMAR_OCI_LIBRARY");
}

TEST_F(SnapshotFileTest, BrokenSnapshotsFailWithOneClearMessage) {
  testenv::WriteBytes(SnapshotPath("text.sqlite"),
                      QByteArray("just some text, not a database\n").repeated(200));
  testdb::MakeSnapshot(SnapshotPath("partial.sqlite"),
                       "DROP TABLE dba_views; DROP TABLE dba_source;");
  testdb::MakeSnapshot(SnapshotPath("oldcols.sqlite"),
                       testdb::UserSql("U", {}) +
                           "DROP TABLE dba_synonyms;"
                           "CREATE TABLE dba_synonyms (owner TEXT, synonym_name TEXT);");
  // A name no snapshot has goes to Oracle: without its client library both are named, the
  // library with the reason its first name gave.
  qputenv("ORACLE_HOME", dir.path().toUtf8());
  struct Case {
    const char* server;
    QStringList says;
  };
  for (const Case& c :
       {Case{"TEXT", {"text.sqlite", "file is not a database"}},
        Case{"PARTIAL", {"partial.sqlite", "it lacks dba_views, dba_source."}},
        Case{"OLDCOLS", {"oldcols.sqlite", "no such column: table_owner"}},
        Case{"NOWHERE", {"NOWHERE.sqlite", "Oracle Instant Client",
                         "libclntsh.so could not be loaded (libclntsh.so: cannot open"}}}) {
    errors.clear();
    try {
      ConnectDatabase(db, c.server, "U", "x");
      ADD_FAILURE() << c.server;
    } catch (const DatabaseError& e) {
      for (const QString& part : c.says) EXPECT_TRUE(e.Message().contains(part)) << e.what();
      EXPECT_EQ(errors, QStringList({e.Message()}));
    }
    EXPECT_FALSE(db.Connected());
  }
  qunsetenv("ORACLE_HOME");
}

// The prepared dictionary is made once per version of a snapshot and kept in the user's
// cache: a changed snapshot is read anew, and a cache that is damaged or cannot be written
// costs time, never rows.
TEST_F(SnapshotFileTest, AChangedSnapshotIsReadAnewWhateverTheCache) {
  const QString path = SnapshotPath("moving.sqlite");
  const QString cache = testenv::Home() + "/cache/VLM/dictionaries";
  const QByteArray cacheHome = qgetenv("XDG_CACHE_HOME");
  const QDateTime start = QDateTime::currentDateTime();
  const qsizetype cached = QDir(cache).entryList(QDir::Files).size();
  const QStringList tables = {"FIRST", "SECOND", "DAMAGED_CACHE", "UNWRITABLE_CACHE"};
  for (int i = 0; i < tables.size(); ++i) {
    if (tables[i] == "DAMAGED_CACHE") {
      for (const QFileInfo& f : QDir(cache).entryInfoList(QDir::Files))
        testenv::WriteBytes(f.filePath(), "not a database");
    }
    if (tables[i] == "UNWRITABLE_CACHE") {
      testenv::WriteBytes(dir.filePath("plain"), "x");
      qputenv("XDG_CACHE_HOME", dir.filePath("plain").toUtf8());
    }
    testdb::MakeSnapshot(path, testdb::UserSql("U", {}) +
                                   QString("INSERT INTO dba_tables VALUES ('U', '%1');")
                                       .arg(tables[i]));
    QFile touched(path);
    ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
    touched.setFileTime(start.addSecs(10 * i), QFileDevice::FileModificationTime);
    touched.close();
    ConnectDatabase(db, "MOVING", "U", "x");
    EXPECT_EQ(Column(QueryId::OCITables, {}, "table_name"), QStringList({tables[i]}));
    EXPECT_EQ(QDir(cache).entryList(QDir::Files).size(), cached + 1) << tables[i].toStdString();
  }
  qputenv("XDG_CACHE_HOME", cacheHome);
  EXPECT_TRUE(errors.isEmpty());
}

// A snapshot is a file someone hands you: what its own views can do is bounded, and reaching
// a bound is one clear error. A user table that cannot be read to its end is such an error
// too, never a wrong password.
TEST_F(SnapshotFileTest, HostileViewsReachABoundAndSaySo) {
  const SnapshotLimits before = CurrentSnapshotLimits();
  const QString endless = "WITH RECURSIVE r(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM r) ";
  const auto tables = [](const QString& view) {
    return testdb::UserSql("U", {}) +
           "DROP TABLE dba_tables; CREATE VIEW dba_tables (owner, table_name) AS " + view + ";";
  };
  struct Case {
    const char* name;
    QString sql;
    const char* says;
  };
  for (const Case& c :
       {Case{"rpad", tables("SELECT 'U', rpad('x', 4000000000)"), "unsafe use of rpad()"},
        Case{"rows", tables(endless + "SELECT 'U', printf('%.1000c', 'x') || n FROM r"),
             "does not fit in 16 MiB"},
        Case{"spins", tables(endless + "SELECT 'U', 'T' FROM r WHERE n < 0"),
             "took longer than 1 seconds"},
        Case{"memory", tables("SELECT printf('%.9000000c', 'x'), printf('%.9000000c', 'y')"),
             "more than 16 MiB of memory"},
        Case{"users",
             "INSERT INTO dba_users " + endless + "SELECT 'X' || n, NULL FROM r LIMIT 3000;" +
                 testdb::UserSql("U", {}),
             "cannot be read: reading it took longer than 0 seconds"}}) {
    testdb::MakeSnapshot(SnapshotPath(QString(c.name) + ".sqlite"), c.sql);
    SnapshotLimits limits = before;
    limits.prepareSeconds = 1;
    limits.querySeconds = 0;
    limits.heapBytes = qint64(16) << 20;
    SetSnapshotLimits(limits);
    errors.clear();
    try {
      ConnectDatabase(db, c.name, "U", "x");
      ADD_FAILURE() << c.name;
    } catch (const DatabaseError& e) {
      EXPECT_TRUE(e.Message().contains(c.says)) << e.what();
      EXPECT_EQ(errors, QStringList({e.Message()}));
    }
    SetSnapshotLimits(before);
    EXPECT_FALSE(db.Connected());
  }
}

}  // namespace
