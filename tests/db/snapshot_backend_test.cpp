#include <gtest/gtest.h>
#include <sqlite3.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QFile>

#include "db/snapshot_limits.h"
#include "support/child_process.h"
#include "support/db_fixture.h"
#include "support/shop_dictionary.h"
#include "support/snapshot_maker.h"
#include "support/test_env.h"

namespace {

class SnapshotTest : public ::testing::Test, public testdb::DbFixtureBase {
 protected:
  void SetUp() override {
    testdb::MakeSnapshot(SnapshotPath("shop.sqlite"), testdb::ShopDictionarySql());
  }
};

// What each fixed query gives its user (those the build tests' documents show aside): padded
// names, keys by position, the user's objects only, the user's own comment before another
// owner's, source text whole and in order.
TEST_F(SnapshotTest, EveryQueryGivesTheUsersRowsInOrder) {
  const auto pad = [](const char* name, int width) { return QString(name).leftJustified(width); };
  const struct {
    const char* user;
    QueryId id;
    QStringList binds, columns;
    QList<QStringList> rows;
  } kCases[] = {
      {"SHOP", QueryId::OCIComments, {"ORDERS' OR '1'='1"}, {"comments"}, {}},
      {"SHOP", QueryId::OCIColumns, {"ORDERS"}, {"column_name"},
       {{"ORDER_ID"}, {"CUSTOMER_ID"}, {"NOTE"}}},
      {"SHOP", QueryId::OCITables, {}, {"table_name"},
       {{"CUSTOMERS"}, {"LONG_NAMES"}, {"NOTES"}, {"ORDERS"}}},
      {"SHOP", QueryId::OCIViewNames, {}, {"VIEW_NAME"},
       {{"V_BLANK"}, {"V_ESC"}, {"V_ONE"}, {"V_OPEN"}, {"V_TAIL"}}},
      {"SHOP", QueryId::OCISequences, {}, {"sequence_name"}, {{"CUSTOMERS_SEQ"}, {"ORDERS_SEQ"}}},
      {"SHOP", QueryId::OCISynonyms, {"ORDERS"}, {"synonym_name"}, {{"ALT_ORDERS"}, {"ORDERS_PUB"}}},
      {"SCOTT", QueryId::OCIPrimaryKeys, {"DEPT"}, {"Nimi", "Sarake"},
       {{pad("DEPT_PK", 20), "DEPTNO"}, {pad("DEPT_PK", 20), "LOC"}}},
      {"SCOTT", QueryId::OCIForeignKeys, {"EMP"}, {"Nimi", "Lahtosarake", "Kohdesarake"},
       {{pad("EMP_DEPT_FK", 20), pad("DEPTNO", 30), "DEPT.DEPTNO"},
        {pad("EMP_DEPT_FK", 20), pad("LOC", 30), "DEPT.LOC"}}},
      {"SCOTT", QueryId::OCIProcedures, {}, {"proc"},
       {{"GET_SAL (FUNCTION)"}, {"RAISE_SAL (PROCEDURE)"}}},
      {"SCOTT", QueryId::OCIRoles, {}, {"grantee"}, {{"CLERK"}, {"HR"}, {"PARTNER"}}},
      {"SCOTT", QueryId::OCIComments, {"EMP"}, {"COMMENTS"},
       {{"Employees of the company"}, {"Not ours"}}},
      {"SCOTT", QueryId::OCIComments, {"DEPT"}, {"comments"}, {{""}}},
      {"SCOTT", QueryId::OCIComments, {""}, {"comments"}, {}},
      {"SCOTT", QueryId::OCIProctext, {"GET_SAL", "FUNCTION"}, {"text"},
       {{"function get_sal return number is\n"}, {"begin return 0; end;"}}},
      {"SCOTT", QueryId::OCIProctext, {"GET_SAL", "PROCEDURE"}, {"text"}, {}},
      // Both directions: SCOTT's own rows, and HR's use of SCOTT's table.
      {"SCOTT", QueryId::OCIDependencies, {"SCOTT", "SCOTT"},
       {"owner", "name", "referenced_owner", "referenced_name"},
       {{"SCOTT", "EMP_V", "SCOTT", "EMP"}, {"SCOTT", "GET_SAL", "SYS", "STANDARD"},
        {"SCOTT", "RAISE_SAL", "SCOTT", "GET_SAL"}, {"HR", "GET_RATE", "SCOTT", "EMP"}}},
      {"SCOTT", QueryId::OCIInvalidObjects, {"SCOTT"}, {"object_name", "object_type"},
       {{"EMP_V", "VIEW"}}},
      {"HR", QueryId::OCIPackages, {}, {"name"}, {{"ORDERS"}}},
      {"HR", QueryId::OCIRoles, {}, {"grantee"}, {{"HR"}, {"PARTNER"}, {"SPY"}}},
  };
  const QByteArray before = testenv::ReadBytes(SnapshotPath("shop.sqlite"));
  for (const auto& c : kCases) {
    if (db.UserName() != c.user)
      ConnectDatabase(db, "SHOP", c.user, c.user == QLatin1String("SCOTT") ? "tiger" : "secret");
    EXPECT_EQ(Rows(c.id, c.binds, c.columns), c.rows)
        << c.user << " " << QueryTextOf(c.id).name << " " << c.binds.join(',').toStdString();
  }
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
       {Case{"SHOP", "secret", true}, Case{"shop", "secret", true}, Case{"SHOP", "Secret", false},
        Case{"NOBODY", "secret", false}, Case{"HR", "anything", true}}) {
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
  // HR sees its own schema only, also while SHOP reads the same file.
  Database shop;
  shop.SetSnapshotDirectories({dir.path()});
  ConnectDatabase(shop, "SHOP", "SHOP", "secret");
  Query& theirs = shop.query(QueryId::OCITables);
  theirs.Open();
  EXPECT_EQ(Column(QueryId::OCIProcedures, {}, "proc"), QStringList({"GET_RATE (FUNCTION)"}));
  EXPECT_EQ(theirs.Field("table_name"), "CUSTOMERS");

  // A failed log-on ends the connection before it and keeps what was tried.
  errors.clear();
  EXPECT_THROW(ConnectDatabase(db, "SHOP", "SHOP", "wrong"), DatabaseError);
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

  ConnectDatabase(db, "SHOP", "HR", "any");
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
  EXPECT_EQ(pairs, QStringList({"JOBS/JOBS", "JOBS/STAFF", "STAFF/JOBS", "STAFF/STAFF"}));

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
  // A name no snapshot has goes to Oracle: without its client library both are named.
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
                         "libclntsh.so was not found"}}}) {
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
// cache: a changed snapshot is read anew, also one edited and touched back to its old size
// and time, and a cache that is damaged (whole or in a page), is a FIFO, cannot be written or
// is named relative to wherever the program runs costs time, never rows.
TEST_F(SnapshotFileTest, AChangedSnapshotIsReadAnewWhateverTheCache) {
  const QString path = SnapshotPath("moving.sqlite");
  const QString cacheDir = testenv::Home() + "/cache/VLM/dictionaries";
  const QString cache = cacheDir + '/' +
                        QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex() +
                        ".sqlite";
  const QByteArray cacheHome = qgetenv("XDG_CACHE_HOME");
  const QString workingDir = QDir::currentPath();
  const QDateTime start = QDateTime::currentDateTime();
  const qsizetype cached = QDir(cacheDir).entryList(QDir::Files).size();
  const auto sql = [](const QString& file, const char* statement) {
    sqlite3* handle = nullptr;
    sqlite3_open(QFile::encodeName(file).constData(), &handle);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(handle, statement, -1, &stmt, nullptr);
    QList<int> values;
    while (sqlite3_step(stmt) == SQLITE_ROW) values << sqlite3_column_int(stmt, 0);
    sqlite3_finalize(stmt);
    sqlite3_close(handle);
    return values;
  };
  const auto tables = [&] {
    ConnectDatabase(db, "MOVING", "U", "x");
    const QStringList names = Column(QueryId::OCITables, {}, "table_name");
    db.Disconnect();
    return names;
  };
  const struct {
    const char* table;
    std::function<void()> change;  // after the snapshot is written
  } steps[] = {
      {"FIRST", {}},
      {"SECOND", {}},
      {"TOUCHED",
       [&] {
         const QDateTime modified = QFileInfo(path).lastModified();
         const qint64 size = QFileInfo(path).size();
         sql(path, "UPDATE dba_tables SET table_name = 'TOUCHED'");
         QFile touched(path);
         ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
         touched.setFileTime(modified, QFileDevice::FileModificationTime);
         ASSERT_EQ(touched.size(), size);
       }},
      // Rewritten in place at its size, its time put back within the same second.
      {"REWRITTEN",
       [&] {
         struct stat before {};
         ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &before), 0);
         sql(path, "UPDATE dba_tables SET table_name = 'REWRITTEN'");
         struct timespec times[2] = {before.st_atim, before.st_mtim};
         times[1].tv_nsec = (times[1].tv_nsec + 1) % 1000000000;
         ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
       }},
      {"WHOLLY_DAMAGED", [&] { testenv::WriteBytes(cache, "not a database"); }},
      {"PAGE_DAMAGED",
       [&] {
         // Made by another program, so that no connection of this one has read it.
         ASSERT_EQ(childprocess::Run([&] { return tables() == QStringList{"PAGE_DAMAGED"}; }), 1);
         QFile file(cache);
         ASSERT_TRUE(file.open(QIODevice::ReadWrite));
         for (const int page :
              sql(cache, "SELECT rootpage FROM sqlite_schema WHERE tbl_name = 'dba_tables'")) {
           file.seek(qint64(page - 1) * 4096);
           file.write(QByteArray(4096, '\xA5'));
         }
       }},
      {"FIFO",
       [&] {
         QFile::remove(cache);
         ASSERT_EQ(::mkfifo(QFile::encodeName(cache).constData(), 0600), 0);
       }},
      {"UNWRITABLE",
       [&] {
         testenv::WriteBytes(dir.filePath("plain"), "x");
         qputenv("XDG_CACHE_HOME", dir.filePath("plain").toUtf8());
       }},
      // Relative to the test's own folder, which it works in for this step.
      {"RELATIVE",
       [&] {
         QDir::setCurrent(dir.path());
         qputenv("XDG_CACHE_HOME", "relative-cache");
       }},
  };
  for (int i = 0; i < int(std::size(steps)); ++i) {
    SCOPED_TRACE(steps[i].table);
    if (QString(steps[i].table) != "TOUCHED" && QString(steps[i].table) != "REWRITTEN") {
      testdb::MakeSnapshot(path, testdb::UserSql("U", {}) +
                                     QString("INSERT INTO dba_tables VALUES ('U', '%1');")
                                         .arg(steps[i].table));
      QFile touched(path);
      ASSERT_TRUE(touched.open(QIODevice::ReadWrite));
      touched.setFileTime(start.addSecs(10 * i), QFileDevice::FileModificationTime);
    }
    if (steps[i].change) steps[i].change();
    alarm(60);  // a FIFO waited on fails the test instead of stopping it
    EXPECT_EQ(tables(), QStringList({steps[i].table}));
    alarm(0);
    EXPECT_EQ(QDir(cacheDir).entryList(QDir::Files).size(), cached + 1);
  }
  EXPECT_FALSE(QFileInfo::exists(dir.filePath("relative-cache")));
  QDir::setCurrent(workingDir);
  EXPECT_TRUE(QFileInfo::exists(testenv::Home() + "/.cache/VLM/dictionaries/" +
                                QFileInfo(cache).fileName()));
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
    int valueBytes = 0;  // the limit of one value, when lowered
  };
  for (const Case& c :
       {Case{"rpad", tables("SELECT 'U', rpad('x', 4000000000)"), "unsafe use of rpad()"},
        Case{"rows", tables(endless + "SELECT 'U', printf('%.1000c', 'x') || n FROM r"),
             "does not fit in 16 MiB"},
        Case{"spins", tables(endless + "SELECT 'U', 'T' FROM r WHERE n < 0"),
             "took longer than 1 seconds"},
        Case{"memory", tables("SELECT printf('%.9000000c', 'x'), printf('%.9000000c', 'y')"),
             "more than 16 MiB of memory"},
        Case{"value", tables("SELECT 'U', hex(zeroblob(600000))"),
             "holds a value longer than 1 MiB", 1 << 20},
        Case{"users",
             "INSERT INTO dba_users " + endless + "SELECT 'X' || n, NULL FROM r LIMIT 3000;" +
                 testdb::UserSql("U", {}),
             "cannot be read: reading it took longer than 0 seconds"}}) {
    testdb::MakeSnapshot(SnapshotPath(QString(c.name) + ".sqlite"), c.sql);
    SnapshotLimits limits = before;
    limits.prepareSeconds = 1;
    limits.querySeconds = 0;
    limits.heapBytes = qint64(16) << 20;
    if (c.valueBytes) limits.valueBytes = c.valueBytes;
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
