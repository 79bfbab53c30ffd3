// Project > Build in the program, driven through its menu item with scripted prompts and
// the bundled sample dictionary: the save dialog, the progress dialog, the connection
// afterwards, the version question and the failures.
#include <gtest/gtest.h>

#include <tuple>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProcess>
#include <QProgressBar>
#include <QScreen>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "app/main_window.h"
#include "app/program.h"
#include "builder/build_command.h"
#include "builder/new_version_dialog.h"
#include "builder/progress_dialog.h"
#include "coverage/coverage_window.h"
#include "db/database.h"
#include "pages/memo_box.h"
#include "pages/object_page.h"
#include "pages/object_tabs.h"
#include "pages/tab_window.h"
#include "project/project_commands.h"
#include "settings/settings.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"

namespace {

class BuildCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    OpenSettingsStore()->clear();
    QFile::remove(DefaultSettings().History_file);
    program = std::make_unique<Program>(&prompts);
    Window().show();
    demoIni = testenv::SourceDir() + "/data/sample/demo.ini";
    ASSERT_TRUE(QFile::copy(testenv::SourceDir() + "/data/sample/demo.vlm", Path("demo.vlm")));
    Window().Commands().ReopenProject(Path("demo.vlm"));
    Window().LiveSettings() = LoadSettings(*OpenSettingsStore(demoIni));
    Window().LiveSettings().Project_dir = dir.path();
    versionTimer.setInterval(10);
    QObject::connect(&versionTimer, &QTimer::timeout, [this] { AnswerVersionDialog(); });
  }
  void TearDown() override {
    versionTimer.stop();
    CurrentProject().SetModified(false);
    program.reset();
  }

  MainWindow& Window() { return program->Window(); }
  Project& CurrentProject() { return Window().CurrentProject(); }
  Database& Db() { return program->Data(); }
  QString Path(const QString& name) const { return dir.filePath(name); }
  QString Panel(const char* name) { return Window().findChild<QLabel*>(name)->text(); }

  // Project > Build, answering the save dialog with `path` (and the file type `filterIndex`
  // when the user changes it) and the version dialog by `answer` (by default: "2.0", OK).
  void Build(const QString& path, int filterIndex = -1,
             std::function<void(NewVersionDialog&)> answer = {}) {
    prompts.AnswerFile(path, filterIndex);
    versionAnswer = answer ? answer : [](NewVersionDialog& d) {
      d.SetVersionText("2.0");
      QTest::mouseClick(d.findChild<QPushButton*>("FBtnOk"), Qt::LeftButton);
    };
    versionTimer.start();
    Window().findChild<QAction*>("MIBuildproject")->trigger();
    versionTimer.stop();
  }
  void AnswerVersionDialog() {
    auto* dialog = qobject_cast<NewVersionDialog*>(QApplication::activeModalWidget());
    if (!dialog || !dialog->isVisible()) return;
    versionTimer.stop();
    ++versionsAsked;
    versionAnswer(*dialog);
  }
  QList<ProgressDialog*> ProgressDialogs() {
    return Window().findChildren<ProgressDialog*>("FRMPROGRESS");
  }
  ProgressDialog* LastProgress() {
    const auto dialogs = ProgressDialogs();
    return dialogs.isEmpty() ? nullptr : dialogs.last();
  }
  template <class T>
  static T* Child(QWidget* parent, const char* name) {
    auto* widget = parent->findChild<T*>(name);
    EXPECT_NE(widget, nullptr) << name;
    return widget;
  }

  QByteArray CliBuild(const QString& output, const QString& format) {
    QProcess p;
    p.start(QStringLiteral(VELLUMAR_BUILD_EXE),
            {"--format", format, "--settings", demoIni, Path("demo.vlm"), output});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return format == "markdown" || format == "site" ? QByteArray() : testenv::ReadBytes(output);
  }

  QTemporaryDir dir;
  QString demoIni;
  ScriptedPrompts prompts;
  std::unique_ptr<Program> program;
  QTimer versionTimer;
  std::function<void(NewVersionDialog&)> versionAnswer;
  int versionsAsked = 0;
};

