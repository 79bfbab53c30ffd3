#include "model/document_model_builder.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

#include "classic/build_context.h"
#include "classic/dictionary_source.h"
#include "classic/document.h"
#include "classic/procedures_section.h"
#include "db/column_type.h"
#include "db/index_expressions.h"
#include "db/database.h"
#include "model/declared_source.h"
#include "model/document_model.h"
#include "model/package_members.h"
#include "model/text_pool.h"
#include "model/triggers.h"
#include "model/what_uses_what.h"
#include "plsql/source_parser.h"
#include "project/project.h"
#include "settings/settings.h"
#include "text/ansi.h"

namespace {

QString Field(const Query& q, const char* name) { return q.Field(name); }

// The lines of an open source query, as stored; the query is closed afterwards.
QStringList ReadLines(Query& q) {
  QStringList lines;
  for (; !q.Eof(); q.Next()) lines.append(Field(q, "text"));
  q.Close();
  return lines;
}

LineSource Over(const QStringList& lines) {
  return [&lines, i = qsizetype(0)](QString& line) mutable {
    if (i >= lines.size()) return false;
    line = lines[i++];
    return true;
  };
}

QStringList Display(const QStringList& stored) {
  QStringList lines;
  lines.reserve(stored.size());
  for (const QString& l : stored) lines.append(WithoutLineEnd(l));
  return lines;
}

// Comments that hold a configured tag are the tags' to read; the documentation comments
// of parsed source leave them alone.
bool HoldsTag(const plsql::DocComment& doc, const Settings& s) {
  const QString text = ansi::UpperCase(plsql::PlainText(doc.description));
  for (const QString& tag : {s.Function_opentag, s.Package_opentag, s.Package_function_opentag,
                             s.Function_closetag, s.Package_closetag,
                             s.Package_function_closetag}) {
    if (!tag.isEmpty() && text.contains(ansi::UpperCase(tag))) return true;
  }
  return false;
}

QList<plsql::Unit> Parse(const QStringList& stored, const Settings& settings) {
  QList<plsql::Unit> units = plsql::ParseSource(stored);
  for (plsql::Unit& u : units) {
    if (HoldsTag(u.doc, settings)) u.doc = {};
    for (plsql::Declaration& d : u.declarations) {
      if (HoldsTag(d.doc, settings)) d.doc = {};
    }
  }
  return units;
}

// Anchors unique in the document: a key's anchor, or, for a second object of the same key
// (the same object chosen twice), the anchor with "~2", "~3", ...
class Anchors {
 public:
  QString Take(const QString& anchor) {
    QString candidate = anchor;
    for (int n = 2; used_.contains(candidate); ++n) candidate = anchor + u'~' + QString::number(n);
    used_.insert(texts_.Keep(candidate));
    return candidate;
  }

 private:
  // The anchors of a large document's triggers and members, which nothing else holds once
  // their objects are set aside, are thousands: kept in a pool, not each a string.
  TextPool texts_;
  QSet<QStringView> used_;  // in texts_
};

class ModelBuilder {
 public:
  ModelBuilder(const Project& project, const Settings& settings, Database& db,
               BuildProgress& progress, ModelScope scope, ObjectSink* sink)
      : project_(project),
        settings_(settings),
        db_(db),
        progress_(progress),
        scope_(scope),
        sink_(sink) {}

