#pragma once
// Project > Coverage: the coverage report in a window of its own. The totals above (the
// total and a line per kind with the drift counts), then every object of the report in a
// table sortable by any column, narrowed by a filter that matches any of its texts.
//
// CoverageCommand runs the report (with the progress dialog, logging on as a build does)
// and shows it here; the window only shows what it is given.

#include <QObject>
#include <QWidget>

struct CoverageReport;
class Database;
class MainWindow;
class Prompts;
class QGridLayout;
class QLabel;
class QLineEdit;
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

 private:
  void ShowShownCount();

  QLabel* L_TOTAL;
  QGridLayout* kinds_;
  QLineEdit* FEdFilter;
  QLabel* L_SHOWN;
  QTableView* ObjectTable;
  QStandardItemModel* rows_;
  QSortFilterProxyModel* filtered_;
};

class CoverageCommand : public QObject {
  Q_OBJECT
 public:
  CoverageCommand(MainWindow& window, Database& db);

  void MICoverageClick();
  CoverageWindow* Window() const { return coverage_; }  // null until first shown

 private:
  MainWindow& window_;
  Database& db_;
  CoverageWindow* coverage_ = nullptr;  // made at first use, owned by the main window
  bool running_ = false;
};
