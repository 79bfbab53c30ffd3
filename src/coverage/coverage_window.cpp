#include "coverage/coverage_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

#include "coverage/coverage.h"

namespace {

constexpr int kSortRole = Qt::UserRole;

QString PercentText(const Tally& t) { return QStringLiteral("%1%").arg(t.Percent(), 0, 'f', 1); }

QString ShareText(const Tally& t) {
  return QCoreApplication::translate("CoverageWindow", "%1 of %2").arg(t.documented).arg(t.total);
}

QStandardItem* Cell(const QString& text, const QVariant& sortKey) {
  auto* item = new QStandardItem(text);
  item->setEditable(false);
  item->setData(sortKey, kSortRole);
  return item;
}

QString Tr(const char* text) { return QCoreApplication::translate("CoverageWindow", text); }

// What the headings of the totals and of the table count.
QString HeadingTip(const QString& heading) {
  static const std::pair<const char*, const char*> kTips[] = {
      {"Kind", "Table, view, function, procedure, package, member, sequence or role"},
      {"Objects", "Entries of the project whose object exists"},
      {"Descriptions", "Objects described by the project or the dictionary's comment"},
      {"Column comments", "Columns of tables and views that have a comment"},
      {"Comment blocks", "Procedures, functions and members with a comment block"},
      {"Parameters", "Declared parameters that a comment block describes"},
      {"Documented", "Share of the items documented (each item counts the same)"},
      {"No longer exist", "Entries whose object the database no longer has"},
      {"Not in the project", "Objects of the project's schemas that no entry names"},
      {"Object", "DATABASE.OWNER.NAME; double-click a row to go to its entry"},
      {"Items", "Documented items of all the object's items"},
      {"Gaps", "What is missing or has drifted (the cell's tool tip lists it all)"},
  };
  for (const auto& [name, tip] : kTips)
    if (heading == Tr(name)) return Tr(tip);
  return {};
}

QLabel* GridLabel(const QString& text, bool header, Qt::Alignment alignment) {
  auto* label = new QLabel(text);
  label->setTextFormat(Qt::PlainText);
  label->setAlignment(alignment | Qt::AlignVCenter);
  if (header) {
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    label->setToolTip(HeadingTip(text));
  }
  return label;
}

}  // namespace

CoverageWindow::CoverageWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("FRMCOVERAGE"));
  setWindowTitle(tr("Coverage"));
  resize(860, 560);

  auto* layout = new QVBoxLayout(this);
  L_TOTAL = new QLabel(this);
  L_TOTAL->setObjectName(QStringLiteral("L_TOTAL"));
  L_TOTAL->setTextFormat(Qt::PlainText);
  QFont big = L_TOTAL->font();
  big.setBold(true);
  big.setPointSizeF(big.pointSizeF() * 1.25);
  L_TOTAL->setFont(big);
  layout->addWidget(L_TOTAL);

  // The table of kinds scrolls sideways where a large font makes it wider than the screen,
  // so the window, its Close button with it, still fits.
  kindsArea_ = new QScrollArea(this);
  kindsArea_->setFrameShape(QFrame::NoFrame);
  kindsArea_->setWidgetResizable(true);
  kindsArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  kindsTable_ = new QWidget(kindsArea_);
  kinds_ = new QGridLayout(kindsTable_);
  kinds_->setContentsMargins(0, 0, 0, 0);
  kinds_->setHorizontalSpacing(16);
  kinds_->setVerticalSpacing(2);
  kindsArea_->setWidget(kindsTable_);
  layout->addWidget(kindsArea_);
  L_INVALID = new QLabel(this);
  L_INVALID->setObjectName(QStringLiteral("L_INVALID"));
  L_INVALID->setTextFormat(Qt::PlainText);
  L_INVALID->setWordWrap(true);
  L_INVALID->setForegroundRole(QPalette::Link);
  layout->addWidget(L_INVALID);

  auto* filterRow = new QHBoxLayout;
  auto* filterLabel = new QLabel(tr("&Filter:"), this);
  FEdFilter = new QLineEdit(this);
  FEdFilter->setObjectName(QStringLiteral("FEdFilter"));
  FEdFilter->setPlaceholderText(tr("Kind, name or gap"));
  FEdFilter->setClearButtonEnabled(true);
  filterLabel->setBuddy(FEdFilter);
  L_SHOWN = new QLabel(this);
  L_SHOWN->setObjectName(QStringLiteral("L_SHOWN"));
  filterRow->addWidget(filterLabel);
  filterRow->addWidget(FEdFilter, 1);
  filterRow->addWidget(L_SHOWN);
  layout->addLayout(filterRow);

  rows_ = new QStandardItemModel(0, 5, this);
  rows_->setHorizontalHeaderLabels(
      {tr("Kind"), tr("Object"), tr("Documented"), tr("Items"), tr("Gaps")});
  for (int c = 0; c < rows_->columnCount(); ++c)
    rows_->setHeaderData(c, Qt::Horizontal,
                         HeadingTip(rows_->headerData(c, Qt::Horizontal).toString()),
                         Qt::ToolTipRole);
  filtered_ = new QSortFilterProxyModel(this);
  filtered_->setSourceModel(rows_);
  filtered_->setSortRole(kSortRole);
  filtered_->setFilterKeyColumn(-1);
  filtered_->setFilterCaseSensitivity(Qt::CaseInsensitive);
  ObjectTable = new QTableView(this);
  ObjectTable->setObjectName(QStringLiteral("ObjectTable"));
  ObjectTable->setModel(filtered_);
  // The report's own order until a column is clicked.
  ObjectTable->horizontalHeader()->setSortIndicator(-1, Qt::AscendingOrder);
  ObjectTable->setSortingEnabled(true);
  ObjectTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  ObjectTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ObjectTable->setWordWrap(false);
  ObjectTable->setAlternatingRowColors(true);
  ObjectTable->verticalHeader()->hide();
  ObjectTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  ObjectTable->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(ObjectTable, 1);

  auto* close = new QPushButton(tr("Close"), this);
  close->setObjectName(QStringLiteral("FBtnClose"));
  connect(close, &QPushButton::clicked, this, &QWidget::close);
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(close);
  layout->addLayout(buttons);

  connect(FEdFilter, &QLineEdit::textChanged, this, [this](const QString& text) {
    filtered_->setFilterFixedString(text);
    ShowShownCount();
  });
  // Enter as well as a double click, as the desktop activates a line.
  connect(ObjectTable, &QTableView::activated, this, [this](const QModelIndex& index) {
    const int row = filtered_->mapToSource(index).row();
    if (row >= 0 && row < objects_.size()) emit ObjectActivated(objects_[row]);
  });
  auto* escape = new QAction(this);
  escape->setShortcut(Qt::Key_Escape);
  connect(escape, &QAction::triggered, this, &QWidget::close);
  addAction(escape);
}

