#include "dictionary_fixture.h"

#include <QDir>

#include "pages/initial_description.h"
#include "support/snapshot_maker.h"

namespace fixture {

void MakeScottDictionary(const QString& dir, const QString& name) {
  const QString sql = QStringLiteral(R"(
insert into dba_tables values ('SCOTT', 'EMP'), ('SCOTT', 'DEPT'), ('SCOTT', 'bonus'),
  ('HR', 'JOBS');
insert into dba_tab_comments values ('SCOTT', 'EMP', 'TABLE', 'Employees of the company'),
  ('SCOTT', 'DEPT', 'TABLE', null), ('HR', 'JOBS', 'TABLE', 'Job titles');
insert into dba_views values ('SCOTT', 'EMP_V', 'select * from emp');
insert into dba_source values
  ('SCOTT', 'GET_SAL', 'FUNCTION', 1, 'function get_sal return number is' || char(10)),
  ('SCOTT', 'GET_SAL', 'FUNCTION', 2, 'begin return 0; end;'),
  ('SCOTT', 'RAISE_SAL', 'PROCEDURE', 1, 'procedure raise_sal is begin null; end;'),
  ('SCOTT', 'PAY_PKG', 'PACKAGE', 1, 'package pay_pkg is' || char(10)),
  ('SCOTT', 'PAY_PKG', 'PACKAGE', 2, '-- <PD>' || char(10)),
  ('SCOTT', 'PAY_PKG', 'PACKAGE', 3, '-- Description' || char(10)),
  ('SCOTT', 'PAY_PKG', 'PACKAGE', 4, 'first part' || char(10)),
  ('SCOTT', 'PAY_PKG', 'PACKAGE', 5, '   second part   ' || char(10)),
  ('SCOTT', 'PAY_PKG', 'PACKAGE', 6, '-- </PD>' || char(10)),
  ('SCOTT', 'PAY_PKG', 'PACKAGE', 7, 'end pay_pkg;');
insert into dba_sequences values ('SCOTT', 'EMP_SEQ');
insert into dba_tab_privs values ('SCOTT', 'EMP', 'SCOTT', 'HR', 'SELECT'),
  ('SCOTT', 'EMP', 'SCOTT', 'CLERK', 'SELECT'), ('SCOTT', 'EMP', 'SCOTT', 'HR', 'UPDATE');
)");
  QDir().mkpath(dir);
  testdb::MakeSnapshot(dir + "/" + name + ".sqlite",
                       testdb::UserSql("SCOTT", "tiger") + testdb::UserSql("HR", "hr") + sql);
}

RecordingDatabase::RecordingDatabase(const QString& dir) {
  db.SetSnapshotDirectories({dir});
  db.SetErrorHandler([this](const QString& message) { shown.append(message); });
}

void ScottDictionaryTest::SetUp() {
  MakeScottDictionary(dir.path(), "ORCL");
  MakeScottDictionary(dir.path(), "TEST");
}

void ScottDictionaryTest::Connect(const QString& server, const QString& user,
                                  const QString& password) {
  ConnectDatabase(conn.db, server, user, password);
}

std::function<QString(const QString&)> ScottDictionaryTest::Describer(ObjectKind kind) {
  return [this, kind](const QString& name) {
    return InitialDescription(conn.db, settings, kind, name);
  };
}

}  // namespace fixture
