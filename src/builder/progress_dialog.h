#pragma once
// TFRMPROGRESS: the modeless dialog a build reports its progress in. Shown the moment it
// is made; OK stays disabled and the dialog refuses to close until the build has ended (the
// build still reports to it); afterwards closing it destroys it. After a build that wrote a
// document it also names the file (or folder) and offers to open it.

#include <QDialog>

#include "classic/build_context.h"

class QLabel;
class QProgressBar;
class QPushButton;

class ProgressDialog : public QDialog, public BuildProgress {
  Q_OBJECT
 public:
  explicit ProgressDialog(QWidget* parent = nullptr);

  void SetInfoText(const QString& text) override;
  // Also repaints at once: nothing else paints while the build runs.
  void StepProgress(int n) override;
  void SetProgress(int n) override;
  void SetProgressMax(int n) override;

  // The build has ended: `text` in the label, the bar full when `complete`, OK enabled.
  void Finish(const QString& text, bool complete);
  // Below the bar: the path written (shortened in the middle when it is too long; whole in
  // its tool tip), and the button that sends OpenRequested.
  void ShowOutput(const QString& path, bool folder);

 signals:
  void OpenRequested();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  bool finished_ = false;
  QLabel* L_INFOTEXT;
  QProgressBar* FProgressBar;
  QPushButton* FBtnOk;
  QLabel* L_OUTPUT;
  QPushButton* FBtnOpen;
};
