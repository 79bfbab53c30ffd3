#pragma once
// A Database over a temporary snapshot directory that records what reaches its handler.

#include <QList>
#include <QStringList>
#include <QTemporaryDir>

#include "db/database.h"

namespace testdb {

class DbFixtureBase {
 public:
  DbFixtureBase() {
    db.SetSnapshotDirectories({dir.path()});
    db.SetErrorHandler([this](const QString& m) { errors << m; });
  }
  QString SnapshotPath(const QString& file) const { return dir.path() + "/" + file; }

  // Runs `id` with `binds` and reads `columns` of every row.
  QList<QStringList> Rows(QueryId id, const QStringList& binds, const QStringList& columns) {
    Query& q = db.query(id);
    q.Close();
    for (int i = 0; i < binds.size(); ++i) q.BindText(i + 1, binds[i]);
    q.Open();
    QList<QStringList> rows;
    while (!q.Eof()) {
      QStringList row;
      for (const QString& c : columns) row << q.Field(c);
      rows << row;
      q.Next();
    }
    q.Close();
    return rows;
  }
  // The one column of every row.
  QStringList Column(QueryId id, const QStringList& binds, const QString& column) {
    QStringList values;
    for (const QStringList& row : Rows(id, binds, {column})) values << row[0];
    return values;
  }

  QTemporaryDir dir;
  Database db;
  QStringList errors;
};

}  // namespace testdb
