#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>

#include "app/about_dialog.h"
#include "app/help_window.h"
#include "app/program.h"
#include "db/database.h"
#include "settings/data_directory.h"
#include "pages/tab_window.h"
#include "support/main_window_fixture.h"

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
  EXPECT_EQ(window->size(), QSize(610, 513));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  ExpectProjectCommands(false);
  EXPECT_FALSE(Find<QMenu>("MIReopen")->menuAction()->isEnabled());
  EXPECT_EQ(Panel(0), "");
  EXPECT_EQ(PanelWidth(0), 0);
  EXPECT_EQ(Panel(1), "");

  QSignalSpy disconnects(window.get(), &MainWindow::DisconnectRequested);
  QSignalSpy opened(&window->Tabs(), &TabWindow::ProjectOpened);
  window->Tabs().TabControl()->setCurrentIndex(3);
  NewProject(Path("demo"));
  ExpectProjectCommands(true);
  EXPECT_EQ(window->Tabs().TabControl()->currentIndex(), 0);
  EXPECT_EQ(opened.count(), 1);
  EXPECT_EQ(Panel(0), "Not connected");
  EXPECT_EQ(PanelWidth(0), TextWidth("Not connected"));
  EXPECT_EQ(disconnects.count(), 1);

  window->SetConnectionStatus("hr@demo");
  EXPECT_EQ(Panel(0), "HR@DEMO");
  EXPECT_EQ(PanelWidth(0), TextWidth("HR@DEMO"));
  window->SetConnectionStatus("");
  EXPECT_EQ(Panel(0), "Not connected");
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

TEST_F(MainWindowStateTest, OpenButtonDropsDownTheHistoryMenu) {
  auto* open = Find<QToolButton>("ToolButton7");
  EXPECT_EQ(open->menu(), Find<QMenu>("PopupMenu"));
  EXPECT_EQ(open->popupMode(), QToolButton::MenuButtonPopup);
}

TEST_F(MainWindowStateTest, CenterOverPlacesTheDialogInTheMiddle) {
  window->move(100, 50);
  QWidget dialog(window.get(), Qt::Dialog);
  dialog.resize(201, 100);
  window->CenterOver(&dialog);
  const QRect outer = window->frameGeometry();
  EXPECT_NEAR(dialog.x(), outer.x() + (outer.width() - dialog.frameGeometry().width()) / 2.0, 0.5);
  EXPECT_NEAR(dialog.y(), outer.y() + (outer.height() - dialog.frameGeometry().height()) / 2.0,
              0.5);
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

TEST_F(ProjectPageTest, CharacterKeysMarkModifiedDeleteAndArrowsDoNot) {
  QTest::keyClick(general, Qt::Key_Left);
  QTest::keyClick(general, Qt::Key_Delete);
  EXPECT_FALSE(window->IsModified());
  QTest::keyClicks(general, "ab");
  QTest::keyClick(general, Qt::Key_Return);
  QTest::keyClicks(general, "c");
  EXPECT_TRUE(window->IsModified());
  EXPECT_EQ(window->CurrentProject().Info().General, "ab\r\nc") << "lines kept with CR LF";

  Trigger("MISave");
  EXPECT_FALSE(window->IsModified());
  QTest::keyClick(general, Qt::Key_Home);
  QTest::keyClick(general, Qt::Key_Delete);
  EXPECT_EQ(window->CurrentProject().Info().General, "ab\r\n") << "Delete changes the text";
  EXPECT_FALSE(window->IsModified()) << "but does not mark it";
  QTest::keyClick(general, Qt::Key_Backspace);
  EXPECT_TRUE(window->IsModified());
}

TEST_F(ProjectPageTest, EditMenuActsOnTheFocusedField) {
  QTest::keyClicks(general, "hello");
  Trigger("MISave");
  general->selectAll();
  Trigger("MICopy");
  EXPECT_EQ(QApplication::clipboard()->text(), "hello");
  EXPECT_FALSE(window->IsModified());
  Trigger("MICut");
  EXPECT_EQ(general->toPlainText(), "");
  EXPECT_TRUE(window->IsModified());
  Trigger("MISave");
  Trigger("MIPaste");
  Trigger("MIPaste");
  EXPECT_EQ(window->CurrentProject().Info().General, "hellohello");
  EXPECT_TRUE(window->IsModified());
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

TEST(TabWindowTest, SevenTabsAtTheBottomAndObjectPagesPlugIn) {
  Project project;
  TabWindow tabs(project);
  QTabWidget* control = tabs.TabControl();
  EXPECT_EQ(control->tabPosition(), QTabWidget::South);
  QStringList captions;
  for (int i = 0; i < control->count(); ++i) captions << control->tabText(i);
  EXPECT_EQ(captions, (QStringList{"&Project", "&Tables", "V&iews", "Pr&ocedures and functions",
                                   "P&ackages", "&Sequences", "Ro&les and privileges"}));

  auto* page = new QWidget;
  tabs.SetObjectPage(ObjectKind::Packages, page);
  EXPECT_EQ(control->widget(4), page);
  EXPECT_EQ(tabs.ObjectPage(ObjectKind::Packages), page);
  EXPECT_EQ(control->tabText(4), "P&ackages");

  QSignalSpy selected(&tabs, &TabWindow::ObjectTabSelected);
  control->setCurrentIndex(4);
  control->setCurrentIndex(0);
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected[0][0].value<ObjectKind>(), ObjectKind::Packages);
}

TEST(AboutDialogTest, ShowsTheProductAndTheVersionLabel) {
  AboutDialog about;
  EXPECT_EQ(about.windowTitle(), "About VLM");
  EXPECT_EQ(about.findChild<QLabel*>("L_VERSION")->text(), "v.1.0");
  EXPECT_EQ(about.findChild<QLabel*>("L_PRODUCT")->text(), "Vellumar");
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
