#include "builder/progress_dialog.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

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

  L_OUTPUT = new QLabel(this);
  L_OUTPUT->setObjectName(QStringLiteral("L_OUTPUT"));
  L_OUTPUT->setTextFormat(Qt::PlainText);
  L_OUTPUT->setTextInteractionFlags(Qt::TextSelectableByMouse);
  L_OUTPUT->hide();
  FBtnOpen = new QPushButton(this);
  FBtnOpen->setObjectName(QStringLiteral("FBtnOpen"));
  FBtnOpen->setAutoDefault(false);
  FBtnOpen->hide();
  connect(FBtnOpen, &QPushButton::clicked, this, &ProgressDialog::OpenRequested);

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

void ProgressDialog::ShowOutput(const QString& path, bool folder) {
  // The dialog grows by the line of the path; the buttons move below it.
  const QString shown = QDir::toNativeSeparators(path);
  const QString prefix = folder ? tr("Folder: ") : tr("File: ");
  const QFontMetrics metrics = L_OUTPUT->fontMetrics();
  L_OUTPUT->setText(prefix + metrics.elidedText(shown, Qt::ElideMiddle,
                                                340 - metrics.horizontalAdvance(prefix)));
  L_OUTPUT->setToolTip(shown);
  L_OUTPUT->setGeometry(8, 90, 340, metrics.height() + 2);
  L_OUTPUT->show();

  FBtnOpen->setText(folder ? tr("&Open Folder") : tr("&Open Document"));
  const int openWidth = std::max(110, FBtnOpen->sizeHint().width());
  const int left = (356 - openWidth - 8 - 75) / 2;
  const int top = 90 + metrics.height() + 14;
  FBtnOpen->setGeometry(left, top, openWidth, 25);
  FBtnOk->move(left + openWidth + 8, top);
  FBtnOpen->show();
  setFixedSize(356, top + 25 + 10);
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
