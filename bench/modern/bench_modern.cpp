// Modern document benchmark: generated snapshots and projects of 30,000 objects (tables,
// views, functions, packages with their members, sequences) and of a tenth of them, each
// built by vellumar-build in a process of its own as the classic HTML document, the web
// page, the Markdown folder and the web site (with and without diagrams), after a first
// build that prepares the snapshot's dictionary and is not counted. Per build it prints the
// elapsed and CPU time (and of that, the kernel's) and the peak resident memory (the
// child's own, as the kernel counts it), what it wrote (bytes, files, the largest file, the
// most entries in one folder), then how the peak grows from the tenth to the whole, and
// the site's CPU time beside the classic document's in three rounds. Last, the web site of
// the whole in headless Chromium (tools/check_document.py): how long index.html and each
// page of the sequences and roles take to open (the median of five openings each, and the
// slowest of the lists' pages) and a few object pages, and each keystroke typed into the
// contents' box. Given an object count as its argument, it measures that size and a tenth
// of it instead. With VELLUMAR_BENCH_KEEP set, the generated projects stay (their folders
// are printed), for a profiler to build them again.
//
// After all that, what what-uses-what adds: the page of 20,000 tables (a second argument
// gives another count) built from a snapshot without dependencies, triggers and statuses
// and from one with them (about 100,000 dependency rows, a trigger on every table): each
// built once unmeasured, then in three alternating rounds, and the median ratio of their CPU
// times printed with the machine's load. With VELLUMAR_BENCH_USES set, only this comparison
// runs (at the second argument's count, or 20,000 tables), which makes it cheap to measure
// and to profile on its own.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

#include "bench_support.h"
#include "project/project_file.h"
#include "snapshot_generator.h"
#include "text/file_name.h"

