// Writes and reads back projects of 50,000 and 100,000 entries with 200-character
// descriptions and prints the time of each step and the file size. Each size runs three
// times and the best time counts; before each run the old file is removed and the disk
// cache flushed, so one run does not pay for the write-back of the one before.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
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
  for (int i = 0; i < entries; ++i) {
    auto& list = c.entries[i % kObjectKindCount];
    list.append({"ORCL", QStringLiteral("OBJECT_%1").arg(i), "SCOTT", "tiger", description});
  }
  return c;
}

struct Figures {
  double writeMs;
  double readMs;
  qint64 bytes;
};

Figures MeasureOnce(Project& project, const QString& path) {
  QFile::remove(path);
  ::sync();
  QString error;
  QElapsedTimer timer;
  timer.start();
  if (!WriteProject(project, path, &error)) std::fprintf(stderr, "%s\n", qPrintable(error));
  const double writeMs = timer.nsecsElapsed() / 1e6;

  Project back;
  timer.restart();
  if (!ReadProject(back, path, &error)) std::fprintf(stderr, "%s\n", qPrintable(error));
  const double readMs = timer.nsecsElapsed() / 1e6;
  if (back.Contents().entries != project.Contents().entries)
    std::fprintf(stderr, "read back differs from what was written\n");
  return {writeMs, readMs, QFileInfo(path).size()};
}

Figures Measure(int entries, const QString& path) {
  Project project;
  project.ReplaceContents(MakeContents(entries));
  Figures best = MeasureOnce(project, path);
  for (int run = 1; run < 3; ++run) {
    const Figures f = MeasureOnce(project, path);
    best.writeMs = std::min(best.writeMs, f.writeMs);
    best.readMs = std::min(best.readMs, f.readMs);
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
    std::printf("project_file %6d entries: write %7.1f ms, read %7.1f ms, file %6.1f MB\n", n,
                f.writeMs, f.readMs, f.bytes / 1e6);
  std::printf("project_file ratio 100000/50000: write %.2fx, read %.2fx\n",
              large.writeMs / small.writeMs, large.readMs / small.readMs);
  return 0;
}
