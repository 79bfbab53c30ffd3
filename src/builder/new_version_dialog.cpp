#include "builder/new_version_dialog.h"

#include <QFontDatabase>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

NewVersionDialog::NewVersionDialog(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FRMNEWVERSIONNUMBER"));
  setWindowTitle(tr("New Version Number"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  auto* label = new QLabel(tr("New project version number"), this);
  label->setObjectName(QStringLiteral("L_NEWVERSION"));
  // The label takes the width its font needs. The dialog grows beyond 240 when the label
  // and the edit field would not fit otherwise, or the caption: in the desktop's bold title
  // font, with room for the window's icon and three buttons beside it in the title bar.
  const int labelWidth = label->fontMetrics().horizontalAdvance(label->text()) + 4;
  label->setGeometry(8, 16, labelWidth, 21);
  QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  titleFont.setBold(true);
  const int captionWidth = QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + 120;
  const int width = std::max({240, 8 + labelWidth + 6 + 57 + 8, captionWidth});
  setFixedSize(width, 88);

  FEdNewVersionNumber = new QLineEdit(this);
  FEdNewVersionNumber->setObjectName(QStringLiteral("FEdNewVersionNumber"));
  FEdNewVersionNumber->setGeometry(width - 8 - 57, 14, 57, 23);

  FBtnOk = new QPushButton(tr("OK"), this);
  FBtnOk->setObjectName(QStringLiteral("FBtnOk"));
  FBtnOk->setDefault(true);
  FBtnOk->setGeometry((width - 75) / 2, 52, 75, 25);

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
  // A field left blank (OK is off then) is no version: closing it so keeps the one there was.
  const QString text = GetVersionText();
  return text.trimmed().isEmpty() ? current : text;
}

void NewVersionDialog::UpdateOk() {
  FBtnOk->setEnabled(!FEdNewVersionNumber->text().trimmed().isEmpty());
}
