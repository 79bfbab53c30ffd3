#pragma once
// Small dictionary snapshots for the page and login tests, made with plain SQL in the
// published snapshot schema, and a connection that records what its error handler shows.

#include <QString>
#include <QStringList>

#include "db/database.h"

namespace fixture {

// Creates <dir>/<name>.sqlite with the snapshot tables, then runs `sql` on it.
void MakeSnapshot(const QString& dir, const QString& name, const QString& sql = {});

// Users SCOTT (password "tiger") and HR (password "hr"). SCOTT owns the tables EMP
// (comment "Employees of the company"), DEPT (no comment) and bonus, the view EMP_V, the
// function GET_SAL and procedure RAISE_SAL, the package PAY_PKG (with a tagged package
// description), the sequence EMP_SEQ and grants on EMP to HR and to CLERK. HR owns the
// table JOBS.
void MakeScottDictionary(const QString& dir, const QString& name);

// A connection whose snapshot directory is `dir` and whose error handler appends every
// message to `shown`.
struct RecordingDatabase {
  explicit RecordingDatabase(const QString& dir);
  Database db;
  QStringList shown;
};

}  // namespace fixture
