#include "model/triggers.h"

#include <QRegularExpression>

namespace {

// The columns of UPDATE OF in a header, as one writes them in DDL: upper case unless quoted,
// joined by ", ". Empty when the header names none.
QString UpdateColumns(const QString& header) {
  static const QRegularExpression updateOf(
      QStringLiteral(R"re(\bUPDATE\s+OF\s+(.+?)\s+(?:OR|ON)\s)re"),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch m = updateOf.match(header);
  if (!m.hasMatch()) return {};
  QStringList columns;
  for (QString c : m.captured(1).split(u',')) {
    c = c.trimmed();
    columns.append(c.startsWith(u'"') ? c : c.toUpper());
  }
  return columns.join(QStringLiteral(", "));
}

}  // namespace

ModelTrigger TriggerOf(const QString& type, const QString& event, const QString& description) {
  ModelTrigger t;
  const QString kind = type.simplified();
  for (const char* timing : {"BEFORE", "AFTER", "INSTEAD OF", "COMPOUND"})
    if (kind.startsWith(QLatin1String(timing))) t.timing = QLatin1String(timing);
  t.eachRow = kind.endsWith(QLatin1String("EACH ROW")) || t.timing == QLatin1String("INSTEAD OF");
  QStringList events = event.simplified().split(QStringLiteral(" OR "), Qt::SkipEmptyParts);
  const QString columns = UpdateColumns(description);
  for (QString& e : events)
    if (e == QLatin1String("UPDATE") && !columns.isEmpty()) e += QStringLiteral(" OF ") + columns;
  t.event = events.join(QStringLiteral(" OR "));
  return t;
}

QStringList TriggerLines(const QString& body) {
  QStringList lines = QString(body).remove(u'\r').split(u'\n');
  while (!lines.isEmpty() && lines.last().trimmed().isEmpty()) lines.removeLast();
  return lines;
}

QString TriggerSource(const ModelTrigger& trigger) {
  QString header = trigger.header;
  if (!header.endsWith(u'\n')) header += u'\n';
  return QStringLiteral("TRIGGER ") + header + trigger.body.join(u'\n');
}
