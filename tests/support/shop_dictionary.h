#pragma once
// The made dictionary the snapshot, document builder and page tests share, with users SHOP
// (password "secret"), HR (any password), OPS ("ops") and SCOTT ("tiger").

#include <QString>
#include <QStringList>

namespace testdb {

// SHOP owns the tables NOTES, CUSTOMERS, ORDERS (keys, an index, synonyms and a comment
// with markup) and LONG_NAMES (a column name of 128 characters, kLongColumn, and a zoned
// timestamp), the views V_OPEN, V_ONE, V_TAIL, V_BLANK and V_ESC and the sequences ORDERS_SEQ
// and CUSTOMERS_SEQ. HR owns the tables STAFF and JOBS, the function GET_RATE (kGetRate) and
// the package ORDERS (with a body that documents a member of its own); OPS owns
// another GET_RATE and the table SHIPMENTS, whose names and types fill their text columns
// exactly (a 30-character column name, VARCHAR2(32767), a 20-character key name). SCOTT owns the tables EMP (comment "Employees of the company", and HR
// has a comment of that name too), DEPT and bonus, the key DEPT_PK of DEPT and EMP_DEPT_FK of
// EMP on (DEPTNO, LOC), the view EMP_V, the function GET_SAL and procedure RAISE_SAL, the
// package PAY_PKG (with a tagged package description) and the sequence EMP_SEQ, and granted
// EMP to HR and to CLERK and HR's JOBS to PARTNER.
QString ShopDictionarySql();

extern const QString kLongColumn;
extern const QStringList kGetRate;

}  // namespace testdb
