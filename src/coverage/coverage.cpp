#include "coverage/coverage.h"

#include <QHash>
#include <QSet>
#include <cmath>

#include "classic/build_context.h"
#include "classic/procedures_section.h"
#include "db/database.h"
#include "model/document_model_builder.h"
#include "project/project.h"
#include "settings/settings.h"
#include "text/ansi.h"

double Tally::Percent() const {
  if (total == 0) return 100.0;
  return std::floor(documented * 1000.0 / total) / 10.0;
}

bool Tally::Below(double minimum) const {
  return total > 0 ? documented * 100.0 < minimum * total : minimum > 100.0;
}

namespace {

Tally Sum(const Tallies& tallies) {
  Tally sum;
  for (const Tally& t : tallies) sum += t;
  return sum;
}

Tally& At(Tallies& tallies, Measure m) { return tallies[static_cast<int>(m)]; }

}  // namespace

Tally CoverageObject::Items() const { return Sum(tallies); }

Tally KindSummary::Items() const { return Sum(tallies); }

QString CoverageObject::Label() const {
  switch (kind) {
    case CoverageKind::Tables: return QStringLiteral("Table");
    case CoverageKind::Views: return QStringLiteral("View");
    case CoverageKind::Units:
      return type == QStringLiteral("FUNCTION") ? QStringLiteral("Function")
                                                : QStringLiteral("Procedure");
    case CoverageKind::Packages: return QStringLiteral("Package");
    case CoverageKind::Members: return QStringLiteral("Package member");
    case CoverageKind::Sequences: return QStringLiteral("Sequence");
    case CoverageKind::Roles: return QStringLiteral("Role");
    case CoverageKind::Triggers: return QStringLiteral("Trigger");
  }
  return {};
}

QString CoverageObject::FullName() const {
  const QString name =
      key.owner.isEmpty() ? key.database + u'.' + key.name : key.FullName();
  return member.isEmpty() ? name : name + u'.' + member;
}

QStringList CoverageObject::Gaps() const {
  if (presence == Presence::Missing) return {QStringLiteral("no longer exists in its database")};
  if (presence == Presence::NotInProject) return {QStringLiteral("not in the project")};
  QStringList gaps;
  if (!described) {
    gaps.append(Counts(kind, Measure::Blocks)       ? QStringLiteral("no comment block")
                : kind == CoverageKind::Triggers ? QStringLiteral("no documentation comment")
                                                 : QStringLiteral("no description"));
  }
  for (const QString& c : uncommentedColumns)
    gaps.append(QStringLiteral("column %1 has no comment").arg(c));
  for (const QString& p : undescribedParameters)
    gaps.append(QStringLiteral("%1 is not described").arg(p));
  for (const QString& p : staleParameters)
    gaps.append(QStringLiteral("%1 is described but no longer exists").arg(p));
  if (invalid) gaps.append(QStringLiteral("does not compile (INVALID)"));
  return gaps;
}

QString KindTitle(CoverageKind kind) {
  switch (kind) {
    case CoverageKind::Tables: return QStringLiteral("Tables");
    case CoverageKind::Views: return QStringLiteral("Views");
    case CoverageKind::Units: return QStringLiteral("Procedures and functions");
    case CoverageKind::Packages: return QStringLiteral("Packages");
    case CoverageKind::Members: return QStringLiteral("Package members");
    case CoverageKind::Sequences: return QStringLiteral("Sequences");
    case CoverageKind::Roles: return QStringLiteral("Roles");
    case CoverageKind::Triggers: return QStringLiteral("Triggers");
  }
  return {};
}

QString KindId(CoverageKind kind) {
  switch (kind) {
    case CoverageKind::Tables: return QStringLiteral("tables");
    case CoverageKind::Views: return QStringLiteral("views");
    case CoverageKind::Units: return QStringLiteral("units");
    case CoverageKind::Packages: return QStringLiteral("packages");
    case CoverageKind::Members: return QStringLiteral("members");
    case CoverageKind::Sequences: return QStringLiteral("sequences");
    case CoverageKind::Roles: return QStringLiteral("roles");
    case CoverageKind::Triggers: return QStringLiteral("triggers");
  }
  return {};
}

