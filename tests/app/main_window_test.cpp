#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QFileInfo>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <functional>

#include "app/help_window.h"
#include "app/program.h"
#include "db/database.h"
#include "settings/data_directory.h"
#include "pages/tab_window.h"
#include "project/project_file.h"
#include "support/main_window_fixture.h"
#include "support/test_env.h"

namespace {

const char* const kProjectItems[] = {"MIClose", "MISave",  "MISaveAs",      "MICut",
                                     "MICopy",  "MIPaste", "MIBuildproject"};

class MainWindowStateTest : public MainWindowTest {
 protected:
  void ExpectProjectCommands(bool enabled) {
    for (const char* name : kProjectItems) EXPECT_EQ(Action(name)->isEnabled(), enabled) << name;
    EXPECT_EQ(Find<QToolButton>("ToolButton8")->isEnabled(), enabled);
    EXPECT_EQ(Find<QToolButton>("ToolButton10")->isEnabled(), enabled);
    EXPECT_EQ(window->Tabs().isVisible(), enabled);
  }
  int PanelWidth(int i) const {
    return Find<QLabel>(i == 0 ? "StatusPanel0" : "StatusPanel1")->width();
  }
  int TextWidth(const QString& text) const {
    return Find<QLabel>("StatusPanel0")->fontMetrics().horizontalAdvance(text) + 6;
  }
};

TEST_F(MainWindowStateTest, StartsWithoutProjectAndSwitchesStatesBothWays) {
  EXPECT_EQ(window->windowTitle(), "Vellumar v.1.0");
  ExpectProjectCommands(false);
  EXPECT_FALSE(Find<QMenu>("MIReopen")->menuAction()->isEnabled());
  EXPECT_EQ(Panel(0), "");
  EXPECT_EQ(PanelWidth(0), 0);
  EXPECT_EQ(Panel(1), "");

  window->Tabs().TabControl()->setCurrentIndex(3);
  NewProject(Path("demo"));
  ExpectProjectCommands(true);
  EXPECT_EQ(window->Tabs().TabControl()->currentIndex(), 0);
  EXPECT_EQ(Panel(0), "Not connected");
  EXPECT_EQ(PanelWidth(0), TextWidth("Not connected"));

  window->SetConnectionStatus("hr@demo");
  EXPECT_EQ(Panel(0), "HR@DEMO");
  EXPECT_EQ(PanelWidth(0), TextWidth("HR@DEMO"));
  window->SetConnectionStatus("");
  EXPECT_EQ(Panel(0), "Not connected");
}

TEST_F(MainWindowStateTest, OpensAtItsSizeAndTheGeneralTextGrowsWithTheWindow) {
  EXPECT_EQ(window->size(), QSize(610, 513));
  NewProject(Path("demo"));
  auto* general = Find<QPlainTextEdit>("FMGeneral");
  const QSize before = general->size();
  window->resize(900, 700);
  QCoreApplication::processEvents();
  EXPECT_EQ(window->size(), QSize(900, 700));
  EXPECT_GT(general->width(), before.width() + 250);
  EXPECT_GT(general->height(), before.height() + 150);
}

TEST_F(MainWindowStateTest, AMinimisedModalDialogComesBackTheMainWindowMayStayMinimised) {
  QDialog dialog(window.get());
  dialog.setModal(true);
  dialog.show();
  dialog.setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  EXPECT_FALSE(dialog.isMinimized());
  dialog.hide();
  window->setWindowState(Qt::WindowMinimized);
  QCoreApplication::processEvents();
  EXPECT_TRUE(window->isMinimized());
  window->showNormal();
}

TEST_F(MainWindowStateTest, CloseClearsBothPanelsAndTheCaption) {
  NewProject(Path("demo"));
  window->SetConnectionStatus("scott@orcl");
  window->SetModifiedMarker("Modified");
  prompts.AnswerNo();
  Trigger("MIClose");
  ExpectProjectCommands(false);
  EXPECT_EQ(Panel(0), "");
  EXPECT_EQ(PanelWidth(0), 0);
  EXPECT_EQ(Panel(1), "");
  EXPECT_FALSE(window->IsModified());
  EXPECT_EQ(window->windowTitle(), "Vellumar v.1.0");
  EXPECT_EQ(window->ProjectFileName(), Path("demo.vlm")) << "Close keeps the file name";
}

TEST_F(MainWindowStateTest, CaptionIsTheFileNameInUpperCaseThenTheVersion) {
  window->UpdateCaption("c:\\work\\demo.vlm");
  EXPECT_EQ(window->windowTitle(), "C:\\WORK\\DEMO.VLM - Vellumar v.1.0");
  window->UpdateCaption(QString::fromUtf8("/home/jörg/straße.vlm"));
  EXPECT_EQ(window->windowTitle(), QString::fromUtf8("/HOME/JÖRG/STRAßE.VLM - Vellumar v.1.0"));
  window->UpdateCaption("");
  EXPECT_EQ(window->windowTitle(), "Vellumar v.1.0");
}

TEST_F(MainWindowStateTest, ModifiedMarkerFollowsTheProjectAndIgnoresCase) {
  window->SetModifiedMarker("mODIFIED");
  EXPECT_TRUE(window->IsModified());
  EXPECT_TRUE(window->CurrentProject().IsModified());
  EXPECT_EQ(Panel(1), "Modified");
  window->SetModifiedMarker("");
  EXPECT_FALSE(window->IsModified());
  window->CurrentProject().SetModified(true);
  EXPECT_EQ(Panel(1), "Modified");
}

TEST_F(MainWindowStateTest, ToolbarItemHidesOnlyTheButtonBar) {
  auto* bar = Find<QToolBar>("ToolBar2");
  EXPECT_TRUE(Action("MIToolbar")->isChecked());
  Trigger("MIToolbar");
  EXPECT_FALSE(bar->isVisible());
  EXPECT_TRUE(window->menuBar()->isVisible());
  EXPECT_FALSE(Action("MIToolbar")->isChecked());
  Trigger("MIToolbar");
  EXPECT_TRUE(bar->isVisible());
}

class ProjectPageTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    NewProject(Path("page"));
    general = Find<QPlainTextEdit>("FMGeneral");
    general->setFocus();
    ASSERT_FALSE(window->IsModified());
  }
  QPlainTextEdit* general = nullptr;
};

