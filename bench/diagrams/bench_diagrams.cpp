// Relationship diagram benchmark: on a generated snapshot of 2,000 tables (each with two
// foreign keys to others, so a diagram holds about five tables and four arrows, and the one
// owner is too large for an overview), the modern page built without diagrams and with all
// of them, best of three each: the difference is the time diagrams add, in all and per
// table (the aim is at most 5 ms a table). Then the diagrams alone, drawn again and again
// from one document model, with the resident memory after each round and how much it grew
// from the first round's end to the last one's, per diagram: it should not grow. Given a
// table count as its argument, it measures that size instead.

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>

#include "bench_support.h"
#include "builder/build_runner.h"
#include "db/database.h"
#include "diagrams/diagrams.h"
#include "model/document_model.h"
#include "model/document_model_builder.h"
#include "project/project.h"
#include "settings/settings.h"
#include "snapshot_generator.h"

namespace {

constexpr int kBuilds = 3;
constexpr int kDrawings = 6;

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int tables = SizeArgument(argc, argv, 2000);
  GeneratedProject generated;
  auto& [dir, project, db] = generated;
  QString error;
  if (!generated.SetUp(tables, &error)) return Failed(error);
  Settings settings = DefaultSettings();
  QuietProgress progress;

  std::printf("diagrams of the modern page of %d tables (2 foreign keys each):\n", tables);
  Time without, with;
  for (int round = 0; round < kBuilds; ++round) {
    for (const DiagramChoice choice : {DiagramChoice::None, DiagramChoice::All}) {
      settings.Diagrams = choice;
      Stopwatch timer;
      const BuildResult built = BuildDocument(project, settings, db, progress,
                                              dir.filePath("bench.html"), OutputFormat::ModernHtml);
      if (!built.ok()) return Failed(built.error);
      (choice == DiagramChoice::None ? without : with).KeepBest(timer.Read());
    }
  }
  const auto perTable = [tables](double seconds) { return seconds * 1000 / tables; };
  std::printf("  page without diagrams %6.2f s (CPU %6.2f s), with them %6.2f s (CPU %6.2f s)\n",
              without.elapsed, without.cpu, with.elapsed, with.cpu);
  std::printf("  diagrams add          %6.2f s (CPU %6.2f s): %.2f ms per table (CPU %.2f ms)\n",
              with.elapsed - without.elapsed, with.cpu - without.cpu,
              perTable(with.elapsed - without.elapsed), perTable(with.cpu - without.cpu));

  const DocumentModel model = BuildDocumentModel(project, settings, db, progress);
  std::printf("  the diagrams alone, drawn %d times from one model (resident memory before: "
              "%.1f MiB):\n", kDrawings, CurrentMemoryKiB() / 1024.0);
  long afterFirst = 0;
  std::size_t drawnSince = 0;
  for (int round = 1; round <= kDrawings; ++round) {
    Diagrams diagrams;
    Stopwatch timer;
    if (!DrawDiagrams(model, DiagramChoice::All, LinkStyle::Page, progress, &diagrams, &error))
      return Failed(error);
    const Time t = timer.Read();
    const long resident = CurrentMemoryKiB();
    if (round == 1)
      afterFirst = resident;
    else
      drawnSince += diagrams.tables.size();
    std::size_t bytes = 0;
    for (const auto& [anchor, svg] : diagrams.tables) bytes += svg.size();
    std::printf("    round %d: %zu diagrams, %5.1f KiB SVG each, %.2f ms per table (CPU %.2f ms), "
                "resident memory %.1f MiB\n",
                round, diagrams.tables.size(), bytes / 1024.0 / diagrams.tables.size(),
                perTable(t.elapsed), perTable(t.cpu), resident / 1024.0);
    if (round == kDrawings)
      std::printf("  resident memory from round 1's end to round %d's: %+.1f MiB, %+.2f KiB per "
                  "diagram (aim: no growth)\n",
                  kDrawings, (resident - afterFirst) / 1024.0,
                  double(resident - afterFirst) / double(drawnSince));
  }
  return 0;
}