TEST_F(BuildCommandTest, SaveDialogTypeDecidesTheOutputAndIsKeptForTheNextBuild) {
  prompts.CancelFile();
  Window().findChild<QAction*>("MIBuildproject")->trigger();
  ASSERT_EQ(prompts.History().size(), 1);
  EXPECT_EQ(prompts.History()[0].selectedFilter, "Vellumar (*.htm)");
  EXPECT_EQ(prompts.History()[0].request.directory, dir.path());
  // Cancelled: no dialog, no question, nothing changed.
  EXPECT_TRUE(ProgressDialogs().isEmpty());
  EXPECT_EQ(versionsAsked, 0);
  EXPECT_FALSE(Window().IsModified());

  // The text type chosen: "report" becomes report.txt, in text. A character outside the code
  // page is written as "?" and the dialog says so.
  CurrentProject().SetGeneral(QString::fromUtf8("Greek \u03A9 here"));
  Build(Path("report"), 1);
  EXPECT_TRUE(testenv::ReadBytes(Path("report.txt")).startsWith("Vellumar\r\n\r\nName "));
  EXPECT_TRUE(testenv::ReadBytes(Path("report.txt")).contains("Greek ? here"));
  EXPECT_EQ(Child<QLabel>(LastProgress(), "L_INFOTEXT")->text(),
            "Document is built.\n1 character(s) outside Windows-1252 written as \"?\".");
  // The window names the file written and hands it to the desktop on request.
  EXPECT_EQ(Child<QLabel>(LastProgress(), "L_OUTPUT")->toolTip(), Path("report.txt"));
  Child<QPushButton>(LastProgress(), "FBtnOpen")->click();
  EXPECT_EQ(prompts.History().last().what, "desktop");
  EXPECT_EQ(prompts.History().last().text, Path("report.txt"));

  // Next build: the dialog opens on the text type, and a typed ".htm" does not change it.
  Build(Path("again.htm"));
  EXPECT_EQ(prompts.History().last().selectedFilter, "Vellumar (*.txt)");
  EXPECT_TRUE(testenv::ReadBytes(Path("again.htm.txt")).startsWith("Vellumar\r\n"));
  EXPECT_FALSE(QFile::exists(Path("again.htm")));

  // Back to HTML; a name holding the extension keeps it.
  Build(Path("notes.HTM.bak"), 0);
  EXPECT_TRUE(testenv::ReadBytes(Path("notes.HTM.bak")).startsWith("<HTML>"));
  EXPECT_EQ(versionsAsked, 3);
  EXPECT_TRUE(prompts.Errors().isEmpty());
}

TEST_F(BuildCommandTest, WritesWhatTheCommandLineBuildWritesByteForByte) {
  // The version is left as it is, so that both builds read the project the file holds.
  const auto keepVersion = [](NewVersionDialog& d) { d.accept(); };
  Build(Path("gui"), -1, keepVersion);
  Build(Path("gui"), 1, keepVersion);
  const QByteArray guiHtml = testenv::ReadBytes(Path("gui.htm"));
  const QByteArray guiText = testenv::ReadBytes(Path("gui.txt"));
  ASSERT_TRUE(guiHtml.contains("EMPLOYEES"));
  EXPECT_EQ(guiHtml, CliBuild(Path("cli.htm"), "html"));
  EXPECT_EQ(guiText, CliBuild(Path("cli.txt"), "text"));
  // The modern formats: the page, and every file of the Markdown folder.
  Build(Path("gui"), 2, keepVersion);
  EXPECT_EQ(testenv::ReadBytes(Path("gui.html")), CliBuild(Path("cli.html"), "modern"));
  Build(Path("gui-md.md"), 3, keepVersion);
  CliBuild(Path("cli-md"), "markdown");
  const auto below = [](const QString& folder) {
    QStringList files;
    for (QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();)
      files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
  };
  const QStringList files = below(Path("gui-md"));
  EXPECT_GT(files.size(), 20);
  EXPECT_TRUE(files.contains("demo/hr/demo.hr.employees.svg")) << "diagrams come out the same too";
  EXPECT_EQ(below(Path("cli-md")), files);
  for (const QString& f : files)
    EXPECT_EQ(testenv::ReadBytes(Path("gui-md/" + f)), testenv::ReadBytes(Path("cli-md/" + f)))
        << f.toStdString();
  EXPECT_EQ(CurrentProject().Info().Version, "1.0");
  EXPECT_TRUE(Window().IsModified());
  EXPECT_EQ(Panel("StatusPanel1"), "Modified");
}

