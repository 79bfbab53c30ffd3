#pragma once
// What a modern document holds, as plain typed values: filled once from the project and the
// dictionary (document_model_builder.h), then rendered by each modern format. Nothing here
// renders; every text is as the project or the dictionary holds it, unescaped.
//
// Every object is known by its database, owner and name (ObjectKey), from which its full
// name and its stable anchor follow, so links between objects (foreign keys, references,
// package members) are keys, and a rebuild gives every object the same anchor.

#include <QList>
#include <QString>
#include <QStringList>

#include "classic/comment_tags.h"
#include "model/table_keys.h"
#include "plsql/doc_comment.h"

struct ObjectKey {
  QString database;  // the entry's ServerName, upper case
  QString owner;     // the schema: the entry's UserName, upper case
  QString name;      // as the dictionary spells it

  // DATABASE.OWNER.NAME.
  QString FullName() const;
  // The anchor: the three parts each made safe for a URL fragment and a file name, joined
  // with ".". It is the same for the same key in every build and differs for different keys.
  QString Anchor() const;

  friend bool operator==(const ObjectKey&, const ObjectKey&) = default;
};

// One part of an anchor: upper-case ASCII letters become lower case; digits, "_" and "$"
// stay; every other character becomes "-", its code point in hex, "-". So the result is
// lower-case ASCII, and different parts never give the same text.
QString AnchorPart(const QString& part);

// The anchor of what an object's section shows within it (a table's or view's trigger, a
// package's member): the object's anchor, ".", AnchorPart(name). A name taken twice gets a
// "~n" suffix where the anchor is given out, not here.
QString InnerAnchor(const QString& objectAnchor, const QString& name);

struct ModelColumn {
  QString name;
  QString type;          // as a DBA writes it: NUMBER(8,2), VARCHAR2(30 CHAR), DATE
  bool nullable = true;
  QString defaultValue;  // the default expression, trimmed; empty when none
  QString comment;       // the dictionary's column comment
};

enum class ConstraintKind { Primary, Unique, Foreign, Check };

struct ModelConstraint {
  QString name;
  ConstraintKind kind = ConstraintKind::Check;
  QStringList columns;          // in key order
  QString condition;            // a check constraint's condition
  ObjectKey references;         // a foreign key's referenced table (same database)
  QStringList referencedColumns;  // paired with `columns` by position
  QString referencedAnchor;     // that table's anchor when it is in the document, else empty
};

struct IndexColumn {
  QString name;  // the column, or the expression a function-based index orders by
  bool descending = false;
};

struct ModelIndex {
  QString name;
  bool unique = false;
  QList<IndexColumn> columns;  // in index order
};

// A synonym of a table: the synonym's owner (PUBLIC for a public one) and name.
struct ModelSynonym {
  QString owner;
  QString name;
};

// An object one step away in the dictionary's dependencies: one that a documented object
// uses, or one that uses it (a package body's use is its package's). Same database.
struct ModelDependency {
  ObjectKey object;
  QString type;    // as the dictionary says: TABLE, VIEW, FUNCTION, PACKAGE, TRIGGER, SYNONYM, ...
  QString anchor;  // its anchor when the document shows it, else empty
  QString page;    // a trigger's table or view, whose page holds the anchor; else empty
};

// What an object uses and what uses it, by kind (what_uses_what.h gives the order); the
// PL/SQL every unit uses (SYS.STANDARD, SYS.DBMS_STANDARD) is left out.
struct ModelDependencies {
  QList<ModelDependency> uses;
  QList<ModelDependency> usedBy;
};

// A documented table whose foreign key references the table that holds this.
struct ModelReference {
  ObjectKey table;
  QString anchor;       // the referencing table's anchor
  QString constraint;
  QStringList columns;  // the referencing table's columns
};

// A trigger on a documented table or view, as the dictionary keeps it.
struct ModelTrigger {
  QString owner;   // the trigger's (the table's, as a rule)
  QString name;
  QString anchor;  // the table's or view's anchor, ".", AnchorPart(name)
  QString timing;  // BEFORE, AFTER, INSTEAD OF or COMPOUND
  QString event;   // INSERT, UPDATE OF JOB_ID, DEPARTMENT_ID, DELETE joined by " OR "
  bool eachRow = false;  // FOR EACH ROW; else once per statement
  QString when;    // the WHEN condition; empty when none
  QString header;  // as written, from the name to the block (the dictionary's description)
  bool enabled = true;
  bool invalid = false;   // the dictionary's status is INVALID
  QStringList body;       // the block (or CALL), one line each
  plsql::DocComment doc;  // what the documentation comments say of it
};

struct TableObject {
  ObjectKey key;
  QString anchor;             // unique in the document (Anchor(), or with a "~n" suffix)
  QString description;        // the project's
  QString dictionaryComment;  // the dictionary's own comment
  bool found = false;         // the dictionary knows the table
  QList<ModelSynonym> synonyms;  // the synonyms that point at this owner's table, by owner
  QList<ModelColumn> columns;
  QList<ModelConstraint> constraints;  // primary, unique, foreign, check; by name
  QList<ModelIndex> indexes;
  QList<ModelReference> referencedBy;  // among the tables of the document
  ModelDependencies dependencies;
  QList<ModelTrigger> triggers;  // by name

  const ModelConstraint* PrimaryKey() const;
};

struct ViewObject {
  ObjectKey key;
  QString anchor;
  QString description;
  QString dictionaryComment;
  bool found = false;
  QList<ModelColumn> columns;
  QString text;  // the defining query
  bool invalid = false;  // the dictionary's status is INVALID: the view does not compile
  ModelDependencies dependencies;
  QList<ModelTrigger> triggers;  // INSTEAD OF triggers, by name
};

