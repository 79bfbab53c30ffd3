#pragma once
// One object tab (TFRMTABLES, TFRMVIEWS, TFRMPROCS, TFRMPACKAGES, TFRMSEQUENCES,
// TFRMROLES): the kind's dictionary objects on the left, the project's chosen objects on the
// right, the four buttons between them, and a description box that is a live view of the
// selected entry's Description (Procedures and functions have none: their descriptions come
// from their source when the document is built). Sequences and Roles also show their
// section text across the top. Remove all asks first when it would discard a description.
// A line too long for its list scrolls sideways and shows whole as its tool tip.
//
// The page keeps no project data of its own: it shows the project and the page model and
// calls their operations. A database error in any handler has already been shown by the
// connection's error handler; the handler ends there and the page stays usable.

#include <QWidget>

#include "pages/object_page_model.h"

class Database;
class MemoBox;
class Prompts;
class QListWidget;
class QPushButton;

class ObjectPage : public QWidget {
  Q_OBJECT
 public:
  ObjectPage(Project& project, Database& db, Prompts& prompts, ObjectKind kind,
             ObjectPageModel::DescriptionSource initialDescription, QWidget* parent = nullptr);

  ObjectKind Kind() const { return model_.Kind(); }

  // Refills the available list from the dictionary when connected.
  void FillAvailableList();
  // Add and Add all need an available object, Remove and Remove all a project line, and
  // all four a connection: nothing is added or removed without one.
  void UpdatePageButtons();
  // On: editable, window colour. Off: disabled, button-face colour, empty.
  void SetDescriptionBoxEnabled(bool on);
  // A project just opened: no line selected, the description box off.
  void SwitchDescriptionOff();
  // The entry's line selected and in view, and the focus in its description box (in the
  // list on Procedures and functions, which has none), ready to type.
  void ShowEntry(int entry);

  QListWidget* FlatListBox1;    // available objects
  QPushButton* FlatButton1;     // "Add"
  QPushButton* FlatButton2;     // "Add all"
  QPushButton* FlatButton3;     // "Remove"
  QPushButton* FlatButton4;     // "Remove all"
  QListWidget* FlatListBox2;    // the project's entries of this kind
  MemoBox* FlatMemo = nullptr;       // none on Procedures and functions
  MemoBox* FMDescription = nullptr;  // Sequences and Roles only

 private:
  void FlatButton1Click();
  void FlatButton2Click();
  void FlatButton3Click();
  void FlatButton4Click();
  void FlatListBox2Click();
  void StoreDescription(const QString& text);
  void StoreSectionDescription(const QString& text);
  void ShowSectionDescription();
  // The project's entries changed outside this page (a project read or New).
  void EntriesReplaced(ObjectKind kind);
  // Runs a button's operation, then shows the lists; `keepSelection` re-selects the lines
  // of the entries that were selected before.
  template <typename Operation>
  void RunEntryOperation(Operation operation, bool keepSelection);
  // Whether the entries `entries` (all of the page's with `all`) may go: a typed description
  // goes with its entry and cannot be had back, so the user is asked when any has one.
  bool MayRemove(const QList<int>& entries, bool all);
  void ShowAvailableList();
  void ShowProjectList(const QList<int>& selectedEntries);
  int SelectedEntry() const;

  Project& project_;
  Database& db_;
  Prompts& prompts_;
  ObjectPageModel model_;
  int ownChanges_ = 0;  // > 0 while this page changes the project itself
};