TEST_F(BuildCommandTest, ProgressDialogCountsEnabledKindsEndsFullAndGoesWhenClosed) {
  Window().LiveSettings().SetPart(DocumentPart::Views, false);
  Window().LiveSettings().SetPart(DocumentPart::Sequences, false);
  ConnectDatabase(Db(), "DEMO", "HR", "hr");  // an object tab logs on when it is not
  Window().Tabs().TabControl()->setCurrentIndex(2);
  // F9 again, handled while the build processes its pending events: no build inside the build;
  // and Escape then leaves the progress window open.
  QMetaObject::invokeMethod(Window().findChild<QAction*>("MIBuildproject"), &QAction::trigger,
                            Qt::QueuedConnection);
  QTimer::singleShot(0, &Window(), [this] { QTest::keyClick(LastProgress(), Qt::Key_Escape); });
  Build(Path("out"));
  EXPECT_EQ(prompts.History().size(), 1);

  EXPECT_EQ(Window().Tabs().TabControl()->currentIndex(), 0);
  QPointer<ProgressDialog> first = LastProgress();
  ASSERT_TRUE(first);
  EXPECT_TRUE(first->isVisible());
  // 1 + the sample's 9 tables, 4 procedures and functions, 4 packages and 4 roles.
  auto* bar = Child<QProgressBar>(first, "FProgressBar");
  EXPECT_EQ(bar->maximum(), 22);
  EXPECT_EQ(bar->value(), 22);
  EXPECT_EQ(Child<QLabel>(first, "L_INFOTEXT")->text(), "Document is built.");
  auto* ok = Child<QPushButton>(first, "FBtnOk");
  EXPECT_TRUE(ok->isEnabled());

  // A second build makes a dialog of its own; OK closes and destroys one.
  Window().LiveSettings().Document_parts.fill(false);
  Build(Path("title"));
  ASSERT_EQ(ProgressDialogs().size(), 2);
  EXPECT_EQ(Child<QProgressBar>(LastProgress(), "FProgressBar")->maximum(), 1);
  QTest::mouseClick(ok, Qt::LeftButton);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(first);
  EXPECT_EQ(ProgressDialogs().size(), 1);
}

TEST_F(BuildCommandTest, VersionDialogWantsMoreThanBlanksAndTakesTheTextHoweverClosed) {
  CurrentProject().SetVersion("  ");
  bool okAtOpen = true, okAfterBlanks = true, okAfterDigit = false;
  Build(Path("blank"), -1, [&](NewVersionDialog& d) {
    EXPECT_EQ(d.windowTitle(), "New Version Number");
    auto* edit = d.findChild<QLineEdit*>("FEdNewVersionNumber");
    auto* ok = d.findChild<QPushButton*>("FBtnOk");
    EXPECT_EQ(edit->text(), "  ");
    okAtOpen = ok->isEnabled();
    QTest::keyClicks(edit, "  ");
    okAfterBlanks = ok->isEnabled();
    QTest::keyClicks(edit, "3");
    okAfterDigit = ok->isEnabled();
    edit->setText("3.0");
    QTest::keyClick(edit, Qt::Key_Return);
  });
  EXPECT_FALSE(okAtOpen);
  EXPECT_FALSE(okAfterBlanks);
  EXPECT_TRUE(okAfterDigit);
  EXPECT_EQ(CurrentProject().Info().Version, "3.0");

  // No cancel: closed with its window button, the typed text is still the version.
  Build(Path("closed"), -1, [](NewVersionDialog& d) {
    auto* edit = d.findChild<QLineEdit*>("FEdNewVersionNumber");
    EXPECT_EQ(edit->text(), "3.0");
    edit->setText("3.1");
    d.close();
  });
  EXPECT_EQ(CurrentProject().Info().Version, "3.1");

  // A field left blank would wipe the version: closed so, the previous one stays.
  Build(Path("blank2"), -1, [](NewVersionDialog& d) {
    auto* edit = d.findChild<QLineEdit*>("FEdNewVersionNumber");
    edit->setText("  ");
    QTest::keyClick(edit, Qt::Key_Escape);
  });
  EXPECT_EQ(CurrentProject().Info().Version, "3.1");
  EXPECT_EQ(versionsAsked, 3);
}

