// Document build benchmark: a generated dictionary of 20,000 tables with a project of every
// object in it, 29,007 entries (20,000 tables, 2,000 views, 2,000 stand-alone functions,
// 1,000 packages, 4,000 sequences, 7 roles), and the same at a tenth of the size. Each HTML
// and text build, and its floor (the same log-ons and queries with nothing rendered), runs
// in a process of its own, so that the peak memory printed is that run's. Then 100 table
// entries that alternate between the two users of the large snapshot, against the same
// entries grouped by user.
//
// The snapshots are prepared (their first log-on) before anything is timed: that happens
// once per snapshot file, and its time is printed on its own. Given a table count as its
// argument, the benchmark measures that size alone.
//
// A round runs every build of every size once, back to back. Besides the best of the rounds,
// each ratio is also given as the median of its rounds' own ratios: a shared machine has
// slow spells that last seconds, and builds of one round share whatever spell they ran in.

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "bench_support.h"
#include "builder/build_runner.h"
#include "db/database.h"
#include "project/project.h"
#include "settings/settings.h"
#include "snapshot_generator.h"

namespace {

// Identical runs on a shared machine differ by a tenth or more; seven rounds give a best and
// a median steady enough to compare a build with its floor.
constexpr int kRounds = 7;
// A build of 100 entries takes about 12 ms, so a millisecond of noise moves its ratio by a
// tenth: many cheap rounds.
constexpr int kSwitchRounds = 40;
constexpr int kFullTables = 20000;

struct Run {
  Time time;  // the best of the rounds
  QList<double> elapsed;  // each round's
  long peakKiB = 0;
  qint64 bytes = 0;
};

double Median(QList<double> values) {
  std::sort(values.begin(), values.end());
  const qsizetype n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The median over the rounds of a's elapsed time against b's in the same round.
double RoundRatio(const Run& a, const Run& b) {
  QList<double> ratios;
  for (qsizetype i = 0; i < std::min(a.elapsed.size(), b.elapsed.size()); ++i)
    ratios.append(a.elapsed[i] / b.elapsed[i]);
  return Median(ratios);
}

Settings AllParts() {
  Settings settings = DefaultSettings();
  settings.Document_parts.fill(true);
  return settings;
}

// In a child process: one floor, HTML or text run over the snapshot in `dir`; prints the
// elapsed and CPU seconds, the peak memory in KiB and the document's size.
int Child(const QString& mode, int tables, const QString& dir) {
  Project project;
  AddGeneratedObjects(project, tables);
  Database db;
  db.SetSnapshotDirectories({dir});
  const QString out = dir + "/doc";
  const OutputFormat format = mode == "html" ? OutputFormat::Html : OutputFormat::Text;
  // The previous run's document goes first: deleting it is no part of the build.
  if (mode != "floor") QFile::remove(OutputFileName(out, format));
  Stopwatch timer;
  qint64 bytes = 0;
  if (mode == "floor") {
    if (ReadGeneratedDictionary(db, tables) == 0) return 1;
  } else {
    QuietProgress progress;
    const BuildResult r = BuildDocument(project, AllParts(), db, progress, out, format);
    if (!r.ok()) {
      std::fprintf(stderr, "bench_scale: %s\n", qPrintable(r.error));
      return 1;
    }
    bytes = QFileInfo(r.outputPath).size();
  }
  const Time t = timer.Read();
  std::printf("%f %f %ld %lld\n", t.elapsed, t.cpu, PeakMemoryKiB(), static_cast<long long>(bytes));
  return 0;
}

bool RunChild(const QString& mode, int tables, const QString& dir, Run* best) {
  QProcess child;
  child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  child.start(QCoreApplication::applicationFilePath(),
              {"--child", mode, QString::number(tables), dir});
  if (!child.waitForFinished(-1) || child.exitCode() != 0) return false;
  const QStringList figures = QString::fromLatin1(child.readAll()).split(' ');
  if (figures.size() != 4) return false;
  best->time.KeepBest({figures[0].toDouble(), figures[1].toDouble()});
  best->elapsed.append(figures[0].toDouble());
  best->peakKiB = std::max(best->peakKiB, figures[2].toLong());
  best->bytes = figures[3].toLongLong();
  return true;
}

struct Size {
  int tables = 0;
  Run floor, html, text;
};

// Makes the snapshot of `tables` tables under `root` and prepares it.
bool Prepare(const QString& root, int tables) {
  const QString dir = root + "/" + QString::number(tables);
  QDir().mkpath(dir);
  Stopwatch timer;
  QString error;
  if (!GenerateSnapshot(dir + "/bench.sqlite", {tables}, &error)) {
    std::fprintf(stderr, "bench_scale: cannot make the snapshot: %s\n", qPrintable(error));
    return false;
  }
  const Time generated = timer.Read();
  timer.Restart();
  {
    Database db;
    db.SetSnapshotDirectories({dir});
    ConnectDatabase(db, "BENCH", "BENCH", "bench");
  }
  const Time prepared = timer.Read();
  std::printf("%d tables: snapshot of %.0f MB made in %.1f s; prepared at its first log-on in "
              "%.2f s (%.2f s CPU), once per snapshot file\n",
              tables, QFileInfo(dir + "/bench.sqlite").size() / 1e6, generated.elapsed,
              prepared.elapsed, prepared.cpu);
  std::fflush(stdout);
  return true;
}

// Prepares every size, then runs the rounds.
bool Measure(const QString& root, QList<Size>& sizes) {
  for (const Size& size : sizes)
    if (!Prepare(root, size.tables)) return false;
  for (int round = 0; round < kRounds; ++round) {
    for (Size& size : sizes) {
      const QString dir = root + "/" + QString::number(size.tables);
      if (!RunChild("floor", size.tables, dir, &size.floor) ||
          !RunChild("html", size.tables, dir, &size.html) ||
          !RunChild("text", size.tables, dir, &size.text))
        return false;
    }
  }
  return true;
}

void Print(const Size& s) {
  const int entries = s.tables + GeneratedViewCount(s.tables) + GeneratedUnitCount(s.tables) +
                      GeneratedPackageCount(s.tables) + GeneratedSequenceCount(s.tables) +
                      GeneratedRoleCount(s.tables);
  std::printf("%d tables, %d entries:\n", s.tables, entries);
  const auto line = [&](const char* what, const Run& r) {
    std::printf("  %-6s %7.3f s elapsed (%.2fx floor, median of rounds %.2fx), %7.3f s CPU "
                "(%.2fx floor), peak %5.1f MiB (floor %+.1f)",
                what, r.time.elapsed, r.time.elapsed / s.floor.time.elapsed,
                RoundRatio(r, s.floor), r.time.cpu, r.time.cpu / s.floor.time.cpu,
                r.peakKiB / 1024.0, (r.peakKiB - s.floor.peakKiB) / 1024.0);
    if (r.bytes > 0) std::printf(", %.1f MB document", r.bytes / 1e6);
    std::printf("\n");
  };
  line("floor", s.floor);
  line("HTML", s.html);
  line("text", s.text);
}

void PrintRatio(const char* what, const Run& full, const Run& tenth) {
  std::printf("  %-6s %.2fx elapsed (median of rounds %.2fx), %.2fx CPU, %.2fx peak memory\n",
              what, full.time.elapsed / tenth.time.elapsed, RoundRatio(full, tenth),
              full.time.cpu / tenth.time.cpu, double(full.peakKiB) / tenth.peakKiB);
}

// 100 table entries of the two users of the large snapshot, BENCH and OTHER, alternating
// or grouped by user; the best of a few HTML builds of each.
bool MeasureSwitching(const QString& root) {
  const QString dir = root + "/" + QString::number(kFullTables);
  const auto project = [](bool alternate) {
    auto p = std::make_unique<Project>();
    for (int i = 0; i < 100; ++i) {
      const bool other = alternate ? i % 2 == 1 : i >= 50;
      const QString user = other ? "OTHER" : "BENCH";
      p->AppendEntry(
          ObjectKind::Tables,
          ObjectEntry{{"BENCH", user, other ? "x" : "bench"}, GeneratedTableName(i), "Entry."});
    }
    return p;
  };
  const std::unique_ptr<Project> alternating = project(true), grouped = project(false);
  Database db;
  db.SetSnapshotDirectories({dir});
  Time best[2];
  for (int round = 0; round <= kSwitchRounds; ++round) {
    for (int k = 0; k < 2; ++k) {
      QuietProgress progress;
      Stopwatch timer;
      const BuildResult r = BuildDocument(k ? *grouped : *alternating, AllParts(), db, progress,
                                          dir + "/switch", OutputFormat::Html);
      if (!r.ok()) {
        std::fprintf(stderr, "bench_scale: %s\n", qPrintable(r.error));
        return false;
      }
      if (round > 0) best[k].KeepBest(timer.Read());  // the first round warms up
    }
  }
  std::printf("100 table entries of two users of the %d-table snapshot, HTML (best of %d):\n"
              "  alternating %.1f ms elapsed, %.1f ms CPU; grouped %.1f ms elapsed, %.1f ms CPU\n"
              "  alternating / grouped: %.2fx elapsed, %.2fx CPU (target <= 1.2x); "
              "%.0f us CPU per extra user switch\n",
              kFullTables, kSwitchRounds, best[0].elapsed * 1e3, best[0].cpu * 1e3,
              best[1].elapsed * 1e3, best[1].cpu * 1e3, best[0].elapsed / best[1].elapsed,
              best[0].cpu / best[1].cpu, (best[0].cpu - best[1].cpu) / 98 * 1e6);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  if (argc == 5 && QByteArray(argv[1]) == "--child")
    return Child(QString::fromLatin1(argv[2]), QString::fromLatin1(argv[3]).toInt(),
                 QString::fromLocal8Bit(argv[4]));
  QTemporaryDir root;
  // The prepared dictionaries go to the benchmark's own cache, not the user's.
  qputenv("XDG_CACHE_HOME", QFile::encodeName(root.filePath("cache")));
  std::printf("Document build (best of %d rounds, each run in its own process; floor = the "
              "same log-ons and queries, nothing rendered)\n",
              kRounds);
  std::fflush(stdout);
  QList<Size> sizes(argc == 2 ? 1 : 2);
  if (argc == 2) {
    sizes[0].tables = QString::fromLatin1(argv[1]).toInt();
  } else {
    sizes[0].tables = kFullTables / 10;
    sizes[1].tables = kFullTables;
  }
  if (!Measure(root.path(), sizes)) return 1;
  for (const Size& size : sizes) Print(size);
  if (argc == 2) return 0;
  const Size &tenth = sizes[0], &full = sizes[1];
  std::printf("full / tenth size:\n");
  PrintRatio("floor", full.floor, tenth.floor);
  PrintRatio("HTML", full.html, tenth.html);
  PrintRatio("text", full.text, tenth.text);
  std::printf("targets: full HTML peak <= 64 MiB and <= 1.3x the tenth's; full build <= 1.25x "
              "floor and <= 11x the tenth's\n");
  std::fflush(stdout);
  return MeasureSwitching(root.path()) ? 0 : 1;
}
