#include "bench_support.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include <QCoreApplication>
#include <QFile>

#include "snapshot_generator.h"

namespace {

// This process's CPU time and that of its ended children: a build's diagrams are laid out in
// child processes, ended before the build returns.
double CpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  rusage children{};
  getrusage(RUSAGE_CHILDREN, &children);
  const auto seconds = [](const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; };
  return ts.tv_sec + ts.tv_nsec / 1e9 + seconds(children.ru_utime) + seconds(children.ru_stime);
}

ObjectEntry Entry(const QString& name) {
  return ObjectEntry{{"BENCH", "BENCH", "bench"}, name, "Generated object " + name + "."};
}

}  // namespace

void Time::KeepBest(const Time& t) {
  elapsed = std::min(elapsed, t.elapsed);
  cpu = std::min(cpu, t.cpu);
}

void Stopwatch::Restart() {
  wall_.start();
  cpu_ = CpuSeconds();
}

Time Stopwatch::Read() const { return {wall_.nsecsElapsed() / 1e9, CpuSeconds() - cpu_}; }

// The high-water mark of this address space. Not getrusage's ru_maxrss: a child keeps
// there the peak of the process it was forked from, so a small child started by a large
// benchmark would report the benchmark's own memory.
long PeakMemoryKiB() {
  long kib = 0;
  if (FILE* status = std::fopen("/proc/self/status", "r")) {
    char line[128];
    while (std::fgets(line, sizeof line, status))
      if (std::sscanf(line, "VmHWM: %ld", &kib) == 1) break;
    std::fclose(status);
  }
  return kib;
}

long CurrentMemoryKiB() {
  long pages = 0, resident = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
    std::fclose(statm);
  }
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

int SizeArgument(int argc, char** argv, int otherwise) {
  return argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : otherwise;
}

int Failed(const QString& error) {
  std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
               qPrintable(error));
  return 1;
}

bool GeneratedProject::SetUp(int tables, QString* error, bool whatUsesWhat) {
  qputenv("XDG_CACHE_HOME", QFile::encodeName(dir.filePath("cache")));
  if (!GenerateSnapshot(dir.filePath("bench.sqlite"), {tables, whatUsesWhat}, error))
    return false;
  AddGeneratedObjects(project, tables);
  db.SetSnapshotDirectories({dir.path()});
  return true;
}

int GeneratedSequenceCount(int tables) { return tables / 5; }
int GeneratedRoleCount(int tables) { return std::min(tables, 7); }

void AddGeneratedObjects(Project& project, int tables) {
  for (int t = 0; t < tables; ++t)
    project.AppendEntry(ObjectKind::Tables, Entry(GeneratedTableName(t)));
  for (int v = 0; v < GeneratedViewCount(tables); ++v)
    project.AppendEntry(ObjectKind::Views, Entry(GeneratedViewName(v)));
  for (int u = 0; u < GeneratedUnitCount(tables); ++u)
    project.AppendEntry(ObjectKind::ProceduresAndFunctions,
                        Entry(GeneratedUnitName(u) + " (FUNCTION)"));
  for (int p = 0; p < GeneratedPackageCount(tables); ++p)
    project.AppendEntry(ObjectKind::Packages, Entry(GeneratedPackageName(p)));
  for (int s = 0; s < GeneratedSequenceCount(tables); ++s)
    project.AppendEntry(ObjectKind::Sequences,
                        Entry(QStringLiteral("SEQ_%1").arg(s + 1, 5, 10, QChar('0'))));
  for (int r = 0; r < GeneratedRoleCount(tables); ++r)
    project.AppendEntry(ObjectKind::Roles, Entry(QStringLiteral("READER_%1").arg(r)));
  project.SetSectionDescription(ObjectKind::Sequences, "Every generated key.");
  project.SetSectionDescription(ObjectKind::Roles, "Who reads what.");
}

qsizetype ReadGeneratedDictionary(Database& db, int tables) {
  qsizetype chars = 0;
  const auto read = [&](QueryId id, const QStringList& binds, const QStringList& columns) {
    Query& q = db.query(id);
    q.Close();
    for (int i = 0; i < binds.size(); ++i) q.BindText(i + 1, binds[i]);
    q.Open();
    for (; !q.Eof(); q.Next())
      for (const QString& c : columns) chars += q.Field(c).size();
    q.Close();
  };
  ConnectDatabase(db, "BENCH", "BENCH", "bench");
  for (int t = 0; t < tables; ++t)
    for (const TableQuery& q : PerTableQueries()) read(q.id, {GeneratedTableName(t)}, q.columns);
  ConnectDatabase(db, "BENCH", "BENCH", "bench");
  for (int v = 0; v < GeneratedViewCount(tables); ++v)
    read(QueryId::OCIViews, {GeneratedViewName(v)}, {"text"});
  ConnectDatabase(db, "BENCH", "BENCH", "bench");
  for (int u = 0; u < GeneratedUnitCount(tables); ++u)
    read(QueryId::OCIProctext, {GeneratedUnitName(u), "FUNCTION"}, {"text"});
  ConnectDatabase(db, "BENCH", "BENCH", "bench");
  for (int p = 0; p < GeneratedPackageCount(tables); ++p)
    read(QueryId::OCIPackageText, {GeneratedPackageName(p)}, {"text"});
  db.Disconnect();
  return chars;
}
