#pragma once
// The keys of a document's tables and the foreign keys between them, held for the whole
// build in a few flat arrays: what the drawings show of a table's neighbours and what a
// table read back from the build's temporary file learns only from the others (the anchors
// its foreign keys reference, the tables that reference it). Names are ids into one store
// of texts, each held once; a foreign key's target and a referencing key are positions in
// the document's list of tables.

#include <QList>
#include <QString>
#include <string>
#include <vector>

struct TableObject;
struct ModelReference;

class TableKeys {
 public:
  // The table's primary, unique and foreign keys and the columns they use (in the table's
  // order); one call per table, in document order.
  void Add(const TableObject& table);
  // Once every table is added, `tables` being the document's in the same order: each
  // foreign key to one of them finds it (the last of a name chosen twice), and that table
  // lists the key.
  void Link(const QList<TableObject>& tables);
  qsizetype Size() const { return qsizetype(tables_.size()); }

  // The i-th of `tables` as the drawings read it: its key, anchor and found flag, its key
  // columns, its keys (a foreign key's name, columns, referenced columns and the anchor
  // of the table of the document it references) and the tables that reference it.
  TableObject Shape(const QList<TableObject>& tables, qsizetype i) const;
  // The i-th table, read back in full, given the anchors its foreign keys reference and the
  // tables that reference it.
  void Complete(const QList<TableObject>& tables, qsizetype i, TableObject& full) const;

 private:
  struct Key {
    quint8 kind;      // a ConstraintKind
    quint32 name;     // a foreign key's; the others' are not kept
    qint32 target;    // the referenced table's position; -1 when it is not documented
    quint32 columns, count;  // in ids_
    quint32 referencedColumns, referencedCount;  // in ids_ (a foreign key's)
  };
  struct Table {
    quint32 columns, columnCount;  // in ids_
    quint32 keys, keyCount;        // in keys_
    quint32 referencedBy, referencedByCount;  // in referencedBy_
  };
  // A foreign key that references a table: the position of the referencing table and of
  // the key in keys_.
  struct Reference {
    quint32 table, key;
  };

  quint32 Id(const QString& text);
  // The ids of `texts` appended to ids_; where they start.
  quint32 Ids(const QList<QString>& texts);
  QString Text(quint32 id) const;
  QList<QString> Texts(quint32 first, quint32 count) const;
  QList<ModelReference> ReferencedBy(const QList<TableObject>& tables, qsizetype i) const;

  std::vector<Table> tables_;
  std::vector<Key> keys_;
  std::vector<quint32> ids_;
  std::vector<Reference> referencedBy_;
  // The texts one after another, as UTF-16 so that each reads back exactly, and where
  // each starts (one more: the end).
  std::u16string texts_;
  std::vector<quint32> starts_{0};
  // Until Link: the texts' ids in a table open by their hashes (an id plus one; 0 is a free
  // slot), so that each text is stored once; and, for each foreign key, its position in
  // keys_ and the texts of the table it references.
  std::vector<quint32> slots_;
  struct Pending {
    quint32 key, database, owner, name;
  };
  std::vector<Pending> pending_;
};
