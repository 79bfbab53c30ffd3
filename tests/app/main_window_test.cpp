#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <functional>

#include "app/help_window.h"
#include "settings/data_directory.h"
#include "pages/tab_window.h"
#include "project/project_file.h"
#include "support/main_window_fixture.h"
#include "support/test_env.h"

namespace {

const char* const kProjectItems[] = {"MIClose", "MISave",  "MISaveAs",       "MICut",
                                     "MICopy",  "MIPaste", "MIBuildproject", "MICoverage"};

class MainWindowStateTest : public MainWindowTest {
 protected:
  void ExpectProjectCommands(bool enabled) {
    for (const char* name : kProjectItems) EXPECT_EQ(Action(name)->isEnabled(), enabled) << name;
    EXPECT_EQ(Find<QToolButton>("ToolButton8")->isEnabled(), enabled);
    EXPECT_EQ(Find<QToolButton>("ToolButton10")->isEnabled(), enabled);
    EXPECT_EQ(window->Tabs().isVisible(), enabled);
  }
};

// The project's commands, pages and status panels are there only while a project is open;
// New opens on the Project page, Close clears the panels and the caption but keeps the name.
TEST_F(MainWindowStateTest, ProjectCommandsAndPanelsFollowTheOpenProject) {
  ExpectProjectCommands(false);
  EXPECT_FALSE(Find<QMenu>("MIReopen")->menuAction()->isEnabled());
  EXPECT_EQ(Panel(0) + Panel(1), "");

  window->Tabs().TabControl()->setCurrentIndex(3);
  NewProject(Path("demo"));
  ExpectProjectCommands(true);
  EXPECT_EQ(window->Tabs().TabControl()->currentIndex(), 0);
  EXPECT_EQ(Panel(0), "Not connected");
  window->SetConnectionStatus("hr@demo");
  EXPECT_EQ(Panel(0), "HR@DEMO");
  window->CurrentProject().SetModified(true);
  EXPECT_EQ(Panel(1), "Modified");

  prompts.AnswerNo();
  Trigger("MIClose");
  ExpectProjectCommands(false);
  EXPECT_EQ(Panel(0) + Panel(1), "");
  EXPECT_FALSE(window->IsModified());
  EXPECT_EQ(window->windowTitle(), "Vellumar v.1.0");
  EXPECT_EQ(window->ProjectFileName(), Path("demo.vlm"));
}

// A minimised modal dialog would leave nothing to click; the main window may be minimised.
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
      {"Delete", [&] { key(Qt::Key_Home); key(Qt::Key_Delete); }, "b", true},
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
// changed by showing the text nor by saving it.
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
}

TEST_F(MainWindowTest, HelpShowsTheContentsAndEveryPageItLinksTo) {
  Trigger("MIContents");
  HelpWindow* help = window->Help();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  QTextBrowser* browser = help->Browser();
  EXPECT_EQ(browser->documentTitle(), "Contents");
  const QString contents = browser->toHtml();
  for (const char* page : {"getting_started", "projects", "options", "tags", "building",
                           "command_line"}) {
    EXPECT_TRUE(contents.contains(QStringLiteral("%1.html").arg(page))) << page;
    browser->setSource(
        QUrl::fromLocalFile(HelpDirectory() + QStringLiteral("/%1.html").arg(page)));
    EXPECT_FALSE(browser->documentTitle().isEmpty()) << page;
    EXPECT_TRUE(browser->toPlainText().contains("Contents")) << page << " links back";
  }
}

}  // namespace
