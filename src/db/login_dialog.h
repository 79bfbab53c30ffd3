#pragma once
// TFRMLOGIN, "Login": asks for user name, password and database, connects, and remembers
// every database/user pair that connected in the connection history file (never the
// password). One dialog serves the whole run; each showing reads the history afresh, so
// the file is the only lasting state.

#include <QDialog>

#include "db/connection_history.h"

class Database;
class Prompts;
class QComboBox;
class QLineEdit;
class QPushButton;

class LoginDialog : public QDialog {
  Q_OBJECT
 public:
  LoginDialog(Database& db, Prompts& prompts, QWidget* parent = nullptr);

  // Callers hand in the DBLog_history setting immediately before each showing.
  void SetHistoryFile(const QString& path) { history_.SetHistoryFile(path); }

  QLineEdit* FEUserName;   // typed letters become upper case
  QLineEdit* FEPassword;   // masked, case kept
  QLineEdit* FEDatabase;   // typed letters become upper case
  QComboBox* FCBHistory;   // "DATABASE - USER", sorted; typing ignored; Delete forgets a pair
  QPushButton* FBtnOk;
  QPushButton* FBtnCancel;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The four steps of every showing: clear, read the file, show the last pair, fill the list.
  void LoadHistory();
  void ShowLastConnection();
  void FillHistoryList();
  void FCBHistoryChange(int index);
  void DeleteChosenPair();
  // Writes the history with the fields' pair as the last connection; reports a failure. A
  // file that could not be read is left alone: written, it would lose the pairs it holds.
  void WriteHistory(int leaveOut);
  void FBtnOkClick();

  Database& db_;
  Prompts& prompts_;
  ConnectionHistory history_;
  bool filling_ = false;
  bool historyRead_ = false;
};