namespace {

// Objects the generator makes for `tables` tables (views, units and packages in
// proportion, sequences a fifth; the few roles aside).
int ObjectCount(int tables) {
  return tables + GeneratedViewCount(tables) + GeneratedUnitCount(tables) +
         GeneratedPackageCount(tables) + tables / 5;
}

int TablesFor(int wanted) {
  int tables = 1;
  while (ObjectCount(tables) < wanted) tables += std::max(1, (wanted - ObjectCount(tables)) / 2);
  return tables;
}

// The load average of the last minute, as /proc/loadavg gives it.
QString LoadAverage() {
  QFile file(QStringLiteral("/proc/loadavg"));
  if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("?");
  return QString::fromLatin1(file.readLine()).section(u' ', 0, 0);
}

// Writes the generated project and a settings file for vellumar-build beside its snapshot;
// with VELLUMAR_BENCH_KEEP set, the folder stays (and is printed) for a profiler.
bool SaveForBuilds(GeneratedProject& generated, QString* project, QString* ini, QString* error) {
  if (qEnvironmentVariableIsSet("VELLUMAR_BENCH_KEEP")) {
    generated.dir.setAutoRemove(false);
    std::printf("kept in %s\n", qPrintable(generated.dir.path()));
  }
  *project = generated.dir.filePath("bench.vlm");
  *ini = generated.dir.filePath("bench.ini");
  if (!WriteProject(generated.project, *project, error)) return false;
  QFile settings(*ini);
  if (!settings.open(QIODevice::WriteOnly)) return false;
  settings.write("[General]\nProject_dir=" + filename::ToBytes(generated.dir.path()) + "\n");
  return true;
}

struct Run {
  double elapsed = 0, cpu = 0;
  double system = 0;  // of cpu, the kernel's (creating, writing and renaming the files)
  long peakKiB = 0;
  qint64 bytes = 0, files = 0, largestFile = 0;
  qint64 largestFolder = 0;  // the most entries (files and folders) of one folder
};

// What a build wrote: its bytes, files, the largest file and the fullest folder.
void Measure(const QString& path, Run& run) {
  const QFileInfo info(path);
  if (info.isFile()) {
    run.bytes = run.largestFile = info.size();
    run.files = run.largestFolder = 1;
    return;
  }
  std::map<QString, qint64> entries;
  for (QDirIterator it(path, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden,
                       QDirIterator::Subdirectories);
       it.hasNext();) {
    const QFileInfo entry(it.next());
    run.largestFolder = std::max(run.largestFolder, ++entries[entry.path()]);
    if (!entry.isFile()) continue;
    run.bytes += entry.size();
    run.largestFile = std::max(run.largestFile, entry.size());
    ++run.files;
  }
}

// Runs vellumar-build in a child process: its elapsed and CPU time and peak memory.
bool Build(const QStringList& args, Run* run, QString* error) {
  std::vector<QByteArray> bytes{QByteArrayLiteral(VELLUMAR_BUILD_EXE)};
  for (const QString& a : args) bytes.push_back(filename::ToBytes(a));
  std::vector<char*> argv;
  for (QByteArray& b : bytes) argv.push_back(b.data());
  argv.push_back(nullptr);
  QElapsedTimer timer;
  timer.start();
  const pid_t child = ::fork();
  if (child == 0) {
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::dup2(null, 2);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (child < 0 || ::wait4(child, &status, 0, &usage) != child) {
    *error = QStringLiteral("vellumar-build could not be run");
    return false;
  }
  run->elapsed = timer.nsecsElapsed() / 1e9;
  run->system = usage.ru_stime.tv_sec + usage.ru_stime.tv_usec / 1e6;
  run->cpu = usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + run->system;
  run->peakKiB = usage.ru_maxrss;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    *error = QStringLiteral("vellumar-build %1 failed").arg(args.join(u' '));
    return false;
  }
  return true;
}

// The page of `tables` tables without and with what uses what, each built by
// vellumar-build in a process of its own (so neither inherits the other's heap), in
// alternating rounds after a first build of each; the median of the rounds' CPU ratios, as
// a busy machine slows single runs by a third. False with the reason.
bool CompareWhatUsesWhat(int tables, QString* error) {
  GeneratedProject without, with;
  if (!without.SetUp(tables, error, false) || !with.SetUp(tables, error, true)) return false;
  QStringList args[2];
  for (int i = 0; i < 2; ++i) {
    GeneratedProject& g = i == 0 ? without : with;
    QString project, ini;
    if (!SaveForBuilds(g, &project, &ini, error)) return false;
    args[i] = {"--settings", ini, "--format", "modern", project, g.dir.filePath("bench.html")};
  }
  std::printf("what uses what on %d tables (load average %s before):\n", tables,
              qPrintable(LoadAverage()));
  // Each built once first, unmeasured: the first build of a snapshot prepares its dictionary,
  // which the larger snapshot with dependencies takes longer to do, and later builds reuse.
  for (const QStringList& a : args) {
    Run first;
    if (!Build(a, &first, error)) return false;
  }
  std::vector<double> ratios;
  for (int round = 1; round <= 3; ++round) {
    Run runs[2];
    for (int i = 0; i < 2; ++i)
      if (!Build(args[i], &runs[i], error)) return false;
    ratios.push_back(runs[1].cpu / runs[0].cpu);
    std::printf("  round %d: page without %6.2f s (CPU %6.2f s), with %6.2f s (CPU %6.2f s): "
                "CPU %+.1f %%, load average %s\n",
                round, runs[0].elapsed, runs[0].cpu, runs[1].elapsed, runs[1].cpu,
                100 * (ratios.back() - 1), qPrintable(LoadAverage()));
  }
  std::sort(ratios.begin(), ratios.end());
  std::printf("  what uses what adds %+.1f %% CPU to the page (median of the rounds)\n",
              100 * (ratios[1] - 1));
  return true;
}

struct Format {
  const char* label;
  const char* format;
  const char* output;
  bool diagrams;
};

const Format kFormats[] = {
    {"classic HTML", "html", "classic.htm", false},
    {"web page", "modern", "page.html", true},
    {"Markdown folder", "markdown", "markdown", true},
    {"web site", "site", "site", true},
    {"web site, no diagrams", "site", "site-plain", false},
};

// The web site's CPU time beside the classic document's, with and without diagrams, from
// three rounds of the three builds (single runs on a shared machine spread by a third), as
// the median of the rounds' ratios; also of the time in the program's own code, apart from
// the kernel's in creating the site's files, which a file system's state sways more.
bool CompareSiteCpu(GeneratedProject& generated, QString* error) {
  const QString project = generated.dir.filePath("bench.vlm");
  const QString ini = generated.dir.filePath("bench.ini");
  const QStringList builds[3] = {
      {"--format", "html", project, generated.dir.filePath("round.htm")},
      {"--format", "site", "--diagrams", "all", project, generated.dir.filePath("round-site")},
      {"--format", "site", "--diagrams", "none", project, generated.dir.filePath("round-plain")}};
  std::vector<double> ratios[4];  // with diagrams, without; then the same in user time
  for (int round = 1; round <= 3; ++round) {
    Run runs[3];
    for (int i = 0; i < 3; ++i)
      if (!Build(QStringList{"--settings", ini} + builds[i], &runs[i], error)) return false;
    for (int i = 0; i < 2; ++i) {
      ratios[i].push_back(runs[i + 1].cpu / runs[0].cpu);
      ratios[i + 2].push_back((runs[i + 1].cpu - runs[i + 1].system) /
                              (runs[0].cpu - runs[0].system));
    }
    std::printf("  round %d: classic HTML CPU %.2f s (system %.2f s), web site %.2f s (%.2f s), "
                "no diagrams %.2f s (%.2f s), load average %s\n",
                round, runs[0].cpu, runs[0].system, runs[1].cpu, runs[1].system, runs[2].cpu,
                runs[2].system, qPrintable(LoadAverage()));
    QFile::remove(generated.dir.filePath("round.htm"));
    QDir(generated.dir.filePath("round-site")).removeRecursively();
    QDir(generated.dir.filePath("round-plain")).removeRecursively();
  }
  for (auto& r : ratios) std::sort(r.begin(), r.end());
  std::printf("web site CPU / classic HTML CPU (median of the rounds): with diagrams %.2fx, "
              "without %.2fx; in user time %.2fx and %.2fx\n",
              ratios[0][1], ratios[1][1], ratios[2][1], ratios[3][1]);
  return true;
}

// Builds every format of a generated project of about `wanted` objects; the runs by label.
bool MeasureSize(int wanted, std::map<QString, Run>* runs, QString* siteFolder,
                 GeneratedProject& generated, QString* error) {
  const int tables = TablesFor(wanted);
  if (!generated.SetUp(tables, error)) return false;
  QString project, ini;
  if (!SaveForBuilds(generated, &project, &ini, error)) return false;
  std::printf("%d objects (%d tables, 20 columns each):\n", ObjectCount(tables), tables);
  // The first build of a snapshot prepares its dictionary for every later one (seconds at
  // this size); built once first, so that no format's figures hold it.
  Run prepared;
  const QString scratch = generated.dir.filePath("prepared.htm");
  if (!Build({"--settings", ini, "--format", "html", project, scratch}, &prepared, error))
    return false;
  QFile::remove(scratch);
  std::printf("  (the dictionary prepared by a first, unmeasured build: %.2f s, CPU %.2f s)\n",
              prepared.elapsed, prepared.cpu);
  std::printf("  %-22s %9s %9s %9s %10s %12s %8s %12s %10s\n", "", "elapsed s", "CPU s",
              "system s",
              "peak MiB", "bytes", "files", "largest", "in folder");
  for (const Format& f : kFormats) {
    Run run;
    const QString output = generated.dir.filePath(f.output);
    QStringList args{"--settings", ini, "--format", f.format};
    if (QString::fromLatin1(f.format) != "html")
      args << "--diagrams" << (f.diagrams ? "all" : "none");
    if (!Build(args + QStringList{project, output}, &run, error)) return false;
    Measure(output, run);
    std::printf("  %-22s %9.2f %9.2f %9.2f %10.1f %12lld %8lld %12lld %10lld\n", f.label,
                run.elapsed, run.cpu, run.system, run.peakKiB / 1024.0,
                static_cast<long long>(run.bytes),
                static_cast<long long>(run.files), static_cast<long long>(run.largestFile),
                static_cast<long long>(run.largestFolder));
    std::fflush(stdout);
    (*runs)[QString::fromLatin1(f.label)] = run;
  }
  *siteFolder = generated.dir.filePath("site");
  return true;
}

// The machine's load while the benchmark ran: the figures of a busy machine are slower.
void PrintLoad() {
  double load[3] = {0, 0, 0};
  if (::getloadavg(load, 3) == 3)
    std::printf("machine load: %.2f %.2f %.2f (1, 5, 15 min) on %ld cores\n", load[0], load[1],
                load[2], ::sysconf(_SC_NPROCESSORS_ONLN));
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QString error;
  const int wanted = SizeArgument(argc, argv, 30000);
  const int compared = argc > 2 ? QString::fromLocal8Bit(argv[2]).toInt() : 20000;
  if (qEnvironmentVariableIsSet("VELLUMAR_BENCH_USES")) {
    PrintLoad();
    return CompareWhatUsesWhat(compared, &error) ? 0 : Failed(error);
  }
  std::printf("modern documents, each built by vellumar-build in a process of its own\n");
  PrintLoad();

  std::map<QString, Run> tenth, whole;
  QString siteFolder, unused;
  {
    GeneratedProject small;
    if (!MeasureSize(wanted / 10, &tenth, &unused, small, &error)) return Failed(error);
  }
  GeneratedProject large;
  if (!MeasureSize(wanted, &whole, &siteFolder, large, &error)) return Failed(error);

  std::printf("peak memory at the whole / at a tenth:\n");
  for (const Format& f : kFormats) {
    const QString label = QString::fromLatin1(f.label);
    std::printf("  %-22s %7.1f MiB / %7.1f MiB = %5.2fx\n", f.label, whole[label].peakKiB / 1024.0,
                tenth[label].peakKiB / 1024.0,
                double(whole[label].peakKiB) / std::max(1L, tenth[label].peakKiB));
  }
  if (!CompareSiteCpu(large, &error)) return Failed(error);
  PrintLoad();

  std::fflush(stdout);  // the figures above come before the check's own
  QProcess check;
  check.setProcessChannelMode(QProcess::ForwardedChannels);
  check.start(QStringLiteral("python3"),
              {QStringLiteral(VELLUMAR_SOURCE_DIR "/tools/check_document.py"), siteFolder,
               QStringLiteral("--filter-bench"), QStringLiteral("--no-links"),
               QStringLiteral("--pages"), QStringLiteral("5"), QStringLiteral("--opens"),
               QStringLiteral("5")});
  if (!check.waitForFinished(-1) || check.exitCode() != 0)
    return Failed(QStringLiteral("the Chromium check failed"));
  PrintLoad();

  if (!CompareWhatUsesWhat(compared, &error)) return Failed(error);
  return 0;
}
