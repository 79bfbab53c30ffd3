#include "snapshot_maker.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCryptographicHash>
#include <QFile>

#include "db/snapshot_schema.h"

namespace {
void Exec(sqlite3* db, const QByteArray& sql) {
  char* error = nullptr;
  const int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error);
  ASSERT_EQ(rc, SQLITE_OK) << (error ? error : "") << "\n" << sql.constData();
}
}  // namespace

void MakeSnapshot(const QString& path, const QString& sql) {
  QFile::remove(path);
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.toUtf8().constData(), &db), SQLITE_OK);
  Exec(db, "BEGIN");
  Exec(db, snapshot::TablesSql());
  Exec(db, sql.toUtf8());
  Exec(db, "COMMIT");
  sqlite3_close(db);
}

QString PasswordHash(const QString& password) {
  return QString::fromLatin1(
      QCryptographicHash::hash(password.toUtf8(), QCryptographicHash::Sha256).toHex());
}