bool Counts(CoverageKind kind, Measure measure) {
  switch (kind) {
    case CoverageKind::Tables:
    case CoverageKind::Views:
      return measure == Measure::Description || measure == Measure::Columns;
    case CoverageKind::Units:
    case CoverageKind::Members:
      return measure == Measure::Blocks || measure == Measure::Parameters;
    case CoverageKind::Packages:
    case CoverageKind::Sequences:
    case CoverageKind::Roles:
    case CoverageKind::Triggers:
      return measure == Measure::Description;
  }
  return false;
}

KindSummary CoverageReport::Summary(CoverageKind kind) const {
  KindSummary s;
  s.kind = kind;
  for (const CoverageObject& o : objects) {
    if (o.kind != kind) continue;
    switch (o.presence) {
      case Presence::InProject:
        ++s.objects;
        for (int m = 0; m < kMeasureCount; ++m) s.tallies[m] += o.tallies[m];
        break;
      case Presence::Missing: ++s.missing; break;
      case Presence::NotInProject: ++s.notInProject; break;
    }
  }
  return s;
}

Tally CoverageReport::Total() const {
  Tally total;
  for (const CoverageObject& o : objects) total += o.Items();
  return total;
}

QList<CoverageObject> CoverageReport::Invalid() const {
  QList<CoverageObject> invalid;
  for (const CoverageObject& o : objects)
    if (o.invalid) invalid.append(o);
  return invalid;
}

ObjectKind EntryKind(CoverageKind kind) {
  switch (kind) {
    case CoverageKind::Tables:
    case CoverageKind::Triggers: return ObjectKind::Tables;
    case CoverageKind::Views: return ObjectKind::Views;
    case CoverageKind::Units: return ObjectKind::ProceduresAndFunctions;
    case CoverageKind::Packages:
    case CoverageKind::Members: return ObjectKind::Packages;
    case CoverageKind::Sequences: return ObjectKind::Sequences;
    case CoverageKind::Roles: return ObjectKind::Roles;
  }
  return ObjectKind::Tables;
}

int ProjectEntry(const Project& project, const CoverageObject& object) {
  if (object.presence == Presence::NotInProject) return -1;
  const QList<ObjectEntry>& entries = project.Entries(EntryKind(object.kind));
  for (int i = 0; i < entries.size(); ++i) {
    const ObjectEntry& e = entries[i];
    // The key's name is the dictionary's; a unit's entry also holds its type.
    const QString name = object.kind == CoverageKind::Units
                             ? TrimBlanks(UnitName::Of(e.ObjectName()).name)
                             : e.ObjectName().toString();
    if (name == object.key.name &&
        ansi::UpperCase(e.connection().ServerName()) == object.key.database &&
        ansi::UpperCase(e.connection().UserName()) == object.key.owner)
      return i;
  }
  return -1;
}

ParameterCheck CheckParameters(const QList<CommentBlock>& blocks,
                               const QList<Signature>& signatures) {
  ParameterCheck check;
  check.known = !signatures.isEmpty();
  if (!check.known) return check;
  QSet<QString> declared;
  for (const Signature& s : signatures) {
    for (const ModelArgument& a : s.arguments) {
      const QString upper = ansi::UpperCase(a.name);
      if (declared.contains(upper)) continue;
      declared.insert(upper);
      check.declared.append(a.name);
    }
  }
  QSet<QString> described;
  const auto describe = [&](const QString& name) {
    const QString upper = ansi::UpperCase(name.trimmed());
    if (name.trimmed().isEmpty() || described.contains(upper)) return;
    described.insert(upper);
    if (!declared.contains(upper)) check.stale.append(name.trimmed());
  };
  for (const CommentBlock& b : blocks) {
    for (const CommentParameter& p : b.parameters) describe(p.name);
  }
  for (const Signature& s : signatures) {
    for (const plsql::DocTag& t : s.doc.parameters) describe(t.name);
    for (const ModelArgument& a : s.arguments) {
      if (!a.description.isEmpty()) describe(a.name);
    }
  }
  for (const QString& name : check.declared)
    if (!described.contains(ansi::UpperCase(name))) check.undescribed.append(name);
  return check;
}

bool HasDescription(const QString& description, const QString& dictionaryComment) {
  return !IsBlankText(description) || !IsBlankText(dictionaryComment);
}

