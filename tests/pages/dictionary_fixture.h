#pragma once
// A small dictionary snapshot for the page and login tests, and a connection that records
// what its error handler shows.

#include <QString>
#include <QStringList>

#include "db/database.h"

namespace fixture {

// <dir>/<name>.sqlite with users SCOTT (password "tiger") and HR (password "hr"). SCOTT
// owns the tables EMP (comment "Employees of the company"), DEPT (no comment) and bonus, the
// view EMP_V, the function GET_SAL and procedure RAISE_SAL, the package PAY_PKG (with a
// tagged package description), the sequence EMP_SEQ and grants on EMP to HR and to CLERK.
// HR owns the table JOBS.
void MakeScottDictionary(const QString& dir, const QString& name);

// A connection whose snapshot directory is `dir` and whose error handler appends every
// message to `shown`.
struct RecordingDatabase {
  explicit RecordingDatabase(const QString& dir);
  Database db;
  QStringList shown;
};

}  // namespace fixture