// A web page or Markdown name that ends in another type's extension asks which type was
// meant; the answer decides the type, and the dialog opens on it the next time. The classic
// types keep their rule.
TEST_F(BuildCommandTest, ANameEndingInAnotherTypesExtensionAsksWhichTypeWasMeant) {
  prompts.AnswerChoice(1);
  Build(Path("v.htm"), 2);
  ASSERT_EQ(prompts.History().size(), 2);
  EXPECT_EQ(prompts.History()[1].text,
            "Write the web page to v.htm.html, or the HTML document v.htm?");
  EXPECT_EQ(prompts.History()[1].choices, (QStringList{"&Web page", "&HTML document"}));
  EXPECT_TRUE(testenv::ReadBytes(Path("v.htm")).startsWith("<HTML>"));
  EXPECT_FALSE(QFile::exists(Path("v.htm.html")));
  Build(Path("w.txt"));
  EXPECT_EQ(prompts.History().last().selectedFilter, "Vellumar (*.htm)");
  EXPECT_TRUE(testenv::ReadBytes(Path("w.txt.htm")).startsWith("<HTML>"));

  prompts.AnswerChoice(0);
  Build(Path("v.HTM"), 2);
  EXPECT_EQ(prompts.Questions().last(),
            "Write the web page to v.HTM.html, or the HTML document v.HTM?");
  EXPECT_TRUE(testenv::ReadBytes(Path("v.HTM.html")).startsWith("<!DOCTYPE html>"));
  prompts.AnswerChoice(0);
  Build(Path("x.txt"), 3);
  EXPECT_EQ(prompts.Questions().last(),
            "Write the Markdown folder to x.txt, or the text document x.txt?");
  EXPECT_TRUE(QFile::exists(Path("x.txt/README.md")));

  // Cancel builds nothing.
  const int built = int(ProgressDialogs().size());
  prompts.AnswerCancel();
  Build(Path("y.md"), 2);
  EXPECT_EQ(prompts.Questions().last(), "Write the web page to y.md.html, or the Markdown folder y?");
  EXPECT_EQ(ProgressDialogs().size(), built);
  EXPECT_FALSE(QFile::exists(Path("y.md.html")));
  EXPECT_EQ(versionsAsked, 4);
  EXPECT_TRUE(prompts.Exhausted());
}

// A web site is a folder, written as the command line writes it and opened at its index. A
// web page of a large project is built only after the command has offered the site.
TEST_F(BuildCommandTest, AWebSiteIsAFolderOpenedAtItsIndexAndOfferedForALargeProject) {
  const auto keepVersion = [](NewVersionDialog& d) { d.accept(); };
  Build(Path("gui-site"), 4, keepVersion);
  CliBuild(Path("cli-site"), "site");
  EXPECT_EQ(testenv::ReadBytes(Path("gui-site/index.html")),
            testenv::ReadBytes(Path("cli-site/index.html")));
  EXPECT_TRUE(QFile::exists(Path("gui-site/demo.hr.employees.html")));
  EXPECT_EQ(Child<QLabel>(LastProgress(), "L_OUTPUT")->toolTip(), Path("gui-site/index.html"));
  Child<QPushButton>(LastProgress(), "FBtnOpen")->click();
  EXPECT_EQ(prompts.History().last().text, Path("gui-site/index.html"));
  EXPECT_TRUE(prompts.Questions().isEmpty()) << "the sample is small";

  // Tables the dictionary does not have, which cost the build little.
  const ObjectEntry entry{CurrentProject().Entries(ObjectKind::Tables).first().connection(),
                          QStringLiteral("NO_SUCH_TABLE"), {}};
  for (int i = 0; i < kSiteAdvice; ++i) CurrentProject().AppendEntry(ObjectKind::Tables, entry);
  // Only the parts the document shows count.
  Window().LiveSettings().SetPart(DocumentPart::Tables, false);
  Build(Path("small"), 2, keepVersion);
  EXPECT_TRUE(prompts.Questions().isEmpty());
  EXPECT_TRUE(QFile::exists(Path("small.html")));
  Window().LiveSettings().SetPart(DocumentPart::Tables, true);
  prompts.AnswerCancel();
  Build(Path("large"), 2);
  ASSERT_EQ(prompts.Questions().size(), 1);
  EXPECT_TRUE(prompts.Questions()[0].startsWith(
      QStringLiteral("This project documents %1 objects").arg(kSiteAdvice + 29)))
      << prompts.Questions()[0].toStdString();
  EXPECT_EQ(prompts.History().last().choices, (QStringList{"Web &site", "&Web page"}));
  EXPECT_FALSE(QFile::exists(Path("large.html")) || QFile::exists(Path("large")));
  prompts.AnswerChoice(0);
  Build(Path("large"), 2, keepVersion);
  EXPECT_TRUE(QFile::exists(Path("large/index.html")));
  EXPECT_FALSE(QFile::exists(Path("large.html")));
  EXPECT_TRUE(prompts.Errors().isEmpty());
}

