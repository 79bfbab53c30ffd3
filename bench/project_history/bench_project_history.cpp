// Loading a project history of 20,000 paths, as every start does: the file read into its
// paths (each recorded once, without regard to case), the same file loaded for the Reopen
// and Open drop-down menus, and (not at start) the first showing of one of them. Prints the
// best of five runs of each, in elapsed and CPU time. Without a display it uses Qt's
// offscreen platform.

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QTemporaryDir>
#include <cstdio>
#include <ctime>

#include "app/qt_prompts.h"
#include "project/history_menus.h"
#include "project/project_history.h"
#include "settings/settings.h"
#include "text/line_file.h"

namespace {

constexpr int kPaths = 20000;
constexpr int kRuns = 5;

double CpuMs() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

// Runs `step` kRuns times and prints its best elapsed and CPU time.
template <typename Step>
void Measure(const char* name, Step&& step) {
  double bestMs = 1e12, bestCpuMs = 1e12;
  for (int run = 0; run < kRuns; ++run) {
    QElapsedTimer timer;
    const double cpu = CpuMs();
    timer.start();
    step();
    bestMs = std::min(bestMs, timer.nsecsElapsed() / 1e6);
    bestCpuMs = std::min(bestCpuMs, CpuMs() - cpu);
  }
  std::printf("project history, %d paths, %-26s %8.1f ms (CPU %.1f ms)\n", kPaths, name, bestMs,
              bestCpuMs);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("DISPLAY")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QTemporaryDir dir;
  Settings settings;
  settings.History_file = dir.filePath("Velmar.prh");
  // Paths like a long-used history's: one folder per hundred projects, some names with
  // letters of the code page and some beyond it.
  QStringList lines;
  for (int i = 0; i < kPaths; ++i) {
    const QString name = i % 7 == 0 ? QString::fromUtf8("Übersicht_%1") : i % 11 == 0
                             ? QString::fromUtf8("Проект_%1") : QStringLiteral("project_%1");
    lines.append(QStringLiteral("/home/user/projects/area_%1/").arg(i / 100) + name.arg(i) +
                 ".vlm");
  }
  if (!linefile::Write(settings.History_file, lines)) return 1;

  const ProjectHistory history(settings.History_file);
  int count = 0;
  Measure("file read:", [&] {
    QStringList paths;
    history.LoadHistory(&paths, nullptr);
    count = paths.size();
  });
  QtPrompts prompts;
  Measure("file read for the menus:", [&] {
    QMenu reopen, popup;
    HistoryMenus menus(&reopen, &popup, settings, prompts, nullptr);
    menus.LoadHistory();
  });
  // The menus fill when they first show; Qt adds each item in time proportional to those
  // already there.
  Measure("a menu's first showing:", [&] {
    QMenu reopen, popup;
    HistoryMenus menus(&reopen, &popup, settings, prompts, nullptr);
    menus.LoadHistory();
    emit reopen.aboutToShow();
    count = reopen.actions().size();
  });
  return count == kPaths + 2 ? 0 : 1;
}
