// vellumar-build as a script runs it: arguments, exit status, files and messages.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include "project/project.h"
#include "project/project_file.h"
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
  void WriteIni(const QString& name, const QString& parts) {
    testenv::WriteBytes(Path(name), ("[General]\nDocument_parts=" + parts + "\n").toLatin1());
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
  const QByteArray html = testenv::ReadBytes(Path("demo.htm"));
  EXPECT_TRUE(html.startsWith("<HTML><BODY BGCOLOR=\"#FAFAFA\">\r\n"));
  // One progress line per object; the bar counts the sample's 28 entries and the end.
  EXPECT_TRUE(r.err.startsWith("[1/29] Building table: EMPLOYEES\n")) << r.err.toStdString();
  EXPECT_EQ(r.err.count("] Building table: "), 9);
  EXPECT_EQ(r.err.count("] Building view: "), 4);
  EXPECT_EQ(r.err.count("] Building sequence: "), 4);
  EXPECT_TRUE(r.err.endsWith("] Building role: WAREHOUSE\n"));

  r = Exec({"--settings", demoIni, sample, Path("demo.TXT")});  // text, name kept
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(testenv::ReadBytes(Path("demo.TXT")).startsWith("Vellumar\r\n\r\nName "));

  r = Exec({"--format", "text", "--settings", demoIni, sample, Path("out.htm")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(testenv::ReadBytes(Path("out.htm.txt")).startsWith("Vellumar\r\n"));

  EXPECT_EQ(testenv::ReadBytes(sample), projectBefore);
  EXPECT_EQ(QFileInfo(sample).lastModified(), modifiedBefore);
}

TEST_F(CliTest, SettingsComeFromTheGivenFileOrTheUsersStore) {
  WriteIni("none.ini", "FFFFFFFF");
  CliRun r = Exec({"--settings", Path("none.ini"), sample, Path("title.htm")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_EQ(testenv::ReadBytes(Path("title.htm")).count("\r\n"), 12);
  EXPECT_TRUE(r.err.isEmpty());

  // Without --settings: the user's store, here the isolated test home's.
  const QString store = testenv::Home() + "/config/VLM/Options.conf";
  QDir().mkpath(QFileInfo(store).path());
  testenv::WriteBytes(store, "[General]\nDocument_parts=FTFFFFFF\n");
  r = Exec({sample, Path("general.txt")});
  ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
  EXPECT_TRUE(testenv::ReadBytes(Path("general.txt")).endsWith("\r\n1 General\r\n\r\n"
      "The databases of Example Corp: DEMO with the human resources schema HR and the payroll "
      "schema PAYROLL, and SALES with the order entry schema SALES.\r\nSalaries and bank "
      "accounts are confidential: keep this document inside the company.\r\n\r\n"));
}

TEST_F(CliTest, FailuresExitWithOneAndWriteNoFile) {
  Project project;
  project.AppendEntry(ObjectKind::Tables, {"DEMO", "EMPLOYEES", "HR", "hr", ""});
  project.AppendEntry(ObjectKind::Tables, {"DEMO", "JOBS", "HR", "HR", ""});  // wrong case
  QString error;
  ASSERT_TRUE(WriteProject(project, Path("bad.vlm"), &error));

  CliRun r = Exec({"--settings", demoIni, Path("bad.vlm"), Path("bad.htm")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err.count("ORA-01017"), 1) << r.err.toStdString();
  EXPECT_TRUE(r.err.endsWith("ERROR: ORA-01017: invalid username/password; logon denied\n"));
  EXPECT_FALSE(QFileInfo::exists(Path("bad.htm")));

  // Which unwritable paths fail is the builder's tests' matter; here: the exit status.
  r = Exec({"--settings", demoIni, sample, Path("missing/doc.htm")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.endsWith("ERROR: Can't create a file " + Path("missing/doc.htm") + ".\n"))
      << r.err.toStdString();

  r = Exec({"--settings", demoIni, Path("nothing.vlm"), Path("x.htm")});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(r.err.contains("can't be opened")) << r.err.toStdString();
  EXPECT_FALSE(QFileInfo::exists(Path("x.htm")));
}

TEST_F(CliTest, UsageErrorsExitWithTwo) {
  const QList<QStringList> bad = {{},
                                  {sample},
                                  {sample, Path("a"), Path("b")},
                                  {"--format", "pdf", sample, Path("a")},
                                  {"--colour", sample, Path("a")},
                                  {"--settings", Path("absent.ini"), sample, Path("a")}};
  for (const QStringList& args : bad) {
    const CliRun r = Exec(args);
    EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
    EXPECT_TRUE(r.err.contains("Usage: vellumar-build")) << args.join(' ').toStdString();
  }
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

}  // namespace
