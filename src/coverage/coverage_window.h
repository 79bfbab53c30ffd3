#pragma once
// Project > Coverage: the coverage report in a window of its own. The totals above (the
// total, a line per kind with the drift counts, and the invalid objects when there are
// any), then every object of the report in a
// table sortable by any column, narrowed by a filter that matches any of its texts.
//
// CoverageCommand (builder/coverage_command.h) runs the report (with the progress dialog,
// logging on as a build does) and shows it here; the window only shows what it is given. It
// belongs to the main window (stays with it, opens centred over it) and Escape closes it. A
// double click on a row asks for that object's entry: CoverageCommand brings its page to the
// front with the entry selected and its description box focused, or says how to add an
// object that is not in the project.

#include <QList>
#include <QWidget>

#include "coverage/coverage.h"

class QGridLayout;
class QLabel;
class QLineEdit;
class QScrollArea;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;

class CoverageWindow : public QWidget {
  Q_OBJECT
 public:
  explicit CoverageWindow(QWidget* parent = nullptr);

  // Replaces what the window shows; the filter text stays and applies to the new rows.
  void ShowReport(const CoverageReport& report);

  // The table's columns.
  enum Column { KindColumn, ObjectColumn, DocumentedColumn, ItemsColumn, GapsColumn };

  QLineEdit* Filter() const { return FEdFilter; }
  QTableView* Table() const { return ObjectTable; }
  QLabel* Total() const { return L_TOTAL; }
  QLabel* InvalidObjects() const { return L_INVALID; }

  // As wide as the table of kinds, which scrolls sideways only where the screen is narrower.
  QSize sizeHint() const override;

 signals:
  void ObjectActivated(const CoverageObject& object);

 private:
  void ShowShownCount();

  QList<CoverageObject> objects_;  // the report's, in the order of the table's rows
  QLabel* L_TOTAL;
  QGridLayout* kinds_;
  QWidget* kindsTable_;
  QScrollArea* kindsArea_;
  QLabel* L_INVALID;
  QLineEdit* FEdFilter;
  QLabel* L_SHOWN;
  QTableView* ObjectTable;
  QStandardItemModel* rows_;
  QSortFilterProxyModel* filtered_;
};