QSize CoverageWindow::sizeHint() const {
  QSize hint = QWidget::sizeHint();
  const QMargins margins = layout()->contentsMargins();
  hint.setWidth(std::max(hint.width(),
                         kindsTable_->sizeHint().width() + margins.left() + margins.right()));
  return hint;
}

void CoverageWindow::ShowReport(const CoverageReport& report) {
  const Tally total = report.Total();
  L_TOTAL->setText(tr("Total: %1 documented (%2 items)")
                       .arg(PercentText(total), ShareText(total)));

  while (QLayoutItem* item = kinds_->takeAt(0)) {
    delete item->widget();
    delete item;
  }
  const QStringList headers{tr("Kind"),           tr("Objects"),    tr("Descriptions"),
                            tr("Column comments"), tr("Comment blocks"), tr("Parameters"),
                            tr("Documented"),     tr("No longer exist"),
                            tr("Not in the project")};
  for (int c = 0; c < headers.size(); ++c)
    kinds_->addWidget(GridLabel(headers[c], true, c == 0 ? Qt::AlignLeft : Qt::AlignRight), 0, c);
  int row = 1;
  for (const CoverageKind kind : report.kinds) {
    const KindSummary s = report.Summary(kind);
    QStringList cells{KindTitle(kind), QString::number(s.objects)};
    for (int m = 0; m < kMeasureCount; ++m)
      cells.append(Counts(kind, static_cast<Measure>(m)) ? ShareText(s.tallies[m]) : QString());
    cells << PercentText(s.Items()) << QString::number(s.missing)
          << QString::number(s.notInProject);
    for (int c = 0; c < cells.size(); ++c)
      kinds_->addWidget(GridLabel(cells[c], false, c == 0 ? Qt::AlignLeft : Qt::AlignRight),
                        row, c);
    ++row;
  }

  QStringList invalid;
  for (const CoverageObject& o : report.Invalid()) invalid.append(o.Label() + u' ' + o.FullName());
  L_INVALID->setText(tr("Invalid objects (%1): %2").arg(invalid.size()).arg(invalid.join(QStringLiteral(", "))));
  L_INVALID->setVisible(!invalid.isEmpty());

  rows_->removeRows(0, rows_->rowCount());
  objects_ = report.objects;
  for (const CoverageObject& o : report.objects) {
    const Tally items = o.Items();
    const bool counted = o.presence == Presence::InProject;
    const QStringList gaps = o.Gaps();
    QStandardItem* gapsCell = Cell(gaps.join(QStringLiteral("; ")), gaps.size());
    gapsCell->setToolTip(gaps.join(u'\n'));
    // Exact shares sort; drift, which counts nothing, goes below 0.
    QStandardItem* documented =
        Cell(counted ? PercentText(items) : QString(),
             counted && items.total > 0 ? double(items.documented) / items.total : -1.0);
    QStandardItem* share = Cell(counted ? ShareText(items) : QString(), items.total);
    for (QStandardItem* number : {documented, share})
      number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QList<QStandardItem*> row{Cell(o.Label(), static_cast<int>(o.kind)),
                                    Cell(o.FullName(), o.FullName()), documented, share,
                                    gapsCell};
    // Drift stands apart from the entries: an object left out in grey, an entry whose
    // object is gone in the warning colour.
    if (!counted) {
      const QColor colour = o.presence == Presence::Missing
                                ? QColor(0xa0, 0x30, 0x10)
                                : palette().color(QPalette::PlaceholderText);
      for (QStandardItem* cell : row) cell->setForeground(colour);
    }
    rows_->appendRow(row);
  }
  ObjectTable->resizeColumnsToContents();
  ObjectTable->setColumnWidth(ObjectColumn, std::min(ObjectTable->columnWidth(ObjectColumn), 320));
  // Every row of kinds shown, and the bar to scroll them sideways below them.
  kindsArea_->setFixedHeight(kindsTable_->sizeHint().height() +
                             kindsArea_->horizontalScrollBar()->sizeHint().height());
  ShowShownCount();
}

void CoverageWindow::ShowShownCount() {
  L_SHOWN->setText(tr("%1 of %2 objects").arg(filtered_->rowCount()).arg(rows_->rowCount()));
}
