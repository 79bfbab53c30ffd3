#pragma once
// The declarations of PL/SQL source and the documentation written around them: package
// specifications and bodies, stand-alone procedures and functions and triggers, as the
// dictionary stores them (from PACKAGE, PROCEDURE, TRIGGER ... on) or as a script writes
// them (CREATE OR REPLACE ..., several units, "/" lines between).
//
// A comment documents a declaration when it stands
// - as a /** ... */ block before it (blank lines may come between),
// - as a run of comments directly above it (no blank line between),
// - directly after its header: after IS/AS of a package or unit (the first comment of a
//   package's declarations, unless it stands right above one; a licence there is passed
//   over), after a trigger's header (before its DECLARE or BEGIN), after the ";" of a
//   package member (comments each right under one declaration and right above the next go
//   the way that leaves each to a declaration of its own, else the way the source's other
//   comments favour; above when they are even),
// - failing those, for an implementation: a /* */ block, or comment lines set apart by a
//   blank line, that opens its statements right after BEGIN,
// and a trailing comment on a parameter's line describes that parameter. Comments
// anywhere else are not documentation, and neither is a comment above the first unit of a
// script (a licence) unless it is a Javadoc block. Reading never fails: what follows a
// construct the parser does not know is skipped up to the next ";", and a unit it cannot
// read at all gives no declarations.

#include <QList>
#include <QString>
#include <QStringList>

#include "plsql/doc_comment.h"

namespace plsql {

struct Parameter {
  QString name;          // upper case, or as quoted
  QString mode;          // IN, OUT, IN OUT (NOCOPY dropped); IN when none is written
  QString type;          // as written
  QString defaultValue;  // the DEFAULT or := expression as written; empty when none
  QString comment;       // the trailing comment on its line, markers gone
};

enum class DeclarationKind { Procedure, Function, Type, Subtype, Constant, Variable, Exception, Cursor };

struct Declaration {
  DeclarationKind kind = DeclarationKind::Procedure;
  QString name;        // upper case, or as quoted
  int firstLine = 0;   // 1-based lines of the source
  int lastLine = 0;
  QList<Parameter> parameters;  // subprograms and cursors
  QString returnType;           // functions (and cursors with RETURN)
  // What a subprogram's header says after its return type, as written: PIPELINED,
  // DETERMINISTIC, RESULT_CACHE, ACCESSIBLE BY (...); a caller must know some of them.
  QString options;
  QString text;        // the declaration as written, blanks and comments collapsed
  DocComment doc;
};

enum class UnitKind { Unknown, PackageSpec, PackageBody, Procedure, Function, Trigger };

struct Unit {
  UnitKind kind = UnitKind::Unknown;
  QString name;  // upper case, or as quoted; without its schema
  int firstLine = 0;
  int lastLine = 0;
  DocComment doc;
  // A package's declarations in source order (a body's: its subprograms); a stand-alone
  // unit's own declaration (its parameters and return type); none for a trigger.
  QList<Declaration> declarations;
};

QList<Unit> ParseSource(const QString& text);
// Lines as the dictionary stores them (each with or without its line end).
QList<Unit> ParseSource(const QStringList& lines);

}  // namespace plsql