  DocumentModel Build() {
    const ProjectInfo& info = project_.Info();
    model_.name = info.Name;
    model_.version = info.Version;
    model_.created = info.Created;
    model_.updated = info.Updated;
    model_.general = info.General;
    model_.contents = settings_.Part(DocumentPart::Content);
    if (settings_.Part(DocumentPart::Project)) model_.sections.append(SectionKind::General);
    if (Section(DocumentPart::Tables, SectionKind::Tables)) Tables();
    if (Section(DocumentPart::Views, SectionKind::Views)) Views();
    if (Section(DocumentPart::ProceduresAndFunctions, SectionKind::Units)) Units();
    if (Section(DocumentPart::Packages, SectionKind::Packages)) Packages();
    if (Section(DocumentPart::Sequences, SectionKind::Sequences)) {
      model_.sequencesText = project_.SectionDescription(ObjectKind::Sequences);
      model_.sequences = List(ObjectKind::Sequences, "Building sequence: \r\n", true);
    }
    if (Section(DocumentPart::Roles, SectionKind::Roles)) {
      model_.rolesText = project_.SectionDescription(ObjectKind::Roles);
      model_.roles = List(ObjectKind::Roles, "Building role: \r\n", false);
    }
    // Every object is read: the schemas' dependency rows are not held while the links are made.
    usage_ = WhatUsesWhat();
    if (scope_ == ModelScope::Document) {
      LinkDependencies(model_, triggers_);
      if (sink_) sink_->Take(std::move(triggers_));
    }
    return std::move(model_);
  }

 private:
  // The object into the model, or to the sink with its index into the model.
  template <typename Object>
  void Keep(QList<Object>& list, Object&& object) {
    if constexpr (std::is_same_v<Object, TableObject> || std::is_same_v<Object, ViewObject>)
      triggers_.Add(object);
    if constexpr (std::is_same_v<Object, TableObject>) model_.tableKeys.Add(object);
    if (sink_) {
      sink_->Take(object);
      list.append(IndexOf(object, sharedTexts_));
    } else {
      list.append(std::move(object));
    }
  }

  bool Section(DocumentPart part, SectionKind kind) {
    if (!settings_.Part(part)) return false;
    model_.sections.append(kind);
    return true;
  }

  // The entries of a kind with the progress and log-on of each, in the order of addition.
  template <typename Fill>
  void ForEachEntry(ObjectKind kind, const char* building, Fill fill) {
    RememberedLogon logon;
    for (const ObjectEntry& entry : project_.Entries(kind)) {
      progress_.SetInfoText(QString::fromLatin1(building) + entry.ObjectName().toString());
      progress_.StepProgress(1);
      const NamedEntry named(db_, kind, entry);
      logon.LogonIfChanged(db_, entry.connection());
      fill(entry);
    }
  }

  // The database and owner are one shared text for all of a schema's objects.
  ObjectKey KeyOf(const ObjectEntry& entry, const QString& name) {
    return {Shared(ansi::UpperCase(entry.connection().ServerName())),
            Shared(ansi::UpperCase(entry.connection().UserName())), name};
  }

  const QString& Shared(const QString& text) {
    const auto it = schemaNames_.constFind(text);
    return it != schemaNames_.cend() ? *it : *schemaNames_.insert(text);
  }

  QString Comment(const QString& name) {
    return FirstRowField(db_, QueryId::OCIObjectComment, name, QStringLiteral("comments"));
  }

  QList<ModelColumn> Columns(const QString& name) {
    QList<ModelColumn> columns;
    Query& q = RunQuery(db_, QueryId::OCIColumns, name);
    for (; !q.Eof(); q.Next()) {
      columns.append({Field(q, "column_name"), ColumnTypeText(ColumnTypeOf(q)),
                      Field(q, "nullable") != QStringLiteral("N"),
                      TrimBlanks(Field(q, "data_default")), Field(q, "comments")});
    }
    q.Close();
    return columns;
  }

