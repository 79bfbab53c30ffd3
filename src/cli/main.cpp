// vellumar-build: builds a project's document without the GUI, for scripts and CI.
//
// vellumar-build [--format html|text] [--settings FILE] PROJECT.vlm OUTPUT
// Exit status: 0 built, 1 the project, a logon, a query or the save failed (no file is
// written), 2 usage error.

#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <cstdio>

#include "cli/console_progress.h"
#include "db/database.h"
#include "docbuild/build_runner.h"
#include "project/project.h"
#include "project/project_file.h"
#include "settings/settings.h"

namespace {

constexpr int kBuilt = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char kUsageText[] =
    "Usage: vellumar-build [--format html|text] [--settings FILE] PROJECT.vlm OUTPUT\n"
    "Builds the document of PROJECT.vlm into OUTPUT (\".htm\" or \".txt\" is appended unless\n"
    "the name already holds it). The format is text when OUTPUT ends in \".txt\", else HTML.\n"
    "Settings come from the user's options, or from the INI file FILE.\n";

void PrintError(const QString& text) {
  std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

int Usage(const QString& problem) {
  if (!problem.isEmpty()) PrintError("vellumar-build: " + problem);
  std::fputs(kUsageText, stderr);
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);

  QCommandLineParser parser;
  const QCommandLineOption formatOption("format", "html or text", "format");
  const QCommandLineOption settingsOption("settings", "settings INI file", "file");
  const QCommandLineOption helpOption({"h", "help"}, "this help");
  parser.addOptions({formatOption, settingsOption, helpOption});
  if (!parser.parse(app.arguments())) return Usage(parser.errorText());
  if (parser.isSet(helpOption)) {
    std::fputs(kUsageText, stdout);
    return kBuilt;
  }
  const QStringList args = parser.positionalArguments();
  if (args.size() != 2) return Usage("expected PROJECT.vlm and OUTPUT");
  const QString projectPath = args[0];
  const QString output = args[1];

  OutputFormat format = output.endsWith(".txt", Qt::CaseInsensitive) ? OutputFormat::Text
                                                                     : OutputFormat::Html;
  if (parser.isSet(formatOption)) {
    const QString value = parser.value(formatOption).toLower();
    if (value == "html") {
      format = OutputFormat::Html;
    } else if (value == "text") {
      format = OutputFormat::Text;
    } else {
      return Usage("unknown format \"" + parser.value(formatOption) + "\"");
    }
  }
  const QString iniPath = parser.value(settingsOption);
  if (parser.isSet(settingsOption) && !QFileInfo(iniPath).isFile()) {
    return Usage("settings file " + iniPath + " not found");
  }

  const Settings settings = LoadSettings(*OpenSettingsStore(iniPath));

  Project project;
  QString error;
  if (!ReadProject(project, projectPath, &error)) {
    PrintError(error);
    return kFailed;
  }

  Database db;
  db.SetSnapshotDirectories({settings.Project_dir, SampleDictionaryDirectory()});
  ConsoleProgress progress(stderr, isatty(STDERR_FILENO) == 1);
  const BuildResult result = BuildDocument(project, settings, db, progress, output, format);
  if (result.ok()) {
    progress.SetInfoText(QStringLiteral("Document is built."));
    progress.SetProgress(result.progressMax);
  }
  progress.Finish();
  if (!result.ok()) {
    PrintError(result.error);
    return kFailed;
  }
  if (result.replacedCharacters > 0) {
    PrintError(QStringLiteral("vellumar-build: %1 character(s) outside Windows-1252 written as \"?\"")
                   .arg(result.replacedCharacters));
  }
  std::printf("%s\n", result.outputPath.toLocal8Bit().constData());
  return kBuilt;
}
