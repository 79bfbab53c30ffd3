#include "pages/object_page.h"

#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScopeGuard>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QVBoxLayout>
#include <algorithm>
#include <numeric>

#include "app/prompts.h"
#include "db/database.h"
#include "pages/memo_box.h"

namespace {

const char* PanelName(ObjectKind kind) {
  switch (kind) {
    case ObjectKind::Tables: return "PanelTables";
    case ObjectKind::Views: return "PanelViews";
    case ObjectKind::ProceduresAndFunctions: return "PanelProcs";
    case ObjectKind::Packages: return "PanelPackages";
    case ObjectKind::Sequences: return "PanelSequences";
    case ObjectKind::Roles: return "PanelRoles";
  }
  return "";
}

QPushButton* NewButton(const QString& caption, const char* name, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(QString::fromLatin1(name));
  button->setFixedSize(100, 26);
  return button;
}

// A line that the list cannot show whole (too long for it, or scrolled sideways) shows its
// whole text as its tool tip.
class WholeLineTips : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override {
    if (event->type() != QEvent::ToolTip || !index.isValid())
      return QStyledItemDelegate::helpEvent(event, view, option, index);
    const int right = option.rect.left() + sizeHint(option, index).width();
    if (option.rect.left() >= 0 && right <= view->viewport()->width()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(event->globalPos(), index.data().toString(), view->viewport(),
                         option.rect);
    }
    return true;
  }
};

// Lines keep their own widths (the longest decides how far the list scrolls sideways).
QListWidget* NewList(const char* name, QAbstractItemView::SelectionMode mode, QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QString::fromLatin1(name));
  list->setSelectionMode(mode);
  list->setItemDelegate(new WholeLineTips(list));
  return list;
}

MemoBox* NewMemo(const char* name, QWidget* parent) {
  auto* memo = new MemoBox(parent);
  memo->setObjectName(QString::fromLatin1(name));
  memo->setTabChangesFocus(true);
  return memo;
}

