// Document build benchmark: a generated snapshot of N tables with N/4 views and N/2
// sequences, a project holding all of them, and full HTML and text builds. The floor is
// the same log-ons and dictionary queries with every value read and nothing rendered, so
// build / floor is what writing the document costs on top of reading the dictionary.
// Prints, for 2,000 and 4,000 tables, the best of three runs and the peak memory. Given a
// table count as its argument, it runs that size alone (for a profiler).

#include <sqlite3.h>
#include <sys/resource.h>
#include <time.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>

#include "db/database.h"
#include "docbuild/build_context.h"
#include "docbuild/build_runner.h"
#include "project/project.h"
#include "settings/settings.h"
#include "snapshot_generator.h"

namespace {

constexpr int kRounds = 3;

int ViewCount(int tables) { return tables / 4; }
int SequenceCount(int tables) { return tables / 2; }
QString SequenceName(int index) { return QStringLiteral("SEQ_%1").arg(index + 1, 5, 10, QChar('0')); }

// The generator makes fewer views and sequences than this benchmark wants; the rest are
// added in its style.
bool AddViewsAndSequences(const QString& path, int tables) {
  sqlite3* db = nullptr;
  if (sqlite3_open(path.toUtf8().constData(), &db) != SQLITE_OK) return false;
  bool ok = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_stmt* view = nullptr;
  sqlite3_stmt* sequence = nullptr;
  ok = ok &&
       sqlite3_prepare_v2(db, "INSERT INTO dba_views VALUES ('BENCH', ?, ?)", -1, &view,
                          nullptr) == SQLITE_OK &&
       sqlite3_prepare_v2(db, "INSERT INTO dba_sequences VALUES ('BENCH', ?)", -1, &sequence,
                          nullptr) == SQLITE_OK;
  for (int v = GeneratedViewCount(tables); ok && v < ViewCount(tables); ++v) {
    const QByteArray name = GeneratedViewName(v).toUtf8();
    const QByteArray text = ("SELECT a.column_01, b.column_04\n  FROM " + GeneratedTableName(v) +
                             " a, " + GeneratedTableName((v + 1) % tables) +
                             " b\n WHERE a.column_02 = b.column_01 AND a.column_01 < 100\n")
                                .toUtf8();
    sqlite3_bind_text(view, 1, name.constData(), name.size(), SQLITE_TRANSIENT);
    sqlite3_bind_text(view, 2, text.constData(), text.size(), SQLITE_TRANSIENT);
    ok = sqlite3_step(view) == SQLITE_DONE && sqlite3_reset(view) == SQLITE_OK;
  }
  for (int s = tables / 5; ok && s < SequenceCount(tables); ++s) {
    const QByteArray name = SequenceName(s).toUtf8();
    sqlite3_bind_text(sequence, 1, name.constData(), name.size(), SQLITE_TRANSIENT);
    ok = sqlite3_step(sequence) == SQLITE_DONE && sqlite3_reset(sequence) == SQLITE_OK;
  }
  sqlite3_finalize(view);
  sqlite3_finalize(sequence);
  ok = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
  sqlite3_close(db);
  return ok;
}

void FillProject(Project& project, int tables) {
  const auto entry = [](const QString& name) {
    return ObjectEntry{"BENCH", name, "BENCH", "bench", "Generated object " + name + "."};
  };
  for (int t = 0; t < tables; ++t) project.AppendEntry(ObjectKind::Tables, entry(GeneratedTableName(t)));
  for (int v = 0; v < ViewCount(tables); ++v) project.AppendEntry(ObjectKind::Views, entry(GeneratedViewName(v)));
  for (int s = 0; s < SequenceCount(tables); ++s) project.AppendEntry(ObjectKind::Sequences, entry(SequenceName(s)));
  project.SetSectionDescription(ObjectKind::Sequences, "Every generated key.");
}

class QuietProgress : public BuildProgress {
 public:
  void SetInfoText(const QString&) override {}
  void StepProgress(int n) override { position += n; }
  void SetProgress(int n) override { position = n; }
  void SetProgressMax(int) override {}
  int position = 0;
};

// The dictionary work of a build and nothing else: the same log-ons (one per section) and
// queries, every value read by name.
qsizetype ReadDictionary(Database& db, int tables) {
  qsizetype chars = 0;
  const auto read = [&](QueryId id, const QString& bind, const QStringList& columns) {
    Query& q = db.query(id);
    q.Close();
    q.BindText(1, bind);
    q.Open();
    for (; !q.Eof(); q.Next()) {
      for (const QString& c : columns) chars += q.Field(c).size();
    }
    q.Close();
  };
  ConnectDatabase(db, "BENCH", "BENCH", "bench");
  for (int t = 0; t < tables; ++t) {
    for (const TableQuery& q : PerTableQueries()) read(q.id, GeneratedTableName(t), q.columns);
  }
  ConnectDatabase(db, "BENCH", "BENCH", "bench");
  for (int v = 0; v < ViewCount(tables); ++v) read(QueryId::OCIViews, GeneratedViewName(v), {"text"});
  db.Disconnect();
  return chars;
}

// Elapsed and CPU seconds; on a shared machine the CPU time is the steadier figure.
struct Time {
  double elapsed = 1e9, cpu = 1e9;
  void KeepBest(const Time& t) {
    elapsed = std::min(elapsed, t.elapsed);
    cpu = std::min(cpu, t.cpu);
  }
};

class Stopwatch {
 public:
  Stopwatch() { Restart(); }
  void Restart() {
    wall_.start();
    cpu_ = CpuSeconds();
  }
  Time Read() const { return {wall_.nsecsElapsed() / 1e9, CpuSeconds() - cpu_}; }

