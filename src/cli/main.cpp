// vellumar-build: builds a project's document without the GUI, for scripts and CI.
//
// vellumar-build [--format html|text|modern|markdown|site] [--template DIR]
//                [--diagrams none|tables|all] [--changes-since OLD.sqlite] [--settings FILE]
//                PROJECT.vlm OUTPUT
// vellumar-build --coverage [--json] [--min PERCENT] [--settings FILE] PROJECT.vlm
// vellumar-build --capture [--owners A,B] [--password] CONNECTION OUT.sqlite
// vellumar-build --changes [--owners A,B] [--json] [--fail-on breaking] OLD.sqlite NEW.sqlite
// vellumar-build --used-by OWNER.NAME [--json] [--settings FILE] PROJECT.vlm
// Exit status: 0 built (or reported), 1 the project, a logon, a query, a template or the
// save failed, OUTPUT is not a regular file (a folder, for markdown and site), an interrupted save
// left a copy of the project, a report could not be written to standard output, or anything
// unexpected happened (no file is written), 2 usage
// error, a refused settings file, an OUTPUT that would replace an input, or a Markdown
// or site folder holding files of the user's that the build would replace, 3 the coverage total is
// below --min, 4 a change is breaking and --fail-on breaking was given. SIGINT, SIGTERM and SIGHUP remove the build's temporary files before the
// program ends.

#include <sys/stat.h>
#include <unistd.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <algorithm>
#include <cstdio>
#include <exception>
#include <set>
#include <utility>

#include "allocator/allocator.h"
#include "builder/build_runner.h"
#include "builder/output_guard.h"
#include "capture/dictionary_capture.h"
#include "cli/capture_command.h"
#include "cli/changes_command.h"
#include "cli/console_progress.h"
#include "cli/settings_file.h"
#include "cli/used_by_command.h"
#include "coverage/coverage.h"
#include "coverage/coverage_output.h"
#include "db/database.h"
#include "db/snapshot_backend.h"
#include "modern/templates.h"
#include "project/project.h"
#include "project/project_file.h"
#include "settings/settings.h"
#include "text/file_name.h"
#include "text/file_replacement.h"
#include "text/temporary_files.h"

