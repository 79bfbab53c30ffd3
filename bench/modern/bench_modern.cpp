// Modern document benchmark: a generated snapshot and a project holding 30,000 objects
// (tables, views, functions, packages with their members, sequences), built as the modern
// page and as the Markdown folder; then the page in headless Chromium, where a name is typed
// into the contents filter one key at a time (and erased again), once the page's garbage is
// collected, and each keystroke's time until the next frame is printed in the order typed
// (tools/check_document.py --filter-bench). Given an object count as its argument, it builds
// that size instead. Before all that, what what-uses-what adds: the page of 20,000 tables
// (a second argument gives another count) built from a snapshot without dependencies,
// triggers and statuses and from one with them (about 100,000 dependency rows, a trigger
// on every table), each the best of two, with the machine's load.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "builder/build_runner.h"
#include "db/database.h"
#include "project/project.h"
#include "settings/settings.h"
#include "snapshot_generator.h"

namespace {

// Objects the generator makes for `tables` tables (views, units and packages in
// proportion, sequences a fifth; the few roles aside).
int ObjectCount(int tables) {
  return tables + GeneratedViewCount(tables) + GeneratedUnitCount(tables) +
         GeneratedPackageCount(tables) + tables / 5;
}

double Seconds(const QElapsedTimer& t) { return t.nsecsElapsed() / 1e9; }

// The load average of the last minute, as /proc/loadavg gives it.
QString LoadAverage() {
  QFile file(QStringLiteral("/proc/loadavg"));
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("?");
  return QString::fromLatin1(file.readLine()).section(u' ', 0, 0);
}

// The page of `tables` tables without and with what uses what; false with the reason.
bool CompareWhatUsesWhat(int tables, QString* error) {
  GeneratedProject without, with;
  if (!without.SetUp(tables, error, false) || !with.SetUp(tables, error, true)) return false;
  Settings settings = DefaultSettings();
  QuietProgress progress;
  Time times[2];
  qint64 bytes[2] = {};
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 2; ++i) {
      GeneratedProject& g = i == 0 ? without : with;
      Stopwatch watch;
      const BuildResult result = BuildDocument(g.project, settings, g.db, progress,
                                               g.dir.filePath("bench.html"), OutputFormat::ModernHtml);
      if (!result.ok()) {
        *error = result.error;
        return false;
      }
      times[i].KeepBest(watch.Read());
      bytes[i] = QFileInfo(result.outputPath).size();
    }
  }
  std::printf("what uses what on %d tables (load average %s before):\n", tables,
              qPrintable(LoadAverage()));
  std::printf("  page without   %6.2f s (CPU %6.2f s), %lld bytes\n", times[0].elapsed,
              times[0].cpu, static_cast<long long>(bytes[0]));
  std::printf("  page with      %6.2f s (CPU %6.2f s), %lld bytes: %+.1f %% (CPU %+.1f %%), "
              "load average %s\n",
              times[1].elapsed, times[1].cpu, static_cast<long long>(bytes[1]),
              100 * (times[1].elapsed / times[0].elapsed - 1),
              100 * (times[1].cpu / times[0].cpu - 1), qPrintable(LoadAverage()));
  return true;
}


}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QString error;
  const int compared = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20000;
  if (!CompareWhatUsesWhat(compared, &error)) return Failed(error);
  std::fflush(stdout);

  const int wanted = SizeArgument(argc, argv, 30000);
  int tables = 1;
  while (ObjectCount(tables) < wanted) tables += std::max(1, (wanted - ObjectCount(tables)) / 2);

  GeneratedProject generated;
  auto& [dir, project, db] = generated;
  if (!generated.SetUp(tables, &error)) return Failed(error);
  Settings settings = DefaultSettings();
  QuietProgress progress;

  std::printf("modern documents of %d objects (%d tables, 20 columns each):\n",
              ObjectCount(tables), tables);
  for (const auto& [format, name, label] :
       {std::tuple{OutputFormat::ModernHtml, "bench.html", "page"},
        std::tuple{OutputFormat::Markdown, "markdown", "Markdown folder"}}) {
    QElapsedTimer timer;
    timer.start();
    const BuildResult result = BuildDocument(project, settings, db, progress,
                                             dir.filePath(name), format);
    if (!result.ok()) return Failed(result.error);
    const qint64 bytes = format == OutputFormat::ModernHtml
                             ? QFileInfo(result.outputPath).size()
                             : qint64(QDir(result.outputPath).count() - 2);
    std::printf("  %-16s built in %6.2f s, %s %lld, peak memory %ld MiB\n", label,
                Seconds(timer), format == OutputFormat::ModernHtml ? "bytes" : "files",
                static_cast<long long>(bytes), PeakMemoryKiB() / 1024);
  }

  std::fflush(stdout);  // the figures above come before the check's own
  QProcess check;
  check.setProcessChannelMode(QProcess::ForwardedChannels);
  check.start(QStringLiteral("python3"),
              {QStringLiteral(VELLUMAR_SOURCE_DIR "/tools/check_document.py"),
               dir.filePath("bench.html"), QStringLiteral("--filter-bench"),
               QStringLiteral("--no-links")});
  if (!check.waitForFinished(-1) || check.exitCode() != 0)
    return Failed(QStringLiteral("the Chromium check failed"));
  return 0;
}
