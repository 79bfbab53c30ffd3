#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "app/help_window.h"
#include "app/qt_prompts.h"
#include "settings/data_directory.h"
#include "pages/tab_window.h"
#include "project/project_file.h"
#include "support/main_window_fixture.h"
#include "support/test_env.h"

namespace {

const char* const kProjectItems[] = {"MIClose", "MISave",  "MISaveAs",    "MIUndo",
                                     "MIRedo",  "MICut",   "MICopy",      "MIPaste",
                                     "MISelectAll", "MIBuildproject", "MICoverage"};

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
// New opens on the Project page, the caption marks a modified project (a "[*]" of the file's
// own name is no mark), Close clears the panels and the caption but keeps the name.
TEST_F(MainWindowStateTest, ProjectCommandsAndPanelsFollowTheOpenProject) {
  ExpectProjectCommands(false);
  EXPECT_FALSE(Find<QMenu>("MIReopen")->menuAction()->isEnabled());
  EXPECT_EQ(Panel(0) + Panel(1), "");

  window->Tabs().TabControl()->setCurrentIndex(3);
  NewProject(Path("de[*]mo"));
  EXPECT_EQ(Caption(), Path("de[*]mo.vlm") + " - Vellumar v.1.0");
  ExpectProjectCommands(true);
  EXPECT_EQ(window->Tabs().TabControl()->currentIndex(), 0);
  EXPECT_EQ(Panel(0), "Not connected");
  window->SetConnectionStatus("hr@demo");
  EXPECT_EQ(Panel(0), "HR@DEMO");
  window->CurrentProject().SetModified(true);
  EXPECT_EQ(Panel(1), "Modified");
  EXPECT_EQ(Caption(), Path("de[*]mo.vlm") + "* - Vellumar v.1.0");

  prompts.AnswerNo();
  Trigger("MIClose");
  ExpectProjectCommands(false);
  EXPECT_EQ(Panel(0) + Panel(1), "");
  EXPECT_FALSE(window->IsModified());
  EXPECT_EQ(Caption(), "Vellumar v.1.0");
  EXPECT_EQ(window->ProjectFileName(), Path("de[*]mo.vlm"));
}

class MainWindowKeysTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }
  void Press(QKeyCombination key) {
    QTest::keyClick(window.get(), key.key(), key.keyboardModifiers());
    QCoreApplication::processEvents();
  }
};

// The keys of desktop programs beside the menus.
TEST_F(MainWindowKeysTest, DesktopKeysRunTheirCommands) {
  const struct {
    const char* name;
    QKeyCombination key;
    std::function<void()> script;
    std::function<bool()> done;
  } cases[] = {
      {"Ctrl+N", Qt::CTRL | Qt::Key_N, [this] { prompts.AnswerFile(Path("keys")); },
       [this] { return window->Tabs().isVisible(); }},
      {"Ctrl+S", Qt::CTRL | Qt::Key_S, [this] { window->CurrentProject().SetModified(true); },
       [this] { return !window->IsModified(); }},
      {"Ctrl+Shift+S", Qt::CTRL | Qt::SHIFT | Qt::Key_S, [this] { prompts.CancelFile(); },
       [this] { return prompts.History().last().text == "Save as"; }},
      {"Ctrl+O", Qt::CTRL | Qt::Key_O, [this] { prompts.CancelFile(); },
       [this] { return prompts.History().last().text == "Open Project"; }},
      {"Ctrl+W", Qt::CTRL | Qt::Key_W, [] {}, [this] { return !window->Tabs().isVisible(); }},
      {"F1", Qt::Key_F1, [] {},
       [this] {
         const bool shown = window->Help() && window->Help()->isVisible();
         if (window->Help()) window->Help()->close();
         window->activateWindow();
         return shown && QTest::qWaitForWindowActive(window.get());
       }},
      {"Ctrl+Q", Qt::CTRL | Qt::Key_Q, [] {}, [this] { return !window->isVisible(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.script();
    Press(c.key);
    EXPECT_TRUE(c.done());
  }
  EXPECT_TRUE(prompts.Exhausted());
}

// Alt+P belongs to the Project menu alone, every time; the Project tab answers Alt+J.
TEST_F(MainWindowKeysTest, OneMnemonicPerLetter) {
  NewProject(Path("mnemonics"));
  QTabWidget* tabs = window->Tabs().TabControl();
  {
    const QSignalBlocker quiet(tabs);  // an object tab would ask to log on
    tabs->setCurrentIndex(3);
  }
  auto* projectMenu = Find<QMenu>("MIProject");
  for (int i = 0; i < 2; ++i) {
    Press(Qt::ALT | Qt::Key_P);
    EXPECT_TRUE(projectMenu->isVisible()) << "press " << i;
    EXPECT_EQ(tabs->currentIndex(), 3) << "press " << i;
    projectMenu->hide();
  }
  Press(Qt::ALT | Qt::Key_J);
  EXPECT_EQ(tabs->currentIndex(), 0);
}

// The real message boxes: Escape and the close button answer Cancel, never Don't Save or
// a choice; the second choice's button answers 1.
TEST(QtPromptsTest, EscapeAndTheCloseButtonCancel) {
  QtPrompts prompts;
  const std::function<void(QWidget*)> acts[] = {
      [](QWidget* box) { QTest::keyClick(box, Qt::Key_Escape); },
      [](QWidget* box) { box->close(); },
      [](QWidget* box) { box->findChildren<QPushButton*>().value(1)->click(); }};
  for (int i = 0; i < 3; ++i) {
    for (const bool choose : {false, true}) {
      QTimer::singleShot(0, [act = acts[i]] { act(QApplication::activeModalWidget()); });
      if (choose)
        EXPECT_EQ(prompts.Choose(nullptr, "Which?", {"&One", "&Two"}),
                  i < 2 ? std::nullopt : std::optional<int>(1));
      else
        EXPECT_EQ(prompts.AskSaveChanges(nullptr, "Save changes?"),
                  i < 2 ? SaveAnswer::Cancel : SaveAnswer::DontSave);
    }
  }
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
      {"Tab, which moves on", [&] { key(Qt::Key_Tab); general->setFocus(); }, "ab", false},
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
      {"Edit > Undo",
       [&] {
         QTest::keyClicks(general, "x");
         window->CurrentProject().SetModified(false);
         Trigger("MIUndo");
       },
       "ab", true},
      {"Edit > Select All, Delete", [&] { Trigger("MISelectAll"); key(Qt::Key_Delete); }, "",
       true},
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
  // Every page shipped, the modern formats' included, is reached from the contents.
  QStringList pages = QDir(HelpDirectory()).entryList({"*.html"});
  pages.removeOne("index.html");
  EXPECT_GE(pages.size(), 8);
  for (const QString& page : pages) {
    const std::string name = page.toStdString();
    EXPECT_TRUE(contents.contains(QStringLiteral("href=\"%1\"").arg(page))) << name;
    browser->setSource(QUrl::fromLocalFile(HelpDirectory() + '/' + page));
    EXPECT_FALSE(browser->documentTitle().isEmpty()) << name;
    EXPECT_TRUE(browser->toPlainText().contains("Contents")) << name << " links back";
  }
  QTest::keyClick(browser, Qt::Key_Escape);
  EXPECT_FALSE(help->isVisible()) << "Escape closes the help as it closes every window";
}

}  // namespace
