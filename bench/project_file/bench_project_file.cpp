// Writes and reads back projects of 50,000 and 100,000 entries with 200-character
// descriptions and prints the time of each step and the file size. Each size runs five
// times and the best time counts; before each run the old file is removed and the disk
// cache flushed, so one run does not pay for the write-back of the one before. Beside the
// elapsed time it prints the process's CPU time, which other work on a busy machine does
// not inflate.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <unistd.h>

#include "project/project_file.h"

namespace {

ProjectContents MakeContents(int entries) {
  ProjectContents c;
  c.info.Name = "bench";
  c.info.Version = "1.0";
  c.info.General = "A project made to measure the project file.\r\nSecond line.";
  QString description;
  for (int i = 0; i < 200; ++i) description.append(QChar(u'a' + i % 26));
  description.replace(50, 4, QString::fromUtf8("äöü€"));
  // One connection for all, shared as a project read or added under one connection holds it.
  const Connection connection("ORCL", "SCOTT", "tiger");
  for (int i = 0; i < entries; ++i) {
    auto& list = c.entries[i % kObjectKindCount];
    list.append({connection, QStringLiteral("OBJECT_%1").arg(i), description});
  }
  return c;
}

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Figures {
  double writeMs;
  double readMs;
  double writeCpuMs;
  double readCpuMs;
  qint64 bytes;
};

Figures MeasureOnce(Project& project, const QString& path) {
  QFile::remove(path);
  ::sync();
  QString error;
  QElapsedTimer timer;
  timer.start();
  double cpu = CpuMs();
  if (!WriteProject(project, path, &error)) std::fprintf(stderr, "%s\n", qPrintable(error));
  const double writeMs = timer.nsecsElapsed() / 1e6;
  const double writeCpuMs = CpuMs() - cpu;

  Project back;
  timer.restart();
  cpu = CpuMs();
  if (!ReadProject(back, path, &error)) std::fprintf(stderr, "%s\n", qPrintable(error));
  const double readMs = timer.nsecsElapsed() / 1e6;
  const double readCpuMs = CpuMs() - cpu;
  if (back.Contents().entries != project.Contents().entries)
    std::fprintf(stderr, "read back differs from what was written\n");
  return {writeMs, readMs, writeCpuMs, readCpuMs, QFileInfo(path).size()};
}

Figures Measure(int entries, const QString& path) {
  Project project;
  project.ReplaceContents(MakeContents(entries));
  Figures best = MeasureOnce(project, path);
  for (int run = 1; run < 5; ++run) {
    const Figures f = MeasureOnce(project, path);
    best.writeMs = std::min(best.writeMs, f.writeMs);
    best.readMs = std::min(best.readMs, f.readMs);
    best.writeCpuMs = std::min(best.writeCpuMs, f.writeCpuMs);
    best.readCpuMs = std::min(best.readCpuMs, f.readCpuMs);
  }
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QTemporaryDir dir;
  const QString path = dir.filePath("bench.vlm");
  Measure(1000, path);  // warm-up
  const Figures small = Measure(50000, path);
  const Figures large = Measure(100000, path);
  for (const auto& [n, f] : {std::pair{50000, small}, std::pair{100000, large}})
    std::printf(
        "project_file %6d entries: write %6.1f ms (cpu %6.1f), read %6.1f ms (cpu %6.1f), "
        "file %5.1f MB\n",
        n, f.writeMs, f.writeCpuMs, f.readMs, f.readCpuMs, f.bytes / 1e6);
  std::printf(
      "project_file ratio 100000/50000: write %.2fx (cpu %.2fx), read %.2fx (cpu %.2fx)\n",
      large.writeMs / small.writeMs, large.writeCpuMs / small.writeCpuMs,
      large.readMs / small.readMs, large.readCpuMs / small.readCpuMs);
  return 0;
}
