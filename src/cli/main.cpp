// vellumar-build: builds a project's document without the GUI, for scripts and CI.
//
// vellumar-build [--format html|text|modern|markdown] [--template DIR] [--settings FILE]
//                PROJECT.vlm OUTPUT
// Exit status: 0 built, 1 the project, a logon, a query, a template or the save failed, or
// OUTPUT is not a regular file (a folder, for markdown) (no file is written), 2 usage error,
// a refused settings file, or an OUTPUT that would replace an input.

#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <algorithm>
#include <cstdio>
#include <utility>

#include "cli/console_progress.h"
#include "cli/output_guard.h"
#include "cli/settings_file.h"
#include "db/database.h"
#include "docbuild/build_runner.h"
#include "project/project.h"
#include "project/project_file.h"
#include "settings/settings.h"
#include "text/file_name.h"

namespace {

constexpr int kBuilt = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char kUsageText[] =
    "Usage: vellumar-build [--format html|text|modern|markdown] [--template DIR]\n"
    "                      [--settings FILE] PROJECT.vlm OUTPUT\n"
    "Builds the document of PROJECT.vlm into OUTPUT (\".htm\", \".txt\" or \".html\" is\n"
    "appended unless the name already holds it). The format is text when OUTPUT ends in\n"
    "\".txt\", else HTML. Settings come from the user's options, or from the INI file FILE.\n"
    "\n"
    "  --format FORMAT  the document's format, whatever OUTPUT's name: html or text (the\n"
    "                   classic documents), modern (one self-contained HTML5 page with a\n"
    "                   filtered contents panel) or markdown (a folder OUTPUT holding\n"
    "                   README.md and one page per object)\n"
    "  --template DIR   for modern and markdown: a template in DIR replaces the built-in\n"
    "                   one of the same name\n"
    "  --settings FILE  document parts and comment tags from this INI file\n"
    "  -h, --help       this help\n"
    "  -v, --version    the program's version\n";

// The values of --format; the output name decides when it is not given.
const std::pair<const char*, OutputFormat> kFormats[] = {
    {"html", OutputFormat::Html},
    {"text", OutputFormat::Text},
    {"modern", OutputFormat::ModernHtml},
    {"markdown", OutputFormat::Markdown},
};

// Messages and paths go out as the bytes they came in as (see file_name.h).
void PrintError(const QString& text) {
  std::fprintf(stderr, "%s\n", filename::ToBytes(text).constData());
}

int Refuse(int status, const QString& problem) {
  PrintError("vellumar-build: " + problem);
  return status;
}

int Usage(const QString& problem) {
  if (!problem.isEmpty()) PrintError("vellumar-build: " + problem);
  std::fputs(kUsageText, stderr);
  return kUsage;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QCoreApplication::setApplicationVersion(QStringLiteral(VELLUMAR_VERSION));

  QCommandLineParser parser;
  const QCommandLineOption formatOption("format", "html or text", "format");
  const QCommandLineOption settingsOption("settings", "settings INI file", "file");
  const QCommandLineOption templateOption("template", "template directory", "dir");
  const QCommandLineOption helpOption({"h", "help"}, "this help");
  const QCommandLineOption versionOption({"v", "version"}, "the version");
  parser.addOptions({formatOption, settingsOption, templateOption, helpOption, versionOption});
  if (!parser.parse(filename::Arguments(argc, argv))) return Usage(parser.errorText());
  if (parser.isSet(helpOption)) {
    std::fputs(kUsageText, stdout);
    return kBuilt;
  }
  if (parser.isSet(versionOption)) {
    std::printf("vellumar-build %s\n", VELLUMAR_VERSION);
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
    const auto* known = std::find_if(std::begin(kFormats), std::end(kFormats),
                                     [&](const auto& f) { return value == f.first; });
    if (known == std::end(kFormats))
      return Usage("unknown format \"" + parser.value(formatOption) + "\"");
    format = known->second;
  }
  const bool folder = format == OutputFormat::Markdown;
  // The extension would make a hidden ".htm" of its own in that directory or here.
  if (output.isEmpty() ||
      (!folder && (output.endsWith(u'/') || output.endsWith(QDir::separator()))))
    return Usage(folder ? "OUTPUT must name a folder" : "OUTPUT must name a file");

  Settings settings;
  QString settingsPath;
  if (parser.isSet(settingsOption)) {
    settingsPath = parser.value(settingsOption);
    QString error;
    const std::optional<SettingsFile> file = ReadSettingsFile(settingsPath, &error);
    if (!file) return Refuse(kUsage, error);
    for (const QString& warning : file->warnings) PrintError("vellumar-build: " + warning);
    settings = file->settings;
  } else {
    const auto store = OpenSettingsStore();
    settingsPath = store->fileName();
    settings = LoadSettings(*store);
  }
  if (parser.isSet(templateOption)) {
    settings.Template_dir = parser.value(templateOption);
    if (!QFileInfo(settings.Template_dir).isDir())
      return Usage("template directory " + settings.Template_dir + " not found");
  }

  const QString outputPath = OutputFileName(output, format);
  if (folder) {
    if (QFileInfo::exists(outputPath) && !QFileInfo(outputPath).isDir())
      return Refuse(kFailed, outputPath + " exists and is not a folder");
  } else if (const auto refusal = RefuseOutput(
          outputPath, {{QStringLiteral("the project file"), projectPath},
                       {QStringLiteral("the settings file"), settingsPath}})) {
    return Refuse(refusal->why == OutputRefusal::Why::ReplacesInput ? kUsage : kFailed,
                  refusal->message);
  }

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
  std::printf("%s\n", filename::ToBytes(result.outputPath).constData());
  return kBuilt;
}