// An existing Markdown folder: the question says what becomes of the files in it. The
// progress window names the folder written; an error names no temporary file.
TEST_F(BuildCommandTest, MarkdownFolderQuestionAndErrorSayWhatHappens) {
  Build(Path("md.md"), 3);
  EXPECT_TRUE(prompts.Questions().isEmpty());
  EXPECT_EQ(Child<QLabel>(LastProgress(), "L_OUTPUT")->toolTip(), Path("md"));
  Child<QPushButton>(LastProgress(), "FBtnOpen")->click();
  EXPECT_EQ(prompts.History().last().text, Path("md"));

  const QString replace = "Files that Vellumar wrote in " + QDir::toNativeSeparators(Path("md")) +
                          " will be replaced; your own files stay.";
  const int built = int(ProgressDialogs().size());
  prompts.AnswerCancel();
  Build(Path("md.md"), 3);
  EXPECT_EQ(prompts.Questions(), QStringList{replace});
  EXPECT_EQ(ProgressDialogs().size(), built);

  ASSERT_TRUE(QFile::remove(Path("md/README.md")));
  ASSERT_TRUE(QDir().mkdir(Path("md/README.md")));
  prompts.AnswerChoice(0);
  Build(Path("md.md"), 3);
  ASSERT_EQ(prompts.Errors().size(), 1);
  const QString error = prompts.Errors()[0];
  EXPECT_TRUE(error.startsWith("ERROR: ")) << error.toStdString();
  EXPECT_FALSE(error.contains("vellumar-new")) << error.toStdString();
  EXPECT_TRUE(error.endsWith(".")) << error.toStdString();
  EXPECT_FALSE(Child<QPushButton>(LastProgress(), "FBtnOpen")->isVisible());
}

TEST_F(BuildCommandTest, LogonFailureShowsOneErrorWritesNothingAndRestoresTheConnection) {
  CurrentProject().ClearProject();
  CurrentProject().SetVersion("1.0");
  CurrentProject().AppendEntry(ObjectKind::Tables, {{"DEMO", "HR", "wrong"}, "EMPLOYEES", ""});
  CurrentProject().SetModified(false);
  ConnectDatabase(Db(), "DEMO", "PAYROLL", "payroll");
  Window().SetConnectionStatus("PAYROLL@DEMO");

  Build(Path("failed"));

  EXPECT_EQ(prompts.Errors(), QStringList{"ERROR: ORA-01017: invalid username/password; logon "
                                          "denied\nEntry: Tables DEMO.EMPLOYEES, connection "
                                          "HR@DEMO"});
  // No document, and nothing of the one begun: the project is all the folder holds.
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"demo.vlm"});
  ASSERT_TRUE(Db().Connected());
  EXPECT_EQ(Db().UserName(), "PAYROLL");
  EXPECT_EQ(Db().Password(), "payroll");
  EXPECT_EQ(Panel("StatusPanel0"), "PAYROLL@DEMO");
  ProgressDialog* progress = LastProgress();
  ASSERT_NE(progress, nullptr);
  EXPECT_EQ(Child<QLabel>(progress, "L_INFOTEXT")->text(), "Build failed.");
  EXPECT_TRUE(Child<QPushButton>(progress, "FBtnOk")->isEnabled());
  auto* bar = Child<QProgressBar>(progress, "FProgressBar");
  EXPECT_LT(bar->value(), bar->maximum());
  EXPECT_EQ(versionsAsked, 0);
  EXPECT_EQ(CurrentProject().Info().Version, "1.0");
  EXPECT_FALSE(Window().IsModified());
}

