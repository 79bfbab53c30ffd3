// Feeds arbitrary bytes to the project file reader and checks what must hold whatever the
// file holds:
// - a file that fails to read leaves the project as it was (here: empty) and names the file;
// - a project that was read saves, and the saved file opens again as the same project;
// - saving that project again writes the same bytes.

#include "fuzz_support.h"
#include "project/project.h"
#include "project/project_file.h"

namespace {

bool SameContents(const ProjectContents& a, const ProjectContents& b) {
  return a.info.Name == b.info.Name && a.info.Version == b.info.Version &&
         a.info.General == b.info.General && a.entries == b.entries &&
         a.sequencesDescription == b.sequencesDescription &&
         a.rolesDescription == b.rolesDescription;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QString input = fuzz::WriteScratch(QStringLiteral("input.vlm"), data, size);
  Project project;
  QString error;
  if (!ReadProject(project, input, &error)) {
    fuzz::Check(SameContents(project.Contents(), ProjectContents{}),
                "a file that fails to read changes nothing");
    fuzz::Check(error.contains(input), "the error names the file", error);
    return 0;
  }
  const QString saved = fuzz::ScratchPath(QStringLiteral("saved.vlm"));
  fuzz::Check(WriteProject(project, saved, &error), "a project that was read saves", error);
  Project again;
  fuzz::Check(ReadProject(again, saved, &error), "a saved project opens again", error);
  fuzz::Check(SameContents(project.Contents(), again.Contents()),
              "the saved project opens as the same project");
  const QByteArray bytes = fuzz::ReadScratch(saved);
  fuzz::Check(WriteProject(again, saved, &error), "the project saves again", error);
  fuzz::Check(fuzz::ReadScratch(saved) == bytes, "saving again writes the same bytes");
  return 0;
}
