// vellumar-build as a script runs it: arguments, exit status, files and messages.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "db/database.h"
#include "db/snapshot_schema.h"
#include "project/project.h"
#include "project/project_file.h"
#include "support/child_process.h"
#include "support/snapshot_maker.h"
#include "support/test_env.h"

namespace {

struct CliRun {
  int exitCode = -1;
  QString out, err;
};

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    sample = testenv::SourceDir() + "/data/sample/demo.vlm";
    demoIni = testenv::SourceDir() + "/data/sample/demo.ini";
  }

  CliRun Exec(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(VELLUMAR_BUILD_EXE), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
  }
  QString Path(const QString& name) { return dir.filePath(name); }

  // Runs vellumar-build with arguments that are bytes (QProcess would decode them), standard
  // output and error into one file; the exit status. With `fileSizeLimit`, it may write no
  // file larger (ulimit -f), the limit's signal as a shell leaves it.
  int ExecBytes(const QList<QByteArray>& args, QByteArray* printed = nullptr,
                rlim_t fileSizeLimit = RLIM_INFINITY) {
    const QByteArray log = QFile::encodeName(Path("printed"));
    const int status = childprocess::Run([&] {
      const rlimit limit{fileSizeLimit, fileSizeLimit};
      ::signal(SIGXFSZ, SIG_DFL);
      ::setrlimit(RLIMIT_FSIZE, &limit);
      const int fd = ::open(log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
      ::dup2(fd, 1);
      ::dup2(fd, 2);
      std::vector<const char*> argv{VELLUMAR_BUILD_EXE};
      for (const QByteArray& a : args) argv.push_back(a.constData());
      argv.push_back(nullptr);
      ::execv(argv[0], const_cast<char* const*>(argv.data()));
      return 127;
    });
    if (printed) *printed = testenv::ReadBytes(QString::fromLatin1(log));
    QFile::remove(QString::fromLatin1(log));
    return status;
  }

  QTemporaryDir dir;
  QString sample, demoIni;
};

