#pragma once
// TFRMNEWVERSIONNUMBER: asks for the project's new version number after a build. It has no
// cancel: however it is closed, the edit field's text is the answer, unless it holds only
// blanks, which would wipe the version: the previous one stays then. OK is enabled only
// while that text holds more than blanks.

#include <QDialog>

class QLineEdit;
class QPushButton;

class NewVersionDialog : public QDialog {
  Q_OBJECT
 public:
  explicit NewVersionDialog(QWidget* parent = nullptr);

  // Fills the edit field; OK follows the new text even when it equals the old one.
  void SetVersionText(const QString& text);
  QString GetVersionText() const;

  // Shows the dialog modally, centred on the desktop, filled with `current`; the text it
  // was closed with, or `current` when that is blank.
  QString AskVersion(const QString& current);

 private:
  void UpdateOk();

  QLineEdit* FEdNewVersionNumber;
  QPushButton* FBtnOk;
};
