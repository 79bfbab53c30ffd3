#pragma once
// The lists of one object page over the project, and the page's entry operations.
//
// The available list is a view of the dictionary, never saved. The project list has one
// line per entry of the kind (ServerName in upper case, ".", ObjectName), sorted; each line
// carries the index of its entry, so selecting, describing and removing act on that entry
// even when two lines read the same. The project keeps the entries in the order of
// addition; only the lines are sorted.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

#include "project/project.h"

class Database;

struct ProjectListItem {
  QString text;
  int entry = -1;  // index into Project::Entries(kind)
};

class ObjectPageModel {
 public:
  // The first description of an object added to the project. Throws DatabaseError.
  using DescriptionSource = std::function<QString(const QString& objectName)>;

  ObjectPageModel(Project& project, Database& db, ObjectKind kind,
                  DescriptionSource initialDescription);

  ObjectKind Kind() const { return kind_; }
  const QStringList& AvailableList() const { return available_; }
  const QList<ProjectListItem>& ProjectList() const { return lines_; }

  // Refills the available list from the dictionary. Throws DatabaseError, leaving the
  // list empty.
  void FillAvailableList();
  void ClearAvailableList() { available_.clear(); }
  // Rebuilds the project list from the project's entries.
  void RefreshProjectList();

  // Appends an entry for `objectName` under the current connection, with its initial
  // description, and adds its line.
  void AppendEntry(const QString& objectName);

  // Each operation takes rows of the list it moves from, in any order, and marks the
  // project modified by these rules: Add and Remove only when they moved something, Add all
  // and Remove all always. A database error part-way keeps what was moved (and marked) and
  // is thrown on.
  void AddEntries(QList<int> availableRows);
  void AddAllEntries();
  void RemoveEntries(QList<int> projectRows);
  void RemoveAllEntries();

 private:
  // The return rule of Remove: a removed entry's name goes back to the available list only
  // when it was chosen under exactly the current connection (database, user and password).
  bool ChosenUnderCurrentConnection(const ObjectEntry& entry) const;
  void RemoveEntryIndices(QList<int> indices);

  Project& project_;
  Database& db_;
  ObjectKind kind_;
  DescriptionSource initialDescription_;
  QStringList available_;
  QList<ProjectListItem> lines_;
};
