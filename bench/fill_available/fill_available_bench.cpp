// The available list of a large schema: 50,000 tables in the dictionary against 50,000
// entries of the kind in the project, half of them chosen from the connected database.
// Prints the best of five runs of the whole refill (query and filtering) and of the
// filtering alone, elapsed and CPU time (the CPU time holds also on a busy machine).

#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>

#include "db/database.h"
#include "pages/available_list.h"
#include "project/project.h"

namespace {

constexpr int kNames = 50000;

QString TableName(int i) { return QStringLiteral("T_%1_DATA").arg(i, 6, 10, QLatin1Char('0')); }

bool MakeSnapshot(const QString& path) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) return false;
  QByteArray sql =
      "create table dba_users (username text, password_sha256 text);"
      "create table dba_tables (owner text, table_name text);"
      "create table dba_tab_comments (owner text, table_name text, table_type text, comments text);"
      "create table dba_tab_columns (owner text, table_name text, column_name text, column_id int,"
      " data_type text, data_length int, data_precision int, nullable text);"
      "create table dba_col_comments (owner text, table_name text, column_name text, comments text);"
      "create table dba_constraints (owner text, constraint_name text, constraint_type text,"
      " table_name text, r_owner text, r_constraint_name text);"
      "create table dba_cons_columns (owner text, constraint_name text, table_name text,"
      " column_name text, position int);"
      "create table dba_indexes (owner text, index_name text, table_owner text, table_name text);"
      "create table dba_ind_columns (index_owner text, index_name text, table_owner text,"
      " table_name text, column_name text, column_position int);"
      "create table dba_views (owner text, view_name text, text text);"
      "create table dba_source (owner text, name text, type text, line int, text text);"
      "create table dba_sequences (sequence_owner text, sequence_name text);"
      "create table dba_tab_privs (owner text, table_name text, grantor text, grantee text,"
      " privilege text);"
      "create table dba_synonyms (owner text, synonym_name text, table_owner text, table_name text);"
      "insert into dba_users values ('BENCH', null);"
      "begin;";
  for (int i = 0; i < kNames; ++i)
    sql += "insert into dba_tables values ('BENCH', '" + TableName(i).toLatin1() + "');";
  sql += "commit;";
  const bool ok = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

struct Timing {
  double elapsed = 1e9;
  double cpu = 1e9;
};

// Best of five runs of `work`.
Timing Measure(const std::function<void()>& work) {
  Timing best;
  for (int run = 0; run < 5; ++run) {
    QElapsedTimer timer;
    timer.start();
    const std::clock_t cpu = std::clock();
    work();
    best.cpu = std::min(best.cpu, double(std::clock() - cpu) / CLOCKS_PER_SEC);
    best.elapsed = std::min(best.elapsed, timer.nsecsElapsed() / 1e9);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  if (!MakeSnapshot(dir.path() + "/BENCHDB.sqlite")) {
    std::fprintf(stderr, "cannot make the snapshot\n");
    return 1;
  }
  // Every other table is in the project twice: once from this database, once from another.
  // Each connection held once, as a project holds the entries chosen under it.
  const Connection here("BENCHDB", "BENCH", "x"), other("OTHERDB", "BENCH", "x");
  QList<ObjectEntry> entries;
  for (int i = 0; i < kNames; i += 2) {
    entries.append({here, TableName(i), {}});
    entries.append({other, TableName(i), {}});
  }
  QStringList names;
  for (int i = 0; i < kNames; ++i) names.append(TableName(kNames - 1 - i));

  Database db;
  db.SetSnapshotDirectories({dir.path()});
  db.SetErrorHandler([](const QString& message) {
    std::fprintf(stderr, "ERROR: %s\n", qPrintable(message));
  });
  try {
    ConnectDatabase(db, "BENCHDB", "BENCH", "x");
    QStringList available, filtered;
    const Timing fill =
        Measure([&] { available = FillAvailableList(db, ObjectKind::Tables, entries); });
    const Timing filter = Measure([&] { filtered = FilterAvailable(names, entries, "BENCHDB"); });
    std::printf("fill_available: %d dictionary names, %lld entries (half from this database), "
                "best of 5\n",
                kNames, static_cast<long long>(entries.size()));
    std::printf("  FillAvailableList (query + filter): %.3f s elapsed, %.3f s CPU, %lld offered\n",
                fill.elapsed, fill.cpu, static_cast<long long>(available.size()));
    std::printf("  filtering and sorting alone:        %.3f s elapsed, %.3f s CPU, %lld offered\n",
                filter.elapsed, filter.cpu, static_cast<long long>(filtered.size()));
  } catch (const DatabaseError&) {
    return 1;
  }
  return 0;
}
