#include "db/column_type.h"

#include <QStringBuilder>

#include "db/database.h"

namespace {

// Built in one piece: a document has a type for every column.
QString InParentheses(const QString& type, const QString& inside) {
  return type % u'(' % inside % u')';
}

QString NumberText(const ColumnType& t) {
  const bool scaled = !t.dataScale.isEmpty() && t.dataScale != u"0";
  if (t.dataPrecision.isEmpty()) {
    return t.dataScale.isEmpty() ? t.dataType : InParentheses(t.dataType, "*," + t.dataScale);
  }
  return InParentheses(t.dataType, scaled ? t.dataPrecision + u',' + t.dataScale
                                          : t.dataPrecision);
}

}  // namespace

QString ColumnTypeText(const ColumnType& t) {
  const QString& type = t.dataType;
  if (type == u"NUMBER") return NumberText(t);
  if (type == u"FLOAT") {
    return t.dataPrecision.isEmpty() ? type : InParentheses(type, t.dataPrecision);
  }
  const bool inCharacters = t.charUsed == u"C" && !t.charLength.isEmpty();
  const QString& length = inCharacters ? t.charLength : t.dataLength;
  if (type == u"VARCHAR2" || type == u"CHAR") {
    return InParentheses(type, inCharacters ? length + QStringLiteral(" CHAR") : length);
  }
  // National character types always count characters; writing " CHAR" there is not SQL.
  if (type == u"NVARCHAR2" || type == u"NCHAR" || type == u"RAW") {
    return InParentheses(type, length);
  }
  return type;
}

ColumnType ColumnTypeOf(const Query& q) {
  return {q.Field("data_type"),      q.Field("data_length"),
          q.Field("data_precision"), q.Field("data_scale"),
          q.Field("char_length"),    q.Field("char_used")};
}
