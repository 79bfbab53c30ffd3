#include "model/declared_source.h"

#include <QHash>

#include "text/ansi.h"

namespace {

using plsql::Declaration;
using plsql::DeclarationKind;

bool IsSubprogram(const Declaration& d) {
  return d.kind == DeclarationKind::Procedure || d.kind == DeclarationKind::Function;
}

QStringList ParameterNames(const Declaration& d) {
  QStringList names;
  for (const plsql::Parameter& p : d.parameters) names.append(ansi::UpperCase(p.name));
  return names;
}

// The parameters' types as written, in one case and spacing.
QStringList ParameterTypes(const Declaration& d) {
  QStringList types;
  for (const plsql::Parameter& p : d.parameters) types.append(ansi::UpperCase(p.type.simplified()));
  return types;
}

// The implementation of `d`, the `nth` declaration of its name. Overloads often differ in
// their types alone (put(p_text VARCHAR2), put(p_text CLOB)): the one with the same
// parameter names and types, else the `nth` of the name if its names are the same, else the
// first with the same names, else the `nth` of the name.
const Declaration* Implementation(const Declaration& d, int nth,
                                  const QList<Declaration>& body) {
  const QStringList names = ParameterNames(d);
  const QStringList types = ParameterTypes(d);
  const Declaration *byOrder = nullptr, *byNames = nullptr;
  int seen = 0;
  for (const Declaration& b : body) {
    if (!IsSubprogram(b) || b.name != d.name) continue;
    if (seen++ == nth) byOrder = &b;
    if (ParameterNames(b) != names) continue;
    if (ParameterTypes(b) == types) return &b;
    if (!byNames) byNames = &b;
  }
  if (byOrder && ParameterNames(*byOrder) == names) return byOrder;
  return byNames ? byNames : byOrder;
}

// A type as a declaration writes it. The dictionary names some types by their kind ("PL/SQL
// BOOLEAN", "PL/SQL RECORD", "REF CURSOR", "OBJECT", "TABLE"), which no declaration writes:
// the declared type, where the source gives one, takes the place of such a label, and
// without one a "PL/SQL" label is spelt as PL/SQL spells the type ("PL/SQL PLS INTEGER" as
// PLS_INTEGER).
QString AsDeclared(const QString& dictionary, const QString& declared) {
  static const QString kPlsql = QStringLiteral("PL/SQL ");
  static const QStringList kKinds{"REF CURSOR", "OBJECT", "TABLE", "VARRAY", "UNDEFINED"};
  const bool label = dictionary.startsWith(kPlsql) || kKinds.contains(dictionary);
  if (!label) return dictionary;
  if (!declared.isEmpty()) return declared;
  if (!dictionary.startsWith(kPlsql)) return dictionary;
  return dictionary.mid(kPlsql.size()).replace(u' ', u'_');
}

// A form of the dictionary's that no declaration of the source matched.
Signature AsDeclared(Signature s) {
  s.returnType = AsDeclared(s.returnType, {});
  for (ModelArgument& a : s.arguments) a.type = AsDeclared(a.type, {});
  return s;
}

// The form as the source declares it, where the dictionary has none.
Signature FromSource(const Declaration& d) {
  Signature s;
  s.name = d.name;
  s.returnType = d.returnType;
  s.options = d.options;
  for (const plsql::Parameter& p : d.parameters)
    s.arguments.append({p.name, p.mode, p.type, p.defaultValue, {}, false});
  return s;
}

// Defaults as the specification declares them where the dictionary has none of its own,
// and the descriptions the documentation gives: @param, or else the parameter's trailing
// comment in the specification or in the implementation.
void AddDetails(Signature& s, const Declaration& spec, const Declaration* implementation,
                const plsql::DocComment* doc) {
  const auto find = [](const Declaration* d, const QString& name) -> const plsql::Parameter* {
    if (!d) return nullptr;
    for (const plsql::Parameter& p : d->parameters) {
      if (ansi::UpperCase(p.name) == name) return &p;
    }
    return nullptr;
  };
  s.returnType = AsDeclared(s.returnType, spec.returnType);
  s.options = spec.options;
  for (ModelArgument& a : s.arguments) {
    const QString name = ansi::UpperCase(a.name);
    const plsql::Parameter* declared = find(&spec, name);
    a.type = AsDeclared(a.type, declared ? declared->type : QString());
    if (a.defaultValue.isEmpty() && declared) a.defaultValue = declared->defaultValue;
    if (a.defaultValue.isEmpty() && a.defaulted) a.defaultValue = QStringLiteral("\u2026");
    if (!doc) continue;
    for (const plsql::DocTag& t : doc->parameters) {
      if (ansi::UpperCase(t.name) == name && !t.text.isEmpty()) a.description = t.text;
    }
    if (a.description.isEmpty() && declared) a.description = declared->comment;
    if (const plsql::Parameter* own = find(implementation, name); a.description.isEmpty() && own)
      a.description = own->comment;
  }
}

}  // namespace

QList<Signature> JoinDeclared(const QList<Declaration>& subprograms, QList<Signature> dictionary,
                              bool withDocs, const QList<Declaration>& body) {
  QList<Signature> joined;
  QList<bool> taken(dictionary.size(), false);
  QHash<QString, int> seen;  // declarations of each name so far
  for (const Declaration& d : subprograms) {
    if (!IsSubprogram(d)) continue;
    const int nth = seen[d.name]++;
    Signature s;
    qsizetype match = -1;
    for (qsizetype i = 0, n = 0; i < dictionary.size() && match < 0; ++i) {
      if (dictionary[i].name == d.name && n++ == nth) match = i;
    }
    if (match >= 0) {
      s = dictionary[match];
      taken[match] = true;
    } else {
      s = FromSource(d);
    }
    const Declaration* implementation = nullptr;
    if (withDocs) {
      implementation = Implementation(d, nth, body);
      s.doc = d.doc;
      if (s.doc.IsEmpty() && implementation && !implementation->doc.IsEmpty()) {
        s.doc = implementation->doc;
        s.doc.fromBody = true;
      }
    }
    AddDetails(s, d, implementation, withDocs ? &s.doc : nullptr);
    joined.append(std::move(s));
  }
  for (qsizetype i = 0; i < dictionary.size(); ++i) {
    if (!taken[i]) joined.append(AsDeclared(std::move(dictionary[i])));
  }
  return joined;
}

QList<ModelDeclaration> OtherDeclarations(const QList<Declaration>& declarations) {
  QList<ModelDeclaration> others;
  for (const Declaration& d : declarations) {
    QString kind;
    switch (d.kind) {
      case DeclarationKind::Type: kind = QStringLiteral("Type"); break;
      case DeclarationKind::Subtype: kind = QStringLiteral("Subtype"); break;
      case DeclarationKind::Constant: kind = QStringLiteral("Constant"); break;
      case DeclarationKind::Variable: kind = QStringLiteral("Variable"); break;
      case DeclarationKind::Exception: kind = QStringLiteral("Exception"); break;
      case DeclarationKind::Cursor: kind = QStringLiteral("Cursor"); break;
      case DeclarationKind::Procedure:
      case DeclarationKind::Function: continue;
    }
    others.append({kind, d.name, d.text, d.doc});
  }
  return others;
}

const plsql::Unit* FindUnit(const QList<plsql::Unit>& units, plsql::UnitKind kind) {
  for (const plsql::Unit& u : units) {
    if (u.kind == kind) return &u;
  }
  return nullptr;
}