// An argument as the source and the dictionary declare it.
struct ModelArgument {
  QString name;
  QString inOut;  // IN, OUT or IN OUT, as PL/SQL writes it (the dictionary says IN/OUT)
  QString type;
  // The default expression as the declaration writes it (a dictionary snapshot's own value
  // takes its place); "…" when the dictionary says there is a default the source does not
  // show.
  QString defaultValue;
  QString description;  // what the documentation comments say of it (@param, a trailing comment)
  bool defaulted = false;  // the dictionary's DEFAULTED: the argument has a default
};

// One declared form of a unit or member (several for an overloaded member).
struct Signature {
  QString name;
  QList<ModelArgument> arguments;  // in declaration order
  QString returnType;              // empty for a procedure
  QString overload;                // the dictionary's overload number; empty when declared once
  // What the documentation comments say of this form; empty when comment tags describe
  // the unit or member, or documentation comments are not read.
  plsql::DocComment doc;
  QString options;  // PIPELINED, DETERMINISTIC ... as the source writes them after RETURN
};

// A package's declaration other than a subprogram (a type, a constant, an exception, a
// cursor, a variable), as its specification writes it.
struct ModelDeclaration {
  QString kind;  // "Type", "Subtype", "Constant", "Exception", "Cursor", "Variable"
  QString name;
  QString text;  // the declaration, blanks collapsed
  plsql::DocComment doc;
};

struct UnitObject {
  ObjectKey key;   // name without the type
  QString anchor;
  QString type;    // FUNCTION or PROCEDURE
  bool found = false;              // the dictionary has its source
  QList<CommentBlock> blocks;      // its tagged comment blocks
  QList<Signature> signatures;     // from its source, the dictionary adding details
  QStringList source;              // the stored source, one line each, line ends removed
  bool invalid = false;            // the dictionary's status is INVALID
  ModelDependencies dependencies;
};

// A subprogram the package declares, under one name: its overloads and the comment blocks
// whose headings name it.
struct MemberObject {
  QString name;     // as declared (the dictionary's spelling)
  QString anchor;   // the package's anchor, ".", AnchorPart(name)
  QString type;     // FUNCTION or PROCEDURE: the kind of its first declaration
  QList<CommentBlock> blocks;   // in source order
  QList<Signature> signatures;  // in declaration order
};

struct PackageObject {
  ObjectKey key;
  QString anchor;
  QString description;  // the project's
  bool found = false;
  plsql::DocComment doc;  // what the documentation comments say of the package
  QList<ModelDeclaration> declarations;  // with documentation comments read: types, constants, ...
  // The subprograms the specification declares, in declaration order (package_members.h).
  QList<MemberObject> members;
  // Member blocks whose headings name no declared subprogram: text of the package.
  QList<CommentBlock> textBlocks;
  QStringList source;  // the specification
  bool invalid = false;  // the specification's or the body's status is INVALID
  ModelDependencies dependencies;  // the specification's and the body's
};

// A sequence or a role: name and description only (a role's owner is empty).
struct ListEntry {
  ObjectKey key;
  QString anchor;
  QString description;
  // The entry's schema still has it: a sequence of its own, a grantee of its grants.
  bool found = true;
  ModelDependencies dependencies;  // a sequence's
};

enum class SectionKind { General, Tables, Views, Units, Packages, Sequences, Roles };

// A change since an older snapshot of the document's dictionary (changes/schema_changes.h).
struct ModelChange {
  ObjectKey key;   // the object changed
  QString text;    // the change in words
  bool breaking = false;
  QString anchor;  // the object's anchor when the document shows it, else empty
  bool sequence = false;  // a sequence's: listed with the others, not on a page of its own
};

struct DocumentModel {
  QString name, version, created, updated;
  QString general;
  bool contents = true;        // the Content part: a contents list / side panel
  QList<SectionKind> sections;  // the enabled sections, in document order

  QList<TableObject> tables;
  // Their keys and the foreign keys between them, filled with the tables.
  TableKeys tableKeys;
  QList<ViewObject> views;
  QList<UnitObject> units;
  QList<PackageObject> packages;
  QString sequencesText;
  QList<ListEntry> sequences;
  QString rolesText;
  QList<ListEntry> roles;

  // The older snapshot the dictionary was compared with (its name); empty when none was.
  QString changesSince;
  QList<ModelChange> changes;
};

// Whether a declared form carries documentation comments.
bool HasDocComment(const QList<Signature>& signatures);

// The title of a section ("Tables", "Procedures and functions", ...).
QString SectionTitle(SectionKind kind);

// The entries of a section (its objects, or its sequences or roles; the general text has
// none), and the key and the anchor of its i-th.
qsizetype EntryCount(const DocumentModel& model, SectionKind kind);
const ObjectKey& EntryKey(const DocumentModel& model, SectionKind kind, qsizetype i);
const QString& EntryAnchor(const DocumentModel& model, SectionKind kind, qsizetype i);

// What `f` returns for the i-th entry of a section, handed to it as its own type.
template <typename F>
decltype(auto) VisitEntry(const DocumentModel& model, SectionKind kind, qsizetype i, F&& f) {
  switch (kind) {
    case SectionKind::Tables: return f(model.tables[i]);
    case SectionKind::Views: return f(model.views[i]);
    case SectionKind::Units: return f(model.units[i]);
    case SectionKind::Packages: return f(model.packages[i]);
    case SectionKind::Sequences: return f(model.sequences[i]);
    default: return f(model.roles[i]);
  }
}
