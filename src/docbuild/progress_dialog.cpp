#include "docbuild/progress_dialog.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

ProgressDialog::ProgressDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FRMPROGRESS"));
  setWindowTitle(tr("Project Build"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setAttribute(Qt::WA_DeleteOnClose);
  setModal(false);
  setFixedSize(356, 135);

  // Fixed places, as the dialog has a fixed size: the label holds a building text of two
  // lines ("Building table: " and a line break, then the name).
  L_INFOTEXT = new QLabel(this);
  L_INFOTEXT->setObjectName(QStringLiteral("L_INFOTEXT"));
  L_INFOTEXT->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  L_INFOTEXT->setTextFormat(Qt::PlainText);
  L_INFOTEXT->setGeometry(8, 8, 340, 44);

  FProgressBar = new QProgressBar(this);
  FProgressBar->setObjectName(QStringLiteral("FProgressBar"));
  FProgressBar->setMinimum(0);
  FProgressBar->setValue(0);
  FProgressBar->setTextVisible(false);
  FProgressBar->setGeometry(8, 56, 339, 26);

  FBtnOk = new QPushButton(tr("OK"), this);
  FBtnOk->setObjectName(QStringLiteral("FBtnOk"));
  FBtnOk->setDefault(true);
  FBtnOk->setEnabled(false);
  FBtnOk->setGeometry(140, 98, 75, 25);
  connect(FBtnOk, &QPushButton::clicked, this, &QDialog::close);

  show();
}

void ProgressDialog::SetInfoText(const QString& text) { L_INFOTEXT->setText(text); }

void ProgressDialog::StepProgress(int n) {
  FProgressBar->setValue(FProgressBar->value() + n);
  repaint();
}

void ProgressDialog::SetProgress(int n) { FProgressBar->setValue(n); }

void ProgressDialog::SetProgressMax(int n) { FProgressBar->setMaximum(n); }

void ProgressDialog::Finish(const QString& text, bool complete) {
  SetInfoText(text);
  if (complete) SetProgress(FProgressBar->maximum());
  finished_ = true;
  FBtnOk->setEnabled(true);
  FBtnOk->setFocus();
  repaint();
}

void ProgressDialog::closeEvent(QCloseEvent* event) {
  if (finished_)
    QDialog::closeEvent(event);
  else
    event->ignore();
}

void ProgressDialog::reject() {
  if (finished_) QDialog::reject();
}
