#include "support/shop_dictionary.h"

#include "support/snapshot_maker.h"

namespace testdb {

// An Oracle name of the greatest length.
const QString kLongColumn = "COLUMN_OF_128_CHARACTERS_" + QString(103, u'X');

const QStringList kGetRate{
    "FUNCTION get_rate (p_code IN VARCHAR2) RETURN NUMBER",
    "/*",
    "<FD>",
    "Description:",
    "  The rate of a code.",
    "Parameters:",
    "  p_code, VARCHAR2:",
    "  Code of the rate;",
    "Return value (NUMBER):",
    "  The rate.",
    "</FD>",
    "*/",
    "IS BEGIN RETURN 1; END;",
};

const QStringList kOrdersSpec{
    "PACKAGE orders IS",
    "<PD>",
    "Description:",
    "  Order handling.",
    "</PD>",
    "<FD>",
    "Function open_count",
    "Return value (NUMBER):",
    "  Open orders.",
    "</FD>",
    "<FD>",
    "Procedure close_all",
    "Description:",
    "  Closes <every> order.",
    "</FD>",
    "END orders;",
};

namespace {

// Rows of dba_source for one unit: each line with its line feed as stored, the last none;
// inserted last line first, so that what reads them must order them.
QString SourceSql(const QString& owner, const QString& name, const QString& type,
                  const QStringList& lines) {
  QString sql;
  for (qsizetype i = lines.size() - 1; i >= 0; --i) {
    QString text = lines[i];
    text.replace(u'\'', QStringLiteral("''"));
    sql += QStringLiteral("INSERT INTO dba_source (owner, name, type, line, text) "
                          "VALUES ('%1', '%2', '%3', %4, '%5'%6);\n")
               .arg(owner, name, type)
               .arg(i + 1)
               .arg(text, i + 1 < lines.size() ? QStringLiteral(" || char(10)") : QString());
  }
  return sql;
}

}  // namespace

QString ShopDictionarySql() {
  return UserSql("SHOP", "secret") + UserSql("HR", {}) + UserSql("OPS", "ops") +
         UserSql("SCOTT", "tiger") +
         SourceSql("HR", "GET_RATE", "FUNCTION", kGetRate) +
         SourceSql("OPS", "GET_RATE", "FUNCTION",
                   {"<FD>", "Description:", "  The rate in OPS.", "</FD>"}) +
         SourceSql("HR", "ORDERS", "PACKAGE", kOrdersSpec) +
         SourceSql("HR", "ORDERS", "PACKAGE BODY",
                   {"PACKAGE BODY orders IS", "<FD>", "Procedure hidden", "</FD>"}) +
         QStringLiteral(R"sql(
INSERT INTO dba_tables VALUES ('SHOP','NOTES'), ('SHOP','CUSTOMERS'), ('SHOP','ORDERS'),
  ('HR','STAFF'), ('SHOP','LONG_NAMES');
INSERT INTO dba_tab_columns (owner, table_name, column_name, column_id, data_type, data_length,
  data_precision, nullable) VALUES
  ('SHOP','NOTES','NOTE_ID',1,'NUMBER',22,10,'N'),
  ('SHOP','NOTES','BODY',2,'VARCHAR2',100,NULL,'Y'),
  ('SHOP','CUSTOMERS','CUSTOMER_ID',1,'NUMBER',22,10,'N'),
  ('SHOP','ORDERS','ORDER_ID',1,'NUMBER',22,10,'N'),
  ('SHOP','ORDERS','CUSTOMER_ID',2,'NUMBER',22,10,'N'),
  ('SHOP','ORDERS','NOTE',3,'VARCHAR2',200,NULL,'Y'),
  ('HR','STAFF','STAFF_ID',1,'NUMBER',22,NULL,'N');
INSERT INTO dba_col_comments VALUES
  ('SHOP','NOTES','NOTE_ID','Key'), ('SHOP','NOTES','BODY',NULL),
  ('SHOP','CUSTOMERS','CUSTOMER_ID',NULL),
  ('SHOP','ORDERS','ORDER_ID','Order number'), ('SHOP','ORDERS','CUSTOMER_ID','Who'),
  ('SHOP','ORDERS','NOTE','Free <text> & "notes"'),
  ('HR','STAFF','STAFF_ID',NULL);
INSERT INTO dba_constraints (owner, constraint_name, constraint_type, table_name,
  r_owner, r_constraint_name) VALUES
  ('SHOP','CUSTOMERS_PK','P','CUSTOMERS',NULL,NULL),
  ('SHOP','ORDERS_PK','P','ORDERS',NULL,NULL),
  ('SHOP','ORDERS_CUST_FK','R','ORDERS','SHOP','CUSTOMERS_PK');
INSERT INTO dba_cons_columns VALUES
  ('SHOP','CUSTOMERS_PK','CUSTOMERS','CUSTOMER_ID',1),
  ('SHOP','ORDERS_PK','ORDERS','ORDER_ID',1),
  ('SHOP','ORDERS_CUST_FK','ORDERS','CUSTOMER_ID',1);
INSERT INTO dba_indexes (owner, index_name, table_owner, table_name) VALUES ('SHOP','ORDERS_IX','SHOP','ORDERS');
INSERT INTO dba_ind_columns (index_owner, index_name, table_owner, table_name,
  column_name, column_position) VALUES ('SHOP','ORDERS_IX','SHOP','ORDERS','CUSTOMER_ID',2),
  ('SHOP','ORDERS_IX','SHOP','ORDERS','ORDER_ID',1);
INSERT INTO dba_tab_columns VALUES
  ('SHOP','LONG_NAMES','%1',1,'NUMBER',22,10,'N',0,0,NULL,NULL),
  ('SHOP','LONG_NAMES','SHIPPED_AT',2,'TIMESTAMP(6) WITH TIME ZONE',13,NULL,'Y',6,0,NULL,NULL);
INSERT INTO dba_col_comments VALUES ('SHOP','LONG_NAMES','%1',NULL),
  ('SHOP','LONG_NAMES','SHIPPED_AT','When it left.' || char(13,10) || 'Local time.');
INSERT INTO dba_constraints (owner, constraint_name, constraint_type, table_name,
  r_owner, r_constraint_name) VALUES
  ('SHOP','LONG_NAMES_PRIMARY_KEY_PK','P','LONG_NAMES',NULL,NULL),
  ('SHOP','LONG_NAMES_CUSTOMER_ID_FK','R','LONG_NAMES','SHOP','CUSTOMERS_PK');
INSERT INTO dba_cons_columns VALUES
  ('SHOP','LONG_NAMES_PRIMARY_KEY_PK','LONG_NAMES','%1',1),
  ('SHOP','LONG_NAMES_CUSTOMER_ID_FK','LONG_NAMES','%1',1);
INSERT INTO dba_indexes (owner, index_name, table_owner, table_name) VALUES ('SHOP','LONG_NAMES_SHIPPED_AT_IX','SHOP','LONG_NAMES'),
  ('SHOP','LONG_NAMES_SHIPPED_AT_UK','SHOP','LONG_NAMES');
INSERT INTO dba_ind_columns (index_owner, index_name, table_owner, table_name,
  column_name, column_position) VALUES
  ('SHOP','LONG_NAMES_SHIPPED_AT_IX','SHOP','LONG_NAMES','SYS_NC00003$',1),
  ('SHOP','LONG_NAMES_SHIPPED_AT_UK','SHOP','LONG_NAMES','SHIPPED_AT',1),
  ('SHOP','LONG_NAMES_SHIPPED_AT_UK','SHOP','LONG_NAMES','%1',2);
UPDATE dba_ind_columns SET descend = CASE column_name WHEN 'SYS_NC00003$' THEN 'DESC' ELSE 'ASC' END;
INSERT INTO dba_ind_expressions VALUES
  ('SHOP','LONG_NAMES_SHIPPED_AT_IX','SHOP','LONG_NAMES','"SHIPPED_AT"',1);
INSERT INTO dba_synonyms VALUES ('HR','ALT_ORDERS','SHOP','ORDERS'),
  ('PUBLIC','ORDERS_PUB','SHOP','ORDERS');
INSERT INTO dba_views VALUES
  ('SHOP','V_OPEN','select *' || char(10) || 'from orders' || char(10)),
  ('SHOP','V_ONE','select 1 from dual'),
  ('SHOP','V_TAIL','select a' || char(13,10) || 'from b' || char(13,10) || '  ' || char(9)),
  ('SHOP','V_BLANK','   '),
  ('SHOP','V_ESC','select ''<b>'' & x from t');
INSERT INTO dba_tables VALUES ('SCOTT', 'EMP'), ('SCOTT', 'DEPT'), ('SCOTT', 'bonus'),
  ('HR', 'JOBS');
INSERT INTO dba_tab_comments VALUES ('HR', 'EMP', 'TABLE', 'Not ours'),
  ('SCOTT', 'EMP', 'TABLE', 'Employees of the company'),
  ('SCOTT', 'DEPT', 'TABLE', NULL), ('HR', 'JOBS', 'TABLE', 'Job titles'),
  ('SCOTT', '', 'TABLE', 'A snapshot made by hand may hold an empty name');
INSERT INTO dba_views VALUES ('SCOTT', 'EMP_V', 'select * from emp');
INSERT INTO dba_sequences VALUES ('SCOTT', 'EMP_SEQ'), ('SHOP', 'ORDERS_SEQ'),
  ('SHOP', 'CUSTOMERS_SEQ');
INSERT INTO dba_tab_privs VALUES ('SCOTT', 'EMP', 'SCOTT', 'HR', 'SELECT'),
  ('SCOTT', 'EMP', 'SCOTT', 'CLERK', 'SELECT'), ('SCOTT', 'EMP', 'SCOTT', 'HR', 'UPDATE'),
  ('HR', 'JOBS', 'SCOTT', 'PARTNER', 'SELECT'), ('HR', 'JOBS', 'HR', 'SPY', 'SELECT');
INSERT INTO dba_tab_columns (owner, table_name, column_name, column_id, data_type, data_length,
  data_precision, nullable) VALUES ('SCOTT', 'DEPT', 'LOC', 2, 'VARCHAR2', 13, NULL, 'N'),
  ('SCOTT', 'DEPT', 'DEPTNO', 1, 'NUMBER', 22, 2, 'N'),
  ('SCOTT', 'EMP', 'EMPNO', 1, 'NUMBER', 22, 4, 'N'),
  ('SCOTT', 'EMP', 'LOC', 3, 'VARCHAR2', 13, NULL, 'Y'),
  ('SCOTT', 'EMP', 'DEPTNO', 2, 'NUMBER', 22, 2, 'Y');
INSERT INTO dba_col_comments SELECT owner, table_name, column_name, NULL FROM dba_tab_columns
  WHERE owner = 'SCOTT';
INSERT INTO dba_constraints (owner, constraint_name, constraint_type, table_name, r_owner,
  r_constraint_name) VALUES ('SCOTT', 'DEPT_PK', 'P', 'DEPT', NULL, NULL),
  ('SCOTT', 'EMP_DEPT_FK', 'R', 'EMP', 'SCOTT', 'DEPT_PK');
INSERT INTO dba_cons_columns VALUES ('SCOTT', 'DEPT_PK', 'DEPT', 'LOC', 2),
  ('SCOTT', 'DEPT_PK', 'DEPT', 'DEPTNO', 1), ('SCOTT', 'EMP_DEPT_FK', 'EMP', 'LOC', 2),
  ('SCOTT', 'EMP_DEPT_FK', 'EMP', 'DEPTNO', 1);
-- What uses what, both ways across owners, and a view that no longer compiles.
INSERT INTO dba_dependencies VALUES
  ('SCOTT', 'RAISE_SAL', 'PROCEDURE', 'SCOTT', 'GET_SAL', 'FUNCTION', 'HARD'),
  ('SCOTT', 'EMP_V', 'VIEW', 'SCOTT', 'EMP', 'TABLE', 'HARD'),
  ('HR', 'GET_RATE', 'FUNCTION', 'SCOTT', 'EMP', 'TABLE', 'HARD'),
  ('SCOTT', 'GET_SAL', 'FUNCTION', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('SHOP', 'V_OPEN', 'VIEW', 'SHOP', 'ORDERS', 'TABLE', 'HARD');
INSERT INTO dba_objects VALUES
  ('SCOTT', 'EMP', 'TABLE', 'VALID', '2024-03-14 09:12:40', '2024-03-14 09:12:40'),
  ('SCOTT', 'EMP_V', 'VIEW', 'INVALID', '2024-03-14 09:12:41', '2024-06-03 11:45:02'),
  ('HR', 'GET_RATE', 'FUNCTION', 'INVALID', '2024-03-14 09:12:41', '2024-06-03 11:45:02');
INSERT INTO dba_tables VALUES ('OPS', 'SHIPMENTS');
INSERT INTO dba_tab_columns (owner, table_name, column_name, column_id, data_type, data_length,
  data_precision, nullable, data_scale, char_length, char_used) VALUES
  ('OPS', 'SHIPMENTS', 'SHIPMENT_ID', 1, 'NUMBER', 22, 10, 'N', 0, 0, NULL),
  ('OPS', 'SHIPMENTS', 'COLUMN_NAME_EXACTLY_30_CHARS_X', 2, 'VARCHAR2', 32767, NULL, 'Y', NULL,
   32767, 'B'),
  ('OPS', 'SHIPMENTS', 'SPLIT_FROM', 3, 'NUMBER', 22, 10, 'Y', 0, 0, NULL);
INSERT INTO dba_col_comments SELECT owner, table_name, column_name, NULL FROM dba_tab_columns
  WHERE owner = 'OPS';
INSERT INTO dba_constraints (owner, constraint_name, constraint_type, table_name, r_owner,
  r_constraint_name) VALUES ('OPS', 'SHIPMENTS_PK', 'P', 'SHIPMENTS', NULL, NULL),
  ('OPS', 'SHIPMENTS_PARENTS_FK', 'R', 'SHIPMENTS', 'OPS', 'SHIPMENTS_PK');
INSERT INTO dba_cons_columns VALUES ('OPS', 'SHIPMENTS_PK', 'SHIPMENTS', 'SHIPMENT_ID', 1),
  ('OPS', 'SHIPMENTS_PARENTS_FK', 'SHIPMENTS', 'SPLIT_FROM', 1);
)sql").arg(kLongColumn) +
         SourceSql("SCOTT", "RAISE_SAL", "PROCEDURE", {"procedure raise_sal is begin null; end;"}) +
         SourceSql("SCOTT", "GET_SAL", "FUNCTION",
                   {"function get_sal return number is", "begin return 0; end;"}) +
         SourceSql("SCOTT", "PAY_PKG", "PACKAGE",
                   {"package pay_pkg is", "-- <PD>", "-- Description", "first part",
                    "   second part   ", "-- </PD>", "end pay_pkg;"});
}

}  // namespace testdb
