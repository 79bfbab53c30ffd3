// Modern document benchmark: a generated snapshot and a project holding 30,000 objects
// (tables, views, functions, packages with their members, sequences), built as the modern
// page and as the Markdown folder; then the page in headless Chromium, where a name is typed
// into the contents filter one key at a time (and erased again), once the page's garbage is
// collected, and each keystroke's time until the next frame is printed in the order typed
// (tools/check_document.py --filter-bench). Given an object count as its argument, it builds
// that size instead.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
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


}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int wanted = SizeArgument(argc, argv, 30000);
  int tables = 1;
  while (ObjectCount(tables) < wanted) tables += std::max(1, (wanted - ObjectCount(tables)) / 2);

  GeneratedProject generated;
  auto& [dir, project, db] = generated;
  QString error;
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
