#include "support/snapshot_maker.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCryptographicHash>
#include <QFile>

#include "db/snapshot_schema.h"

namespace testdb {

void MakeSnapshot(const QString& path, const QString& sql) {
  QFile::remove(path);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  QByteArray all = QByteArray("PRAGMA synchronous = OFF; BEGIN;") + snapshot::TablesSql();
  all += sql.toUtf8() + "\n;COMMIT;";
  char* error = nullptr;
  const int rc = sqlite3_exec(db, all.constData(), nullptr, nullptr, &error);
  const std::string message = error ? error : "";
  sqlite3_free(error);
  sqlite3_close(db);
  ASSERT_EQ(rc, SQLITE_OK) << message;
}

QString UserSql(const QString& user, const QString& password) {
  if (password.isNull())
    return QStringLiteral("INSERT INTO dba_users VALUES ('%1', NULL);\n").arg(user);
  const QByteArray hash =
      QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha256).toHex();
  return QStringLiteral("INSERT INTO dba_users VALUES ('%1', '%2');\n")
      .arg(user, QString::fromLatin1(hash));
}

}  // namespace testdb
