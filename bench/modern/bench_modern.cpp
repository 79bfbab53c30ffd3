// Modern document benchmark: a generated snapshot and a project holding 30,000 objects
// (tables, views, functions, packages with their members, sequences), built as the modern
// page and as the Markdown folder; then the page in headless Chromium, where a name is typed
// into the contents filter one key at a time (and erased again) and each keystroke is timed
// until the next frame (tools/check_document.py --filter-bench). Given an object count as
// its argument, it builds that size instead.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "db/database.h"
#include "docbuild/build_runner.h"
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


}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int wanted = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 30000;
  int tables = 1;
  while (ObjectCount(tables) < wanted) tables += std::max(1, (wanted - ObjectCount(tables)) / 2);

  QTemporaryDir dir;
  Project project;
  Database db;
  QString error;
  if (!SetUpGenerated(dir, tables, project, db, &error)) {
    std::fprintf(stderr, "bench_modern: %s\n", qPrintable(error));
    return 1;
  }
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
    if (!result.ok()) {
      std::fprintf(stderr, "bench_modern: %s\n", qPrintable(result.error));
      return 1;
    }
    const qint64 bytes = format == OutputFormat::ModernHtml
                             ? QFileInfo(result.outputPath).size()
                             : qint64(QDir(result.outputPath).count() - 2);
    std::printf("  %-16s built in %6.2f s, %s %lld, peak memory %ld MiB\n", label,
                Seconds(timer), format == OutputFormat::ModernHtml ? "bytes" : "files",
                static_cast<long long>(bytes), PeakMemoryKiB() / 1024);
  }

  QProcess check;
  check.setProcessChannelMode(QProcess::ForwardedChannels);
  check.start(QStringLiteral("python3"),
              {QStringLiteral(VELLUMAR_SOURCE_DIR "/tools/check_document.py"),
               dir.filePath("bench.html"), QStringLiteral("--filter-bench"),
               QStringLiteral("--no-links")});
  if (!check.waitForFinished(-1) || check.exitCode() != 0) {
    std::fprintf(stderr, "bench_modern: the Chromium check failed\n");
    return 1;
  }
  return 0;
}