// Every change the user makes to the text marks the project, however it is made; keys and
// menu items that change nothing, and the program's own filling of the box, do not.
TEST_F(ProjectPageTest, EveryChangeOfTheTextMarksTheProjectAndNothingElseDoes) {
  struct Case {
    const char* name;
    std::function<void()> act;
    QString after;
    bool marked;
  };
  const auto key = [this](Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
    QTest::keyClick(general, k, m);
  };
  const Case cases[] = {
      {"arrows, Shift, Home", [&] { key(Qt::Key_Left); key(Qt::Key_Shift); key(Qt::Key_Home); },
       "ab", false},
      {"Edit > Copy", [&] { general->selectAll(); Trigger("MICopy"); }, "ab", false},
      {"typed", [&] { QTest::keyClicks(general, "x"); }, "abx", true},
      {"Enter", [&] { key(Qt::Key_Return); }, "ab\r\n", true},
      {"Delete", [&] { key(Qt::Key_Home); key(Qt::Key_Delete); }, "b", true},
      {"Backspace", [&] { key(Qt::Key_Backspace); }, "a", true},
      {"Edit > Cut", [&] { general->selectAll(); Trigger("MICut"); }, "", true},
      {"Edit > Paste",
       [&] {
         QApplication::clipboard()->setText(QString::fromUtf8("\u00A0z"));
         Trigger("MIPaste");
       },
       QString::fromUtf8("ab\u00A0z"), true},
      {"undo",
       [&] {
         QTest::keyClicks(general, "x");
         window->CurrentProject().SetModified(false);
         key(Qt::Key_Z, Qt::ControlModifier);
       },
       "ab", true},
      {"input method commit",
       [&] {
         QInputMethodEvent commit;
         commit.setCommitString(QString::fromUtf8("\u00E9"));
         QApplication::sendEvent(general, &commit);
       },
       QString::fromUtf8("ab\u00E9"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    window->CurrentProject().SetGeneral("ab");
    window->CurrentProject().SetModified(false);
    general->moveCursor(QTextCursor::End);
    c.act();
    EXPECT_EQ(window->CurrentProject().Info().General, c.after);
    EXPECT_EQ(window->IsModified(), c.marked);
  }
}

// A non-breaking space and the file's own line breaks (a lone CR among them) are neither
// changed by showing the text nor by saving it, and survive the user's typing.
TEST_F(ProjectPageTest, TheGeneralTextIsKeptAsTheFileHoldsIt) {
  const QString held = QString::fromUtf8("one\u00A0two\rthree\r\nfour\nfive");
  Project project;
  project.SetName("held");
  project.SetVersion("1.0");
  project.SetGeneral(held);
  QString error;
  ASSERT_TRUE(WriteProject(project, Path("held.vlm"), &error)) << error.toStdString();
  const QByteArray bytes = testenv::ReadBytes(Path("held.vlm"));

  prompts.AnswerFile(Path("held.vlm"));
  Trigger("MIOpen");
  EXPECT_EQ(window->CurrentProject().Info().General, held);
  EXPECT_FALSE(window->IsModified());
  Trigger("MISave");
  EXPECT_EQ(testenv::ReadBytes(Path("held.vlm")), bytes);

  general->moveCursor(QTextCursor::End);
  QTest::keyClicks(general, "!");
  EXPECT_EQ(window->CurrentProject().Info().General, held + "!");
}

TEST_F(ProjectPageTest, HeaderFieldsShowTheProjectAndNeverTakeTheFocus) {
  EXPECT_EQ(Find<QLineEdit>("FEdName")->text(), "page");
  EXPECT_EQ(Find<QLineEdit>("FEdVersion")->text(), "1.0");
  EXPECT_FALSE(Find<QLineEdit>("FEdCreated")->text().isEmpty());
  for (const char* name : {"FEdName", "FEdVersion", "FEdCreated", "FEdUpdated"}) {
    auto* field = Find<QLineEdit>(name);
    QTest::mouseClick(field, Qt::LeftButton);
    EXPECT_FALSE(field->hasFocus()) << name;
    EXPECT_TRUE(field->isReadOnly()) << name;
  }
}

// On a first start the project directory does not exist yet: the first dialog that opens
// in it makes it, so the dialog starts there and not in whatever directory it falls back to.
TEST_F(MainWindowTest, TheFirstDialogMakesTheProjectDirectory) {
  window->LiveSettings().Project_dir = Path("home/projects");
  prompts.CancelFile();
  Trigger("MIOpen");
  EXPECT_TRUE(QFileInfo(Path("home/projects")).isDir());
  EXPECT_EQ(prompts.History().last().request.directory, Path("home/projects"));
}

TEST_F(MainWindowTest, HelpShowsTheContentsAndEveryPageItLinksTo) {
  Trigger("MIContents");
  HelpWindow* help = window->Help();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  QTextBrowser* browser = help->Browser();
  EXPECT_EQ(browser->documentTitle(), "Contents");
  const QString contents = browser->toHtml();
  int links = 0;
  for (const char* page : {"getting_started", "projects", "options", "tags", "building",
                           "command_line"}) {
    browser->setSource(
        QUrl::fromLocalFile(HelpDirectory() + QStringLiteral("/%1.html").arg(page)));
    EXPECT_FALSE(browser->documentTitle().isEmpty()) << page;
    EXPECT_TRUE(browser->toPlainText().contains("Contents")) << page << " links back";
    links += contents.contains(QStringLiteral("%1.html").arg(page));
  }
  EXPECT_EQ(links, 6);
}

}  // namespace

namespace {

TEST(ProgramTest, EveryChangeOfProjectStateLeavesTheDatabaseDisconnected) {
  OpenSettingsStore()->clear();
  QTemporaryDir dir;
  ScriptedPrompts prompts;
  Program program(&prompts);
  program.Window().show();
  ConnectDatabase(program.Data(), "DEMO", "HR", "hr");
  ASSERT_TRUE(program.Data().Connected());
  prompts.AnswerFile(QDir(dir.path()).filePath("p"));
  program.Window().Commands().NewProject();
  EXPECT_FALSE(program.Data().Connected());
  EXPECT_EQ(program.Window().findChild<QLabel*>("StatusPanel0")->text(), "Not connected");

  ConnectDatabase(program.Data(), "DEMO", "HR", "hr");
  program.Window().Commands().CloseProject();
  EXPECT_FALSE(program.Data().Connected());

  // A database error is shown once, as an error box.
  EXPECT_THROW(ConnectDatabase(program.Data(), "DEMO", "HR", "wrong"), DatabaseError);
  ASSERT_EQ(prompts.Errors().size(), 1);
  EXPECT_TRUE(prompts.Errors()[0].startsWith("ERROR: ORA-01017")) << prompts.Errors()[0].toStdString();
}

}  // namespace
