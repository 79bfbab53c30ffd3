#pragma once
// The document file or folder vellumar-build is asked to write, checked before anything is
// built. A document file must not be one of the build's inputs (by name, through a symbolic
// link or as a hard link), and must be a regular file when it exists, so a device, a FIFO or
// a directory is left as it is. A Markdown folder must be a folder (not a link to one) when
// it exists, and no input may lie in it under a name the build writes there (README.md, its
// list of files, a page or a drawing), where the build would replace it.

#include <QList>
#include <QString>
#include <optional>

struct OutputRefusal {
  enum class Why { ReplacesInput, NotRegularFile };
  Why why;
  QString message;
};

struct BuildInput {
  QString role;  // "the project file", "the settings file", "the dictionary snapshot", ...
  QString path;
};

// Why `outputPath` (the final name, extension appended) may not be written, or nullopt.
std::optional<OutputRefusal> RefuseOutput(const QString& outputPath,
                                          const QList<BuildInput>& inputs);

// Why the Markdown folder `folder` may not be written, or nullopt.
std::optional<OutputRefusal> RefuseOutputFolder(const QString& folder,
                                                const QList<BuildInput>& inputs);