TEST_F(CliTest, BuildsTheSampleInEitherFormatWithoutTouchingTheProject) {
  const QByteArray projectBefore = testenv::ReadBytes(sample);
  const QDateTime modifiedBefore = QFileInfo(sample).lastModified();

  CliRun r = Exec({"--settings", demoIni, sample, Path("demo")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, Path("demo.htm") + "\n");
  EXPECT_TRUE(testenv::ReadBytes(Path("demo.htm")).startsWith("<HTML><HEAD>"));
  // One progress line per object; the bar counts the sample's 28 entries and the end.
  EXPECT_TRUE(r.err.startsWith("[1/30] Building table: EMPLOYEES\n")) << r.err.toStdString();
  EXPECT_TRUE(r.err.endsWith("] Building role: WAREHOUSE\n[30/30] Document is built.\n"));

  r = Exec({"--settings", demoIni, sample, Path("demo.TXT")});  // text, name kept
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(testenv::ReadBytes(Path("demo.TXT")).startsWith("Vellumar\r\n\r\nName "));

  r = Exec({"--format", "Text", "--settings", demoIni, sample, Path("out.htm")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(testenv::ReadBytes(Path("out.htm.txt")).startsWith("Vellumar\r\n"));

  EXPECT_EQ(testenv::ReadBytes(sample), projectBefore);
  EXPECT_EQ(QFileInfo(sample).lastModified(), modifiedBefore);
}

TEST_F(CliTest, SettingsFileIsUsedOrRefusedWithTheReason) {
  QDir().mkdir(Path("dir.ini"));
  const struct {
    const char* name;
    QByteArray content;  // not written when empty
    int exitCode;
    const char* message;  // what standard error must hold; empty: nothing at all
    int documentLines;    // 0: none written, 13: the title block alone, -1: more
  } cases[] = {
      {"absent.ini", "", 2, "settings file %1 not found", 0},
      {"dir.ini", "", 2, "settings file %1 is not a regular file", 0},
      {"text.ini", "Document_parts FFFFFFFF\n", 2, "settings file %1 is not an INI file", 0},
      {"other.ini", "[Options]\nDocument_parts=FFFFFFFF\n", 2,
       "settings file %1 holds none of the settings' value names", 0},
      {"parts.ini", "[General]\nDocument_parts=FFFFFFFF\n", 0, "[1/1] Document is built.\n", 13},
      // A list is no text: every part is on, as by default, and a warning says so.
      {"list.ini", "[General]\nDocument_parts=FFFFFFFF,\n", 0,
       "warning: Document_parts in %1 is not a text; its default is used", -1},
  };
  for (const auto& c : cases) {
    const QString ini = Path(c.name);
    if (!c.content.isEmpty()) testenv::WriteBytes(ini, c.content);
    const QString out = Path(QString(c.name) + ".htm");
    const CliRun r = Exec({"--settings", ini, sample, out});
    EXPECT_EQ(r.exitCode, c.exitCode) << c.name << r.err.toStdString();
    const QString message = QString::fromUtf8(c.message).arg(ini);
    EXPECT_EQ(r.err.isEmpty(), message.isEmpty()) << c.name << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(message)) << c.name << r.err.toStdString();
    const qsizetype lines = testenv::ReadBytes(out).count("\r\n");
    EXPECT_TRUE(c.documentLines < 0 ? lines > 13 : lines == c.documentLines) << c.name;
    if (!c.content.isEmpty()) {
      EXPECT_EQ(testenv::ReadBytes(ini), c.content) << c.name;
    }
  }
}

// Without --settings: the user's store, here the isolated test home's.
TEST_F(CliTest, SettingsComeFromTheUsersStoreWithoutSettingsFile) {
  const QString store = testenv::Home() + "/config/VLM/Options.conf";
  QDir().mkpath(QFileInfo(store).path());
  testenv::WriteBytes(store, "[General]\nDocument_parts=FTFFFFFF\n");
  const CliRun r = Exec({sample, Path("general.txt")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QByteArray text = testenv::ReadBytes(Path("general.txt"));
  EXPECT_TRUE(text.endsWith("keep this document inside the company.\r\n\r\n"));  // General last
  EXPECT_FALSE(text.contains("Content\r\n"));
}

TEST_F(CliTest, FailuresExitWithOneAndWriteNoFile) {
  Project project;
  project.AppendEntry(ObjectKind::Tables, {{"DEMO", "HR", "hr"}, "EMPLOYEES", ""});
  project.AppendEntry(ObjectKind::Tables, {{"DEMO", "HR", "HR"}, "JOBS", ""});  // wrong case
  QString error;
  ASSERT_TRUE(WriteProject(project, Path("bad.vlm"), &error));

  CliRun r = Exec({"--settings", demoIni, Path("bad.vlm"), Path("bad.htm")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.count("ORA-01017"), 1) << r.err.toStdString();
  EXPECT_TRUE(r.err.endsWith("ERROR: ORA-01017: invalid username/password; logon denied\n"
                             "Entry: Tables DEMO.JOBS, connection HR@DEMO\n"))
      << r.err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(Path("bad.htm")));

  // A Markdown folder a killed build left half replaced is whole again at the next build,
  // even one that fails at its log-on.
  ASSERT_EQ(Exec({"--settings", demoIni, "--format", "markdown", sample, Path("md")}).exitCode, 0);
  const QByteArray readme = testenv::ReadBytes(Path("md/README.md"));
  QDir(Path("md")).mkpath(".vellumar-staging/old");
  ASSERT_TRUE(QFile::rename(Path("md/README.md"), Path("md/.vellumar-staging/old/README.md")));
  testenv::WriteBytes(Path("md/README.md"), "half the new build");
  testenv::WriteBytes(Path("md/.vellumar-staging/journal"), "on README.md\nend\n");
  r = Exec({"--settings", demoIni, "--format", "markdown", Path("bad.vlm"), Path("md")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(testenv::ReadBytes(Path("md/README.md")), readme);
  EXPECT_FALSE(QFileInfo::exists(Path("md/.vellumar-staging")));

  // Which unwritable paths fail is the builder's tests' matter; here: the exit status.
  r = Exec({"--settings", demoIni, sample, Path("missing/doc.htm")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.endsWith("ERROR: Can't create a file " + Path("missing/doc.htm") +
                             ". No such file or directory.\n"))
      << r.err.toStdString();

  r = Exec({"--settings", demoIni, Path("nothing.vlm"), Path("x.htm")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("can't be opened")) << r.err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(Path("x.htm")));

  // A document larger than the file size limit is a failure with the system's reason, its
  // temporary file gone, not a build the limit's signal ends half-way.
  QByteArray printed;
  EXPECT_EQ(ExecBytes({"--settings", QFile::encodeName(demoIni), QFile::encodeName(sample),
                       QFile::encodeName(Path("big.htm"))},
                      &printed, 16 * 1024),
            1);
  EXPECT_TRUE(printed.endsWith("ERROR: Can't create a file " + QFile::encodeName(Path("big.htm")) +
                               ". File too large.\n"))
      << printed.toStdString();
  EXPECT_EQ(QDir(dir.path()).entryList({"big.htm*"}, QDir::Files), QStringList());
}

TEST_F(CliTest, NamesThatAreNotUtf8AreUsedAsTheirBytes) {
  // A project and an output named in Latin-1, as older systems name files.
  const QByteArray folder = QFile::encodeName(dir.path());
  const QByteArray project = folder + "/caf\xE9.vlm", output = folder + "/r\xE9sum\xE9";
  ASSERT_TRUE(QFile::copy(sample, Path("plain.vlm")));
  ASSERT_EQ(::rename(QFile::encodeName(Path("plain.vlm")).constData(), project.constData()), 0);
  const auto contents = [](const QByteArray& name) {  // QFile would decode the name
    QFile f;
    const int fd = ::open(name.constData(), O_RDONLY);
    return fd >= 0 && f.open(fd, QIODevice::ReadOnly, QFile::AutoCloseHandle) ? f.readAll()
                                                                              : QByteArray();
  };
  const QByteArray projectBytes = testenv::ReadBytes(sample);
  const QByteArray settings = QFile::encodeName(demoIni);
  QByteArray printed;
  ASSERT_EQ(ExecBytes({"--settings", settings, project, output}, &printed), 0);
  EXPECT_EQ(contents(project), projectBytes);
  const QByteArray written = output + ".htm";
  EXPECT_TRUE(printed.endsWith("\n" + written + "\n"));
  EXPECT_TRUE(contents(written).startsWith("<HTML>"));

  // The modern formats too: the page's name and the folder's, byte for byte.
  for (const auto& [format, name, file] :
       {std::tuple{"modern", output, output + ".html"},
        std::tuple{"markdown", folder + "/md\xff", folder + "/md\xff/README.md"}}) {
    ASSERT_EQ(ExecBytes({"--format", format, "--settings", settings, project, name}, &printed), 0)
        << printed.toStdString();
    EXPECT_TRUE(printed.endsWith("\n" + (QByteArray(format) == "modern" ? file : name) + "\n"))
        << printed.toStdString();
    EXPECT_FALSE(contents(file).isEmpty()) << file.toStdString();
  }
  for (const QByteArray& name : {project, written, output + ".html"}) ::unlink(name.constData());
}

// Names that would make a terminal retitle itself, clear its screen or write its clipboard
// are shown with their control characters as codes, in progress lines, errors and the
// coverage report; a NUL does not cut the line.
TEST_F(CliTest, ControlCharactersOfNamesAreShownNotActedOn) {
  Project project;
  const QString name = QString("T\x1b]0;owned\x07\x1b[2J") + QChar(0) + "END";
  project.AppendEntry(ObjectKind::Tables, {{"DEMO", "HR", "hr"}, name, ""});
  QString error;
  ASSERT_TRUE(WriteProject(project, Path("hostile.vlm"), &error));
  const QByteArray settings = QFile::encodeName(demoIni);
  const QByteArray vlm = QFile::encodeName(Path("hostile.vlm"));
  const std::pair<QList<QByteArray>, QByteArray> cases[] = {
      {{"--settings", settings, vlm, QFile::encodeName(Path("h.htm"))},
       "Building table: T\\x1b]0;owned\\x07\\x1b[2J\\x00END\n"},
      {{"--coverage", "--settings", settings, vlm}, "T\\x1b]0;owned\\x07\\x1b[2J\\x00END"},
      {{"--settings", settings, "gone\x1b]52;c;eA==\x07.vlm", "x.htm"},
       "gone\\x1b]52;c;eA==\\x07.vlm can't be opened"},
  };
  for (const auto& [args, shown] : cases) {
    QByteArray printed;
    ExecBytes(args, &printed);
    EXPECT_FALSE(printed.contains('\x1b') || printed.contains('\x07') || printed.contains('\0'));
    EXPECT_TRUE(printed.contains(shown)) << printed.toStdString();
  }
}

// Stopped by Ctrl-C or SIGTERM while it writes, a build leaves no file behind.
TEST_F(CliTest, AnInterruptedBuildLeavesNoTemporaryFile) {
  // Enough entries that the progress lines fill a small pipe nobody reads, so that the build
  // waits there, half-way, with its temporary file open.
  Project project;
  for (int i = 0; i < 300; ++i)
    project.AppendEntry(ObjectKind::Tables, {{"DEMO", "HR", "hr"}, "EMPLOYEES", ""});
  QString error;
  ASSERT_TRUE(WriteProject(project, Path("many.vlm"), &error));
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(signal);
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ::fcntl(ends[1], F_SETPIPE_SZ, 4096);
    const QByteArray project = QFile::encodeName(Path("many.vlm"));
    const QByteArray output = QFile::encodeName(Path("doc.htm"));
    const QByteArray settings = QFile::encodeName(demoIni);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::dup2(ends[1], 2);
      const int null = ::open("/dev/null", O_WRONLY);
      ::dup2(null, 1);
      const char* argv[] = {VELLUMAR_BUILD_EXE, "--settings", settings.constData(),
                            project.constData(), output.constData(), nullptr};
      ::execv(argv[0], const_cast<char* const*>(argv));
      ::_exit(127);
    }
    ::close(ends[1]);
    int waiting = 0;
    for (int tries = 0; tries < 2000; ++tries) {
      ::usleep(10000);
      ::ioctl(ends[0], FIONREAD, &waiting);
      if (waiting >= 4000 && QDir(dir.path()).entryList({"doc.htm.*"}, QDir::Files).size() == 1)
        break;
    }
    ASSERT_GE(waiting, 4000) << "the build did not wait at its progress lines";
    ::kill(pid, signal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(ends[0]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
    EXPECT_EQ(QDir(dir.path()).entryList({"doc.htm*"}, QDir::Files | QDir::Hidden), QStringList());
  }
}

// A template of the user's replaces its namesake, the others stay built in; each table's
// diagram comes without the owners' overviews.
TEST_F(CliTest, ModernFormatsFromTheBuiltInOrTheUsersTemplates) {
  QDir(dir.path()).mkdir("tpl");
  testenv::WriteBytes(Path("tpl/readme.md"), "# {{name}} (our own)\n");
  CliRun r = Exec({"--format", "markdown", "--template", Path("tpl"), "--diagrams", "tables",
                   "--settings", demoIni, sample, Path("docs")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(testenv::ReadBytes(Path("docs/README.md")),
            "# Example Corp HR, payroll \\& sales (our own)\n");
  EXPECT_TRUE(QFile::exists(Path("docs/demo/hr/demo.hr.employees.md")));
  EXPECT_TRUE(QFile::exists(Path("docs/demo/hr/demo.hr.employees.svg")));
  EXPECT_FALSE(QFile::exists(Path("docs/demo/hr/demo.hr.svg")));

  // A template that does not parse: exit 1, the file named, before the dictionary is read,
  // nothing written.
  testenv::WriteBytes(Path("tpl/page.html"), "{{#nav}} unclosed");
  r = Exec({"--format", "modern", "--template", Path("tpl"), "--settings", demoIni, sample,
            Path("bad")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("page.html")) << r.err.toStdString();
  EXPECT_FALSE((r.out + r.err).contains("Building table")) << r.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("bad.html")));
  EXPECT_EQ(Exec({"--format", "modern", "--template", Path("none"), sample, Path("x")}).exitCode,
            2);
}

// The site is a folder (a chosen index.html names it) written as one change: the user's own
// files stay, and a page no longer built goes.
TEST_F(CliTest, TheSiteIsAFolderOfPagesThatKeepsTheUsersFiles) {
  QDir(dir.path()).mkdir("site");
  testenv::WriteBytes(Path("site/notes.txt"), "mine");
  const QStringList site{"--format", "site", "--settings", demoIni, sample};
  CliRun r = Exec(site + QStringList{Path("site/index.html")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, Path("site") + "\n");
  for (const char* file : {"index.html", "demo.hr.employees.html", "demo.hr.emp_mgmt.html",
                           "sales.sales.close_order.html", "style.css", "script.js"})
    EXPECT_TRUE(QFile::exists(Path("site/") + file)) << file;
  const QByteArray listed = testenv::ReadBytes(Path("site/.vellumar-files"));
  EXPECT_TRUE(listed.contains("index.html\n") && !listed.contains("notes.txt"));

  testenv::WriteBytes(Path("site/.vellumar-files"), listed + "demo.hr.gone.html\n");
  testenv::WriteBytes(Path("site/demo.hr.gone.html"), "an earlier build's page");
  r = Exec(site + QStringList{Path("site")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("site/demo.hr.gone.html")));
  EXPECT_EQ(testenv::ReadBytes(Path("site/notes.txt")), "mine");
  EXPECT_EQ(testenv::ReadBytes(Path("site/.vellumar-files")), listed);
}

// A quoted name may hold the characters markup escapes: the page's script reads them back
// into its contents panel like any other name. A project whose name was cleared still gives
// the page a title and a heading. Checked in Chromium, where the script runs.
TEST_F(CliTest, AnUnnamedProjectOfNamesThatMarkupEscapesReadsWell) {
  if (!QFile::exists("/usr/bin/chromium")) GTEST_SKIP() << "no Chromium";
  testdb::MakeSnapshot(Path("lab.sqlite"), testdb::UserSql("LAB", {}) + R"sql(
    INSERT INTO dba_tables VALUES ('LAB', 'R&D <PLANS>'), ('LAB', 'A"B');
    INSERT INTO dba_tab_columns (owner, table_name, column_name, column_id, data_type,
                                 data_length, data_precision, nullable)
      VALUES ('LAB', 'R&D <PLANS>', 'ID', 1, 'NUMBER', 22, NULL, 'N'),
             ('LAB', 'A"B', 'ID', 1, 'NUMBER', 22, NULL, 'N');)sql");
  testenv::WriteBytes(Path("lab.ini"), "[General]\nProject_dir=" + dir.path().toUtf8() + "\n");
  Project project;
  for (const char* name : {"R&D <PLANS>", "A\"B"})
    project.AppendEntry(ObjectKind::Tables, {{"LAB", "LAB", ""}, name, ""});
  QString error;
  ASSERT_TRUE(WriteProject(project, Path("lab.vlm"), &error)) << error.toStdString();
  const CliRun r = Exec({"--format", "modern", "--settings", Path("lab.ini"), Path("lab.vlm"),
                         Path("lab.html")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(testenv::ReadBytes(Path("lab.html")).contains("<title>Untitled project </title>"));
  QProcess check;
  check.setProcessChannelMode(QProcess::MergedChannels);
  check.start("python3", {testenv::SourceDir() + "/tools/check_document.py", Path("lab.html")});
  ASSERT_TRUE(check.waitForFinished(180000));
  EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
}

// The sample leaves gaps on purpose: the report's JSON parses and adds up, and the gate
// passes at the total and fails just above it.
TEST_F(CliTest, CoverageWritesJsonAndGatesOnTheMinimum) {
  const QStringList coverage{"--coverage", "--settings", demoIni};
  CliRun r = Exec(coverage + QStringList{sample});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(r.out.startsWith("Documentation coverage of Example Corp")) << r.out.toStdString();
  // The progress ends as a build's does: full, on a line of its own.
  EXPECT_TRUE(r.err.endsWith("] Building role: WAREHOUSE\n[30/30] Coverage is measured.\n"))
      << r.err.toStdString();

  r = Exec(coverage + QStringList{"--json", sample});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  QJsonParseError error;
  const QJsonObject json = QJsonDocument::fromJson(r.out.toUtf8(), &error).object();
  ASSERT_EQ(error.error, QJsonParseError::NoError) << r.out.toStdString();
  EXPECT_EQ(json["format"].toString(), "vellumar-coverage");
  EXPECT_EQ(json["version"].toInt(), 1);
  EXPECT_FALSE(json.contains("gate"));
  int items = 0;
  for (const QJsonValue kind : json["kinds"].toArray()) {
    items += kind["items"].toInt();
    EXPECT_EQ(kind["missing"].toInt(), 0) << kind["kind"].toString().toStdString();
  }
  EXPECT_EQ(json["total"]["items"].toInt(), items);
  // Drift is per schema: the project has HR's EMPLOYEES, not PAYROLL's.
  QJsonObject runMonth, payrollEmployees;
  for (const QJsonValue o : json["objects"].toArray()) {
    if (o["member"].toString() == "RUN_MONTH") runMonth = o.toObject();
    if (o["owner"].toString() == "PAYROLL" && o["name"].toString() == "EMPLOYEES")
      payrollEmployees = o.toObject();
  }
  EXPECT_EQ(payrollEmployees["presence"].toString(), "notInProject");
  EXPECT_EQ(runMonth["undescribedParameters"].toArray(), QJsonArray{"P_DRY_RUN"});
  EXPECT_EQ(runMonth["staleParameters"].toArray(), QJsonArray{"p_test_run"});

  const double total = json["total"]["percent"].toDouble();
  ASSERT_LT(total, 100.0);
  for (const auto& [minimum, exitCode] : {std::pair{total, 0}, std::pair{total + 0.1, 3}}) {
    r = Exec(coverage + QStringList{"--json", "--min", QString::number(minimum), sample});
    EXPECT_EQ(r.exitCode, exitCode) << minimum;
    const QJsonObject gate = QJsonDocument::fromJson(r.out.toUtf8())["gate"].toObject();
    EXPECT_EQ(gate["passed"].toBool(), exitCode == 0) << minimum;
  }
  // The text says why the status is 3.
  r = Exec(coverage + QStringList{"--min", QString::number(total + 0.1), sample});
  EXPECT_EQ(r.exitCode, 3);
  EXPECT_TRUE(r.err.endsWith(QString("vellumar-build: the total, %1 of %2 documented, is below "
                                     "--min %3%\n")
                                 .arg(json["total"]["documented"].toInt())
                                 .arg(items)
                                 .arg(total + 0.1)))
      << r.err.toStdString();
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  const QString a = Path("a");
  const QList<QStringList> bad = {
      {}, {sample}, {sample, a, Path("b")}, {"--format", "pdf", sample, a},
      {"--colour", sample, a}, {"--json", sample, a}, {"--coverage", sample, a},
      {"--coverage", "--min", "101", sample}, {"--coverage", "--min", "most", sample},
      {"--coverage", "--format", "modern", sample}, {"--coverage", "--diagrams", "all", sample},
      {"--diagrams", "some", sample, a}, {"--capture", "hr@orcl"},
      {"--capture", "--settings", demoIni, "hr@orcl", a}, {"--owners", "HR", sample, a},
      {"--capture", "--owners", " , ", "hr@orcl", a}, {"--changes", a},
      {"--changes", "--fail-on", "any", a, a}, {"--fail-on", "breaking", sample, a},
      {"--changes", "--capture", a, a}, {"--changes-since", a, sample, a},
      {"--coverage", "--changes-since", a, sample}, {"--changes", "--changes-since", a, a, a},
      {"--changes", "--used-by", "HR.JOBS", a, a},
      {"--capture", "--changes-since", a, "hr/x@orcl", a},
      {"--capture", "--used-by", "HR.JOBS", "hr/x@orcl", a},
      {"--changes", "--owners", "HR", "--owners", "PAYROLL", a, a},
      {"--diagrams", "none", sample, a}, {"--template", dir.path(), "--format", "text", sample, a}};
  for (const QStringList& args : bad) {
    const CliRun r = Exec(args);
    EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains("Usage: vellumar-build")) << args.join(' ').toStdString();
  }
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

// The capture's command line: a connection without a database is refused, and a failed
// log-on names Oracle's error and writes nothing.
TEST_F(CliTest, CaptureLogsOnWithTheConnectionGiven) {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("VELLUMAR_OCI_LIBRARY", OCI_STUB_PATH);
  env.insert("VELLUMAR_PASSWORD", "from-env");
  const auto capture = [&](const QString& connection) {
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELLUMAR_BUILD_EXE), {"--capture", connection, Path("o.sqlite")});
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    return CliRun{p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()),
                  QString::fromLocal8Bit(p.readAllStandardError())};
  };
  CliRun r = capture("hr");
  EXPECT_EQ(r.exitCode, 2);
  EXPECT_TRUE(r.err.contains("USER/PASSWORD@DATABASE")) << r.err.toStdString();
  // The stub knows no database, so every log-on fails there.
  r = capture("hr@orcl");
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "vellumar-build: ORA-12154: TNS:could not resolve the connect identifier "
                   "specified\n");
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// --changes prints the changes and, with --fail-on breaking, fails a job on a breaking one:
// here PAYROLL's table is gone, HR's only gained one.
TEST_F(CliTest, ChangesGateOnBreakingOnesOfTheOwnersAsked) {
  const QString v1 = Path("v1.sqlite"), v2 = Path("v2.sqlite");
  const QString users = testdb::UserSql("HR", {}) + testdb::UserSql("PAYROLL", {});
  testdb::MakeSnapshot(v1, users + "INSERT INTO dba_tables VALUES ('PAYROLL', 'RUNS');");
  testdb::MakeSnapshot(v2, users + "INSERT INTO dba_tables VALUES ('HR', 'JOBS');");
  CliRun r = Exec({"--changes", "--fail-on", "breaking", v1, v2});
  EXPECT_EQ(r.exitCode, 4);
  EXPECT_EQ(r.out, "Changes from " + v1 + " to " + v2 +
                       ": 2, 1 breaking.\n\nHR:\n            table JOBS added\n\nPAYROLL:\n"
                       "  breaking  table RUNS removed\n");
  r = Exec({"--changes", "--fail-on", "breaking", "--owners", "hr", "--json", v1, v2});
  EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(QJsonDocument::fromJson(r.out.toUtf8())["total"]["changes"].toInt(), 1);
  // An owner in neither snapshot is a mistake, not a schema without changes.
  r = Exec({"--changes", "--owners", "hr,nobody", v1, v2});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.out.isEmpty());
  EXPECT_EQ(r.err, QString("vellumar-build: neither %1 nor %2 has a user NOBODY in dba_users. "
                           "Owners are named as Oracle stores them, in upper case unless "
                           "created in quotes.\n")
                       .arg(v1, v2));
  // A snapshot that is missing or no regular file (a FIFO would block the read for ever)
  // is refused with the system's reason.
  ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.sqlite")).constData(), 0600), 0);
  for (const auto& [file, why] : {std::pair{"none.sqlite", "No such file or directory"},
                                  {"fifo.sqlite", "it is not a regular file"}}) {
    r = Exec({"--changes", v1, Path(file)});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, QString("vellumar-build: Dictionary snapshot %1: cannot be opened: %2\n")
                         .arg(Path(file), why));
  }
}

// A report that cannot be written whole, here to a full disk, fails the job with the reason
// rather than pass a truncated one off as complete.
TEST_F(CliTest, AReportThatCannotBeWrittenFails) {
  const QString v1 = Path("v1.sqlite"), v2 = Path("v2.sqlite");
  testdb::MakeSnapshot(v1, testdb::UserSql("HR", {}));
  testdb::MakeSnapshot(v2, testdb::UserSql("HR", {}) +
                               "INSERT INTO dba_tables VALUES ('HR', 'JOBS');");
  const QList<QStringList> reports = {
      {"--changes", "--json", v1, v2},
      {"--coverage", "--settings", demoIni, sample},
      {"--used-by", "hr.raise_salary", "--settings", demoIni, sample}};
  for (const QStringList& args : reports) {
    QProcess p;
    p.setStandardOutputFile("/dev/full");
    p.start(QStringLiteral(VELLUMAR_BUILD_EXE), args);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 1) << args.join(' ').toStdString();
    EXPECT_TRUE(QString::fromLocal8Bit(p.readAllStandardError())
                    .endsWith("vellumar-build: the report could not be written to standard "
                              "output: No space left on device\n"))
        << args.join(' ').toStdString();
  }
}

// What depends on the sample's RAISE_SALARY, through the chain of units that call each
// other: the nearest first, each with its path; a name the dictionary lacks is exit 1, one
// that is not OWNER.NAME a usage error.
TEST_F(CliTest, UsedByListsEveryUserWithItsPathDeepestLast) {
  CliRun r = Exec({"--settings", demoIni, "--used-by", "hr.raise_salary", sample});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(r.out, "HR.RAISE_SALARY (PROCEDURE) in DEMO is used by 2 objects:\n"
                   "  1  PROCEDURE    HR.ANNUAL_REVIEW: HR.ANNUAL_REVIEW -> HR.RAISE_SALARY\n"
                   "  2  PROCEDURE    HR.REVIEW_ALL: HR.REVIEW_ALL -> HR.ANNUAL_REVIEW -> "
                   "HR.RAISE_SALARY\n");
  r = Exec({"--settings", demoIni, "--used-by", "HR.RAISE_SALARY", "--json", sample});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QJsonArray users = QJsonDocument::fromJson(r.out.toUtf8())["usedBy"].toArray();
  ASSERT_EQ(users.size(), 2);
  EXPECT_EQ(users[1]["depth"].toInt(), 2);
  EXPECT_EQ(users[1]["path"][1]["name"].toString(), "ANNUAL_REVIEW");
  for (const auto& [target, status] : {std::pair{"HR.NO_SUCH_UNIT", 1}, {"RAISE_SALARY", 2}}) {
    r = Exec({"--settings", demoIni, "--used-by", target, sample});
    EXPECT_EQ(r.exitCode, status) << target;
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.startsWith("vellumar-build: ")) << r.err.toStdString();
  }
  EXPECT_TRUE(r.err.contains("OWNER.NAME"));
}

// A modern document opens with the changes since an older snapshot of the sample's DEMO,
// linked to their objects, which are marked; the SALES database shares no schema with it
// and is left out. An older snapshot that shares none is refused with the reason.
TEST_F(CliTest, ModernDocumentsListTheChangesSinceAnOlderSnapshot) {
  const QString older = SampleDictionaryDirectory() + "/demo-1.0.sqlite";
  CliRun r = Exec({"--settings", demoIni, "--format", "modern", "--changes-since", older,
                   sample, Path("demo.html")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QString page = QString::fromUtf8(testenv::ReadBytes(Path("demo.html")));
  EXPECT_TRUE(page.contains("<h2>Changes since demo-1.0</h2>\n<p>8 changes, 5 of them breaking"));
  EXPECT_TRUE(page.contains(
      "<li class=\"breaking\"><span class=\"kind\">breaking</span> <a href=\"#demo.hr.employees\">"
      "DEMO.HR table EMPLOYEES: column EMAIL NULL -&gt; NOT NULL</a></li>"));
  EXPECT_TRUE(page.contains("<span class=\"kind\">breaking</span> DEMO.HR table EMP_ARCHIVE removed</li>"));
  EXPECT_EQ(page.count("<span class=\"changed\">changed since demo-1.0</span>"), 4);
  EXPECT_TRUE(page.contains("<li data-filter=\"demo.hr.employees changed\" class=\"changed\">"));

  r = Exec({"--settings", demoIni, "--format", "markdown", "--changes-since", older, sample,
            Path("md")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QString readme = QString::fromUtf8(testenv::ReadBytes(Path("md/README.md")));
  EXPECT_TRUE(readme.contains("- [DEMO.HR table JOB\\_HISTORY\\_NOTES added](demo/hr/demo.hr.job_history_notes.md)"))
      << readme.toStdString();

  // PAYROLL, a schema made since, has only new objects.
  QString hrOnlySql = testenv::ReadBytes(testenv::SourceDir() + "/data/sample/demo.sql") +
                      "DELETE FROM dba_users WHERE username = 'PAYROLL';";
  for (const snapshot::Table& t : snapshot::Tables())
    for (const snapshot::Column& c : t.columns)
      if (QByteArray(c.name).endsWith("owner"))
        hrOnlySql += QString("DELETE FROM %1 WHERE %2 = 'PAYROLL';\n")
                         .arg(QLatin1String(t.name), QLatin1String(c.name));
  const QString hrOnly = Path("hr-only.sqlite");
  testdb::MakeSnapshot(hrOnly, hrOnlySql);
  r = Exec({"--settings", demoIni, "--format", "modern", "--changes-since", hrOnly, sample,
            Path("hr-only.html")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  const QString hrOnlyPage = QString::fromUtf8(testenv::ReadBytes(Path("hr-only.html")));
  EXPECT_TRUE(hrOnlyPage.contains("DEMO.PAYROLL table PAYSLIPS added</a></li>"));
  // A new sequence is marked in its row of the list, as a table is in its section.
  EXPECT_TRUE(hrOnlyPage.contains("<td class=\"name\">PAYSLIPS_SEQ <span class=\"changed\">"
                                  "changed since hr-only</span></td>"));
  EXPECT_TRUE(hrOnlyPage.contains("<td class=\"name\">EMPLOYEES_SEQ</td>"));
  r = Exec({"--settings", demoIni, "--format", "markdown", "--changes-since", hrOnly, sample,
            Path("hr-only-md")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(QString::fromUtf8(testenv::ReadBytes(Path("hr-only-md/README.md")))
                  .contains("</a>PAYSLIPS\\_SEQ *(changed since hr-only)* |"));

  const QString none = Path("none.sqlite");
  testdb::MakeSnapshot(none, testdb::UserSql("NOBODY", {}));
  r = Exec({"--settings", demoIni, "--format", "modern", "--changes-since", none, sample,
            Path("none.html")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains(none + " holds none of the schemas the document reads"))
      << r.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("none.html")));
  // A file that is no snapshot is refused before the dictionary is read.
  r = Exec({"--settings", demoIni, "--format", "site", "--changes-since", sample, sample,
            Path("site")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("Dictionary snapshot " + sample + ": ")) << r.err.toStdString();
  EXPECT_FALSE(r.err.contains("Building table")) << r.err.toStdString();
  EXPECT_FALSE(QFile::exists(Path("site")));
}

// An OUTPUT that would replace an input, in any format, or files of the user's in a
// Markdown folder, are refused (exit 2); an OUTPUT that is not a regular file, or a project
// whose save was interrupted, fails (exit 1). Either way nothing is built, nothing changes,
// and the message names both files.
TEST_F(CliTest, RefusedOutputsLeaveEveryFileAsItIs) {
  const QString project = Path("p.htm");
  const QString ini = Path("s.txt");
  for (const char* folder : {"md/demo/hr", "tpl", "users", "dir.htm"}) QDir(dir.path()).mkpath(folder);
  for (const char* copy : {"p.htm", "md/README.md", "md/demo/hr/demo.hr.employees.md",
                           "saved.vlm", "saved.vlm.vellumar-save"})
    ASSERT_TRUE(QFile::copy(sample, Path(copy)));
  // The settings make the snapshot beside the project the one the project reads.
  testenv::WriteBytes(ini, "[General]\nProject_dir=" + dir.path().toUtf8() + "\n");
  ASSERT_TRUE(QFile::copy(SampleDictionaryDirectory() + "/demo.sqlite", Path("demo.sqlite")));
  testenv::WriteBytes(Path("tpl/page.html"), "{{name}}");
  testenv::WriteBytes(Path("users/README.md"), "my own notes");
  testenv::WriteBytes(Path("users/index.html"), "my own page");
  ASSERT_TRUE(QFile::link(project, Path("link.htm")));
  ASSERT_TRUE(QFile::link(Path("demo.sqlite"), Path("snapshot.html")));
  ASSERT_EQ(::link(QFile::encodeName(project), QFile::encodeName(Path("hard.htm"))), 0);
  ASSERT_TRUE(QFile::link("/dev/null", Path("null.htm")));
  ASSERT_EQ(::mkfifo(QFile::encodeName(Path("fifo.htm")), 0600), 0);
  // Every entry, and the bytes of each regular file.
  const auto everything = [&] {
    QStringList entries;
    const auto flags = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (QDirIterator it(dir.path(), flags, QDirIterator::Subdirectories); it.hasNext();) {
      const QFileInfo f(it.next());
      const bool regular = f.isFile() && !f.isSymLink();
      entries << f.filePath() + u' ' +
                     (regular ? QString::number(qHash(testenv::ReadBytes(f.filePath()))) : "");
    }
    entries.sort();
    return entries;
  };
  const QStringList before = everything();

  const QStringList build{"--settings", ini, project};
  const QStringList markdown{"--format", "markdown", "--settings", ini};
  const QStringList modern{"--format", "modern", "--settings", ini, project};
  const struct {
    QStringList args;
    int exitCode;
    QString message;
  } cases[] = {
      {build + QStringList{project}, 2, "OUTPUT " + project + " is the project file " + project},
      {build + QStringList{Path("link.htm")}, 2,
       "OUTPUT " + Path("link.htm") + " is the project file " + project},
      {build + QStringList{Path("hard.htm")}, 2, "is the project file " + project},
      {build + QStringList{ini}, 2, "OUTPUT " + ini + " is the settings file " + ini},
      {modern + QStringList{Path("snapshot.html")}, 2,
       "OUTPUT " + Path("snapshot.html") + " is the dictionary snapshot " + Path("demo.sqlite")},
      {QStringList{"--format", "modern", "--template", Path("tpl")} + modern.mid(2) +
           QStringList{Path("tpl/page.html")},
       2, "is the template " + Path("tpl") + "/page.html"},
      {markdown + QStringList{Path("md/README.md"), Path("md/README.md")}, 2,
       "OUTPUT folder " + Path("md") + " holds the project file " + Path("md/README.md")},
      {markdown + QStringList{Path("md/demo/hr/demo.hr.employees.md"), Path("md")}, 2,
       "holds the project file " + Path("md/demo/hr/demo.hr.employees.md")},
      {markdown + QStringList{project, Path("users")}, 2,
       "ERROR: The folder " + Path("users") +
           " holds files that no earlier build wrote and that this build would replace: "
           "README.md."},
      {QStringList{"--format", "site", "--settings", ini, project, Path("users")}, 2,
       " holds files that no earlier build wrote and that this build would replace: "
       "index.html."},
      {QStringList{"--settings", ini, Path("saved.vlm"), Path("saved.htm")}, 1,
       "the last save of " + Path("saved.vlm") + " was interrupted; its complete copy is " +
           Path("saved.vlm.vellumar-save")},
      {build + QStringList{Path("null.htm")}, 1, "is a device"},
      {build + QStringList{Path("fifo.htm")}, 1, "is a FIFO"},
      {build + QStringList{Path("dir.htm")}, 1, "is a directory"},
      {build + QStringList{""}, 2, "OUTPUT must name a file"},
      {build + QStringList{Path("dir.htm") + "/"}, 2, "OUTPUT must name a file"},
  };
  for (const auto& c : cases) {
    const CliRun r = Exec(c.args);
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
  }
  EXPECT_EQ(everything(), before);

  // The web page's failure says why.
  const CliRun r = Exec(modern + QStringList{Path("missing/page")});
  EXPECT_TRUE(r.err.endsWith("ERROR: Can't create a file " + Path("missing/page.html") +
                             ". No such file or directory.\n"))
      << r.err.toStdString();
}

}  // namespace