namespace {

CoverageObject Entry(CoverageKind kind, const ObjectKey& key, bool found) {
  CoverageObject o;
  o.kind = kind;
  o.key = key;
  o.presence = found ? Presence::InProject : Presence::Missing;
  return o;
}

void Describe(CoverageObject& o, bool described) {
  o.described = described;
  if (o.presence == Presence::InProject) At(o.tallies, Measure::Description).Count(described);
}

void CountColumns(CoverageObject& o, const QList<ModelColumn>& columns) {
  if (o.presence != Presence::InProject) return;
  for (const ModelColumn& c : columns) {
    const bool commented = !IsBlankText(c.comment);
    At(o.tallies, Measure::Columns).Count(commented);
    if (!commented) o.uncommentedColumns.append(c.name);
  }
}

// A unit or a member: its comment block, then its parameters.
void CountBlocks(CoverageObject& o, const QList<CommentBlock>& blocks,
                 const QList<Signature>& signatures) {
  o.described = !blocks.isEmpty() || HasDocComment(signatures);
  if (o.presence != Presence::InProject) return;
  At(o.tallies, Measure::Blocks).Count(o.described);
  const ParameterCheck check = CheckParameters(blocks, signatures);
  Tally& parameters = At(o.tallies, Measure::Parameters);
  parameters.total += int(check.declared.size());
  parameters.documented += int(check.declared.size() - check.undescribed.size());
  o.undescribedParameters = check.undescribed;
  o.staleParameters = check.stale;
}

// A table or view: its description, then its columns.
template <typename T>
CoverageObject DescribedRow(CoverageKind kind, const T& t) {
  CoverageObject o = Entry(kind, t.key, t.found);
  Describe(o, HasDescription(t.description, t.dictionaryComment));
  CountColumns(o, t.columns);
  if constexpr (requires { t.invalid; }) o.invalid = t.invalid;
  return o;
}

CoverageObject UnitRow(const UnitObject& u) {
  CoverageObject o = Entry(CoverageKind::Units, u.key, u.found);
  o.type = u.type;
  o.invalid = u.invalid;
  CountBlocks(o, u.blocks, u.signatures);
  return o;
}

CoverageObject PackageRow(const PackageObject& p) {
  CoverageObject o = Entry(CoverageKind::Packages, p.key, p.found);
  Describe(o, HasDescription(p.description) || !p.doc.IsEmpty());
  o.invalid = p.invalid;
  return o;
}

QList<CoverageObject> MemberRows(const PackageObject& p) {
  QList<CoverageObject> rows;
  if (!p.found) return rows;  // its members went with it
  for (const MemberObject& m : p.members) {
    CoverageObject o = Entry(CoverageKind::Members, p.key, true);
    o.member = m.name;
    o.type = m.type;
    CountBlocks(o, m.blocks, m.signatures);
    rows.append(o);
  }
  return rows;
}

CoverageObject ListRow(CoverageKind kind, const ListEntry& e) {
  CoverageObject o = Entry(kind, e.key, e.found);
  Describe(o, HasDescription(e.description));
  return o;
}

// The triggers of a table or view, as a kind of their own.
template <typename T>
QList<CoverageObject> TriggerRows(const T& t) {
  QList<CoverageObject> rows;
  for (const ModelTrigger& trigger : t.triggers) {
    CoverageObject o = Entry(CoverageKind::Triggers, t.key, true);
    // Named as the documents name it: another schema's trigger with its owner.
    o.member = trigger.owner == t.key.owner ? trigger.name : trigger.owner + u'.' + trigger.name;
    o.invalid = trigger.invalid;
    Describe(o, !trigger.doc.IsEmpty());
    rows.append(o);
  }
  return rows;
}

// The kinds the model's sections cover, in document order; the triggers' kind comes last,
// when there are triggers.
QList<CoverageKind> SectionKinds(const DocumentModel& model) {
  QList<CoverageKind> kinds;
  for (const SectionKind section : model.sections) {
    switch (section) {
      case SectionKind::General: break;
      case SectionKind::Tables: kinds.append(CoverageKind::Tables); break;
      case SectionKind::Views: kinds.append(CoverageKind::Views); break;
      case SectionKind::Units: kinds.append(CoverageKind::Units); break;
      case SectionKind::Packages:
        kinds.append(CoverageKind::Packages);
        kinds.append(CoverageKind::Members);
        break;
      case SectionKind::Sequences: kinds.append(CoverageKind::Sequences); break;
      case SectionKind::Roles: kinds.append(CoverageKind::Roles); break;
    }
  }
  return kinds;
}

}  // namespace

