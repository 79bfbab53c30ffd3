#pragma once
// What the build benchmarks share: elapsed and CPU time, peak memory, a progress that shows
// nothing, and projects over generated snapshots.

#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>

#include "classic/build_context.h"
#include "db/database.h"
#include "project/project.h"

// Elapsed and CPU seconds (the CPU time of ended child processes included); on a shared
// machine the CPU time is the steadier figure.
struct Time {
  double elapsed = 1e9, cpu = 1e9;
  void KeepBest(const Time& t);
};

class Stopwatch {
 public:
  Stopwatch() { Restart(); }
  void Restart();
  Time Read() const;

 private:
  QElapsedTimer wall_;
  double cpu_ = 0;
};

// The process's peak resident memory so far, and its resident memory now, in KiB.
long PeakMemoryKiB();
long CurrentMemoryKiB();

class QuietProgress : public BuildProgress {
 public:
  void SetInfoText(const QString&) override {}
  void StepProgress(int n) override { position += n; }
  void SetProgress(int n) override { position = n; }
  void SetProgressMax(int) override {}
  int position = 0;
};

// Every object of a generated snapshot of `tables` tables as the user BENCH owns them:
// tables, views, stand-alone functions, packages, sequences and the roles granted to.
void AddGeneratedObjects(Project& project, int tables);
int GeneratedSequenceCount(int tables);
int GeneratedRoleCount(int tables);

// The size a benchmark measures: its first argument, or `otherwise` without one.
int SizeArgument(int argc, char** argv, int otherwise);

// Prints "PROGRAM: error" and gives the exit code of a failed benchmark.
int Failed(const QString& error);

// A generated snapshot in a temporary folder, the prepared dictionary cached there too (not
// in the user's cache), the project given every object of it and the database finding it.
struct GeneratedProject {
  QTemporaryDir dir;
  Project project;
  Database db;

  // Generates `tables` tables, and with `whatUsesWhat` their triggers, dependencies and
  // statuses; false with the reason in *error.
  bool SetUp(int tables, QString* error, bool whatUsesWhat = true);
};

// The dictionary work of a build of such a project and nothing else: the same log-ons (one
// per section) and queries, every value read by name. Returns the characters read.
qsizetype ReadGeneratedDictionary(Database& db, int tables);
