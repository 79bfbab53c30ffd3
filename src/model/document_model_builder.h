#pragma once
// Fills the document model from the project and the dictionary: the one place the modern
// formats read the dictionary.
//
// Like the classic build it walks the entries of every enabled kind in the order of
// addition, reports the same progress texts and steps, and logs on with an entry's stored
// connection when it differs from the previous entry's. A failed log-on or query ends the
// fill with DatabaseError (already reported by the Database's error handler).

#include <QSet>
#include <QString>

class Project;
class Database;
class BuildProgress;
struct Settings;
struct DocumentModel;
struct TableObject;
struct ViewObject;
struct UnitObject;
struct PackageObject;
class TriggerAnchors;

// What to read: all that a document shows, or only what the coverage report counts
// (descriptions, comments, columns, comment blocks, declared arguments), leaving a table's
// synonyms, keys, indexes and references out.
enum class ModelScope { Document, Coverage };

// Takes each table, view, unit and package as it is read, so that a build of many objects
// need not hold them: the model then keeps of each only its index (IndexOf). What only the
// whole document knows is not in the object yet: the anchors of the tables that reference
// a table or that its foreign keys reference, and of the objects it uses or is used by
// (the index has them once the model is complete).
class ObjectSink {
 public:
  virtual ~ObjectSink() = default;
  virtual void Take(const TableObject& table) = 0;
  virtual void Take(const ViewObject& view) = 0;
  virtual void Take(const UnitObject& unit) = 0;
  virtual void Take(const PackageObject& package) = 0;
  // Where every trigger of the tables and views is shown, once all are taken.
  virtual void Take(TriggerAnchors triggers) = 0;
};

DocumentModel BuildDocumentModel(const Project& project, const Settings& settings, Database& db,
                                 BuildProgress& progress,
                                 ModelScope scope = ModelScope::Document,
                                 ObjectSink* sink = nullptr);

// What the model keeps of an object that went to a sink: its key, anchor and whether it
// was found; a unit's type; a package's members' names, anchors and types (the contents
// and links name them). A table's keys and references are the model's TableKeys, and the
// sink gathers the triggers' anchors (TriggerAnchors).
// Texts that many objects' indexes repeat (databases, owners) are taken from `shared`, so
// each is held once.
TableObject IndexOf(const TableObject& table, QSet<QString>& shared);
ViewObject IndexOf(const ViewObject& view, QSet<QString>& shared);
UnitObject IndexOf(const UnitObject& unit, QSet<QString>& shared);
PackageObject IndexOf(const PackageObject& package, QSet<QString>& shared);
