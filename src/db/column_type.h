#pragma once
// A column's type as a DBA writes it, from the values the dictionary keeps for it.
//
// The dictionary keeps a type in pieces (user_tab_columns: data_type, data_length,
// data_precision, data_scale, char_length, char_used); every document format shows the
// one text a DBA would write in a CREATE TABLE, so the joining lives here, once.

#include <QString>

class Query;

// The pieces, as the dictionary queries read them: text, "" for NULL.
struct ColumnType {
  QString dataType, dataLength, dataPrecision, dataScale, charLength, charUsed;
};

// NUMBER(p), NUMBER(p,s) for a scale other than 0, NUMBER(*,s) for a scale without a
// precision, FLOAT(p), VARCHAR2(n) or VARCHAR2(n CHAR) and CHAR(n) or CHAR(n CHAR) by the
// column's length semantics, NCHAR(n), NVARCHAR2(n), RAW(n); any other type (DATE,
// TIMESTAMP(6) WITH TIME ZONE, ...) as the dictionary names it. A length counted in
// characters is char_length; without char_used 'C' (or without char_length, as in a
// snapshot made before those columns existed) the length is data_length.
QString ColumnTypeText(const ColumnType& type);

// The pieces of the current row of a query that selects them under their dictionary names
// (OCITableFields).
ColumnType ColumnTypeOf(const Query& query);
