#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include "support/db_fixture.h"
#include "oci_stub.h"

namespace {

// The Oracle backend against the stub client library (oci_stub.h).
class OracleBackendTest : public ::testing::Test, public testdb::DbFixtureBase {
 protected:
  void SetUp() override {
    qputenv("VELLUMAR_OCI_LIBRARY", OCI_STUB_PATH);
    stub_reset();
    stub_set_logon("SCOTT", "tiger", "ORCL");
  }
  void TearDown() override {
    db.Disconnect();
    qunsetenv("VELLUMAR_OCI_LIBRARY");
  }
};

TEST_F(OracleBackendTest, LogOnSucceedsOnlyWithTheRightCredentials) {
  struct Case {
    const char* server;
    const char* password;
    const char* error;
  };
  for (const Case& c :
       {Case{"ORCL", "wrong", "ORA-01017: invalid username/password; logon denied"},
        Case{"NOSUCH", "tiger", "ORA-12154: TNS:could not resolve the connect identifier specified"},
        Case{"ORCL", "tiger", nullptr}}) {
    errors.clear();
    try {
      ConnectDatabase(db, c.server, "SCOTT", c.password);
      EXPECT_EQ(c.error, nullptr);
    } catch (const DatabaseError& e) {
      ASSERT_NE(c.error, nullptr);
      EXPECT_EQ(errors, QStringList({c.error}));
    }
    EXPECT_EQ(db.Connected(), c.error == nullptr);
  }
  EXPECT_EQ(stub_open_sessions(), 1);
  EXPECT_EQ(stub_call_timeout(), 60000);  // no call waits for ever unless told to
  // A statement the library does not know is Oracle's error, and the query stays closed.
  EXPECT_THROW(db.query(QueryId::OCISequences).Open(), DatabaseError);
  EXPECT_EQ(errors.last(), "ORA-00942: table or view does not exist");
  EXPECT_FALSE(db.query(QueryId::OCISequences).IsOpen());
  db.Disconnect();
  EXPECT_EQ(stub_open_sessions(), 0);

  qputenv("VELLUMAR_OCI_LIBRARY", "libm.so.6");
  EXPECT_THROW(ConnectDatabase(db, "ORCL", "SCOTT", "tiger"), DatabaseError);
  EXPECT_TRUE(errors.last().contains("libm.so.6 lacks OCIEnvNlsCreate"))
      << errors.last().toStdString();
}

// Without VELLUMAR_OCI_LIBRARY the library is looked for on the loader's paths and in
// ORACLE_HOME: an Instant Client folder holds it, a full client has it in lib/. A client
// that is there but does not load is named with the reason, not hidden behind the first
// name that was not found.
TEST_F(OracleBackendTest, TheClientIsFoundInOracleHomeOrTheErrorSaysWhyNot) {
  qunsetenv("VELLUMAR_OCI_LIBRARY");
  int n = 0;
  struct Case {
    const char* file;  // in `home`; linked to the library `target`
    const char* target;
    QStringList says;  // empty: it connects; {home} stands for ORACLE_HOME
  };
  for (const Case& c :
       {Case{"libclntsh.so.19.1", OCI_STUB_PATH, {}},
        Case{"lib/libclntsh.so", OCI_STUB_PATH, {}},
        Case{"libclntsh.so.23.1", BROKEN_CLIENT_PATH,
             {"{home}/libclntsh.so.23.1: libvellumar_absent.so: cannot open shared object file",
              "libclntsh.so.23.1 needs libvellumar_absent.so, which is not installed"}},
        Case{"bin/libclntsh.so", OCI_STUB_PATH,
             {"libclntsh.so was not found on the library path, in ORACLE_HOME ({home}) or in its "
              "lib folder.",
              "LD_LIBRARY_PATH"}}}) {
    // A folder per case: the loader knows a file it has loaded by its path ever after.
    const QString home = dir.path() + "/client" + QString::number(++n);
    ASSERT_TRUE(QDir().mkpath(QFileInfo(home + "/" + c.file).path()));
    ASSERT_TRUE(QFile::link(c.target, home + "/" + c.file));
    qputenv("ORACLE_HOME", home.toUtf8());
    errors.clear();
    try {
      ConnectDatabase(db, "ORCL", "SCOTT", "tiger");
      EXPECT_TRUE(c.says.isEmpty()) << c.file;
    } catch (const DatabaseError& e) {
      ASSERT_FALSE(c.says.isEmpty()) << e.what();
      for (QString part : c.says)
        EXPECT_TRUE(e.Message().contains(part.replace("{home}", home))) << e.what();
      EXPECT_FALSE(e.Message().contains("libclntsh.so: cannot open")) << e.what();
    }
    db.Disconnect();
  }
  qunsetenv("ORACLE_HOME");
}

TEST_F(OracleBackendTest, RowsAreFetchedByNameAndBindsAreValues) {
  const char* names[] = {"KENTTA", "TYYPPI", "NULLI", "KUVAUS"};
  const int types[] = {1, 1, 1, 1};
  stub_add_result("from user_col_comments c, user_tab_columns s", 4, names, types);
  const char* r1[] = {"ID", "NUMBER(6)", "Not null", "Kääntäjä € key"};
  const char* r2[] = {"NAME", "VARCHAR2(30)", "Null", nullptr};
  stub_add_row(r1);
  stub_add_row(r2);
  ConnectDatabase(db, "ORCL", "SCOTT", "tiger");
  for (const QString& bind : {QString("EMP"), QString("O'Brien; DROP TABLE x")}) {
    EXPECT_EQ(Rows(QueryId::OCITableFields, {bind}, {"kentta", "Kuvaus"}),
              QList<QStringList>({{"ID", "Kääntäjä € key"}, {"NAME", ""}}));
    EXPECT_EQ(QString::fromUtf8(stub_last_bind(1)), bind);
  }
  // An empty bind is NULL, as Oracle has no empty text.
  Rows(QueryId::OCITableFields, {""}, {"kentta"});
  EXPECT_EQ(stub_last_bind(1), nullptr);

  // A second query of the kind open at the same time reads rows of its own.
  Query& q = db.query(QueryId::OCITableFields);
  q.Open();
  Query other(db, QueryId::OCITableFields);
  other.Open();
  q.Next();
  EXPECT_EQ(other.Field("kentta"), "ID");
  EXPECT_EQ(q.Field("kentta"), "NAME");
}

// The modern documents' own reads order every name by its bytes, whatever NLS_SORT the
// client's NLS_LANG gives the session; only numbers may be ordered as they are.
TEST_F(OracleBackendTest, ModernReadsOrderNamesByTheirBytes) {
  const char* names[] = {"X"};
  const int types[] = {1};
  stub_add_result("select", 1, names, types);
  ConnectDatabase(db, "ORCL", "SCOTT", "tiger");
  const QStringList numbers{"b.position", "c.position", "b.column_position", "overload",
                            "sequence", "s.column_id", "subprogram_id"};
  const QRegularExpression binary(R"(^NLSSORT\([a-z_.]+, 'NLS_SORT=BINARY'\)$)");
  for (int id = int(QueryId::OCIObjectComment); id < kQueryCount; ++id) {
    Query q(db, QueryId(id));
    for (int p = 1; p <= QueryTextOf(QueryId(id)).params.size(); ++p) q.BindText(p, "T");
    q.Open();
    const QString sql = QString::fromUtf8(stub_last_sql());
    const qsizetype order = sql.indexOf("order by ");
    if (order < 0) continue;
    const QStringList keys = sql.mid(order + 9).split(QRegularExpression(R"(,\s*(?![^()]*\)))"));
    for (const QString& key : keys)
      EXPECT_TRUE(numbers.contains(key.trimmed()) || binary.match(key.trimmed()).hasMatch())
          << QueryTextOf(QueryId(id)).name << ": " << key.toStdString();
  }
}

TEST_F(OracleBackendTest, LongViewTextIsReadWholeUpToOneMebibyte) {
  const char* names[] = {"TEXT"};
  const int types[] = {8};
  stub_add_result("from user_views", 1, names, types);
  std::string medium = "SELECT '" + std::string(70000, 'x') + "' FROM dual\n";
  std::string huge = "SELECT 1 FROM dual -- " + std::string(1 << 20, 'y');
  huge[(1 << 20) - 1] = '\xC3';  // the cut falls inside the two bytes of "é"
  huge[1 << 20] = '\xA9';
  std::string whole = huge;  // the cut falls just after the two bytes of "é"
  whole[(1 << 20) - 2] = '\xC3';
  whole[(1 << 20) - 1] = '\xA9';
  for (std::string* text : {&medium, &huge, &whole}) {
    const char* row[] = {text->c_str()};
    stub_add_row(row);
  }
  ConnectDatabase(db, "ORCL", "SCOTT", "tiger");
  const QStringList texts = Column(QueryId::OCIViews, {"V"}, "text");
  ASSERT_EQ(texts.size(), 3);
  EXPECT_EQ(texts[0], QString::fromStdString(medium));
  EXPECT_TRUE(texts[1].startsWith("SELECT 1 FROM dual -- yyy"));
  EXPECT_TRUE(
      texts[1].endsWith("y\n-- [view text cut: only its first 1 MiB (1048576 bytes) is shown]"))
      << texts[1].right(80).toStdString();
  EXPECT_FALSE(texts[1].contains(QChar::ReplacementCharacter));
  EXPECT_TRUE(texts[2].endsWith(QString::fromUtf8("yé\n-- [view text cut: only its first 1 MiB "
                                                  "(1048576 bytes) is shown]")));
  EXPECT_TRUE(errors.isEmpty());  // a cut value is a warning, not an error
}

// A server that stops answering ends the call after the call timeout, with an error that
// says what happened, rather than leaving a window that never answers.
TEST_F(OracleBackendTest, AServerThatStopsAnsweringTimesOutWithAClearError) {
  const char* column[] = {"TABLE_NAME"};
  const int type[] = {1};
  stub_add_result("from user_tables", 1, column, type);
  for (const char* name : {"DEPT", "EMP"}) stub_add_row(&name);
  stub_stop_answering_at(1);
  db.SetCallTimeout(45);
  ConnectDatabase(db, "ORCL", "SCOTT", "tiger");
  EXPECT_EQ(stub_call_timeout(), 45000);
  Query& q = db.query(QueryId::OCITables);
  q.Open();
  EXPECT_EQ(q.Field("table_name"), "DEPT");
  EXPECT_THROW(q.Next(), DatabaseError);
  ASSERT_EQ(errors.size(), 1);
  EXPECT_TRUE(errors[0].startsWith("ORA-03156: OCI call timed out\nThe database did not answer "
                                   "within 45 seconds"))
      << errors[0].toStdString();
}

TEST_F(OracleBackendTest, LostConnectionFailsEachQueryUntilReconnected) {
  const char* column[] = {"TABLE_NAME"};
  const int type[] = {1};
  stub_add_result("from user_tables", 1, column, type);
  for (const char* name : {"DEPT", "EMP", "SALGRADE"}) stub_add_row(&name);
  stub_lose_connection_at(2);
  ConnectDatabase(db, "ORCL", "SCOTT", "tiger");
  Query& q = db.query(QueryId::OCITables);
  q.Open();
  EXPECT_EQ(q.Field("table_name"), "DEPT");
  q.Next();
  EXPECT_EQ(q.Field("table_name"), "EMP");
  EXPECT_THROW(q.Next(), DatabaseError);
  EXPECT_EQ(errors, QStringList({"ORA-03113: end-of-file on communication channel"}));
  EXPECT_FALSE(q.IsOpen());
  EXPECT_TRUE(db.Connected());  // nobody tests the connection; the next query fails
  EXPECT_THROW(q.Open(), DatabaseError);
  EXPECT_EQ(errors.last(), "ORA-03114: not connected to ORACLE");
  ConnectDatabase(db, "ORCL", "SCOTT", "tiger");  // the dead session is let go quietly
  EXPECT_EQ(errors.size(), 2);
  EXPECT_EQ(stub_open_sessions(), 1);
}

}  // namespace
