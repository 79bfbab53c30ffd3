#include "changes/schema_changes.h"

#include <QRegularExpression>
#include <climits>
#include <future>
#include <set>

namespace changes {
namespace {

const QString& KeyOf(const QString& key) { return key; }
template <class K, class V>
const K& KeyOf(const std::pair<const K, V>& entry) {
  return entry.first;
}

// Walks two sorted containers side by side: `gone` for a key only in `a`, `come` for one
// only in `b`, `both` for one in each.
template <class C, class Gone, class Come, class Both>
void Merge(const C& a, const C& b, Gone gone, Come come, Both both) {
  auto i = a.begin();
  auto j = b.begin();
  while (i != a.end() || j != b.end()) {
    if (j == b.end() || (i != a.end() && KeyOf(*i) < KeyOf(*j))) {
      gone(*i++);
    } else if (i == a.end() || KeyOf(*j) < KeyOf(*i)) {
      come(*j++);
    } else {
      both(*i++, *j++);
    }
  }
}

// Adds the changes of one object.
struct Note {
  std::vector<Change>& out;
  QString owner, objectType, object;
  void operator()(const char* kind, const QString& item, const QString& argument,
                  const QString& oldValue, const QString& newValue, bool breaking) const {
    out.push_back({owner, objectType, object, QLatin1String(kind), item, argument, oldValue,
                   newValue, breaking});
  }
};

// NUMBER's integer and fraction digits; NUMBER without a precision holds any.
std::pair<int, int> Digits(const ColumnType& t) {
  bool hasPrecision = false, hasScale = false;
  const int p = t.dataPrecision.toInt(&hasPrecision);
  const int s = t.dataScale.toInt(&hasScale);
  if (!hasPrecision) return {INT_MAX, hasScale ? s : INT_MAX};
  return {p - (hasScale ? s : 0), hasScale ? s : 0};
}

bool CountsCharacters(const ColumnType& t) {
  return t.charUsed == QLatin1String("C") && t.charLength.toInt() > 0;
}
int Length(const ColumnType& t) {
  return CountsCharacters(t) ? t.charLength.toInt() : t.dataLength.toInt();
}

// Whether a TIMESTAMP or INTERVAL type, whose precisions are part of its name
// (TIMESTAMP(3) WITH TIME ZONE, INTERVAL DAY(2) TO SECOND(6)), is the same type with no
// precision smaller.
bool PrecisionsWidened(const QString& before, const QString& after) {
  static const QRegularExpression kPrecision(QStringLiteral("\\((\\d+)\\)"));
  const auto precisions = [](const QString& type) {
    std::vector<int> found;
    for (const QRegularExpressionMatch& m : kPrecision.globalMatch(type))
      found.push_back(m.captured(1).toInt());
    return found;
  };
  if (QString(before).replace(kPrecision, QStringLiteral("()")) !=
      QString(after).replace(kPrecision, QStringLiteral("()")))
    return false;
  const std::vector<int> was = precisions(before), is = precisions(after);
  for (size_t i = 0; i < was.size(); ++i)
    if (is[i] < was[i]) return false;
  return true;
}

// Whether `after` holds every value `before` holds: the same type, no shorter, no fewer
// digits on either side of the point or in a fraction of a second. A length in bytes that
// becomes the same length in characters holds more; the other way it may hold less.
bool Widened(const ColumnType& before, const ColumnType& after) {
  if (before.dataType.startsWith(QLatin1String("TIMESTAMP")) ||
      before.dataType.startsWith(QLatin1String("INTERVAL")))
    return PrecisionsWidened(before.dataType, after.dataType);
  if (before.dataType != after.dataType) return false;
  const QString& type = before.dataType;
  if (type == QLatin1String("NUMBER")) {
    const auto [intBefore, fracBefore] = Digits(before);
    const auto [intAfter, fracAfter] = Digits(after);
    return intAfter >= intBefore && fracAfter >= fracBefore;
  }
  if (type == QLatin1String("FLOAT")) {
    bool a = false, b = false;
    const int p = before.dataPrecision.toInt(&a), q = after.dataPrecision.toInt(&b);
    return (a ? p : 126) <= (b ? q : 126);
  }
  static const QStringList kLengthTypes = {"CHAR", "VARCHAR2", "NCHAR", "NVARCHAR2", "RAW"};
  if (kLengthTypes.contains(type)) {
    if (CountsCharacters(before) && !CountsCharacters(after)) return false;
    return Length(after) >= Length(before);
  }
  return false;
}

QString Nullability(const ColumnState& c) {
  return c.nullable ? QStringLiteral("NULL") : QStringLiteral("NOT NULL");
}

QString Declaration(const ColumnState& c) {
  QString text = c.typeText;
  if (!c.nullable) text += QLatin1String(" NOT NULL");
  if (!c.defaultValue.isEmpty()) text += " DEFAULT " + c.defaultValue;
  return text;
}

// The type with the details left out that one of the two snapshots does not hold, so that
// what only one of them says is not taken for a change.
ColumnType Comparable(ColumnType type, const ColumnDetails& held) {
  if (!held.scale) type.dataScale.clear();
  if (!held.charLength) type.charLength.clear();
  if (!held.charUsed) type.charUsed.clear();
  return type;
}

void CompareColumns(const Note& note, const std::map<QString, ColumnState>& a,
                    const std::map<QString, ColumnState>& b, bool table,
                    const ColumnDetails& held) {
  Merge(
      a, b,
      [&](const auto& gone) {
        note("column_removed", gone.first, {}, Declaration(gone.second), {}, true);
      },
      [&](const auto& come) {
        const ColumnState& c = come.second;
        // Rows written without it must get a value.
        note("column_added", come.first, {}, {}, Declaration(c),
             table && !c.nullable && c.defaultValue.isEmpty());
      },
      [&](const auto& x, const auto& y) {
        const QString& name = x.first;
        const ColumnState &before = x.second, &after = y.second;
        const ColumnType typeBefore = Comparable(before.type, held);
        const ColumnType typeAfter = Comparable(after.type, held);
        const QString textBefore = ColumnTypeText(typeBefore);
        const QString textAfter = ColumnTypeText(typeAfter);
        if (textBefore != textAfter)
          note("column_type_changed", name, {}, textBefore, textAfter,
               !Widened(typeBefore, typeAfter));
        if (before.nullable != after.nullable)
          note("column_nullability_changed", name, {}, Nullability(before), Nullability(after),
               table && !after.nullable);
        if (held.defaults && before.defaultValue != after.defaultValue)
          note("column_default_changed", name, {}, before.defaultValue, after.defaultValue,
               table && after.defaultValue.isEmpty() && !after.nullable);
        if (before.comment != after.comment)
          note("column_comment_changed", name, {}, before.comment, after.comment, false);
      });
}

void CompareTables(std::vector<Change>& out, const QString& owner,
                   const std::map<QString, TableState>& a, const std::map<QString, TableState>& b,
                   const ColumnDetails& held) {
  const auto noteFor = [&](const QString& name) { return Note{out, owner, "table", name}; };
  Merge(
      a, b, [&](const auto& gone) { noteFor(gone.first)("removed", {}, {}, {}, {}, true); },
      [&](const auto& come) { noteFor(come.first)("added", {}, {}, {}, {}, false); },
      [&](const auto& x, const auto& y) {
        const Note note = noteFor(x.first);
        const TableState &before = x.second, &after = y.second;
        if (before.comment != after.comment)
          note("comment_changed", {}, {}, before.comment, after.comment, false);
        CompareColumns(note, before.columns, after.columns, true, held);
        // A new rule is one that rows written before may break. A primary or unique key
        // comes, goes and changes with the index of its name, which its change stands for.
        std::set<QString> keys;
        const auto noteKey = [&](const char* kind, const ConstraintState& c, const QString& was,
                                 const QString& is, bool breaking) {
          if (c.type == QLatin1String("P") || c.type == QLatin1String("U")) keys.insert(c.name);
          note(kind, c.name, {}, was, is, breaking);
        };
        Merge(
            before.constraints, after.constraints,
            [&](const auto& gone) {
              noteKey("constraint_removed", gone.second, gone.second.text, {}, false);
            },
            [&](const auto& come) {
              noteKey("constraint_added", come.second, {}, come.second.text, true);
            },
            [&](const auto& p, const auto& q) {
              if (p.second.text != q.second.text)
                noteKey("constraint_changed", q.second, p.second.text, q.second.text, true);
            });
        // Only a unique index refuses rows.
        const auto noteIndex = [&](const char* kind, const IndexState& i, const QString& was,
                                   const QString& is, bool breaking) {
          if (!keys.count(i.name)) note(kind, i.name, {}, was, is, breaking);
        };
        Merge(
            before.indexes, after.indexes,
            [&](const auto& gone) {
              noteIndex("index_removed", gone.second, gone.second.text, {}, false);
            },
            [&](const auto& come) {
              noteIndex("index_added", come.second, {}, come.second.text, come.second.unique);
            },
            [&](const auto& p, const auto& q) {
              if (p.second.text != q.second.text)
                noteIndex("index_changed", q.second, p.second.text, q.second.text,
                          q.second.unique);
            });
      });
}

void CompareViews(std::vector<Change>& out, const QString& owner,
                  const std::map<QString, ViewState>& a, const std::map<QString, ViewState>& b,
                  const ColumnDetails& held) {
  const auto noteFor = [&](const QString& name) { return Note{out, owner, "view", name}; };
  Merge(
      a, b, [&](const auto& gone) { noteFor(gone.first)("removed", {}, {}, {}, {}, true); },
      [&](const auto& come) { noteFor(come.first)("added", {}, {}, {}, {}, false); },
      [&](const auto& x, const auto& y) {
        const Note note = noteFor(x.first);
        if (x.second.comment != y.second.comment)
          note("comment_changed", {}, {}, x.second.comment, y.second.comment, false);
        CompareColumns(note, x.second.columns, y.second.columns, false, held);
        // What the new text returns shows in its columns.
        if (x.second.text != y.second.text)
          note("text_changed", {}, {}, x.second.text, y.second.text, false);
      });
}

using Default = ArgumentState::Default;

QString ArgumentText(const ArgumentState& a) {
  return a.name + ' ' + a.mode + ' ' + a.type +
         (a.defaulted == Default::Yes ? QStringLiteral(" DEFAULT") : QString());
}

QString SignatureText(const Signature& s) {
  QStringList arguments;
  for (const ArgumentState& a : s.arguments) arguments << ArgumentText(a);
  const QString text = '(' + arguments.join(QStringLiteral(", ")) + ')';
  return s.returns.isEmpty() ? text : text + " RETURN " + s.returns;
}

qsizetype IndexOf(const std::vector<ArgumentState>& arguments, const QString& name) {
  for (size_t i = 0; i < arguments.size(); ++i)
    if (arguments[i].name == name) return qsizetype(i);
  return -1;
}

// Arguments are matched by name; one whose name is gone and whose place holds a new name
// was renamed. Anything a call written before may no longer fit is breaking, an added
// argument not known to have a default among them.
void CompareSignatures(const Note& note, const QString& item, const Signature& a,
                       const Signature& b) {
  if (a.returns != b.returns) note("return_type_changed", item, {}, a.returns, b.returns, true);
  std::vector<bool> matched(b.arguments.size());
  const auto compare = [&](size_t i, size_t j) {
    const ArgumentState &x = a.arguments[i], &y = b.arguments[j];
    matched[j] = true;
    if (x.name != y.name) note("argument_renamed", item, x.name, x.name, y.name, true);
    if (i != j)
      note("argument_moved", item, y.name, QString::number(i + 1), QString::number(j + 1), true);
    if (x.type != y.type) note("argument_retyped", item, y.name, x.type, y.type, true);
    if (x.mode != y.mode) note("argument_mode_changed", item, y.name, x.mode, y.mode, true);
    // A default is compared only where both snapshots say whether there is one.
    if (x.defaulted == Default::Yes && y.defaulted == Default::No)
      note("argument_default_dropped", item, y.name, {}, {}, true);
    if (x.defaulted == Default::No && y.defaulted == Default::Yes)
      note("argument_default_added", item, y.name, {}, {}, false);
  };
  for (size_t i = 0; i < a.arguments.size(); ++i) {
    const ArgumentState& x = a.arguments[i];
    const qsizetype j = IndexOf(b.arguments, x.name);
    if (j >= 0) {
      compare(i, size_t(j));
    } else if (i < b.arguments.size() && !matched[i] && IndexOf(a.arguments, b.arguments[i].name) < 0) {
      compare(i, i);
    } else {
      note("argument_removed", item, x.name, ArgumentText(x), {}, true);
    }
  }
  for (size_t j = 0; j < b.arguments.size(); ++j)
    if (!matched[j])
      note("argument_added", item, b.arguments[j].name, {}, ArgumentText(b.arguments[j]),
           b.arguments[j].defaulted != Default::Yes);
}

void CompareUnits(std::vector<Change>& out, const QString& owner,
                  const std::map<QString, UnitState>& a, const std::map<QString, UnitState>& b,
                  bool signatures) {
  const auto noteFor = [&](const QString& name, const UnitState& unit) {
    return Note{out, owner, unit.type.toLower(), name};
  };
  Merge(
      a, b,
      [&](const auto& gone) {
        noteFor(gone.first, gone.second)("removed", {}, {}, {}, {}, true);
      },
      [&](const auto& come) {
        noteFor(come.first, come.second)("added", {}, {}, {}, {}, false);
      },
      [&](const auto& x, const auto& y) {
        if (signatures)
          CompareSignatures(noteFor(y.first, y.second), {}, x.second.signature,
                            y.second.signature);
      });
}

void ComparePackages(std::vector<Change>& out, const QString& owner,
                     const std::map<QString, PackageState>& a,
                     const std::map<QString, PackageState>& b, bool signatures) {
  const auto noteFor = [&](const QString& name) { return Note{out, owner, "package", name}; };
  Merge(
      a, b, [&](const auto& gone) { noteFor(gone.first)("removed", {}, {}, {}, {}, true); },
      [&](const auto& come) { noteFor(come.first)("added", {}, {}, {}, {}, false); },
      [&](const auto& x, const auto& y) {
        if (!signatures) return;
        const Note note = noteFor(x.first);
        Merge(
            x.second.members, y.second.members,
            [&](const auto& gone) {
              note("member_removed", gone.first, {}, SignatureText(gone.second), {}, true);
            },
            [&](const auto& come) {
              note("member_added", come.first, {}, {}, SignatureText(come.second), false);
            },
            [&](const auto& p, const auto& q) {
              CompareSignatures(note, p.first, p.second, q.second);
            });
      });
}

// What both snapshots hold: signatures, and the details of columns.
struct Shared {
  bool signatures;
  ColumnDetails columns;
};

void CompareOwner(std::vector<Change>& out, const QString& owner, const OwnerState& a,
                  const OwnerState& b, const Shared& shared) {
  CompareTables(out, owner, a.tables, b.tables, shared.columns);
  CompareViews(out, owner, a.views, b.views, shared.columns);
  Merge(
      a.sequences, b.sequences,
      [&](const QString& gone) { Note{out, owner, "sequence", gone}("removed", {}, {}, {}, {}, true); },
      [&](const QString& come) { Note{out, owner, "sequence", come}("added", {}, {}, {}, {}, false); },
      [](const QString&, const QString&) {});
  CompareUnits(out, owner, a.units, b.units, shared.signatures);
  ComparePackages(out, owner, a.packages, b.packages, shared.signatures);
}

struct Phrase {
  const char* kind;
  const char* noun;  // what `item` names
  const char* text;  // %1 the old value, %2 the new
};

const Phrase kPhrases[] = {
    {"added", "", "added"},
    {"removed", "", "removed"},
    {"column_added", "column", "added: %2"},
    {"column_removed", "column", "removed: %1"},
    {"column_type_changed", "column", "type %1 -> %2"},
    {"column_nullability_changed", "column", "%1 -> %2"},
    {"column_default_changed", "column", "default %1 -> %2"},
    {"column_comment_changed", "column", "comment changed"},
    {"comment_changed", "", "comment changed"},
    {"constraint_added", "constraint", "added: %2"},
    {"constraint_removed", "constraint", "removed: %1"},
    {"constraint_changed", "constraint", "%1 -> %2"},
    {"index_added", "index", "added: %2"},
    {"index_removed", "index", "removed: %1"},
    {"index_changed", "index", "%1 -> %2"},
    {"text_changed", "", "text changed"},
    {"member_added", "member", "added: %2"},
    {"member_removed", "member", "removed: %1"},
    {"argument_added", "member", "added: %2"},
    {"argument_removed", "member", "removed: %1"},
    {"argument_renamed", "member", "renamed to %2"},
    {"argument_retyped", "member", "type %1 -> %2"},
    {"argument_mode_changed", "member", "mode %1 -> %2"},
    {"argument_moved", "member", "moved from position %1 to %2"},
    {"argument_default_added", "member", "default added"},
    {"argument_default_dropped", "member", "default dropped"},
    {"return_type_changed", "member", "return type %1 -> %2"},
};

QString OrNone(const QString& value) { return value.isEmpty() ? QStringLiteral("none") : value; }

// The phrase with %1 and %2 in place; QString::arg would fill a lone %2 with the old value.
QString Fill(const char* phrase, const QString& oldValue, const QString& newValue) {
  QString text;
  for (const char* c = phrase; *c; ++c) {
    if (c[0] == '%' && (c[1] == '1' || c[1] == '2')) {
      text += OrNone(*++c == '1' ? oldValue : newValue);
    } else {
      text += QLatin1Char(*c);
    }
  }
  return text;
}

}  // namespace

std::vector<Change> CompareSchemas(const SchemaState& before, const SchemaState& after) {
  std::vector<Change> out;
  const ColumnDetails &x = before.columnDetails, &y = after.columnDetails;
  const Shared shared{before.hasSignatures && after.hasSignatures,
                      {x.scale && y.scale, x.charLength && y.charLength, x.charUsed && y.charUsed,
                       x.defaults && y.defaults}};
  static const OwnerState kNone;
  Merge(
      before.owners, after.owners,
      [&](const auto& gone) { CompareOwner(out, gone.first, gone.second, kNone, shared); },
      [&](const auto& come) { CompareOwner(out, come.first, kNone, come.second, shared); },
      [&](const auto& p, const auto& q) {
        CompareOwner(out, p.first, p.second, q.second, shared);
      });
  return out;
}

std::vector<Change> CompareSnapshots(const QString& oldPath, const QString& newPath,
                                     const QStringList& owners) {
  // The two snapshots are read at once, each on a thread of its own.
  auto older = std::async(std::launch::async,
                          [&] { return std::make_unique<SnapshotReader>(oldPath, owners); });
  SnapshotReader b(newPath, owners);
  const std::unique_ptr<SnapshotReader> first = older.get();
  SnapshotReader& a = *first;
  const auto readDiffering = [&](const QString& owner, const auto& x, const auto& y) {
    Merge(
        x, y, [](const auto&) {}, [](const auto&) {},
        [&](const auto& p, const auto&) {
          if (a.Digest(owner, p.first) == b.Digest(owner, p.first)) return;
          a.ReadParts(owner, p.first);
          b.ReadParts(owner, p.first);
        });
  };
  Merge(
      a.State().owners, b.State().owners, [](const auto&) {}, [](const auto&) {},
      [&](const auto& x, const auto& y) {
        readDiffering(x.first, x.second.tables, y.second.tables);
        readDiffering(x.first, x.second.views, y.second.views);
        readDiffering(x.first, x.second.units, y.second.units);
        readDiffering(x.first, x.second.packages, y.second.packages);
      });
  return CompareSchemas(a.State(), b.State());
}

QString ChangeText(const Change& c) {
  QString text = c.objectType + ' ' + c.object;
  for (const Phrase& p : kPhrases) {
    if (c.kind != QLatin1String(p.kind)) continue;
    if (!c.item.isEmpty()) text += QStringLiteral(": %1 %2").arg(QLatin1String(p.noun), c.item);
    if (!c.argument.isEmpty()) text += ": argument " + c.argument;
    return text + ' ' + Fill(p.text, c.oldValue, c.newValue);
  }
  return text + ' ' + c.kind;
}

}  // namespace changes
