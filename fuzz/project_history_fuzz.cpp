// Feeds arbitrary bytes to the project history reader and checks what must hold whatever
// the file holds:
// - the paths read are not empty and none repeats another without regard to case;
// - written back as a history file, they read back as the same paths.

#include <QSet>

#include "fuzz_support.h"
#include "project/project_history.h"
#include "text/ansi.h"
#include "text/line_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const ProjectHistory history(fuzz::WriteScratch(QStringLiteral("input.prh"), data, size));
  QStringList paths;
  QString error;
  fuzz::Check(history.LoadHistory(&paths, &error), "a readable history file loads", error);
  QSet<QString> seen;
  for (const QString& path : paths) {
    fuzz::Check(!path.isEmpty(), "no empty path");
    fuzz::Check(!seen.contains(ansi::UpperCase(path)), "no path twice", path);
    seen.insert(ansi::UpperCase(path));
  }
  const ProjectHistory written(fuzz::ScratchPath(QStringLiteral("written.prh")));
  fuzz::Check(linefile::Write(written.Path(), paths), "the paths are written");
  QStringList again;
  fuzz::Check(written.LoadHistory(&again, &error), "the written history loads", error);
  fuzz::Check(again == paths, "the written history reads back the same paths");
  return 0;
}
