#include "capture/capture_dialog.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/prompts.h"
#include "builder/progress_dialog.h"
#include "capture/dictionary_capture.h"

namespace {

QLineEdit* NamedEdit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

}  // namespace

CaptureDialog::CaptureDialog(Prompts& prompts, const QString& directory, const QString& server,
                             const QString& user, QWidget* parent)
    : QDialog(parent), prompts_(prompts), directory_(directory) {
  setObjectName(QStringLiteral("FRMCAPTURE"));
  setWindowTitle(tr("Capture dictionary"));
  FEdDatabase = NamedEdit(this, "FEdDatabase");
  FEdDatabase->setText(server);
  FEdUser = NamedEdit(this, "FEdUser");
  FEdUser->setText(user);
  FEdPassword = NamedEdit(this, "FEdPassword");
  FEdPassword->setEchoMode(QLineEdit::Password);
  FEdOwners = NamedEdit(this, "FEdOwners");
  FEdOwners->setPlaceholderText(tr("the user's own; or A, B, ..."));
  FCBSnapshotPassword = new QCheckBox(tr("Users of the snapshot log on &with:"), this);
  FCBSnapshotPassword->setObjectName(QStringLiteral("FCBSnapshotPassword"));
  FEdSnapshotPassword = NamedEdit(this, "FEdSnapshotPassword");
  FEdSnapshotPassword->setEchoMode(QLineEdit::Password);
  FEdSnapshotPassword->setEnabled(false);
  FEdSnapshotPassword->setPlaceholderText(tr("not your Oracle password"));
  FEdFile = NamedEdit(this, "FEdFile");
  FBtnBrowse = new QPushButton(tr("&Browse..."), this);
  FBtnBrowse->setObjectName(QStringLiteral("FBtnBrowse"));

  auto* file = new QHBoxLayout;
  file->addWidget(FEdFile, 1);
  file->addWidget(FBtnBrowse);
  auto* form = new QFormLayout;
  form->addRow(tr("&Database:"), FEdDatabase);
  form->addRow(tr("&User:"), FEdUser);
  form->addRow(tr("&Password:"), FEdPassword);
  form->addRow(tr("&Owners:"), FEdOwners);
  form->addRow(FCBSnapshotPassword, FEdSnapshotPassword);
  auto* fileLabel = new QLabel(tr("&Snapshot file:"), this);
  fileLabel->setBuddy(FEdFile);
  form->addRow(fileLabel, file);
  auto* note = new QLabel(
      tr("Without a password, any password logs on to the snapshot. Anyone who has the file "
         "can read all of it either way."),
      this);
  note->setWordWrap(true);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  FBtnOk = buttons->button(QDialogButtonBox::Ok);
  FBtnOk->setObjectName(QStringLiteral("FBtnOk"));
  FBtnOk->setText(tr("&Capture"));
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addWidget(note);
  layout->addWidget(buttons);
  setMinimumWidth(560);

  connect(FCBSnapshotPassword, &QCheckBox::toggled, FEdSnapshotPassword, &QWidget::setEnabled);
  connect(FEdDatabase, &QLineEdit::textChanged, this, &CaptureDialog::ProposeFile);
  connect(FEdFile, &QLineEdit::textEdited, this, [this] { fileChosen_ = true; });
  connect(FBtnBrowse, &QPushButton::clicked, this, &CaptureDialog::FBtnBrowseClick);
  connect(FBtnOk, &QPushButton::clicked, this, &CaptureDialog::FBtnOkClick);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  ProposeFile();
  (server.isEmpty() ? FEdDatabase : user.isEmpty() ? FEdUser : FEdPassword)->setFocus();
}

void CaptureDialog::ProposeFile() {
  if (fileChosen_) return;
  const QString name = FEdDatabase->text().trimmed().toLower();
  // A connect string that is not a plain name (host:port/service) makes no file name.
  const bool plain = !name.isEmpty() && !name.contains(u'/') && !name.contains(u':');
  FEdFile->setText(plain ? QDir(directory_).filePath(name + ".sqlite") : QString());
}

void CaptureDialog::FBtnBrowseClick() {
  const auto path = prompts_.SaveFileName(
      this, RequestIn(directory_, tr("Capture dictionary"), FEdFile->text(),
                      tr("Dictionary snapshot (*.sqlite)")));
  if (!path) return;
  FEdFile->setText(*path);
  fileChosen_ = true;
}

void CaptureDialog::FBtnOkClick() {
  if (FEdDatabase->text().trimmed().isEmpty() || FEdUser->text().trimmed().isEmpty() ||
      FEdFile->text().isEmpty()) {
    prompts_.Information(this, tr("Enter the database, the user and the snapshot file."));
    return;
  }
  if (FCBSnapshotPassword->isChecked() && FEdSnapshotPassword->text().isEmpty()) {
    prompts_.Information(this, tr("Enter the password of the snapshot's users."));
    return;
  }
  const QString out = FEdFile->text();
  if (!prompts_.MayReplace(this, out)) return;
  QDir().mkpath(QFileInfo(out).absolutePath());
  CaptureRequest request;
  request.server = FEdDatabase->text().trimmed();
  request.user = FEdUser->text().trimmed();
  request.password = FEdPassword->text();
  request.owners = OwnerNames(FEdOwners->text());
  if (FCBSnapshotPassword->isChecked()) request.snapshotPassword = FEdSnapshotPassword->text();

  auto* progress = new ProgressDialog(parentWidget() ? parentWidget() : this);
  progress->setWindowTitle(tr("Capture dictionary"));
  QCoreApplication::processEvents();
  const CaptureResult result = CaptureDictionary(request, out, *progress);
  if (!result.ok()) {
    progress->Finish(tr("Capture failed."), false);
    prompts_.Error(this, QStringLiteral("ERROR: ") + result.error);
    // The dialog stays for another try; its error box said all the progress window would.
    progress->close();
    return;
  }
  progress->Finish(tr("Dictionary is captured: %1 rows of %2 in %3.")
                       .arg(result.rows)
                       .arg(result.owners.join(QStringLiteral(", ")), out),
                   true);
  accept();
}
