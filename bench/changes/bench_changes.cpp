// Comparing two snapshots against building a document of one: two generated dictionaries of
// 20,000 tables (the second a release of the first, kRelease), compared in full (both read, compared, the
// text form made), and one classic HTML build of every object of the second. Both
// snapshots are prepared (their first log-on) before anything is timed, as a build finds
// them after the first. Given a table count as its argument, it measures that size.

#include <sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>

#include "bench_support.h"
#include "builder/build_runner.h"
#include "changes/changes_output.h"
#include "changes/schema_state.h"
#include "db/backend.h"
#include "settings/settings.h"
#include "snapshot_generator.h"

namespace {

constexpr int kRounds = 3;

// A release: in one table of a hundred a column goes, in another a number narrows, in a third
// a NOT NULL column comes; one view in a hundred changes its text, one package member in a
// hundred an argument's mode; one table in five hundred and some sequences go.
const char kRelease[] = R"sql(
BEGIN;
DELETE FROM dba_tab_columns WHERE column_name = 'COLUMN_20'
  AND table_name IN (SELECT table_name FROM dba_tables WHERE rowid % 100 = 0);
UPDATE dba_tab_columns SET data_precision = 8 WHERE column_name = 'COLUMN_02'
  AND table_name IN (SELECT table_name FROM dba_tables WHERE rowid % 100 = 1);
INSERT INTO dba_tab_columns SELECT owner, table_name, 'COLUMN_21', 21, 'VARCHAR2', 10, NULL, 'N',
  NULL, 10, 'B', NULL FROM dba_tables WHERE rowid % 100 = 2;
UPDATE dba_views SET text = text || ' AND 1 = 1' WHERE rowid % 100 = 0;
UPDATE dba_arguments SET in_out = 'IN/OUT' WHERE argument_name = 'P_DAY' AND rowid % 100 = 0;
DELETE FROM dba_tables WHERE rowid % 500 = 3;
DELETE FROM dba_sequences WHERE rowid % 100 = 4;
COMMIT;
)sql";

bool Release(const QString& path) {
  sqlite3* db = nullptr;
  char* error = nullptr;
  const bool ok = sqlite3_open(QFile::encodeName(path).constData(), &db) == SQLITE_OK &&
                  sqlite3_exec(db, kRelease, nullptr, nullptr, &error) == SQLITE_OK;
  if (error) std::fprintf(stderr, "bench_changes: %s\n", error);
  sqlite3_free(error);
  sqlite3_close(db);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int tables = SizeArgument(argc, argv, 20000);
  GeneratedProject release;  // the second snapshot, and the project built from it
  QString error;
  if (!release.SetUp(tables, &error)) return Failed(error);
  const QString after = release.dir.filePath("bench.sqlite");
  const QString before = release.dir.filePath("before.sqlite");
  if (!QFile::copy(after, before) || !Release(after)) return Failed("cannot make the release");
  try {
    Stopwatch timer;
    changes::SnapshotReader(before, {});
    changes::SnapshotReader(after, {});
    const Time prepared = timer.Read();
    std::printf("%d tables: both snapshots prepared in %.1f s, once per snapshot file\n", tables,
                prepared.elapsed);
  } catch (const BackendFailure& f) {
    return Failed(f.message);
  }

  Time compare, build;
  qsizetype changeCount = 0, textBytes = 0;
  for (int round = 0; round < kRounds; ++round) {
    Stopwatch timer;
    const auto found = changes::CompareSnapshots(before, after, {});
    textBytes = changes::ChangesText(found, before, after).toUtf8().size();
    compare.KeepBest(timer.Read());
    changeCount = qsizetype(found.size());

    Settings settings = DefaultSettings();
    settings.Document_parts.fill(true);
    QuietProgress progress;
    timer.Restart();
    const BuildResult r = BuildDocument(release.project, settings, release.db, progress,
                                        release.dir.filePath("doc"), OutputFormat::Html);
    if (!r.ok()) return Failed(r.error);
    build.KeepBest(timer.Read());
  }
  std::printf("%d tables, best of %d rounds:\n"
              "  compare two snapshots (%lld changes, %.1f kB of text): %7.2f s elapsed, "
              "%7.2f s CPU\n"
              "  one classic HTML build of every object:               %7.2f s elapsed, "
              "%7.2f s CPU\n"
              "  compare / build: %.2fx elapsed, %.2fx CPU (target <= 1x)\n",
              tables, kRounds, static_cast<long long>(changeCount), textBytes / 1e3,
              compare.elapsed, compare.cpu, build.elapsed, build.cpu,
              compare.elapsed / build.elapsed, compare.cpu / build.cpu);
  return 0;
}