namespace {

constexpr int kBuilt = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;
constexpr int kBelowMinimum = 3;

const char kUsageText[] =
    "Usage: vellumar-build [--format html|text|modern|markdown|site] [--template DIR]\n"
    "                      [--diagrams none|tables|all] [--changes-since OLD.sqlite]\n"
    "                      [--settings FILE] PROJECT.vlm OUTPUT\n"
    "       vellumar-build --coverage [--json] [--min PERCENT] [--settings FILE] PROJECT.vlm\n"
    "       vellumar-build --capture [--owners A,B,...] [--password] CONNECTION OUT.sqlite\n"
    "       vellumar-build --changes [--owners A,B,...] [--json] [--fail-on breaking]\n"
    "                      OLD.sqlite NEW.sqlite\n"
    "       vellumar-build --used-by OWNER.NAME [--json] [--settings FILE] PROJECT.vlm\n"
    "Builds the document of PROJECT.vlm into OUTPUT (\".htm\", \".txt\" or \".html\" is\n"
    "appended unless the name already holds it). The format is text when OUTPUT ends in\n"
    "\".txt\", else HTML. Settings come from the user's options, or from the INI file FILE.\n"
    "\n"
    "  --format FORMAT  the document's format, whatever OUTPUT's name: html or text (the\n"
    "                   classic documents), modern (one self-contained HTML5 page with a\n"
    "                   filtered contents panel, one file to mail, for a small project),\n"
    "                   markdown (a folder OUTPUT holding README.md and one page per\n"
    "                   object) or site (a folder OUTPUT holding index.html and one web\n"
    "                   page per object: for a large project, as it opens at once)\n"
    "  --template DIR   for modern, markdown and site: a template in DIR replaces the\n"
    "                   built-in one of the same name\n"
    "  --diagrams WHICH for modern, markdown and site: none, tables (each table with the\n"
    "                   tables it references and those that reference it) or all (those and an\n"
    "                   overview of each owner's tables, left out for an owner of more\n"
    "                   than 60 tables, where it is too large to read); default: the\n"
    "                   settings' choice, all unless changed\n"
    "  --changes-since OLD.sqlite  for modern, markdown and site: the document opens\n"
    "                   with the changes since the older snapshot OLD.sqlite of its dictionary and\n"
    "                   marks every changed object (default: the settings' choice, none)\n"
    "  --settings FILE  document parts and comment tags from this INI file\n"
    "  --coverage       report what the document leaves undocumented instead of building\n"
    "                   it: per kind (of the document parts on) and per object, with the\n"
    "                   drift between the project and its schemas. The total counts\n"
    "                   items of equal weight: each object's description, each column's\n"
    "                   comment, each procedure's, function's and package member's comment\n"
    "                   block, and each declared parameter that its block describes; drift\n"
    "                   is counted apart\n"
    "  --json           with --coverage: the report as JSON (docs/coverage-json.md); with\n"
    "                   --changes: the changes as JSON (docs/changes-json.md)\n"
    "  --min PERCENT    with --coverage: exit status 3 when the total is below PERCENT\n"
    "  --capture        write the dictionary of an Oracle database into the snapshot\n"
    "                   OUT.sqlite, which Vellumar documents without Oracle. CONNECTION is\n"
    "                   USER/PASSWORD@DATABASE, or USER@DATABASE with the password from\n"
    "                   VELLUMAR_PASSWORD or asked for (docs/dictionary-snapshot.md)\n"
    "  --owners A,B     with --capture: the schemas to capture (default: the user's own);\n"
    "                   with --changes: the owners compared (default: all)\n"
    "  --password       with --capture: the snapshot's users log on with a password, from\n"
    "                   VELLUMAR_SNAPSHOT_PASSWORD or asked for (default: any password)\n"
    "  --changes        list what changed from the snapshot OLD.sqlite to NEW.sqlite,\n"
    "                   per owner, each change marked when it is breaking\n"
    "  --fail-on breaking  with --changes: exit status 4 when a change is breaking\n"
    "  --used-by OWNER.NAME  list every object that depends on OWNER.NAME, directly or\n"
    "                   through others, each with the path of dependencies that leads to\n"
    "                   it, the deepest last; read with the connection the project stores\n"
    "                   for OWNER (else its first entry's); exit status 1 when the\n"
    "                   dictionary has no such object\n"
    "  -h, --help       this help\n"
    "  -v, --version    the program's version\n";

// The values of --format; the output name decides when it is not given.
const std::pair<const char*, OutputFormat> kFormats[] = {
    {"html", OutputFormat::Html},
    {"text", OutputFormat::Text},
    {"modern", OutputFormat::ModernHtml},
    {"markdown", OutputFormat::Markdown},
    {"site", OutputFormat::Site},
};

// Messages go out with their control characters shown, never acted on by a terminal.
// A message that carries its own start ("ERROR: ...") as a line of standard error.
void PrintLine(const QString& text) {
  const QByteArray line = ConsoleText(text, true) + '\n';
  std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
}

int Refuse(int status, const QString& problem) {
  PrintError(problem);
  return status;
}

int Usage(const QString& problem) {
  if (!problem.isEmpty()) PrintError(problem);
  std::fputs(kUsageText, stderr);
  return kUsage;
}

// The coverage report on standard output: text, or JSON; 3 when the total is below the
// minimum.
int Coverage(const Project& project, const Settings& settings, Database& db,
             ConsoleProgress& progress, bool json, std::optional<double> minimum) {
  const CoverageRun run = RunCoverage(project, settings, db, progress);
  if (run.ok()) {
    progress.SetInfoText(QStringLiteral("Coverage is measured."));
    progress.SetProgress(run.progressMax);
  }
  progress.Finish();
  if (!run.ok()) {
    PrintLine(run.error);
    return kFailed;
  }
  const QByteArray out = json ? CoverageJson(run.report, minimum)
                              : ConsoleText(CoverageText(run.report), true);
  if (!WriteReport(out)) return kFailed;
  const Tally total = run.report.Total();
  if (!minimum || !total.Below(*minimum)) return kBuilt;
  // The JSON's gate says it; a person reading the text is told why the status is not 0.
  if (!json)
    PrintError(QStringLiteral("the total, %1 of %2 documented, is below --min %3%")
                   .arg(total.documented)
                   .arg(total.total)
                   .arg(*minimum));
  return kBelowMinimum;
}

// Why `path` cannot be the template directory, or empty when it can.
QString NotADirectory(const QString& path) {
  struct stat st {};
  if (::stat(filename::ToBytes(path).constData(), &st) != 0)
    return "template directory " + path + " not found";
  if (!S_ISDIR(st.st_mode)) return "template directory " + path + " is not a folder";
  return {};
}

// What the build reads, which OUTPUT may never replace: the project, the settings, each
// dictionary snapshot its entries name, and the user's templates of a modern format.
QList<BuildInput> Inputs(const QString& projectPath, const QString& settingsPath,
                         const Project& project, const Settings& settings, OutputFormat format) {
  QList<BuildInput> inputs{{QStringLiteral("the project file"), projectPath},
                           {QStringLiteral("the settings file"), settingsPath}};
  std::set<QString> servers;
  for (const ObjectKind kind : kAllObjectKinds)
    for (const ObjectEntry& entry : project.Entries(kind))
      servers.insert(entry.connection().ServerName());
  for (const QString& server : servers) {
    const QString snapshot =
        FindSnapshot(server, {settings.Project_dir, SampleDictionaryDirectory()});
    if (!snapshot.isEmpty()) inputs.append({QStringLiteral("the dictionary snapshot"), snapshot});
  }
  const bool modern = IsModernFormat(format);
  if (modern && !settings.Changes_since.isEmpty())
    inputs.append({QStringLiteral("the older dictionary snapshot"), settings.Changes_since});
  if (modern && !settings.Template_dir.isEmpty()) {
    const QString dir = settings.Template_dir + u'/';
    for (const QString& name : TemplateSet::Names(format == OutputFormat::Markdown
                                                      ? TemplateFormat::Markdown
                                                      : TemplateFormat::ModernHtml))
      inputs.append({QStringLiteral("the template"), dir + name});
  }
  return inputs;
}

int Run(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  temporaryfiles::RemoveOnSignals();
  temporaryfiles::FailWritesPastSizeLimit();
  QCoreApplication::setApplicationVersion(QStringLiteral(VELLUMAR_VERSION));

  QCommandLineParser parser;
  const QCommandLineOption formatOption("format", "html or text", "format");
  const QCommandLineOption settingsOption("settings", "settings INI file", "file");
  const QCommandLineOption templateOption("template", "template directory", "dir");
  const QCommandLineOption diagramsOption("diagrams", "none, tables or all", "which");
  const QCommandLineOption helpOption({"h", "help"}, "this help");
  const QCommandLineOption versionOption({"v", "version"}, "the version");
  const QCommandLineOption coverageOption("coverage", "the coverage report");
  const QCommandLineOption jsonOption("json", "the report as JSON");
  const QCommandLineOption minOption("min", "the least total", "percent");
  const QCommandLineOption captureOption("capture", "capture a dictionary");
  const QCommandLineOption ownersOption("owners", "the schemas to capture", "owners");
  const QCommandLineOption passwordOption("password", "the snapshot's users have a password");
  const QCommandLineOption changesOption("changes", "compare two snapshots");
  const QCommandLineOption failOnOption("fail-on", "breaking", "class");
  const QCommandLineOption changesSinceOption("changes-since", "the older snapshot", "file");
  const QCommandLineOption usedByOption("used-by", "what depends on an object", "object");
  parser.addOptions({formatOption, settingsOption, templateOption, diagramsOption, helpOption,
                     versionOption, coverageOption, jsonOption, minOption, captureOption,
                     ownersOption, passwordOption, changesOption, failOnOption,
                     changesSinceOption, usedByOption});
  if (!parser.parse(filename::Arguments(argc, argv))) return Usage(parser.errorText());
  if (parser.isSet(helpOption)) {
    std::fputs(kUsageText, stdout);
    return kBuilt;
  }
  if (parser.isSet(versionOption)) {
    std::printf("vellumar-build %s\n", VELLUMAR_VERSION);
    return kBuilt;
  }
  const bool coverage = parser.isSet(coverageOption);
  std::optional<double> minimum;
  const QStringList args = parser.positionalArguments();
  QStringList owners;
  if (parser.isSet(ownersOption)) {
    // A second list would silently replace the first.
    if (parser.values(ownersOption).size() > 1)
      return Usage("--owners is given more than once; name the schemas in one list");
    owners = OwnerNames(parser.value(ownersOption));
    if (owners.isEmpty()) return Usage("--owners names no schema");
  }
  if (parser.isSet(changesOption)) {
    for (const auto* other : {&formatOption, &settingsOption, &templateOption, &diagramsOption,
                              &coverageOption, &minOption, &captureOption, &passwordOption,
                              &changesSinceOption, &usedByOption})
      if (parser.isSet(*other))
        return Usage("--changes takes only --owners, --json and --fail-on, not --" +
                     other->names()[0]);
    if (parser.isSet(failOnOption) && parser.value(failOnOption) != QLatin1String("breaking"))
      return Usage("--fail-on takes breaking, not \"" + parser.value(failOnOption) + "\"");
    if (args.size() != 2) return Usage("expected OLD.sqlite and NEW.sqlite");
    return RunChanges(args[0], args[1], owners, parser.isSet(jsonOption),
                      parser.isSet(failOnOption));
  }
  if (parser.isSet(failOnOption)) return Usage("--fail-on goes with --changes");
  if (parser.isSet(captureOption)) {
    for (const auto* other : {&formatOption, &settingsOption, &templateOption, &diagramsOption,
                              &coverageOption, &jsonOption, &minOption, &changesSinceOption,
                              &usedByOption})
      if (parser.isSet(*other))
        return Usage("--capture takes only --owners and --password, not --" + other->names()[0]);
    if (args.size() != 2) return Usage("expected CONNECTION and OUT.sqlite");
    return RunCapture(args[0], args[1], owners, parser.isSet(passwordOption));
  }
  if (parser.isSet(ownersOption) || parser.isSet(passwordOption))
    return Usage("--owners and --password go with --capture or --changes");
  const bool usedBy = parser.isSet(usedByOption);
  if (usedBy) {
    for (const auto* other : {&formatOption, &templateOption, &diagramsOption, &coverageOption,
                              &minOption, &changesSinceOption})
      if (parser.isSet(*other))
        return Usage("--used-by takes only --json and --settings, not --" + other->names()[0]);
    if (args.size() != 1) return Usage("expected PROJECT.vlm");
    if (!IsOwnerDotName(parser.value(usedByOption)))
      return Usage("--used-by takes OWNER.NAME, not \"" + parser.value(usedByOption) + "\"");
  } else if (coverage) {
    if (parser.isSet(formatOption) || parser.isSet(templateOption) ||
        parser.isSet(diagramsOption) || parser.isSet(changesSinceOption))
      return Usage("--coverage builds no document: --format, --template, --diagrams and "
                   "--changes-since do not apply");
    if (args.size() != 1) return Usage("expected PROJECT.vlm");
    if (parser.isSet(minOption)) {
      bool number = false;
      minimum = parser.value(minOption).toDouble(&number);
      if (!number || !(*minimum >= 0 && *minimum <= 100))
        return Usage("--min takes a percentage from 0 to 100, not \"" +
                     parser.value(minOption) + "\"");
    }
  } else {
    if (parser.isSet(jsonOption) || parser.isSet(minOption))
      return Usage("--json and --min go with --coverage");
    if (args.size() != 2) return Usage("expected PROJECT.vlm and OUTPUT");
  }
  const QString projectPath = args[0];
  const QString output = coverage || usedBy ? QString() : args[1];

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
  const bool folder = IsFolderFormat(format);
  // The extension would make a hidden ".htm" of its own in that directory or here.
  if (!coverage && !usedBy && (output.isEmpty() || (!folder && (output.endsWith(u'/') ||
                                                     output.endsWith(QDir::separator())))))
    return Usage(folder ? "OUTPUT must name a folder" : "OUTPUT must name a file");

  Settings settings;
  QString settingsPath;
  if (parser.isSet(settingsOption)) {
    settingsPath = parser.value(settingsOption);
    QString error;
    const std::optional<SettingsFile> file = ReadSettingsFile(settingsPath, &error);
    if (!file) return Refuse(kUsage, error);
    for (const QString& warning : file->warnings) PrintError(warning);
    settings = file->settings;
  } else {
    const auto store = OpenSettingsStore();
    settingsPath = store->fileName();
    settings = LoadSettings(*store);
  }
  // The classic documents have neither templates nor diagrams: a script that asks for them
  // there has the format wrong.
  for (const QCommandLineOption* modernOnly : {&templateOption, &diagramsOption})
    if (parser.isSet(*modernOnly) && !IsModernFormat(format))
      return Usage("--" + modernOnly->names()[0] + " goes with --format modern, markdown or site");
  if (parser.isSet(templateOption)) {
    settings.Template_dir = parser.value(templateOption);
    if (const QString why = NotADirectory(settings.Template_dir); !why.isEmpty())
      return Usage(why);
  }

  if (parser.isSet(diagramsOption)) {
    const auto choice = ParseDiagramChoice(parser.value(diagramsOption).toLower());
    if (!choice) return Usage("unknown diagrams \"" + parser.value(diagramsOption) + "\"");
    settings.Diagrams = *choice;
  }
  if (parser.isSet(changesSinceOption)) {
    if (!IsModernFormat(format))
      return Usage("--changes-since goes with --format modern, markdown or site");
    settings.Changes_since = parser.value(changesSinceOption);
  }

  // A copy an interrupted save left beside the project may hold the only whole version of
  // it: the program offers it, a script stops.
  if (const auto copy = FileReplacement::InterruptedCopy(projectPath)) {
    return Refuse(kFailed, QStringLiteral("the last save of %1 was interrupted; its complete "
                                          "copy is %2. Open the project in Vellumar to choose "
                                          "between them; nothing is built")
                               .arg(projectPath, *copy));
  }
  Project project;
  QString error;
  if (!ReadProject(project, projectPath, &error)) {
    PrintLine(error);
    return kFailed;
  }

  if (!coverage && !usedBy) {
    const QString outputPath = OutputFileName(output, format);
    const QList<BuildInput> inputs = Inputs(projectPath, settingsPath, project, settings, format);
    if (const auto refusal = folder ? RefuseOutputFolder(outputPath, inputs)
                                    : RefuseOutput(outputPath, inputs)) {
      return Refuse(refusal->why == OutputRefusal::Why::ReplacesInput ? kUsage : kFailed,
                    refusal->message);
    }
  }

  Database db;
  db.SetSnapshotDirectories({settings.Project_dir, SampleDictionaryDirectory()});
  db.SetCallTimeout(settings.Call_timeout);
  ConsoleProgress progress(stderr, isatty(STDERR_FILENO) == 1);
  if (usedBy) return RunUsedBy(project, db, parser.value(usedByOption), parser.isSet(jsonOption));
  if (coverage) return Coverage(project, settings, db, progress, parser.isSet(jsonOption), minimum);
  const BuildResult result = BuildDocument(project, settings, db, progress, output, format);
  if (result.ok()) {
    progress.SetInfoText(QStringLiteral("Document is built."));
    progress.SetProgress(result.progressMax);
  }
  progress.Finish();
  if (!result.ok()) {
    PrintLine(result.error);
    return result.failure == BuildResult::Failure::UsersFiles ? kUsage : kFailed;
  }
  if (result.replacedCharacters > 0) {
    PrintError(QStringLiteral("%1 character(s) outside Windows-1252 written as \"?\"")
                   .arg(result.replacedCharacters));
  }
  std::printf("%s\n", filename::ToBytes(result.outputPath).constData());
  return kBuilt;
}

}  // namespace

int main(int argc, char** argv) {
  TuneAllocator();
  // Nothing unforeseen leaves the program as an abort: it is an error like any other.
  try {
    return Run(argc, argv);
  } catch (const std::exception& e) {
    PrintError(QStringLiteral("unexpected error: ") +
               QString::fromLocal8Bit(e.what()));
  } catch (...) {
    PrintError(QStringLiteral("unexpected error"));
  }
  return kFailed;
}
