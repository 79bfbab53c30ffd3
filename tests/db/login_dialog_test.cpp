#include "db/login_dialog.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "db/database.h"
#include "pages/dictionary_fixture.h"
#include "support/scripted_prompts.h"
#include "support/test_env.h"

namespace {

class LoginDialogTest : public fixture::DictionaryTest {
 protected:
  void SetUp() override {
    DictionaryTest::SetUp();
    db.SetErrorHandler([this](const QString& m) { prompts.Error(nullptr, "ERROR: " + m); });
    dialog.SetHistoryFile(historyFile);
  }

  // Shows the dialog as a caller does; the showing reads the history file.
  void Show() {
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
  }
  // Types into each field (empty texts are left alone) and presses Enter in the last one.
  void TypeAndEnter(const QString& user, const QString& password, const QString& database) {
    dialog.FEUserName->clear();
    dialog.FEPassword->clear();
    dialog.FEDatabase->clear();
    QTest::keyClicks(dialog.FEUserName, user);
    QTest::keyClicks(dialog.FEPassword, password);
    QTest::keyClicks(dialog.FEDatabase, database);
    QTest::keyClick(dialog.FEDatabase, Qt::Key_Return);
  }
  void Login(const QString& user, const QString& password, const QString& database) {
    Show();
    TypeAndEnter(user, password, database);
    ASSERT_EQ(dialog.result(), QDialog::Accepted) << Shown().join("|").toStdString();
    ASSERT_FALSE(dialog.isVisible());
    dialog.setResult(0);
  }
  // Every message box so far, in order, as "error: <text>" or "information: <text>".
  QStringList Shown() const {
    QStringList shown;
    for (const ScriptedPrompts::Asked& a : prompts.History()) shown << a.what + ": " + a.text;
    return shown;
  }
  QStringList Items() const {
    QStringList items;
    for (int i = 0; i < dialog.FCBHistory->count(); ++i) items << dialog.FCBHistory->itemText(i);
    return items;
  }

