#pragma once
// What the comparison of two snapshots reads of each: per owner, the objects a document
// shows, with the parts whose change can break a caller. Maps keep names sorted, so that
// whatever order a snapshot holds its rows in, the same dictionary reads the same.

#include <QByteArrayList>
#include <QHash>
#include <QString>
#include <QStringList>
#include <map>
#include <memory>
#include <set>
#include <vector>

#include "db/column_type.h"

class LimitedConnection;

namespace changes {

struct SnapshotReads;

struct ColumnState {
  ColumnType type;
  QString typeText;  // as a DBA writes it: NUMBER(8,2), VARCHAR2(40 CHAR)
  bool nullable = true;
  QString defaultValue;  // trimmed; "" for none
  QString comment;
};

// A key or check: "PRIMARY KEY (ID)", "FOREIGN KEY (DEPT_ID) REFERENCES HR.DEPT (ID)".
struct ConstraintState {
  QString name;  // as the dictionary names it
  QString type;  // P, U, R, C
  QString text;  // what it demands, as above
};

struct IndexState {
  QString name;
  bool unique = false;
  QString text;  // "UNIQUE (A, B DESC)"
};

struct TableState {
  QString comment;
  std::map<QString, ColumnState> columns;
  // Keyed by name, but a name the database made up (SYS_C...) by what it demands: two
  // databases built from the same script name such keys differently.
  std::map<QString, ConstraintState> constraints;
  std::map<QString, IndexState> indexes;
};

struct ViewState {
  QString text;
  QString comment;
  std::map<QString, ColumnState> columns;
};

struct ArgumentState {
  // Whether the argument has a default; Unknown where the snapshot does not say
  // (dba_arguments.defaulted NULL or missing, no default_value).
  enum class Default { Unknown, No, Yes };
  QString name;
  QString type;
  QString mode;  // IN, OUT, IN/OUT
  Default defaulted = Default::Unknown;
};

// A procedure's or function's parameters in declaration order; a function's return type.
struct Signature {
  std::vector<ArgumentState> arguments;
  QString returns;  // "" for a procedure
};

struct UnitState {
  QString type;  // FUNCTION or PROCEDURE
  Signature signature;
};

struct PackageState {
  // Members by name, an overloaded one as NAME, NAME#2, ... in declaration order.
  std::map<QString, Signature> members;
};

struct OwnerState {
  std::map<QString, TableState> tables;
  std::map<QString, ViewState> views;
  std::set<QString> sequences;
  std::map<QString, UnitState> units;
  std::map<QString, PackageState> packages;
};

// The details of a column's type and default that a snapshot holds: one made before
// dba_tab_columns had data_scale, char_length, char_used or data_default lacks them.
struct ColumnDetails {
  bool scale = true;
  bool charLength = true;
  bool charUsed = true;
  bool defaults = true;
};

struct SchemaState {
  std::map<QString, OwnerState> owners;
  // The snapshot declares arguments (dba_arguments has rows): signatures can be compared.
  bool hasSignatures = false;
  ColumnDetails columnDetails;
};

// Reads one snapshot (through its prepared dictionary, under the snapshot limits) in two
// steps, so that comparing two large ones costs little more than what differs: first the
// objects of the owners asked for with a digest of each one's parts, then the parts of
// the objects whose digests differ. Throws BackendFailure.
class SnapshotReader {
 public:
  // `owners` limits the reading to those owners; empty: every owner.
  SnapshotReader(const QString& path, const QStringList& owners);
  ~SnapshotReader();
  SnapshotReader(const SnapshotReader&) = delete;
  SnapshotReader& operator=(const SnapshotReader&) = delete;

  // Every object by owner and name, its parts empty until read.
  const SchemaState& State() const { return state_; }
  // What an object's parts hash to: the same in two snapshots when they are alike (names
  // the database made up left out), whatever order the rows are in.
  quint64 Digest(const QString& owner, const QString& name) const;
  // Reads the parts of the object `name` of `owner`: comment, columns, keys, indexes and
  // text of a table or view, the signature of a unit, the members of a package.
  void ReadParts(const QString& owner, const QString& name);

 private:
  void ReadObjects();
  void ReadDigests();

  std::unique_ptr<LimitedConnection> connection_;
  std::unique_ptr<SnapshotReads> reads_;  // the statements of the reads, kept for reuse
  QByteArrayList owners_;
  SchemaState state_;
  QHash<QByteArray, quint64> digests_;  // by owner + '\x1f' + name
};

// The users of the snapshot at `path` (its dba_users), by name. Throws BackendFailure.
QStringList SnapshotUsers(const QString& path);

}  // namespace changes
