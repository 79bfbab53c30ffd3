#pragma once
// What a schema's dictionary says beyond its objects' own definitions: what uses what, one
// step each way, which objects do not compile, and the triggers on its tables and views. Each schema (database and owner) is read
// once per build, at its first object, while the build is logged on to it: every
// dependency row of its objects and of other schemas' objects on them, indexed in memory,
// so the cost is one pass over the rows however many objects the document holds.
//
// A dictionary without the tables these reads use (a snapshot made before them) answers
// "nothing": every object valid, nothing used.

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <vector>

#include "model/document_model.h"
#include "model/name_index.h"
#include "model/object_links.h"
#include "model/text_pool.h"

class Database;

// One row of the dictionary's dependencies: OWNER.NAME of TYPE uses the referenced object.
struct DependencyRow {
  QString owner, name, type, referencedOwner, referencedName, referencedType;
};

// Every dependency row of `owner`'s objects and of other schemas' objects on them, as the
// dictionary the database is logged on to lists them, each handed to `each` as it is read.
// A failed query throws DatabaseError.
void ReadDependencies(Database& db, const QString& owner,
                      const std::function<void(DependencyRow&&)>& each);
QList<DependencyRow> ReadDependencies(Database& db, const QString& owner);

// The type whose uses a row of `type` counts as: a body's are its package's (or type's).
QString OwnType(const QString& type);

// "Tables" for TABLE, "Package bodies" for PACKAGE BODY, "Libraries" for LIBRARY: the title
// of a kind's objects in the lists and drawings of what uses what.
QString DependencyKindTitle(const QString& type);

class WhatUsesWhat {
 public:
  // Whether the dictionary marks the object `key` names INVALID under one of `types`
  // ("VIEW", "PACKAGE BODY", ...). The database must be logged on to key's schema.
  bool Invalid(Database& db, const ObjectKey& key, std::initializer_list<const char*> types);

  // What the object `key` of one of `types` uses and what uses it. Each list is in kind
  // order (tables, views, sequences, functions, procedures, packages, triggers, then the
  // other kinds by name), each kind by owner and name; every object once. A package body's
  // rows count as its package's, and an object's use of itself (a body's of its
  // specification) is left out. No anchors yet: LinkDependencies sets them.
  ModelDependencies Dependencies(Database& db, const ObjectKey& key,
                                 std::initializer_list<const char*> types);

  // The triggers on the table or view `key`, by name, as the dictionary lists them (no anchor, no
  // documentation comment yet). Each table's are handed out once and then forgotten, so the
  // schema's trigger bodies are not all held to the end of the build; a table asked for
  // again (chosen twice) has them read again.
  QList<ModelTrigger> Triggers(Database& db, const ObjectKey& key);

 private:
  // A dependency row as numbers of the schema's texts: a large schema has hundreds of
  // thousands of rows, which repeat a few owners and types and each name many times.
  struct Row {
    int owner, name, type, referencedOwner, referencedName, referencedType;
  };
  // A trigger as the dictionary's row gives it, made a ModelTrigger only when handed out:
  // a schema's rows wait for their tables, and a ModelTrigger, its block split into lines,
  // is several times the size of its row.
  struct TriggerRow {
    QString owner, name, type, event, when, header, body;
    bool enabled = true;
  };
  struct Schema {
    QHash<QString, int> ids;  // each text of the rows, numbered, while they are read
    QStringList texts;        // by number
    // The numbers in the order of their texts, once the rows are read: a large schema's
    // tens of thousands of names are then found without ids' hash table.
    std::vector<int> byText;
    std::vector<Row> rows;
    std::vector<int> byUser;  // the rows by the using object's owner and name
    std::vector<int> byUsed;  // the rows by the used object's owner and name
    // The rows of each table's or view's triggers, by its name, until handed out: a large
    // schema's are megabytes, so each row's texts are kept one after another in UTF-8
    // (TriggerRows), not as strings of their own.
    QHash<QString, QByteArray> triggers;
    QSet<QString> triggersGiven;  // the tables and views whose triggers were handed out

    int Id(const QString& text);
    // The number of a text of the rows; -1 when none has it.
    int Find(const QString& text) const;
  };
  // Orders row numbers by the using (or the used) object's owner and name.
  struct ByObject;
  Schema& Of(Database& db, const ObjectKey& key);
  // The schema's triggers by table or view name.
  static QHash<QString, QByteArray> ReadTriggers(Database& db, const QString& owner);
  // The rows kept in `texts`, by name and owner.
  static QList<TriggerRow> TriggerRows(const QByteArray& texts);

  // The INVALID objects of `owner` ("TYPE\nNAME"), read once per database and owner: a
  // table's triggers may be another schema's.
  const QSet<QString>& InvalidIn(Database& db, const QString& database, const QString& owner);

  QHash<QString, Schema> schemas_;  // by DATABASE\nOWNER
  QHash<QString, QSet<QString>> invalid_;  // by DATABASE\nOWNER
};

// Where the triggers of a document's tables and views are shown, gathered table by table
// (a streamed build's index keeps no triggers).
class TriggerAnchors {
 public:
  void Add(const TableObject& table) { Add(table.key, table.anchor, table.triggers); }
  void Add(const ViewObject& view) { Add(view.key, view.anchor, view.triggers); }
  // The anchor of the trigger `key` names and of its table's or view's page; empty when
  // no table or view of the document has it.
  std::pair<QString, QString> Find(const ObjectKey& key) const;

 private:
  void Add(const ObjectKey& key, const QString& anchor, const QList<ModelTrigger>& triggers);

  // By FullName: the page's anchor, and the trigger's own only where it is not the page's,
  // ".", AnchorPart(name) (a name chosen twice): a large document's thousands of trigger
  // anchors are then not held, and their names are in a pool.
  TextPool names_;
  QHash<QStringView, std::pair<QString, QString>> byName_;  // in names_
};

// The anchors of the objects a document shows, by the names its dependencies give them.
class DependencyAnchors {
 public:
  // From the objects' keys and anchors and the tables' and views' triggers; `model` and
  // `triggers` must outlive it.
  DependencyAnchors(const DocumentModel& model, const TriggerAnchors& triggers);
  // Gives every dependency the anchor of the object it names, when the document shows it.
  void Link(ModelDependencies& dependencies) const;

 private:
  struct Place {
    SectionKind kind;  // tables, views, units, packages or sequences
    int index;
  };

  const DocumentModel& model_;
  NameIndex<Place> anchors_;  // by FullName
  const TriggerAnchors& triggers_;
};

// Links the dependencies of all of the model's objects (DependencyAnchors); `triggers` are
// those of its tables and views.
void LinkDependencies(DocumentModel& model, const TriggerAnchors& triggers);

// The link to what a dependency names, or "" when the document does not show it: a trigger
// on its table's page, a sequence in the list on the document's first page.
QString DependencyHref(const Links& links, const ModelDependency& dependency);