  QString historyFile = dir.path() + "/Velmar.dbh";
  ScriptedPrompts prompts;
  LoginDialog dialog{db, prompts};
};

TEST_F(LoginDialogTest, LoginsUpperCaseTypedNamesAndRememberEachPairOnce) {
  Login("scott", "tiger", "orcl");
  EXPECT_EQ(dialog.FEUserName->text(), "SCOTT");
  EXPECT_EQ(db.ServerName(), "ORCL");
  EXPECT_EQ(db.Password(), "tiger");  // the password keeps its case
  Login("hr", "hr", "test");
  Login("hr", "hr", "test");  // a pair already remembered is not added again
  Show();
  EXPECT_EQ(dialog.FEDatabase->text(), "TEST");
  EXPECT_EQ(dialog.FEUserName->text(), "HR");
  EXPECT_EQ(dialog.FEPassword->text(), "");
  EXPECT_EQ(dialog.focusWidget(), dialog.FEPassword);
  EXPECT_EQ(Items(), QStringList({"ORCL - SCOTT", "TEST - HR"}));
  EXPECT_EQ(testenv::ReadBytes(historyFile),
            QByteArray("[PREVIOUS]\r\nORCL;SCOTT;\r\nTEST;HR;\r\n[LAST]\r\nTEST;HR;\r\n"));
  EXPECT_TRUE(Shown().isEmpty());
}

TEST_F(LoginDialogTest, HistoryChoiceFillsTheFieldsDeleteForgetsItAndTypingIsIgnored) {
  testenv::WriteBytes(historyFile,
                      "[PREVIOUS]\r\nTEST;HR;\r\nORCL;SCOTT;\r\nAUDIT;SCOTT;\r\n"
                      "[LAST]\r\nTEST;HR;\r\n");
  Show();
  ASSERT_EQ(Items(), QStringList({"AUDIT - SCOTT", "ORCL - SCOTT", "TEST - HR"}));
  dialog.FEPassword->setText("secret");
  QTest::keyClick(dialog.FCBHistory, Qt::Key_Delete);  // nothing chosen: nothing happens
  EXPECT_EQ(Items().size(), 3);

  dialog.FCBHistory->setFocus();
  QTest::keyClicks(dialog.FCBHistory, "t");  // would jump to "TEST - HR" if not ignored
  EXPECT_EQ(dialog.FCBHistory->currentIndex(), -1);
  dialog.FCBHistory->setCurrentIndex(1);
  EXPECT_EQ(dialog.FEDatabase->text(), "ORCL");
  EXPECT_EQ(dialog.FEUserName->text(), "SCOTT");
  EXPECT_EQ(dialog.FEPassword->text(), "");

  QTest::keyClick(dialog.FCBHistory, Qt::Key_Delete);
  EXPECT_EQ(Items(), QStringList({"AUDIT - SCOTT", "TEST - HR"}));
  EXPECT_EQ(testenv::ReadBytes(historyFile),
            QByteArray("[PREVIOUS]\r\nTEST;HR;\r\nAUDIT;SCOTT;\r\n[LAST]\r\nORCL;SCOTT;\r\n"));
  EXPECT_TRUE(Shown().isEmpty());
}

// Empty fields are named in order; a log-on that fails shows Oracle's error once, keeps the
// dialog with what was typed, and remembers nothing.
TEST_F(LoginDialogTest, WhatCannotLogOnIsShownOnceAndRemembersNothing) {
  Login("scott", "tiger", "orcl");
  const QByteArray before = testenv::ReadBytes(historyFile);
  Show();
  const struct {
    const char* user;
    const char* password;
    const char* database;
    QString message;
    QLineEdit* focus;
  } kChecks[] = {
      {"", "", "", "information: Enter user before login.", dialog.FEUserName},
      {"SCOTT", "", "", "information: Enter password before login.", dialog.FEPassword},
      {"SCOTT", "tiger", "", "information: Enter database before login.", dialog.FEDatabase},
      // Blanks fill a field: the log-on itself refuses them.
      {"  ", "tiger", "ORCL",
       "error: ERROR: ORA-01017: invalid username/password; logon denied", nullptr},
      {"SCOTT", "TIGER", "TEST",
       "error: ERROR: ORA-01017: invalid username/password; logon denied", nullptr},
  };
  for (const auto& check : kChecks) {
    SCOPED_TRACE(check.message.toStdString());
    prompts.Forget();
    dialog.FEUserName->setText(check.user);
    dialog.FEPassword->setText(check.password);
    dialog.FEDatabase->setText(check.database);
    QTest::keyClick(dialog.FEPassword, Qt::Key_Enter);
    EXPECT_EQ(Shown(), QStringList({check.message}));
    if (check.focus) {
      EXPECT_EQ(dialog.focusWidget(), check.focus);
    }
    EXPECT_TRUE(dialog.isVisible());
  }
  EXPECT_FALSE(db.Connected());  // the earlier connection was dropped by the attempt
  EXPECT_EQ(dialog.FEPassword->text(), "TIGER");
  EXPECT_EQ(testenv::ReadBytes(historyFile), before);
  dialog.FBtnCancel->click();
  EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

// A history file that cannot be read is reported and left alone, since writing it would
// lose its pairs; one that cannot be written is reported. Either way the login stands.
TEST_F(LoginDialogTest, AHistoryFileThatCannotBeReadOrWrittenIsReportedAndTheLoginStands) {
  const QString unusable = dir.path() + "/history-is-a-folder";
  ASSERT_TRUE(QDir().mkpath(unusable));
  testenv::WriteBytes(dir.path() + "/plain", "x");
  const QString unwritable = dir.path() + "/plain/Velmar.dbh";
  for (const auto& [file, shown] : {std::pair{unusable, "can't be opened. Is a directory."},
                                    std::pair{unwritable, "can't be created. Not a directory."}}) {
    dialog.SetHistoryFile(file);
    prompts.Forget();
    Login("scott", "tiger", "orcl");
    EXPECT_EQ(Shown(), QStringList{"error: ERROR: Database log file " + file + ' ' + shown});
    EXPECT_TRUE(db.Connected());
  }
}

}  // namespace
