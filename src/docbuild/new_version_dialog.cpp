#include "docbuild/new_version_dialog.h"

#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

NewVersionDialog::NewVersionDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FRMNEWVERSIONNUMBER"));
  setWindowTitle(tr("New Version Number"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(240, 88);

  auto* label = new QLabel(tr("New project version number"), this);
  label->setObjectName(QStringLiteral("L_NEWVERSION"));
  label->setGeometry(12, 16, 150, 21);

  FEdNewVersionNumber = new QLineEdit(this);
  FEdNewVersionNumber->setObjectName(QStringLiteral("FEdNewVersionNumber"));
  FEdNewVersionNumber->setGeometry(170, 14, 57, 23);

  FBtnOk = new QPushButton(tr("OK"), this);
  FBtnOk->setObjectName(QStringLiteral("FBtnOk"));
  FBtnOk->setDefault(true);
  FBtnOk->setGeometry(82, 52, 75, 25);

  connect(FEdNewVersionNumber, &QLineEdit::textChanged, this, &NewVersionDialog::UpdateOk);
  connect(FBtnOk, &QPushButton::clicked, this, &QDialog::accept);
  UpdateOk();
}

void NewVersionDialog::SetVersionText(const QString& text) {
  FEdNewVersionNumber->setText(text);
  UpdateOk();
}

QString NewVersionDialog::GetVersionText() const { return FEdNewVersionNumber->text(); }

QString NewVersionDialog::AskVersion(const QString& current) {
  SetVersionText(current);
  FEdNewVersionNumber->selectAll();
  FEdNewVersionNumber->setFocus();
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(frameGeometry().width() / 2, frameGeometry().height() / 2));
  }
  exec();
  return GetVersionText();
}

void NewVersionDialog::UpdateOk() {
  FBtnOk->setEnabled(!FEdNewVersionNumber->text().trimmed().isEmpty());
}
