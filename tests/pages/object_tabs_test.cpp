#include "pages/object_tabs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QObject>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "app/main_window.h"
#include "app/program.h"
#include "db/database.h"
#include "db/login_dialog.h"
#include "support/shop_dictionary.h"
#include "support/snapshot_maker.h"
#include "pages/memo_box.h"
#include "pages/object_page.h"
#include "pages/tab_window.h"
#include "support/scripted_prompts.h"

namespace {

// The program with a project open, its snapshots and connection history in a temporary
// directory.
class ObjectTabsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const QString name : {"ORCL", "TEST"})
      testdb::MakeSnapshot(dir.filePath(name + ".sqlite"), testdb::ShopDictionarySql());
    window().show();
    window().LiveSettings().Project_dir = dir.path();
    window().LiveSettings().DBLog_history = dir.path() + "/Velmar.dbh";
    prompts.AnswerFile(dir.path() + "/work.vlm");
    window().findChild<QAction*>("MINew")->trigger();
    ASSERT_EQ(Status(), "Not connected");
  }
  void TearDown() override { window().CurrentProject().SetModified(false); }

  MainWindow& window() { return program.Window(); }
  QString Status() { return window().findChild<QLabel*>("StatusPanel0")->text(); }
  ObjectPage& Page(ObjectKind kind) { return *program.Objects().Page(kind); }
  // The next login dialog is answered with these values (OK), or cancelled when `user` is
  // empty, as soon as it shows; a log-on that fails is then cancelled.
  void AnswerLogin(const QString& user, const QString& password, const QString& database) {
    auto* timer = new QTimer(&window());
    QObject::connect(timer, &QTimer::timeout, timer, [=, this] {
      LoginDialog* login = program.Objects().Login();
      if (!login->isVisible()) return;
      timer->deleteLater();
      timer->stop();
      if (user.isEmpty()) return login->FBtnCancel->click();
      login->FEUserName->setText(user);
      login->FEPassword->setText(password);
      login->FEDatabase->setText(database);
      login->FBtnOk->click();
      if (login->isVisible()) login->FBtnCancel->click();
    });
    timer->start(5);
  }
  void Click(const char* button) { window().findChild<QToolButton*>(button)->click(); }
  void SelectTab(ObjectKind kind) {
    window().Tabs().TabControl()->setCurrentIndex(static_cast<int>(kind) + 1);
  }
  static QStringList Texts(const QListWidget* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) texts << list->item(i)->text();
    return texts;
  }

  QTemporaryDir dir;
  ScriptedPrompts prompts;
  Program program{&prompts};
};

// Every object tab needs a connection: without one, changing to it asks for a log-on. A
// failed log-on leaves none, and the status bar says so; each new project or Close drops it.
TEST_F(ObjectTabsTest, ObjectTabsAskForALogOnAndListTheDictionaryOfTheConnection) {
  AnswerLogin({}, {}, {});
  SelectTab(ObjectKind::Views);
  EXPECT_EQ(Status(), "Not connected");
  ObjectPage& views = Page(ObjectKind::Views);
  EXPECT_FALSE(views.FlatButton2->isEnabled());

  AnswerLogin("SCOTT", "tiger", "ORCL");
  Click("ToolButton10");
  EXPECT_EQ(Status(), "SCOTT@ORCL");
  EXPECT_EQ(Texts(views.FlatListBox1), QStringList({"EMP_V"}));
  EXPECT_TRUE(QFile::exists(dir.path() + "/Velmar.dbh"));
  SelectTab(ObjectKind::Tables);  // connected: no dialog
  EXPECT_EQ(Texts(Page(ObjectKind::Tables).FlatListBox1), QStringList({"bonus", "DEPT", "EMP"}));

  window().Tabs().TabControl()->setCurrentIndex(0);  // where no log-on is asked again
  AnswerLogin("SCOTT", "wrong", "TEST");
  Click("ToolButton10");
  EXPECT_FALSE(program.Data().Connected());
  EXPECT_EQ(Status(), "Not connected");
  ASSERT_EQ(prompts.Errors().size(), 1);
  EXPECT_TRUE(prompts.Errors()[0].startsWith("ERROR: ORA-01017"))
      << prompts.Errors()[0].toStdString();

  AnswerLogin("HR", "hr", "TEST");
  Click("ToolButton10");
  ASSERT_TRUE(program.Data().Connected());
  prompts.AnswerFile(dir.path() + "/next.vlm");
  window().findChild<QAction*>("MINew")->trigger();
  EXPECT_FALSE(program.Data().Connected());
  EXPECT_EQ(Status(), "Not connected");
  AnswerLogin("HR", "hr", "TEST");
  Click("ToolButton10");
  ASSERT_TRUE(program.Data().Connected());
  window().findChild<QAction*>("MIClose")->trigger();
  EXPECT_FALSE(program.Data().Connected());
}