// The question is about the file with its extension; a file of another name is not asked
// about. No changes nothing.
TEST_F(BuildCommandTest, AsksBeforeReplacingTheFileItWrites) {
  testenv::WriteBytes(Path("report.htm"), "old");
  testenv::WriteBytes(Path("report.txt"), "old");
  prompts.AnswerFile(Path("report"));
  prompts.AnswerNo();
  Window().findChild<QAction*>("MIBuildproject")->trigger();
  EXPECT_EQ(prompts.Questions(),
            QStringList{QDir::toNativeSeparators(Path("report.htm")) +
                        " already exists.\nDo you want to replace it?"});
  EXPECT_EQ(testenv::ReadBytes(Path("report.htm")), "old");
  EXPECT_TRUE(ProgressDialogs().isEmpty());
  EXPECT_FALSE(Window().IsModified());

  Build(Path("report.txt"));
  EXPECT_EQ(prompts.Questions().size(), 1);
  EXPECT_EQ(testenv::ReadBytes(Path("report.txt")), "old");
  EXPECT_TRUE(testenv::ReadBytes(Path("report.txt.htm")).startsWith("<HTML>"));
}

// A Markdown folder's own files that no earlier build wrote are replaced only when the user
// says so, asked with their names.
// A folder no build wrote in: the one question names the user's files the document would
// replace, and No writes nothing, as the user chose, with no error to show.
TEST_F(BuildCommandTest, AsksBeforeReplacingTheUsersFilesInAMarkdownFolder) {
  QDir(dir.path()).mkdir("notes");
  testenv::WriteBytes(Path("notes/README.md"), "my own notes");
  for (const bool yes : {false, true}) {
    SCOPED_TRACE(yes);
    prompts.Forget();
    yes ? prompts.AnswerYes() : prompts.AnswerNo();
    Build(Path("notes.md"), 3);
    EXPECT_EQ(prompts.Questions(),
              QStringList{"The folder holds files that no earlier build wrote:\nREADME.md\n"
                          "Replace them?"});
    EXPECT_EQ(testenv::ReadBytes(Path("notes/README.md")) == "my own notes", !yes);
    EXPECT_TRUE(prompts.Errors().isEmpty());
    EXPECT_EQ(Child<QLabel>(LastProgress(), "L_INFOTEXT")->text(),
              yes ? "Document is built." : "Nothing was written; your files stay.");
  }
}

// Project > Coverage: the sample's report in its window, the connection as it was; the
// filter narrows the rows, and the Documented column sorts by the share, not by its text.
TEST_F(BuildCommandTest, CoverageShowsTheReportToFilterAndSort) {
  Window().findChild<QAction*>("MICoverage")->trigger();
  auto* coverage = Window().findChild<CoverageWindow*>("FRMCOVERAGE");
  ASSERT_NE(coverage, nullptr);
  EXPECT_TRUE(coverage->isVisible());
  EXPECT_TRUE(coverage->Total()->text().startsWith("Total: "));
  EXPECT_EQ(coverage->InvalidObjects()->text(), "Invalid objects (1): Package DEMO.HR.LEAVE_API");
  EXPECT_FALSE(Db().Connected());

  const QAbstractItemModel* rows = coverage->Table()->model();
  const int all = rows->rowCount();
  QTest::keyClicks(coverage->Filter(), "NOT DESCRIBED");
  ASSERT_GT(rows->rowCount(), 0);
  EXPECT_LT(rows->rowCount(), all);
  for (int r = 0; r < rows->rowCount(); ++r)
    EXPECT_TRUE(
        rows->index(r, CoverageWindow::GapsColumn).data().toString().contains("not described"));

  coverage->Filter()->clear();
  coverage->Table()->sortByColumn(CoverageWindow::DocumentedColumn, Qt::DescendingOrder);
  double previous = 101;
  for (int r = 0; r < rows->rowCount(); ++r) {
    const QString text = rows->index(r, CoverageWindow::DocumentedColumn).data().toString();
    if (text.isEmpty()) continue;  // drift, sorted last
    const double percent = text.chopped(1).toDouble();
    EXPECT_LE(percent, previous) << text.toStdString();
    previous = percent;
  }
  EXPECT_LT(previous, 50);
}

