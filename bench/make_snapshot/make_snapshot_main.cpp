// make_snapshot OUT.sqlite TABLES: writes a generated dictionary snapshot.

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "snapshot_generator.h"

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QStringList args = app.arguments();
  bool ok = args.size() >= 3;
  SnapshotShape shape;
  if (ok) shape.tables = args[2].toInt(&ok);
  if (!ok || shape.tables < 1) {
    std::fprintf(stderr, "usage: make_snapshot OUT.sqlite TABLES\n");
    return 2;
  }
  QString error;
  if (!GenerateSnapshot(args[1], shape, &error)) {
    std::fprintf(stderr, "make_snapshot: %s\n", qPrintable(error));
    return 1;
  }
  return 0;
}
