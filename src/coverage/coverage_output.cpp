#include "coverage/coverage_output.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "coverage/coverage.h"

namespace {

constexpr int kJsonVersion = 1;

const char* const kMeasureIds[kMeasureCount] = {"description", "columns", "blocks",
                                                "parameters"};
const char* const kMeasureTitles[kMeasureCount] = {"Descriptions", "Column comments",
                                                   "Comment blocks", "Parameters"};

QString Figure(const Tally& t) {
  return QStringLiteral("%1 of %2 documented (%3%)")
      .arg(t.documented)
      .arg(t.total)
      .arg(t.Percent(), 0, 'f', 1);
}

QString Share(const Tally& t) { return QStringLiteral("%1/%2").arg(t.documented).arg(t.total); }

QString Count(int n, const char* one, const char* many) {
  return QString::number(n) + u' ' + QString::fromLatin1(n == 1 ? one : many);
}

}  // namespace

QString CoverageText(const CoverageReport& report) {
  QString out = QStringLiteral("Documentation coverage of %1 %2\n").arg(report.name, report.version);
  out += QStringLiteral("Total: %1\n\n").arg(Figure(report.Total()));

  constexpr int kKindWidth = 26;
  constexpr int kWidth = 17;
  out += QStringLiteral("Kind").leftJustified(kKindWidth) + QStringLiteral("Objects").rightJustified(8);
  for (const char* title : kMeasureTitles) out += QString::fromLatin1(title).rightJustified(kWidth);
  out += QStringLiteral("Documented").rightJustified(12) + u'\n';
  int missing = 0;
  int notInProject = 0;
  for (const CoverageKind kind : report.kinds) {
    const KindSummary s = report.Summary(kind);
    missing += s.missing;
    notInProject += s.notInProject;
    out += KindTitle(kind).leftJustified(kKindWidth) +
           QString::number(s.objects).rightJustified(8);
    for (int m = 0; m < kMeasureCount; ++m) {
      out += (Counts(kind, static_cast<Measure>(m)) ? Share(s.tallies[m]) : QStringLiteral("-"))
                 .rightJustified(kWidth);
    }
    out += QStringLiteral("%1%").arg(s.Items().Percent(), 0, 'f', 1).rightJustified(12) + u'\n';
  }
  out += QStringLiteral("\nDrift: %1 no longer in their database, %2 not in the project\n")
             .arg(Count(missing, "entry", "entries"), Count(notInProject, "object", "objects"));
  const QList<CoverageObject> invalid = report.Invalid();
  out += QStringLiteral("Invalid objects: %1\n").arg(invalid.size());
  for (const CoverageObject& o : invalid)
    out += QStringLiteral("  ") + o.Label() + u' ' + o.FullName() + u'\n';

  if (!report.objects.isEmpty()) out += u'\n';
  for (const CoverageObject& o : report.objects) {
    QStringList parts;
    if (o.presence == Presence::InProject) parts.append(Figure(o.Items()));
    parts += o.Gaps();
    out += o.Label() + u' ' + o.FullName() + QStringLiteral(": ") +
           parts.join(QStringLiteral("; ")) + u'\n';
  }
  return out;
}

namespace {

QJsonObject TallyJson(const Tally& t) {
  return {{"documented", t.documented}, {"items", t.total}, {"percent", t.Percent()}};
}

// The figure and the measures the kind counts.
void AddTallies(QJsonObject& json, CoverageKind kind, const Tallies& tallies) {
  Tally items;
  for (int m = 0; m < kMeasureCount; ++m) {
    if (!Counts(kind, static_cast<Measure>(m))) continue;
    json.insert(QString::fromLatin1(kMeasureIds[m]), TallyJson(tallies[m]));
    items += tallies[m];
  }
  const QJsonObject total = TallyJson(items);
  for (auto it = total.begin(); it != total.end(); ++it) json.insert(it.key(), it.value());
}

QString PresenceId(Presence p) {
  switch (p) {
    case Presence::InProject: return QStringLiteral("inProject");
    case Presence::Missing: return QStringLiteral("missing");
    case Presence::NotInProject: return QStringLiteral("notInProject");
  }
  return {};
}

// Which object a row is: a member or trigger by its own name beside its package's or table's.
QJsonObject Identity(const CoverageObject& o) {
  QJsonObject json{{"kind", KindId(o.kind)},
                   {"database", o.key.database},
                   {"owner", o.key.owner},
                   {"name", o.key.name}};
  if (o.kind == CoverageKind::Members) json.insert("member", o.member);
  if (o.kind == CoverageKind::Triggers) json.insert("trigger", o.member);
  return json;
}

QJsonObject ObjectJson(const CoverageObject& o) {
  QJsonObject json = Identity(o);
  json.insert("presence", PresenceId(o.presence));
  json.insert("gaps", QJsonArray::fromStringList(o.Gaps()));
  if (!o.type.isEmpty()) json.insert("type", o.type);
  if (o.presence != Presence::InProject) return json;
  AddTallies(json, o.kind, o.tallies);
  json.insert("described", o.described);
  json.insert("invalid", o.invalid);
  if (Counts(o.kind, Measure::Columns))
    json.insert("uncommentedColumns", QJsonArray::fromStringList(o.uncommentedColumns));
  if (Counts(o.kind, Measure::Parameters)) {
    json.insert("undescribedParameters", QJsonArray::fromStringList(o.undescribedParameters));
    json.insert("staleParameters", QJsonArray::fromStringList(o.staleParameters));
  }
  return json;
}

}  // namespace

QByteArray CoverageJson(const CoverageReport& report, std::optional<double> minimum) {
  QJsonArray kinds;
  for (const CoverageKind kind : report.kinds) {
    const KindSummary s = report.Summary(kind);
    QJsonObject json{{"kind", KindId(kind)},
                     {"title", KindTitle(kind)},
                     {"objects", s.objects},
                     {"missing", s.missing},
                     {"notInProject", s.notInProject}};
    AddTallies(json, kind, s.tallies);
    kinds.append(json);
  }
  QJsonArray objects;
  for (const CoverageObject& o : report.objects) objects.append(ObjectJson(o));
  QJsonArray invalid;
  for (const CoverageObject& o : report.Invalid()) invalid.append(Identity(o));

  const Tally total = report.Total();
  QJsonObject root{{"format", "vellumar-coverage"},
                   {"version", kJsonVersion},
                   {"project", QJsonObject{{"name", report.name}, {"version", report.version}}},
                   {"total", TallyJson(total)},
                   {"kinds", kinds},
                   {"objects", objects},
                   {"invalidObjects", invalid}};
  if (minimum) {
    root.insert("gate", QJsonObject{{"minimum", *minimum}, {"passed", !total.Below(*minimum)}});
  }
  return QJsonDocument(root).toJson(QJsonDocument::Indented);
}
