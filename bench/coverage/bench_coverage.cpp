// Coverage report benchmark: on a generated snapshot of 2,000 tables with a project of every
// object in it, the coverage report (the document model filled, measured, the drift queries
// of the project's schema) against a text build of the same project, best of three each,
// elapsed and CPU time. The report should take no longer than the text build. Given a table
// count as its argument, it measures that size instead.

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "builder/build_runner.h"
#include "coverage/coverage.h"
#include "db/database.h"
#include "project/project.h"
#include "settings/settings.h"
#include "snapshot_generator.h"

namespace {

constexpr int kRounds = 3;

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int tables = SizeArgument(argc, argv, 2000);
  GeneratedProject generated;
  auto& [dir, project, db] = generated;
  QString error;
  if (!generated.SetUp(tables, &error)) return Failed(error);
  Settings settings = DefaultSettings();
  settings.Document_parts.fill(true);
  ConnectDatabase(db, "BENCH", "BENCH", "bench");  // prepares the snapshot, once per file
  db.Disconnect();

  Time text, coverage;
  Tally total;
  for (int round = 0; round < kRounds; ++round) {
    QuietProgress progress;
    Stopwatch timer;
    const BuildResult built =
        BuildDocument(project, settings, db, progress, dir.filePath("doc"), OutputFormat::Text);
    if (!built.ok()) return Failed(built.error);
    text.KeepBest(timer.Read());

    timer.Restart();
    const CoverageRun run = RunCoverage(project, settings, db, progress);
    if (!run.ok()) return Failed(run.error);
    coverage.KeepBest(timer.Read());
    total = run.report.Total();
  }
  int entries = 0;
  for (const ObjectKind kind : kAllObjectKinds) entries += project.Entries(kind).size();
  std::printf("Coverage report on %d tables, %d entries (best of %d):\n", tables, entries, kRounds);
  std::printf("  text build %7.3f s elapsed, %7.3f s CPU\n", text.elapsed, text.cpu);
  std::printf("  coverage   %7.3f s elapsed, %7.3f s CPU (%d of %d items documented)\n",
              coverage.elapsed, coverage.cpu, total.documented, total.total);
  std::printf("  coverage / text build: %.2fx elapsed, %.2fx CPU (target <= 1x)\n",
              coverage.elapsed / text.elapsed, coverage.cpu / text.cpu);
  return 0;
}