// The Edit items act in the focused field: a list's line is copied, and in a field with no
// such action (the tab bar) they do nothing, where they used to call themselves until the
// program crashed with the user's work.
TEST_F(ObjectTabsTest, EditItemsActInTheFocusedFieldOrNotAtAll) {
  AnswerLogin("SCOTT", "tiger", "ORCL");
  SelectTab(ObjectKind::Views);
  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  QListWidget* list = Page(ObjectKind::Views).FlatListBox1;
  ASSERT_EQ(Texts(list), QStringList({"EMP_V"}));
  list->setCurrentRow(0);
  // The focus the closed log-on dialog gives back may come after this asks for it.
  ASSERT_TRUE(QTest::qWaitFor([list] {
    list->setFocus();
    return QApplication::focusWidget() == list;
  }));
  QApplication::clipboard()->clear();
  window().findChild<QAction*>("MICopy")->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "EMP_V");

  QTabBar* tabs = window().Tabs().TabControl()->tabBar();
  ASSERT_TRUE(QTest::qWaitFor([tabs] {
    tabs->setFocus();
    return QApplication::focusWidget() == tabs;
  }));
  for (const char* item : {"MIUndo", "MIRedo", "MICut", "MICopy", "MIPaste", "MISelectAll"})
    window().findChild<QAction*>(item)->trigger();
  EXPECT_EQ(QApplication::clipboard()->text(), "EMP_V");
  EXPECT_EQ(Texts(list), QStringList({"EMP_V"}));

  // The open menu shows which items act here; closed, every item's key works again.
  QMenu* edit = window().findChild<QMenu*>("MIEdit");
  const auto enabled = [this] {
    QString shown;
    for (const char* item : {"MIUndo", "MIRedo", "MICut", "MICopy", "MIPaste", "MISelectAll"})
      shown += window().findChild<QAction*>(item)->isEnabled() ? '1' : '0';
    return shown;
  };
  emit edit->aboutToShow();
  EXPECT_EQ(enabled(), "000000");  // the tab bar
  emit edit->aboutToHide();
  EXPECT_EQ(enabled(), "111111");
  ASSERT_TRUE(QTest::qWaitFor([list] {
    list->setFocus();
    return QApplication::focusWidget() == list;
  }));
  emit edit->aboutToShow();
  EXPECT_EQ(enabled(), "000100");
  Page(ObjectKind::Views).FlatButton1->click();
  Page(ObjectKind::Views).ShowEntry(0);
  MemoBox* memo = Page(ObjectKind::Views).FlatMemo;
  ASSERT_TRUE(QTest::qWaitFor([memo] {
    memo->setFocus();
    return QApplication::focusWidget() == memo;
  }));
  QTest::keyClicks(memo, "Shows one employee");
  emit edit->aboutToShow();
  EXPECT_EQ(enabled(), "100011");  // undo, paste and select all; nothing selected to cut
  memo->selectAll();
  emit edit->aboutToShow();
  EXPECT_EQ(enabled(), "101111");
  emit edit->aboutToHide();
}

}  // namespace
