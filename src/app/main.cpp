// vellumar [PROJECT.vlm]: the program; with a project file it opens that project at start.

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "allocator/allocator.h"
#include "app/main_window.h"
#include "app/program.h"
#include "text/temporary_files.h"

namespace {

const char kUsageText[] =
    "Usage: vellumar [PROJECT.vlm]\n"
    "Documents Oracle schemas; opens PROJECT.vlm at start when it is given.\n"
    "\n"
    "  -h, --help     this help\n"
    "  -v, --version  the program's version\n"
    "Qt's own options (-platform, -style, ...) are accepted as well.\n";

// --help and --version are answered before the GUI starts, so they work without a display.
bool AnsweredAtOnce(int argc, char** argv) {
  for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help")) {
      std::fputs(kUsageText, stdout);
      return true;
    }
    if (!std::strcmp(argv[i], "-v") || !std::strcmp(argv[i], "--version")) {
      std::printf("vellumar %s\n", VELLUMAR_VERSION);
      return true;
    }
  }
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  TuneAllocator();
  if (AnsweredAtOnce(argc, argv)) return 0;
  QApplication app(argc, argv);
  temporaryfiles::FailWritesPastSizeLimit();
  QApplication::setApplicationVersion(QStringLiteral(VELLUMAR_VERSION));

  QCommandLineParser parser;
  if (!parser.parse(app.arguments()) || parser.positionalArguments().size() > 1) {
    std::fprintf(stderr, "vellumar: %s\n%s",
                 qPrintable(parser.errorText().isEmpty() ? QStringLiteral("one project at most")
                                                         : parser.errorText()),
                 kUsageText);
    return 2;
  }

  SetUpApplication(app);
  Program program;
  program.Window().show();
  if (!parser.positionalArguments().isEmpty()) {
    // Opened as File > Open would, once the window is up, so an error box stands over it.
    const QString project = QFileInfo(parser.positionalArguments().first()).absoluteFilePath();
    MainWindow* window = &program.Window();
    QTimer::singleShot(0, window, [window, project] {
      window->Commands().OpenProjectFile(project);
    });
  }
  return app.exec();
}
