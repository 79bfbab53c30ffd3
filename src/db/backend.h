#pragma once
// What a dictionary backend (snapshot or Oracle) offers the connection. Backends report
// failures by throwing BackendFailure; the connection turns each into the one error path
// (handler, then DatabaseError).

#include <QString>
#include <QStringList>
#include <memory>

#include "db/database.h"

struct BackendFailure {
  QString message;
};

// The rows of one executed query, read forwards.
class BackendCursor {
 public:
  virtual ~BackendCursor() = default;
  virtual bool Eof() const = 0;
  // Index of the column named `name` (any case), -1 when the query has none.
  virtual int ColumnIndex(const QString& name) const = 0;
  // The current row's value; NULL as "".
  virtual QString Value(int column) const = 0;
  virtual void Next() = 0;
};

class Backend {
 public:
  virtual ~Backend() = default;
  // Runs query `id` with `binds` (one text per parameter, in order) and stands on the
  // first row.
  virtual std::unique_ptr<BackendCursor> Execute(QueryId id, const QStringList& binds) = 0;
};

// Index of `name` in `columns` without regard to case, -1 when absent.
int FindColumn(const QStringList& columns, const QString& name);

// Opens the backend that `server` names: a snapshot file found in `snapshotDirs`, else
// Oracle with its call timeout (oracle_backend.h). Throws BackendFailure when it cannot
// log on.
std::unique_ptr<Backend> OpenBackend(const QString& server, const QString& user,
                                     const QString& password, const QStringList& snapshotDirs,
                                     int callTimeoutSeconds);
