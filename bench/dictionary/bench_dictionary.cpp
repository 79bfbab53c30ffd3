// Dictionary benchmark: for every table of a generated snapshot, the five queries the
// tables section runs (synonyms, columns, primary key, foreign keys, indexes), reading
// every value by name as the document builder does. Prints log-on and query times for
// 5,000 and 10,000 tables, with and without the snapshot's indexes. Elapsed time depends
// on what else the machine runs; CPU time much less so.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "db/database.h"
#include "snapshot_generator.h"

namespace {

struct Figures {
  double logOn = 1e9, queries = 1e9, cpu = 1e9;  // seconds; cpu: log-on and queries
  long rows = 0;
};

double CpuSeconds() { return static_cast<double>(std::clock()) / CLOCKS_PER_SEC; }

Figures Run(const QString& dir, int tables) {
  Figures best;
  for (int round = 0; round < 5; ++round) {
    Database db;
    db.SetSnapshotDirectories({dir});
    const double cpuStart = CpuSeconds();
    QElapsedTimer timer;
    timer.start();
    ConnectDatabase(db, "BENCH", "BENCH", "bench");
    const double logOn = timer.nsecsElapsed() / 1e9;
    timer.restart();
    long rows = 0;
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
    const double queries = timer.nsecsElapsed() / 1e9;
    best.cpu = std::min(best.cpu, CpuSeconds() - cpuStart);
    if (chars == 0) std::fprintf(stderr, "no values read\n");
    best.logOn = std::min(best.logOn, logOn);
    best.queries = std::min(best.queries, queries);
    best.rows = rows;
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  std::printf("Dictionary snapshot: log-on, then the five per-table queries for every table\n"
              "(best of 5; elapsed seconds, and CPU seconds of log-on and queries together)\n");
  std::printf("%8s %8s %9s %10s %8s %8s %8s\n", "tables", "indexes", "log-on", "queries",
              "total", "cpu", "rows");
  for (bool indexes : {true, false}) {
    double previous = 0, previousCpu = 0;
    for (int tables : {5000, 10000}) {
      const QString path = dir.path() + "/bench.sqlite";
      QString error;
      if (!GenerateSnapshot(path, {tables, indexes}, &error)) {
        std::fprintf(stderr, "cannot generate the snapshot: %s\n", qPrintable(error));
        return 1;
      }
      try {
        const Figures f = Run(dir.path(), tables);
        const double total = f.logOn + f.queries;
        std::printf("%8d %8s %9.3f %10.3f %8.3f %8.3f %8ld", tables, indexes ? "yes" : "no",
                    f.logOn, f.queries, total, f.cpu, f.rows);
        if (previous > 0)
          std::printf("   x%.2f elapsed, x%.2f cpu of 5,000", total / previous,
                      f.cpu / previousCpu);
        std::printf("\n");
        previous = total;
        previousCpu = f.cpu;
      } catch (const DatabaseError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
        return 1;
      }
    }
  }
  return 0;
}
