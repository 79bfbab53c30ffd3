#include "db/index_expressions.h"

#include <QRegularExpression>

#include "db/database.h"

QHash<QString, IndexExpression> ReadIndexExpressions(Database& db, const QString& table) {
  QHash<QString, IndexExpression> hidden;
  Query& q = RunQuery(db, QueryId::OCIIndexExpressions, table);
  for (; !q.Eof(); q.Next())
    hidden.insert(q.Field(QStringLiteral("column_name")),
                  {IndexExpressionText(q.Field(QStringLiteral("column_expression"))),
                   q.Field(QStringLiteral("descend")) == QStringLiteral("DESC")});
  q.Close();
  return hidden;
}

QString IndexExpressionText(const QString& expression) {
  // A name that needs no quotes: upper case, starting with a letter. Any other quoted name
  // (lower case, blanks) keeps its quotes, which are part of the name.
  static const QRegularExpression plainName(QStringLiteral("^\"([A-Z][A-Z0-9_$#]*)\"$"));
  const QString trimmed = expression.trimmed();
  const QRegularExpressionMatch m = plainName.match(trimmed);
  return m.hasMatch() ? m.captured(1) : trimmed;
}
