#pragma once
// Descending and function-based index columns. Oracle indexes a hidden column in their place
// (USER_IND_COLUMNS names it SYS_NC00005$, a name no table lists) and keeps what it stands
// for in USER_IND_EXPRESSIONS: the expression, or a descending column's own name in quotes.
// Documents show that text where the dictionary names the hidden column.

#include <QHash>
#include <QString>

class Database;

struct IndexExpression {
  QString text;  // as IndexExpressionText shows it
  bool descending = false;
};

// The hidden index columns of `table` on the connection, by column name.
QHash<QString, IndexExpression> ReadIndexExpressions(Database& db, const QString& table);

// An index expression as a document shows it: "PAY_PERIOD" (a descending column, quoted
// because Oracle keeps it so) as PAY_PERIOD; any other expression as Oracle keeps it,
// without surrounding blanks.
QString IndexExpressionText(const QString& expression);
