#include "db/login_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/prompts.h"
#include "db/database.h"
#include "pages/list_order.h"
#include "text/ansi.h"

namespace {

QLineEdit* NewField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QString::fromLatin1(name));
  return field;
}

QString HistoryItemText(const ConnectionEntry& entry) {
  return entry.Database + QStringLiteral(" - ") + entry.UserName;
}

bool IsEnterKey(const QKeyEvent& key) {
  return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter ||
         key.text() == QLatin1String("\r") || key.text() == QLatin1String("\n");
}

}  // namespace

LoginDialog::LoginDialog(Database& db, Prompts& prompts, QWidget* parent)
    : QDialog(parent), db_(db), prompts_(prompts) {
  setObjectName(QStringLiteral("FRMLOGIN"));
  setWindowTitle(tr("Login"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);

  FEUserName = NewField("FEUserName", this);
  FEPassword = NewField("FEPassword", this);
  FEPassword->setEchoMode(QLineEdit::Password);
  FEPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
  FEDatabase = NewField("FEDatabase", this);
  FCBHistory = new QComboBox(this);
  FCBHistory->setObjectName(QStringLiteral("FCBHistory"));
  FCBHistory->setEditable(false);
  FCBHistory->setMinimumContentsLength(24);

  FBtnOk = new QPushButton(tr("OK"), this);
  FBtnOk->setObjectName(QStringLiteral("FBtnOk"));
  FBtnOk->setDefault(true);
  FBtnCancel = new QPushButton(tr("Cancel"), this);
  FBtnCancel->setObjectName(QStringLiteral("FBtnCancel"));

  auto* fields = new QFormLayout;
  fields->addRow(tr("User name"), FEUserName);
  fields->addRow(tr("Password"), FEPassword);
  fields->addRow(tr("Database"), FEDatabase);
  auto* line = new QFrame(this);
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  auto* history = new QFormLayout;
  history->addRow(tr("History"), FCBHistory);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(FBtnOk, QDialogButtonBox::AcceptRole);
  buttons->addButton(FBtnCancel, QDialogButtonBox::RejectRole);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(line);
  layout->addLayout(history);
  layout->addSpacing(6);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);

  setTabOrder(FEUserName, FEPassword);
  setTabOrder(FEPassword, FEDatabase);
  setTabOrder(FEDatabase, FCBHistory);
  setTabOrder(FCBHistory, FBtnOk);
  setTabOrder(FBtnOk, FBtnCancel);

  for (QObject* watched : {static_cast<QObject*>(FEUserName), static_cast<QObject*>(FEPassword),
                           static_cast<QObject*>(FEDatabase), static_cast<QObject*>(FCBHistory)})
    watched->installEventFilter(this);
  connect(FBtnOk, &QPushButton::clicked, this, &LoginDialog::FBtnOkClick);
  connect(FBtnCancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(FCBHistory, &QComboBox::currentIndexChanged, this, &LoginDialog::FCBHistoryChange);
}

void LoginDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (!event->spontaneous()) LoadHistory();
}

bool LoginDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QDialog::eventFilter(watched, event);
  auto* key = static_cast<QKeyEvent*>(event);
  if (watched == FCBHistory) {
    if (key->key() == Qt::Key_Delete) {
      DeleteChosenPair();
      return true;
    }
    // The list offers only remembered pairs: typed characters are discarded rather than
    // used to search, so a keystroke never swaps the chosen pair behind the user's back.
    const QString text = key->text();
    return !text.isEmpty() && text[0].isPrint();
  }
  if (IsEnterKey(*key)) {
    FBtnOkClick();
    return true;
  }
  if (watched == FEUserName || watched == FEDatabase) {
    const QString upper = ansi::UpperCase(key->text());
    if (!key->text().isEmpty() && key->text()[0].isPrint() && upper != key->text()) {
      static_cast<QLineEdit*>(watched)->insert(upper);
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void LoginDialog::LoadHistory() {
  history_.ClearConnectionHistory();
  QString error;
  historyRead_ = history_.ReadConnectionHistory(&error);
  ShowLastConnection();
  FillHistoryList();
  if (!historyRead_) prompts_.Error(this, error);
}

void LoginDialog::ShowLastConnection() {
  const ConnectionEntry& last = history_.LastConnection();
  if (last.Database.isEmpty() || last.UserName.isEmpty()) return;
  FEDatabase->setText(last.Database);
  FEUserName->setText(last.UserName);
  FEPassword->clear();
  FEPassword->setFocus();
}

void LoginDialog::FillHistoryList() {
  const QList<ConnectionEntry>& entries = history_.Entries();
  QStringList texts;
  for (const ConnectionEntry& e : entries) texts.append(HistoryItemText(e));
  QList<int> order(entries.size());
  for (int i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](int a, int b) { return ListLineLess(texts[a], texts[b]); });
  filling_ = true;
  FCBHistory->clear();
  for (int i : order) FCBHistory->addItem(texts[i], i);
  FCBHistory->setCurrentIndex(-1);
  filling_ = false;
}

void LoginDialog::FCBHistoryChange(int index) {
  if (filling_ || index < 0) return;
  const ConnectionEntry& entry = history_.Entries()[FCBHistory->itemData(index).toInt()];
  FEDatabase->setText(entry.Database);
  FEUserName->setText(entry.UserName);
  FEPassword->clear();
}

void LoginDialog::DeleteChosenPair() {
  const int item = FCBHistory->currentIndex();
  if (item < 0) return;
  const int entry = FCBHistory->itemData(item).toInt();
  filling_ = true;
  FCBHistory->setCurrentIndex(-1);
  FCBHistory->removeItem(item);
  filling_ = false;
  WriteHistory(entry);
  LoadHistory();
}

void LoginDialog::WriteHistory(int leaveOut) {
  if (!historyRead_) return;
  QString error;
  if (!history_.WriteConnectionHistory({FEDatabase->text(), FEUserName->text()}, leaveOut,
                                       &error))
    prompts_.Error(this, error);
}

void LoginDialog::FBtnOkClick() {
  const struct {
    QLineEdit* field;
    const char* message;
  } checks[] = {{FEUserName, "Enter user before login."},
                {FEPassword, "Enter password before login."},
                {FEDatabase, "Enter database before login."}};
  for (const auto& check : checks) {
    if (check.field->text().isEmpty()) {
      prompts_.Information(this, tr(check.message));
      check.field->setFocus();
      return;
    }
  }
  try {
    ConnectDatabase(db_, FEDatabase->text(), FEUserName->text(), FEPassword->text());
  } catch (const DatabaseError&) {
    return;  // the connection's error handler has shown it; the user may try again
  }
  if (!db_.Connected()) return;
  history_.RememberConnection({FEDatabase->text(), FEUserName->text()});
  WriteHistory(-1);
  accept();
}