QList<int> SelectedRows(const QListWidget* list) {
  QList<int> rows;
  for (const QModelIndex& index : list->selectionModel()->selectedRows()) rows.append(index.row());
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

ObjectPage::ObjectPage(Project& project, Database& db, Prompts& prompts, ObjectKind kind,
                       ObjectPageModel::DescriptionSource initialDescription, QWidget* parent)
    : QWidget(parent),
      project_(project),
      db_(db),
      prompts_(prompts),
      model_(project, db, kind, std::move(initialDescription)) {
  setObjectName(QString::fromLatin1(PanelName(kind)));
  const bool procs = kind == ObjectKind::ProceduresAndFunctions;

  FlatListBox1 = NewList("FlatListBox1", QAbstractItemView::ExtendedSelection, this);
  FlatButton1 = NewButton(tr("Add"), "FlatButton1", this);
  FlatButton2 = NewButton(tr("Add all"), "FlatButton2", this);
  FlatButton3 = NewButton(tr("Remove"), "FlatButton3", this);
  FlatButton4 = NewButton(tr("Remove all"), "FlatButton4", this);
  FlatListBox2 = NewList("FlatListBox2",
                         procs ? QAbstractItemView::ExtendedSelection
                               : QAbstractItemView::SingleSelection,
                         this);

  auto* buttons = new QVBoxLayout;
  buttons->addStretch(3);
  buttons->addWidget(FlatButton1);
  buttons->addWidget(FlatButton2);
  buttons->addSpacing(24);
  buttons->addWidget(FlatButton3);
  buttons->addWidget(FlatButton4);
  buttons->addStretch(4);

  auto* chosen = new QVBoxLayout;
  chosen->addWidget(FlatListBox2, 3);
  if (!procs) {
    FlatMemo = NewMemo("FlatMemo", this);
    FlatMemo->setMinimumHeight(51);
    chosen->addWidget(FlatMemo, 1);
  }

  auto* lists = new QHBoxLayout;
  lists->addWidget(FlatListBox1, 1);
  lists->addLayout(buttons);
  lists->addLayout(chosen, 1);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  if (HasSectionDescription(kind)) {
    FMDescription = NewMemo("FMDescription", this);
    FMDescription->setFixedHeight(64);
    layout->addWidget(new QLabel(tr("Description"), this));
    layout->addWidget(FMDescription);
    layout->addSpacing(4);
  }
  layout->addLayout(lists, 1);

  if (FlatMemo) {
    connect(FlatMemo, &MemoBox::TextEdited, this, &ObjectPage::StoreDescription);
    connect(FlatListBox2, &QListWidget::itemSelectionChanged, this,
            &ObjectPage::FlatListBox2Click);
  }
  if (FMDescription) {
    connect(FMDescription, &MemoBox::TextEdited, this, &ObjectPage::StoreSectionDescription);
    connect(&project_, &Project::SectionDescriptionChanged, this, [this](ObjectKind k) {
      if (k == Kind()) ShowSectionDescription();
    });
    ShowSectionDescription();
  }
  connect(FlatButton1, &QPushButton::clicked, this, &ObjectPage::FlatButton1Click);
  connect(FlatButton2, &QPushButton::clicked, this, &ObjectPage::FlatButton2Click);
  connect(FlatButton3, &QPushButton::clicked, this, &ObjectPage::FlatButton3Click);
  connect(FlatButton4, &QPushButton::clicked, this, &ObjectPage::FlatButton4Click);
  connect(&project_, &Project::EntriesChanged, this, &ObjectPage::EntriesReplaced);

  ShowProjectList({});
  SetDescriptionBoxEnabled(false);
  UpdatePageButtons();
}

void ObjectPage::FillAvailableList() {
  if (db_.Connected()) {
    try {
      model_.FillAvailableList();
    } catch (const DatabaseError&) {
      // Shown by the connection's handler; the list stays empty until the next tab change.
    }
  }
  ShowAvailableList();
}

void ObjectPage::UpdatePageButtons() {
  const bool connected = db_.Connected();
  FlatButton1->setEnabled(connected && FlatListBox1->count() > 0);
  FlatButton2->setEnabled(connected && FlatListBox1->count() > 0);
  FlatButton3->setEnabled(connected && FlatListBox2->count() > 0);
  FlatButton4->setEnabled(connected && FlatListBox2->count() > 0);
}

void ObjectPage::SetDescriptionBoxEnabled(bool on) {
  if (!FlatMemo) return;
  QPalette palette = FlatMemo->palette();
  palette.setColor(QPalette::Base, on ? QPalette().color(QPalette::Base)
                                      : QPalette().color(QPalette::Button));
  FlatMemo->setPalette(palette);
  FlatMemo->setEnabled(on);
  if (!on) FlatMemo->ShowText(QString());
}

void ObjectPage::SwitchDescriptionOff() {
  FlatListBox2->clearSelection();
  SetDescriptionBoxEnabled(false);
}

void ObjectPage::ShowEntry(int entry) {
  const QList<ProjectListItem>& lines = model_.ProjectList();
  for (int row = 0; row < lines.size(); ++row) {
    if (lines[row].entry != entry) continue;
    FlatListBox2->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    FlatListBox2->scrollToItem(FlatListBox2->item(row));
    break;
  }
  if (FlatMemo && FlatMemo->isEnabled()) {
    FlatMemo->setFocus();
    FlatMemo->moveCursor(QTextCursor::End);
  } else {
    FlatListBox2->setFocus();
  }
}

template <typename Operation>
void ObjectPage::RunEntryOperation(Operation operation, bool keepSelection) {
  QList<int> selected;
  if (keepSelection) {
    for (int row : SelectedRows(FlatListBox2)) selected.append(model_.ProjectList()[row].entry);
  }
  {
    ++ownChanges_;
    const auto done = qScopeGuard([this] { --ownChanges_; });
    try {
      operation();
    } catch (const DatabaseError&) {
      // Shown by the connection's handler; what was done before the error stays done.
    }
  }
  ShowAvailableList();
  ShowProjectList(selected);
  UpdatePageButtons();
}

void ObjectPage::FlatButton1Click() {
  const QList<int> rows = SelectedRows(FlatListBox1);
  RunEntryOperation([&] { model_.AddEntries(rows); }, true);
}

void ObjectPage::FlatButton2Click() {
  RunEntryOperation([&] { model_.AddAllEntries(); }, true);
}

bool ObjectPage::MayRemove(const QList<int>& entries, bool all) {
  const QList<ObjectEntry>& kept = project_.Entries(Kind());
  if (std::all_of(entries.begin(), entries.end(),
                  [&](int e) { return kept[e].Description().isEmpty(); }))
    return true;
  return prompts_.Question(
      this, entries.size() == 1
                ? tr("Remove the entry? Its description will be lost.")
                : (all ? tr("Remove all %1 entries? Their descriptions will be lost.")
                       : tr("Remove the %1 entries? Their descriptions will be lost."))
                      .arg(entries.size()));
}

void ObjectPage::FlatButton3Click() {
  const QList<int> rows = SelectedRows(FlatListBox2);
  QList<int> entries;
  for (int row : rows) entries.append(model_.ProjectList()[row].entry);
  if (rows.isEmpty() || !MayRemove(entries, false)) return;
  RunEntryOperation([&] { model_.RemoveEntries(rows); }, false);
}

void ObjectPage::FlatButton4Click() {
  QList<int> entries(project_.Entries(Kind()).size());
  std::iota(entries.begin(), entries.end(), 0);
  if (!MayRemove(entries, true)) return;
  RunEntryOperation([&] { model_.RemoveAllEntries(); }, false);
}

void ObjectPage::FlatListBox2Click() {
  const int entry = SelectedEntry();
  SetDescriptionBoxEnabled(entry >= 0);
  if (entry >= 0) FlatMemo->ShowText(project_.Entries(Kind())[entry].Description().toString());
}

void ObjectPage::StoreDescription(const QString& text) {
  const int entry = SelectedEntry();
  if (entry < 0 || !FlatMemo->isEnabled()) return;
  ++ownChanges_;
  project_.SetDescription(Kind(), entry, text);
  project_.SetModified(true);
  --ownChanges_;
}

void ObjectPage::StoreSectionDescription(const QString& text) {
  project_.SetSectionDescription(Kind(), text);
  project_.SetModified(true);
}

void ObjectPage::ShowSectionDescription() {
  // Only a text that differs replaces the box's, so typing keeps its cursor.
  const QString text = project_.SectionDescription(Kind());
  if (FMDescription->Text() != text) FMDescription->ShowText(text);
}

void ObjectPage::EntriesReplaced(ObjectKind kind) {
  if (kind != Kind() || ownChanges_ > 0) return;
  // A project read or emptied: its lists start afresh, and the available list waits for
  // the next visit to the tab, when the dictionary is asked again.
  model_.ClearAvailableList();
  model_.RefreshProjectList();
  ShowAvailableList();
  ShowProjectList({});
  UpdatePageButtons();
}

void ObjectPage::ShowAvailableList() {
  FlatListBox1->clear();
  FlatListBox1->addItems(model_.AvailableList());
}

void ObjectPage::ShowProjectList(const QList<int>& selectedEntries) {
  {
    const QSignalBlocker block(FlatListBox2);
    FlatListBox2->clear();
    for (const ProjectListItem& line : model_.ProjectList()) {
      auto* item = new QListWidgetItem(line.text, FlatListBox2);
      if (selectedEntries.contains(line.entry)) item->setSelected(true);
    }
  }
  if (FlatMemo) FlatListBox2Click();
}

int ObjectPage::SelectedEntry() const {
  const QList<int> rows = SelectedRows(FlatListBox2);
  if (rows.size() != 1) return -1;
  return model_.ProjectList()[rows.first()].entry;
}