 private:
  static double CpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
  }
  QElapsedTimer wall_;
  double cpu_ = 0;
};

struct Figures {
  Time floor, html, text;
  qint64 htmlBytes = 0, textBytes = 0;
};

long PeakMemoryMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024;
}

bool Run(int tables, Figures* figures) {
  QTemporaryDir dir;
  SnapshotShape shape;
  shape.tables = tables;
  QString error;
  const QString snapshot = dir.filePath("bench.sqlite");
  if (!GenerateSnapshot(snapshot, shape, &error) || !AddViewsAndSequences(snapshot, tables)) {
    std::fprintf(stderr, "bench_docbuild: cannot make the snapshot: %s\n", qPrintable(error));
    return false;
  }
  Project project;
  FillProject(project, tables);
  Settings settings = DefaultSettings();
  settings.Document_parts.fill(true);
  Database db;
  db.SetSnapshotDirectories({dir.path()});

  for (int round = 0; round < kRounds; ++round) {
    Stopwatch timer;
    if (ReadDictionary(db, tables) == 0) {
      std::fprintf(stderr, "bench_docbuild: no values read\n");
      return false;
    }
    figures->floor.KeepBest(timer.Read());
    for (const OutputFormat format : {OutputFormat::Html, OutputFormat::Text}) {
      QuietProgress progress;
      timer.Restart();
      const BuildResult r =
          BuildDocument(project, settings, db, progress, dir.filePath("doc"), format);
      const Time time = timer.Read();
      if (!r.ok()) {
        std::fprintf(stderr, "bench_docbuild: %s\n", qPrintable(r.error));
        return false;
      }
      const qint64 bytes = QFileInfo(r.outputPath).size();
      if (format == OutputFormat::Html) {
        figures->html.KeepBest(time);
        figures->htmlBytes = bytes;
      } else {
        figures->text.KeepBest(time);
        figures->textBytes = bytes;
      }
    }
  }
  const auto line = [&](const char* what, const Time& t, qint64 bytes) {
    std::printf("  %-6s %.3f s elapsed (%.2fx floor), %.3f s CPU (%.2fx floor)", what, t.elapsed,
                t.elapsed / figures->floor.elapsed, t.cpu, t.cpu / figures->floor.cpu);
    if (bytes > 0) std::printf(", %.1f MB", bytes / 1e6);
    std::printf("\n");
  };
  std::printf("%d tables, %d views, %d sequences:\n", tables, ViewCount(tables),
              SequenceCount(tables));
  line("floor", figures->floor, 0);
  line("HTML", figures->html, figures->htmlBytes);
  line("text", figures->text, figures->textBytes);
  std::printf("  peak memory %ld MiB\n", PeakMemoryMiB());
  std::fflush(stdout);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  std::printf("Document build (best of %d; floor = the same log-ons and queries, nothing "
              "rendered; targets: build <= 1.25x floor, 4,000 tables <= 2.2x 2,000)\n",
              kRounds);
  if (argc > 1) {
    Figures figures;
    return Run(QString::fromLocal8Bit(argv[1]).toInt(), &figures) ? 0 : 1;
  }
  Figures small, large;
  if (!Run(2000, &small) || !Run(4000, &large)) return 1;
  std::printf("scaling 4,000 / 2,000 tables: HTML %.2fx (CPU %.2fx), text %.2fx (CPU %.2fx)\n",
              large.html.elapsed / small.html.elapsed, large.html.cpu / small.html.cpu,
              large.text.elapsed / small.text.elapsed, large.text.cpu / small.text.cpu);
  return 0;
}
