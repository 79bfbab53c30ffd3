#pragma once
// What the stored source declares, joined with what the dictionary says of it: the
// subprograms of a package or a stand-alone unit come from the parsed source, in source
// order, so a procedure without arguments (of which the dictionary keeps no argument rows)
// is there too; the dictionary's argument rows add their types and modes, matched to the
// declarations of one name in order (overloads). Where the dictionary names a type by its
// kind ("PL/SQL RECORD"), the declared type takes its place. A default comes from the
// declaration; a snapshot's own default_value takes its place. Source that cannot be read
// leaves the dictionary's forms, their types spelt as PL/SQL spells them.

#include <QList>

#include "model/document_model.h"
#include "plsql/source_parser.h"

// `subprograms`: the parsed declarations, in source order (other kinds are passed over);
// `dictionary`: the forms the argument rows give, in declaration order. Forms the source
// does not declare (another branch of conditional code) follow, in their order. With
// `withDocs`, each form takes the declaration's documentation comment, or failing that
// the comment of its implementation among `body` (the package body's subprograms), and
// its arguments their descriptions.
QList<Signature> JoinDeclared(const QList<plsql::Declaration>& subprograms,
                              QList<Signature> dictionary, bool withDocs,
                              const QList<plsql::Declaration>& body = {});

// The package's declarations other than subprograms, with their documentation comments.
QList<ModelDeclaration> OtherDeclarations(const QList<plsql::Declaration>& declarations);

// The first unit of `kind` in the parsed units; nullptr when there is none.
const plsql::Unit* FindUnit(const QList<plsql::Unit>& units, plsql::UnitKind kind);