  // Oracle keeps NOT NULL as a check constraint of its own; the column's Null flag shows it.
  static bool IsNotNullCheck(const ModelConstraint& c) {
    static const QRegularExpression notNull(QStringLiteral(R"re(^"([^"]+)" IS NOT NULL$)re"));
    const QRegularExpressionMatch m = notNull.match(c.condition.trimmed());
    return m.hasMatch() && c.columns == QStringList{m.captured(1)};
  }

  QList<ModelConstraint> Constraints(const ObjectKey& table) {
    QList<ModelConstraint> constraints;
    Query& q = RunQuery(db_, QueryId::OCIConstraints, table.name);
    for (; !q.Eof(); q.Next()) {
      const QString name = Field(q, "constraint_name");
      if (constraints.isEmpty() || constraints.last().name != name) {
        const QString type = Field(q, "constraint_type");
        ModelConstraint c;
        c.name = name;
        c.kind = type == u'P'   ? ConstraintKind::Primary
                 : type == u'U' ? ConstraintKind::Unique
                 : type == u'R' ? ConstraintKind::Foreign
                                : ConstraintKind::Check;
        if (type != u'P' && type != u'U' && type != u'R' && type != u'C') continue;
        c.condition = TrimBlanks(Field(q, "search_condition"));
        constraints.append(c);
      }
      constraints.last().columns.append(Field(q, "column_name"));
    }
    q.Close();
    constraints.removeIf([](const ModelConstraint& c) {
      return c.kind == ConstraintKind::Check && IsNotNullCheck(c);
    });

    Query& r = RunQuery(db_, QueryId::OCIReferences, table.name);
    for (; !r.Eof(); r.Next()) {
      const QString name = Field(r, "constraint_name");
      for (ModelConstraint& c : constraints) {
        if (c.name != name) continue;
        c.references = {table.database, Shared(Field(r, "owner")), Field(r, "table_name")};
        c.referencedColumns.append(Field(r, "column_name"));
      }
    }
    r.Close();
    return constraints;
  }

  // A hidden column of a descending or function-based index is shown as its expression.
  QList<ModelIndex> Indexes(const QString& table) {
    QList<ModelIndex> indexes;
    const QHash<QString, IndexExpression> hidden = ReadIndexExpressions(db_, table);
    Query& q = RunQuery(db_, QueryId::OCIIndexColumns, table);
    for (; !q.Eof(); q.Next()) {
      const QString name = Field(q, "index_name");
      if (indexes.isEmpty() || indexes.last().name != name)
        indexes.append({name, Field(q, "uniqueness") == QStringLiteral("UNIQUE"), {}});
      const QString column = Field(q, "column_name");
      const auto expression = hidden.constFind(column);
      indexes.last().columns.append(
          {expression == hidden.constEnd() ? column : expression->text,
           Field(q, "descend") == QStringLiteral("DESC")});
    }
    q.Close();
    return indexes;
  }

  // Argument rows grouped into signatures: one per object name and overload, the arguments
  // in the order of the rows. Position 0 is a function's return value; a row without a name
  // at another position stands for "no arguments" (releases before 12.1.0.2 kept one). The
  // dictionary's IN/OUT is written as PL/SQL writes it.
  static QList<Signature> Signatures(Query& q) {
    QList<Signature> signatures;
    QString lastGroup;
    for (; !q.Eof(); q.Next()) {
      const QString name = Field(q, "object_name");
      const QString overload = Field(q, "overload");
      const QString group = name + u'\n' + overload;
      if (signatures.isEmpty() || group != lastGroup) signatures.append({name, {}, {}, overload, {}, {}});
      lastGroup = group;
      Signature& s = signatures.last();
      const QString argument = Field(q, "argument_name");
      if (Field(q, "position") == u'0' && argument.isEmpty()) {
        s.returnType = Field(q, "data_type");
      } else if (!argument.isEmpty()) {
        const QString inOut = Field(q, "in_out");
        s.arguments.append({argument,
                            inOut == QStringLiteral("IN/OUT") ? QStringLiteral("IN OUT") : inOut,
                            Field(q, "data_type"), TrimBlanks(Field(q, "default_value")), {},
                            Field(q, "defaulted") == u'Y'});
      }
    }
    q.Close();
    return signatures;
  }

  // What a package's specification declares, in declaration order: its subprograms as the
  // dictionary lists them, each with its arguments (a procedure without arguments has no
  // argument rows). A dictionary without that list gives the argument rows alone, by name
  // and then overload; an overload is a number kept as text, so "10" comes after "9".
  QList<Signature> Declared(const QString& package) {
    QList<Signature> byArguments =
        Signatures(RunQuery(db_, QueryId::OCIPackageArguments, package));
    std::stable_sort(byArguments.begin(), byArguments.end(),
                     [](const Signature& a, const Signature& b) {
                       if (a.name != b.name) return a.name < b.name;
                       return a.overload.toInt() < b.overload.toInt();
                     });
    QList<Signature> declared;
    Query& q = RunQuery(db_, QueryId::OCIPackageMembers, package);
    for (; !q.Eof(); q.Next()) {
      const QString name = Field(q, "procedure_name");
      const QString overload = Field(q, "overload");
      const auto it = std::find_if(byArguments.begin(), byArguments.end(), [&](const Signature& s) {
        return s.name == name && s.overload == overload;
      });
      if (it == byArguments.end()) {
        declared.append({name, {}, {}, overload, {}, {}});
      } else {
        declared.append(std::move(*it));
        byArguments.erase(it);
      }
    }
    q.Close();
    return declared + byArguments;
  }

  // What a documented table, view or package starts with: its key, its anchor and the
  // project's description.
  template <typename Object>
  Object Described(const ObjectEntry& e) {
    Object o;
    o.key = KeyOf(e, e.ObjectName().toString());
    o.anchor = anchors_.Take(o.key.Anchor());
    o.description = e.Description().toString();
    return o;
  }

  // A table or a view: also the dictionary's comment and columns.
  template <typename Object>
  Object WithColumns(const ObjectEntry& e) {
    Object o = Described<Object>(e);
    o.dictionaryComment = Comment(o.key.name);
    o.columns = Columns(o.key.name);
    return o;
  }

  // The synonyms that point at the table of this owner, not at a namesake of another.
  QList<ModelSynonym> Synonyms(const ObjectKey& table) {
    Query& q = db_.query(QueryId::OCITableSynonyms);
    q.Close();
    q.BindText(1, table.owner);
    q.BindText(2, table.name);
    q.Open();
    QList<ModelSynonym> synonyms;
    for (; !q.Eof(); q.Next()) synonyms.append({Field(q, "owner"), Field(q, "synonym_name")});
    q.Close();
    return synonyms;
  }

  void Tables() {
    model_.tables.reserve(project_.Entries(ObjectKind::Tables).size());
    ForEachEntry(ObjectKind::Tables, "Building table: \r\n", [this](const ObjectEntry& e) {
      TableObject t = WithColumns<TableObject>(e);
      t.found = !t.columns.isEmpty();
      t.triggers = Triggers(t);
      if (scope_ == ModelScope::Document) {
        t.synonyms = Synonyms(t.key);
        t.constraints = Constraints(t.key);
        t.indexes = Indexes(t.key.name);
        t.dependencies = Dependencies(t.key, {"TABLE"});
      }
      Keep(model_.tables, std::move(t));
    });
    LinkReferences();
  }

  // Foreign keys that reference a table of the document get its anchor, and that table
  // lists the referencing ones; a streamed table learns them as it is read back.
  void LinkReferences() {
    model_.tableKeys.Link(model_.tables);
    if (sink_) return;
    for (qsizetype i = 0; i < model_.tables.size(); ++i)
      model_.tableKeys.Complete(model_.tables, i, model_.tables[i]);
  }

  void Views() {
    model_.views.reserve(project_.Entries(ObjectKind::Views).size());
    ForEachEntry(ObjectKind::Views, "Building view: \r\n", [this](const ObjectEntry& e) {
      ViewObject v = WithColumns<ViewObject>(e);
      v.invalid = usage_.Invalid(db_, v.key, {"VIEW"});
      v.dependencies = Dependencies(v.key, {"VIEW"});
      v.triggers = Triggers(v);
      v.text = FirstRowField(db_, QueryId::OCIViews, v.key.name, QStringLiteral("text"));
      v.found = !v.columns.isEmpty() || !v.text.isEmpty();
      Keep(model_.views, std::move(v));
    });
  }

  // The triggers on a table or view, each with its anchor under the object's and what its
  // documentation comment says.
  template <typename Object>
  QList<ModelTrigger> Triggers(const Object& table) {
    QList<ModelTrigger> triggers = usage_.Triggers(db_, table.key);
    for (ModelTrigger& t : triggers) {
      t.anchor = anchors_.Take(InnerAnchor(table.anchor, t.name));
      if (!ReadDocs()) continue;
      // Most triggers carry no comment at all, and then there is nothing to read.
      const QString source = TriggerSource(t);
      if (!source.contains(QLatin1String("--")) && !source.contains(QLatin1String("/*"))) continue;
      const QList<plsql::Unit> units = Parse({source}, settings_);
      if (const plsql::Unit* unit = FindUnit(units, plsql::UnitKind::Trigger)) t.doc = unit->doc;
    }
    return triggers;
  }

  // What the object uses and what uses it; the coverage report counts neither.
  ModelDependencies Dependencies(const ObjectKey& key, std::initializer_list<const char*> types) {
    if (scope_ != ModelScope::Document) return {};
    return usage_.Dependencies(db_, key, types);
  }

  bool ReadDocs() const { return settings_.Documentation_comments; }

  void Units() {
    model_.units.reserve(project_.Entries(ObjectKind::ProceduresAndFunctions).size());
    ForEachEntry(ObjectKind::ProceduresAndFunctions, "Building function or procedure: \r\n",
                 [this](const ObjectEntry& e) {
                   const UnitName unit = UnitName::Of(e.ObjectName());
                   UnitObject u;
                   u.key = KeyOf(e, TrimBlanks(unit.name));
                   u.anchor = anchors_.Take(u.key.Anchor());
                   u.type = TrimBlanks(unit.type);
                   u.invalid = usage_.Invalid(db_, u.key, {"FUNCTION", "PROCEDURE"});
                   u.dependencies = Dependencies(u.key, {"FUNCTION", "PROCEDURE"});
                   const QStringList stored = ReadLines(OpenUnitSource(db_, u.key.name, u.type));
                   u.found = !stored.isEmpty();
                   u.blocks = ReadUnitBlocks(settings_, Over(stored));
                   u.source = Display(stored);
                   QList<Signature> dictionary =
                       Signatures(RunQuery(db_, QueryId::OCIUnitArguments, u.key.name));
                   const QList<plsql::Unit> parsed = Parse(stored, settings_);
                   const plsql::Unit* own = FindUnit(
                       parsed, u.type == QStringLiteral("FUNCTION") ? plsql::UnitKind::Function
                                                                    : plsql::UnitKind::Procedure);
                   const bool docs = ReadDocs() && u.blocks.isEmpty();
                   u.signatures =
                       JoinDeclared(own ? own->declarations : QList<plsql::Declaration>(),
                                    std::move(dictionary), docs);
                   Keep(model_.units, std::move(u));
                 });
  }

  void Packages() {
    model_.packages.reserve(project_.Entries(ObjectKind::Packages).size());
    ForEachEntry(ObjectKind::Packages, "Building package: \r\n", [this](const ObjectEntry& e) {
      PackageObject p = Described<PackageObject>(e);
      p.invalid = usage_.Invalid(db_, p.key, {"PACKAGE", "PACKAGE BODY"});
      p.dependencies = Dependencies(p.key, {"PACKAGE", "PACKAGE BODY"});
      const QStringList stored = ReadLines(OpenPackageSource(db_, p.key.name));
      p.found = !stored.isEmpty();
      p.source = Display(stored);
      const QList<plsql::Unit> parsed = Parse(stored, settings_);
      const plsql::Unit* spec = FindUnit(parsed, plsql::UnitKind::PackageSpec);
      QList<plsql::Unit> bodyUnits;
      if (ReadDocs() && spec) {
        bodyUnits = Parse(
            ReadLines(OpenUnitSource(db_, p.key.name, QStringLiteral("PACKAGE BODY"))), settings_);
      }
      const plsql::Unit* body = FindUnit(bodyUnits, plsql::UnitKind::PackageBody);
      const QList<Signature> declared =
          JoinDeclared(spec ? spec->declarations : QList<plsql::Declaration>(),
                       Declared(p.key.name), ReadDocs(),
                       body ? body->declarations : QList<plsql::Declaration>());
      PlacedMembers placed =
          PlaceMembers(declared, ReadMemberBlocks(settings_, Over(stored)), settings_);
      p.members = std::move(placed.members);
      p.textBlocks = std::move(placed.textBlocks);
      for (MemberObject& m : p.members) {
        m.anchor = anchors_.Take(InnerAnchor(p.anchor, m.name));
        if (m.blocks.isEmpty()) continue;
        for (Signature& s : m.signatures) {  // the tags describe it: they alone
          s.doc = {};
          for (ModelArgument& a : s.arguments) a.description.clear();
        }
      }
      if (ReadDocs() && spec) {
        p.doc = spec->doc;
        if (p.doc.IsEmpty() && body && !body->doc.IsEmpty()) {
          p.doc = body->doc;
          p.doc.fromBody = true;
        }
        p.declarations = OtherDeclarations(spec->declarations);
      }
      Keep(model_.packages, std::move(p));
    });
  }

  // Sequences or roles, each marked found when its schema still lists it (its own
  // sequences; the grantees of its grants), each schema's list read once.
  QList<ListEntry> List(ObjectKind kind, const char* building, bool owned) {
    const QueryId listQuery = owned ? QueryId::OCISequences : QueryId::OCIRoles;
    const QString column = owned ? QStringLiteral("sequence_name") : QStringLiteral("grantee");
    QHash<QString, QSet<QString>> listed;  // by DATABASE.OWNER
    QList<ListEntry> list;
    ForEachEntry(kind, building, [&](const ObjectEntry& e) {
      ObjectKey key = KeyOf(e, e.ObjectName().toString());
      const QString schema = key.database + u'.' + key.owner;
      if (!listed.contains(schema)) {
        Query& q = db_.query(listQuery);
        q.Close();
        q.Open();
        QSet<QString>& names = listed[schema];
        for (; !q.Eof(); q.Next()) names.insert(q.Field(column));
        q.Close();
      }
      const bool found = listed[schema].contains(key.name);
      const ModelDependencies dependencies =
          owned ? Dependencies(key, {"SEQUENCE"}) : ModelDependencies();
      if (!owned) key.owner.clear();
      list.append({key, anchors_.Take(key.Anchor()), e.Description().toString(), found,
                   dependencies});
    });
    return list;
  }

  const Project& project_;
  const Settings& settings_;
  Database& db_;
  BuildProgress& progress_;
  ModelScope scope_;
  ObjectSink* sink_;
  TriggerAnchors triggers_;  // of the tables and views read
  QSet<QString> sharedTexts_;  // of the index (IndexOf)
  QSet<QString> schemaNames_;
  DocumentModel model_;
  Anchors anchors_;
  WhatUsesWhat usage_;
};

}  // namespace

DocumentModel BuildDocumentModel(const Project& project, const Settings& settings, Database& db,
                                 BuildProgress& progress, ModelScope scope, ObjectSink* sink) {
  return ModelBuilder(project, settings, db, progress, scope, sink).Build();
}

namespace {

// The one copy of `text` among the texts the index shares.
QString Shared(QSet<QString>& shared, const QString& text) { return *shared.insert(text); }

ObjectKey Shared(QSet<QString>& shared, const ObjectKey& key) {
  return {Shared(shared, key.database), Shared(shared, key.owner), Shared(shared, key.name)};
}

template <typename Object>
Object Named(const Object& object, QSet<QString>& shared) {
  Object index;
  index.key = Shared(shared, object.key);
  index.anchor = object.anchor;
  index.found = object.found;
  return index;
}

}  // namespace

TableObject IndexOf(const TableObject& table, QSet<QString>& shared) {
  return Named(table, shared);
}

ViewObject IndexOf(const ViewObject& view, QSet<QString>& shared) { return Named(view, shared); }

UnitObject IndexOf(const UnitObject& unit, QSet<QString>& shared) {
  UnitObject index = Named(unit, shared);
  index.type = unit.type;
  return index;
}

PackageObject IndexOf(const PackageObject& package, QSet<QString>& shared) {
  PackageObject index = Named(package, shared);
  for (const MemberObject& m : package.members) {
    MemberObject member;
    member.name = m.name;
    member.anchor = m.anchor;
    member.type = m.type;
    index.members.append(member);
  }
  index.members.squeeze();
  return index;
}
