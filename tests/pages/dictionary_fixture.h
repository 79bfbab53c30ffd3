#pragma once
// A small dictionary snapshot for the page and login tests, and a connection that records
// what its error handler shows.

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

#include "db/database.h"
#include "project/project.h"
#include "settings/settings.h"

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

// Databases ORCL and TEST as MakeScottDictionary makes them, a connection to them, a
// project and the default settings.
class ScottDictionaryTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void Connect(const QString& server, const QString& user = "SCOTT",
               const QString& password = "tiger");
  // What a page of `kind` takes as the first description of an added object.
  std::function<QString(const QString&)> Describer(ObjectKind kind);

  QTemporaryDir dir;
  RecordingDatabase conn{dir.path()};
  Project project;
  Settings settings = DefaultSettings();
};

}  // namespace fixture
