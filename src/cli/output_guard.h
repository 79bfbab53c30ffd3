#pragma once
// The document file vellumar-build is asked to write, checked before anything is built:
// it must not be one of the build's inputs (by name, through a symbolic link or as a hard
// link), and it must be a regular file when it exists, so a device, a FIFO or a directory
// is left as it is.

#include <QList>
#include <QString>
#include <optional>

struct OutputRefusal {
  enum class Why { ReplacesInput, NotRegularFile };
  Why why;
  QString message;
};

struct BuildInput {
  QString role;  // "the project file", "the settings file"
  QString path;
};

// Why `outputPath` (the final name, extension appended) may not be written, or nullopt.
std::optional<OutputRefusal> RefuseOutput(const QString& outputPath,
                                          const QList<BuildInput>& inputs);
