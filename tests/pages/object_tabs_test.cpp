#include "pages/object_tabs.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QObject>
#include <QToolButton>

#include "app/main_window.h"
#include "app/program.h"
#include "db/database.h"
#include "db/login_dialog.h"
#include "dictionary_fixture.h"
#include "pages/object_page.h"
#include "pages/tab_window.h"
#include "support/scripted_prompts.h"

namespace {

// The program with a project open, its snapshots and connection history in a temporary
// directory.
class ObjectTabsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture::MakeScottDictionary(dir.path(), "ORCL");
    fixture::MakeScottDictionary(dir.path(), "TEST");
    window().show();
    window().LiveSettings().Project_dir = dir.path();
    window().LiveSettings().DBLog_history = dir.path() + "/Velmar.dbh";
    prompts.AnswerFile(dir.path() + "/work.vlm");
    window().findChild<QAction*>("MINew")->trigger();
    ASSERT_EQ(Status().toUpper(), "NOT CONNECTED");
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

TEST_F(ObjectTabsTest, AnObjectTabAsksForALoginAndThenListsTheDictionary) {
  AnswerLogin("SCOTT", "tiger", "ORCL");
  SelectTab(ObjectKind::Tables);
  EXPECT_EQ(Status(), "SCOTT@ORCL");
  ObjectPage& tables = Page(ObjectKind::Tables);
  EXPECT_EQ(Texts(tables.FlatListBox1), QStringList({"bonus", "DEPT", "EMP"}));
  EXPECT_TRUE(tables.FlatButton1->isEnabled());
  EXPECT_FALSE(tables.FlatButton3->isEnabled());

  SelectTab(ObjectKind::Roles);  // connected: no dialog
  EXPECT_EQ(Texts(Page(ObjectKind::Roles).FlatListBox1), QStringList({"CLERK", "HR"}));
  EXPECT_TRUE(prompts.Errors().isEmpty());
}

TEST_F(ObjectTabsTest, ACancelledLoginLeavesEveryButtonOffAndTheLoginButtonConnects) {
  AnswerLogin({}, {}, {});
  SelectTab(ObjectKind::Views);
  EXPECT_EQ(Status().toUpper(), "NOT CONNECTED");
  ObjectPage& views = Page(ObjectKind::Views);
  EXPECT_FALSE(views.FlatButton1->isEnabled() || views.FlatButton2->isEnabled() ||
               views.FlatButton3->isEnabled() || views.FlatButton4->isEnabled());

  AnswerLogin("HR", "hr", "TEST");
  window().findChild<QToolButton*>("ToolButton10")->click();
  EXPECT_EQ(Status(), "HR@TEST");
  EXPECT_TRUE(Texts(views.FlatListBox1).isEmpty());  // HR has no views
  EXPECT_TRUE(QFile::exists(dir.path() + "/Velmar.dbh"));

  // A log-on that fails leaves no connection, and the status bar says so. (On the Project
  // tab, where no log-on is asked again.)
  window().Tabs().TabControl()->setCurrentIndex(0);
  AnswerLogin("HR", "wrong", "TEST");
  window().findChild<QToolButton*>("ToolButton10")->click();
  EXPECT_FALSE(program.Data().Connected());
  EXPECT_EQ(Status(), "Not connected");
  EXPECT_EQ(prompts.Errors().size(), 1);

  AnswerLogin("HR", "hr", "TEST");
  window().findChild<QToolButton*>("ToolButton10")->click();
  ASSERT_TRUE(program.Data().Connected());
  // Closing the project drops the connection; the next project asks again.
  window().findChild<QAction*>("MIClose")->trigger();
  EXPECT_FALSE(program.Data().Connected());
}

}  // namespace