CoverageReport MeasureCoverage(const DocumentModel& model) {
  CoverageReport r;
  r.name = model.name;
  r.version = model.version;
  r.kinds = SectionKinds(model);
  for (const CoverageKind kind : r.kinds) {
    switch (kind) {
      case CoverageKind::Tables:
        for (const TableObject& t : model.tables) r.objects.append(DescribedRow(kind, t));
        break;
      case CoverageKind::Views:
        for (const ViewObject& v : model.views) r.objects.append(DescribedRow(kind, v));
        break;
      case CoverageKind::Units:
        for (const UnitObject& u : model.units) r.objects.append(UnitRow(u));
        break;
      case CoverageKind::Packages:
        for (const PackageObject& p : model.packages) r.objects.append(PackageRow(p));
        break;
      case CoverageKind::Members:
        for (const PackageObject& p : model.packages) r.objects.append(MemberRows(p));
        break;
      case CoverageKind::Sequences:
        for (const ListEntry& e : model.sequences) r.objects.append(ListRow(kind, e));
        break;
      case CoverageKind::Roles:
        for (const ListEntry& e : model.roles) r.objects.append(ListRow(kind, e));
        break;
      case CoverageKind::Triggers: break;
    }
  }
  const qsizetype before = r.objects.size();
  for (const TableObject& t : model.tables) r.objects.append(TriggerRows(t));
  for (const ViewObject& v : model.views) r.objects.append(TriggerRows(v));
  if (r.objects.size() > before) r.kinds.append(CoverageKind::Triggers);
  return r;
}

void CoverageCount::Sum(const CoverageObject& row) {
  Tallies& sum = sums_[static_cast<int>(row.kind)];
  for (int m = 0; m < kMeasureCount; ++m) sum[m] += row.tallies[m];
  triggers_ = triggers_ || row.kind == CoverageKind::Triggers;
}

void CoverageCount::Add(const TableObject& t) {
  Sum(DescribedRow(CoverageKind::Tables, t));
  for (const CoverageObject& row : TriggerRows(t)) Sum(row);
}

void CoverageCount::Add(const ViewObject& v) {
  Sum(DescribedRow(CoverageKind::Views, v));
  for (const CoverageObject& row : TriggerRows(v)) Sum(row);
}

void CoverageCount::Add(const UnitObject& u) { Sum(UnitRow(u)); }

void CoverageCount::Add(const PackageObject& p) {
  Sum(PackageRow(p));
  for (const CoverageObject& row : MemberRows(p)) Sum(row);
}

CoverageReport CoverageCount::Report(const DocumentModel& index) const {
  CoverageReport r;
  r.name = index.name;
  r.version = index.version;
  r.kinds = SectionKinds(index);
  if (triggers_) r.kinds.append(CoverageKind::Triggers);
  for (const CoverageKind kind : r.kinds) {
    if (kind == CoverageKind::Sequences || kind == CoverageKind::Roles) {
      for (const ListEntry& e : kind == CoverageKind::Sequences ? index.sequences : index.roles)
        r.objects.append(ListRow(kind, e));
      continue;
    }
    CoverageObject sum;
    sum.kind = kind;
    sum.tallies = sums_[static_cast<int>(kind)];
    r.objects.append(sum);
  }
  return r;
}

