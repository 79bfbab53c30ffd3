// Dictionary benchmark, on generated snapshots of 5,000 and 10,000 tables: the preparation
// of a snapshot (its first log-on, once per file), a log-on after that (the two users of the
// file in turn, as a build over entries of both does), and the five queries the tables
// section runs for every table (synonyms, columns, primary key, foreign keys, indexes),
// reading every value by name as the document builder does. Elapsed time depends on what
// else the machine runs; CPU time much less so.

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "db/database.h"
#include "snapshot_generator.h"

namespace {

constexpr int kRounds = 5;
constexpr int kLogOns = 200;

bool Run(const QString& dir, int tables) {
  QDir().mkpath(dir);
  QString error;
  if (!GenerateSnapshot(dir + "/bench.sqlite", {tables}, &error)) {
    std::fprintf(stderr, "cannot generate the snapshot: %s\n", qPrintable(error));
    return false;
  }
  Database db;
  db.SetSnapshotDirectories({dir});
  Stopwatch timer;
  ConnectDatabase(db, "BENCH", "BENCH", "bench");
  const Time prepared = timer.Read();

  timer.Restart();
  for (int i = 0; i < kLogOns; ++i)
    ConnectDatabase(db, "BENCH", i % 2 ? "BENCH" : "OTHER", i % 2 ? "bench" : "x");
  const Time logOn = timer.Read();

  Time queries;
  long rows = 0;
  for (int round = 0; round < kRounds; ++round) {
    timer.Restart();
    rows = 0;
    qsizetype chars = 0;
    for (int t = 0; t < tables; ++t) {
      const QString table = GeneratedTableName(t);
      for (const TableQuery& q : PerTableQueries()) {
        Query& query = db.query(q.id);
        query.Close();
        query.BindText(1, table);
        query.Open();
        for (; !query.Eof(); query.Next(), ++rows)
          for (const QString& c : q.columns) chars += query.Field(c).size();
        query.Close();
      }
    }
    queries.KeepBest(timer.Read());
    if (chars == 0) std::fprintf(stderr, "no values read\n");
  }
  std::printf("%8d %9.3f %9.3f %10.1f %10.1f %9.3f %9.3f %8ld\n", tables, prepared.elapsed,
              prepared.cpu, logOn.elapsed / kLogOns * 1e6, logOn.cpu / kLogOns * 1e6,
              queries.elapsed, queries.cpu, rows);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  // The prepared dictionaries go to the benchmark's own cache, not the user's.
  qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")));
  std::printf("Dictionary snapshot: preparation at the first log-on, later log-ons, the five "
              "per-table queries\nfor every table (best of %d); seconds, log-ons in "
              "microseconds\n",
              kRounds);
  std::printf("%8s %9s %9s %10s %10s %9s %9s %8s\n", "tables", "prepare", "cpu", "log-on",
              "cpu", "queries", "cpu", "rows");
  for (int tables : {5000, 10000})
    if (!Run(dir.path() + "/" + QString::number(tables), tables)) return 1;
  return 0;
}
