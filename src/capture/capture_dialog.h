#pragma once
// File > Capture dictionary: the log-on, the owners and the snapshot file of a dictionary
// capture (dictionary_capture.h), which OK runs with the progress dialog. A capture that
// fails shows its error once and leaves the dialog open, so that a mistyped password or
// owner is mended in place; one that succeeds closes it.

#include <QDialog>

class Prompts;
class QCheckBox;
class QLineEdit;
class QPushButton;

class CaptureDialog : public QDialog {
  Q_OBJECT
 public:
  // Starts with the database and user given (the current connection's) and proposes the
  // snapshot NAME.sqlite in `directory`, where a log-on to NAME finds it.
  CaptureDialog(Prompts& prompts, const QString& directory, const QString& server,
                const QString& user, QWidget* parent = nullptr);

 private:
  void ProposeFile();
  void FBtnBrowseClick();
  void FBtnOkClick();

  Prompts& prompts_;
  QString directory_;
  bool fileChosen_ = false;  // the user typed or browsed a file: no longer proposed
  QLineEdit* FEdDatabase;
  QLineEdit* FEdUser;
  QLineEdit* FEdPassword;
  QLineEdit* FEdOwners;
  QCheckBox* FCBSnapshotPassword;
  QLineEdit* FEdSnapshotPassword;
  QLineEdit* FEdFile;
  QPushButton* FBtnBrowse;
  QPushButton* FBtnOk;
};