// The coverage window opens centred over the main window and Escape closes it. A double click on a row brings its entry (a member's package) to
// the front, its description box focused, or says how to add an object the project lacks.
TEST_F(BuildCommandTest, CoverageRowsLeadToTheirEntries) {
  ConnectDatabase(Db(), "DEMO", "HR", "hr");  // else an object tab asks to log on
  Window().findChild<QAction*>("MICoverage")->trigger();
  auto* coverage = Window().findChild<CoverageWindow*>("FRMCOVERAGE");
  ASSERT_NE(coverage, nullptr);
  // Centred over the main window as far as the screen allows (this one is narrower than the
  // coverage window).
  const QRect screen = Window().screen()->availableGeometry();
  EXPECT_GE(coverage->frameGeometry().left(), screen.left());
  EXPECT_LE(std::abs(coverage->frameGeometry().center().y() - Window().frameGeometry().center().y()),
            2);
  QTableView* table = coverage->Table();
  const QAbstractItemModel* rows = table->model();

  // Double-clicks the first row of one of `kinds` (or chooses it with Enter) and gives its
  // object's name.
  const auto doubleClick = [&](const QStringList& kinds, bool inProject, bool enter = false) {
    for (int r = 0; r < rows->rowCount(); ++r) {
      const QModelIndex index = rows->index(r, CoverageWindow::ObjectColumn);
      const bool grey = rows->index(r, CoverageWindow::GapsColumn)
                            .data()
                            .toString()
                            .contains("not in the project");
      if (!kinds.contains(rows->index(r, CoverageWindow::KindColumn).data().toString()) ||
          grey == inProject)
        continue;
      table->scrollTo(index);
      if (enter) {
        table->setCurrentIndex(index);
        QTest::keyClick(table, Qt::Key_Return);
        return index.data().toString();
      }
      // As the system delivers a double click: a click, then the double click.
      const QPoint at = table->visualRect(index).center();
      QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
      QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
      return index.data().toString();
    }
    ADD_FAILURE() << kinds.join(", ").toStdString();
    return QString();
  };
  // A member's row leads to its package's entry: DATABASE.OWNER.NAME[.MEMBER] is listed as
  // DATABASE.NAME.
  const std::tuple<QStringList, ObjectKind, bool> cases[] = {
      {{"Table"}, ObjectKind::Tables, false},
      {{"Function", "Procedure"}, ObjectKind::ProceduresAndFunctions, false},
      {{"Package member"}, ObjectKind::Packages, true},
  };
  for (const auto& [kinds, kind, enter] : cases) {
    SCOPED_TRACE(kinds.join(", ").toStdString());
    const QStringList name = doubleClick(kinds, true, enter).split('.');
    ASSERT_GE(name.size(), 3);
    EXPECT_EQ(Window().Tabs().TabControl()->currentIndex(), static_cast<int>(kind) + 1);
    ObjectPage* page = program->Objects().Page(kind);
    ASSERT_NE(page->FlatListBox2->currentItem(), nullptr);
    EXPECT_TRUE(page->FlatListBox2->currentItem()->text().startsWith(name[0] + '.' + name[2]));
    EXPECT_TRUE(page->FlatListBox2->currentItem()->isSelected());
    EXPECT_EQ(Window().focusWidget(),
              page->FlatMemo ? static_cast<QWidget*>(page->FlatMemo) : page->FlatListBox2);
  }

  const QStringList missing = doubleClick({"Table"}, false).split('.');
  ASSERT_EQ(missing.size(), 3);
  EXPECT_EQ(prompts.History().last().text,
            missing.join('.') + " is not in the project. To add it, log on as " + missing[1] +
                " to " + missing[0] + ", select it on the Tables tab and press Add.");

  coverage->activateWindow();
  ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == coverage; }));
  QTest::keyClick(coverage->Filter(), Qt::Key_Escape);
  EXPECT_FALSE(coverage->isVisible());
}

}  // namespace