namespace {

struct KindQuery {
  CoverageKind kind;
  ObjectKind entries;
  QueryId list;      // the names the schema has
  const char* column;
};

// The list queries of the available lists, run here for drift.
constexpr KindQuery kKindQueries[] = {
    {CoverageKind::Tables, ObjectKind::Tables, QueryId::OCITables, "table_name"},
    {CoverageKind::Views, ObjectKind::Views, QueryId::OCIViewNames, "view_name"},
    {CoverageKind::Units, ObjectKind::ProceduresAndFunctions, QueryId::OCIProcedures, "proc"},
    {CoverageKind::Packages, ObjectKind::Packages, QueryId::OCIPackages, "name"},
    {CoverageKind::Sequences, ObjectKind::Sequences, QueryId::OCISequences, "sequence_name"},
    {CoverageKind::Roles, ObjectKind::Roles, QueryId::OCIRoles, "grantee"},
};

QStringList ListNames(Database& db, QueryId id, const char* column) {
  Query& q = db.query(id);
  q.Close();
  q.Open();
  QStringList names;
  for (; !q.Eof(); q.Next()) names.append(q.Field(QString::fromLatin1(column)));
  q.Close();
  names.sort();  // some list queries have no order of their own
  return names;
}

// A connection's identity: its database and user as the document's keys spell them.
QString ConnectionOf(const ObjectEntry& e) {
  return ansi::UpperCase(e.connection().ServerName()) + u'\n' +
         ansi::UpperCase(e.connection().UserName());
}

}  // namespace

void AddDrift(CoverageReport& report, const Project& project, Database& db,
              BuildProgress& progress) {
  QList<const KindQuery*> covered;
  for (const KindQuery& k : kKindQueries)
    if (report.kinds.contains(k.kind)) covered.append(&k);

  // The first entry of each connection, in the order the kinds and entries come.
  QList<std::pair<ObjectKind, const ObjectEntry*>> connections;
  QSet<QString> seen;
  for (const KindQuery* k : covered) {
    for (const ObjectEntry& e : project.Entries(k->entries)) {
      if (seen.contains(ConnectionOf(e))) continue;
      seen.insert(ConnectionOf(e));
      connections.append({k->entries, &e});
    }
  }

  QList<CoverageObject> added[kCoverageKindCount];
  for (const auto& [entryKind, c] : connections) {
    progress.SetInfoText(QStringLiteral("Comparing schema: %1@%2")
                             .arg(ansi::UpperCase(c->connection().UserName()),
                                  ansi::UpperCase(c->connection().ServerName())));
    // An error names the entry whose stored connection was used.
    const NamedEntry named(db, entryKind, *c);
    ConnectDatabase(db, c->connection().ServerName(), c->connection().UserName(),
                    c->connection().Password());
    const QString connection = ConnectionOf(*c);
    for (const KindQuery* k : covered) {
      const QStringList names = ListNames(db, k->list, k->column);
      QSet<QStringView> inProject;
      const QList<ObjectEntry>& entries = project.Entries(k->entries);
      for (const ObjectEntry& e : entries)
        if (ConnectionOf(e) == connection) inProject.insert(e.ObjectName());

      if (k->kind == CoverageKind::Roles) continue;
      for (const QString& name : names) {
        if (inProject.contains(name)) continue;
        CoverageObject o;
        o.kind = k->kind;
        o.presence = Presence::NotInProject;
        o.described = false;
        QString objectName = name;
        if (k->kind == CoverageKind::Units) {
          const UnitName unit = UnitName::Of(name);
          objectName = TrimBlanks(unit.name);
          o.type = TrimBlanks(unit.type);
        }
        o.key = {ansi::UpperCase(c->connection().ServerName()),
                 ansi::UpperCase(c->connection().UserName()), objectName};
        added[static_cast<int>(k->kind)].append(o);
      }
    }
  }

  // Each kind's drift after its entries.
  QList<CoverageObject> objects;
  for (const CoverageKind kind : report.kinds) {
    for (const CoverageObject& o : report.objects)
      if (o.kind == kind) objects.append(o);
    objects.append(added[static_cast<int>(kind)]);
  }
  report.objects = std::move(objects);
}

CoverageRun RunCoverage(const Project& project, const Settings& settings, Database& db,
                        BuildProgress& progress) {
  CoverageRun run;
  UserConnection userConnection(db);
  run.progressMax = ProgressMaximum(project, settings);
  progress.SetProgressMax(run.progressMax);
  try {
    run.report = MeasureCoverage(
        BuildDocumentModel(project, settings, db, progress, ModelScope::Coverage));
    AddDrift(run.report, project, db, progress);
  } catch (const DatabaseError& e) {
    run.error = "ERROR: " + e.Message();
  }
  run.connectionRestored = userConnection.Restore();
  return run;
}
