// Makes a dictionary snapshot from SQL: the schema, then the given files,
// written to a temporary file that replaces OUT only when everything ran.

#include <sqlite3.h>

#include <QFile>
#include <cstdio>

#include "db/snapshot_schema.h"

namespace {

bool Exec(sqlite3* db, const QByteArray& sql, const char* what) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error) == SQLITE_OK) return true;
  std::fprintf(stderr, "vellumar-snapshot: %s: %s\n", what, error ? error : "?");
  sqlite3_free(error);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  // An option is never taken for the snapshot to write: "--help" would become a file.
  if (argc < 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: vellumar-snapshot OUT.sqlite [FILE.sql...]\n");
    return 2;
  }
  const QString out = QString::fromLocal8Bit(argv[1]);
  const QString temp = out + ".tmp";
  QFile::remove(temp);
  sqlite3* db = nullptr;
  bool ok = sqlite3_open(temp.toUtf8().constData(), &db) == SQLITE_OK &&
            Exec(db, "BEGIN", "begin") && Exec(db, snapshot::TablesSql(), "schema");
  for (int i = 2; ok && i < argc; ++i) {
    QFile f(QString::fromLocal8Bit(argv[i]));
    if (!f.open(QIODevice::ReadOnly)) {
      std::fprintf(stderr, "vellumar-snapshot: cannot read %s\n", argv[i]);
      ok = false;
    } else {
      ok = Exec(db, f.readAll(), argv[i]);
    }
  }
  ok = ok && Exec(db, "COMMIT", "commit");
  sqlite3_close(db);
  if (ok) {
    QFile::remove(out);
    ok = QFile::rename(temp, out);
  }
  if (!ok) QFile::remove(temp);
  return ok ? 0 : 1;
}
