// The document model filled from a dictionary snapshot: every read the modern documents add,
// what a snapshot made before them still gives, and the coverage report measured on it.
#include "model/document_model_builder.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "coverage/coverage.h"
#include "coverage/coverage_output.h"
#include "diagrams/diagrams.h"
#include "model/document_model.h"
#include "model/impact.h"
#include "model/what_uses_what.h"
#include "modern/markdown.h"
#include "modern/modern_html.h"
#include "modern/templates.h"
#include "support/build_fixture.h"
#include "support/snapshot_maker.h"
#include "support/streamed_build.h"
#include "support/svg_box.h"

namespace {

const QStringList kUnitSource{
    "FUNCTION order_total (p_order IN NUMBER, p_day IN OUT DATE := SYSDATE) RETURN NUMBER\n",
    "<FD>\n", "Description: Sums an order.\n", "Parameters:\n", "p_order, NUMBER: the order;\n",
    "p_date, DATE: the day;\n", "</FD>\n"};
const QStringList kPackageSource{"PACKAGE order_api IS\n", "<FD>\n", "Procedure close_order\n",
                                 "Description: Closes.\n", "Parameters:\n",
                                 "p_id, NUMBER: the order;\n", "</FD>\n", "END;\n"};
// Blocks as a library's comment style leaves them under the member tags: one without a
// keyword line, two whose keyword stands in a sentence, and two that name declared members.
const QStringList kDocApiSource{
    "PACKAGE doc_api IS\n",       "<FD>\n", "Shared by the routines below.\n", "</FD>\n",
    "<FD>\n", "Sets up the tables.\n", "The teardown procedures undo it.\n", "</FD>\n",
    "<FD>\n", "Procedure is called nightly.\n", "</FD>\n",
    "<FD>\n", "Function insert_xml\n", "Description: Adds a document.\n", "</FD>\n",
    "<FD>\n", "Procedure refresh\n", "Description: Reloads the cache.\n", "</FD>\n",
    "END doc_api;\n"};

class DocumentModelTest : public ::testing::Test, public BuildFixture {
 protected:
  DocumentModelTest() { settings = DefaultSettings(); }
  void AddShopEntries() {
    Add(ObjectKind::Tables, "ORDERS");
    Add(ObjectKind::Views, "OPEN_ORDERS");
    Add(ObjectKind::ProceduresAndFunctions, "ORDER_TOTAL (FUNCTION)");
    Add(ObjectKind::Packages, "ORDER_API");
  }
  void Add(ObjectKind kind, const QString& name, const QString& description = {},
           const QString& user = "shop") {
    project.AppendEntry(kind, {{"ORCL", user, ""}, name, description});
  }
  DocumentModel Build() { return BuildDocumentModel(project, settings, db, progress); }
};

// Owner SHOP's dictionary, with the referenced table CRM.CUSTOMERS of a schema no entry uses;
// `modern` false gives a snapshot made before the modern reads (no dba_arguments, none of their
// columns).
QString ShopSql(bool modern) {
  QString sql = testdb::UserSql("SHOP", {}) + testdb::UserSql("CRM", {});
  if (!modern) {
    sql += R"sql(DROP TABLE dba_arguments;
DROP TABLE dba_tab_columns; CREATE TABLE dba_tab_columns (owner, table_name, column_name,
  column_id, data_type, data_length, data_precision, nullable, data_scale, char_length,
  char_used);
DROP TABLE dba_constraints; CREATE TABLE dba_constraints (owner, constraint_name,
  constraint_type, table_name, r_owner, r_constraint_name);
DROP TABLE dba_indexes; CREATE TABLE dba_indexes (owner, index_name, table_owner, table_name);
DROP TABLE dba_ind_columns; CREATE TABLE dba_ind_columns (index_owner, index_name,
  table_owner, table_name, column_name, column_position);
DROP TABLE dba_dependencies; DROP TABLE dba_triggers; DROP TABLE dba_objects;
)sql";
  }
  sql += R"sql(
INSERT INTO dba_tables VALUES ('SHOP', 'ORDERS'), ('CRM', 'CUSTOMERS'), ('SHOP', 'CUSTOMERS'),
  ('SHOP', 'EXTRA');
INSERT INTO dba_tab_comments VALUES
  ('SHOP', 'ORDERS', 'TABLE', 'Orders' || char(10) || 'of customers.'),
  ('SHOP', 'OPEN_ORDERS', 'VIEW', 'Open orders.'), ('CRM', 'ORDERS', 'TABLE', 'Not ours.');
INSERT INTO dba_tab_columns (owner, table_name, column_name, column_id, data_type,
  data_length, data_precision, nullable, data_scale, char_length, char_used) VALUES
  ('SHOP', 'ORDERS', 'STATUS', 2, 'VARCHAR2', 40, NULL, 'Y', NULL, 10, 'C'),
  ('SHOP', 'ORDERS', 'ORDER_ID', 1, 'NUMBER', 22, 10, 'N', 0, 0, NULL),
  ('SHOP', 'OPEN_ORDERS', 'ORDER_ID', 1, 'NUMBER', 22, 10, 'N', 0, 0, NULL),
  ('SHOP', 'OPEN_ORDERS', 'STATUS', 2, 'VARCHAR2', 40, NULL, 'Y', NULL, 10, 'C'),
  ('SHOP', 'CUSTOMERS', 'NAME', 1, 'VARCHAR2', 10, NULL, 'Y', NULL, 10, 'B');
INSERT INTO dba_col_comments VALUES ('SHOP', 'ORDERS', 'ORDER_ID', 'Order' || char(10) || 'number'),
  ('SHOP', 'ORDERS', 'STATUS', NULL),
  ('SHOP', 'OPEN_ORDERS', 'ORDER_ID', 'Which' || char(10) || 'order'),
  ('SHOP', 'OPEN_ORDERS', 'STATUS', '  '), ('SHOP', 'CUSTOMERS', 'NAME', 'Name');
INSERT INTO dba_constraints (owner, constraint_name, constraint_type, table_name, r_owner,
  r_constraint_name) VALUES
  ('SHOP', 'ORDERS_UK', 'U', 'ORDERS', NULL, NULL), ('SHOP', 'ORDERS_PK', 'P', 'ORDERS', NULL, NULL),
  ('SHOP', 'ORDERS_STATUS_CK', 'C', 'ORDERS', NULL, NULL),
  ('SHOP', 'SYS_C0012', 'C', 'ORDERS', NULL, NULL),
  ('SHOP', 'ORDERS_CUST_FK', 'R', 'ORDERS', 'CRM', 'CUSTOMERS_PK');
INSERT INTO dba_cons_columns VALUES ('SHOP', 'ORDERS_UK', 'ORDERS', 'ORDER_ID', 2),
  ('SHOP', 'ORDERS_UK', 'ORDERS', 'STATUS', 1), ('SHOP', 'ORDERS_PK', 'ORDERS', 'ORDER_ID', 1),
  ('SHOP', 'ORDERS_STATUS_CK', 'ORDERS', 'STATUS', NULL),
  ('SHOP', 'SYS_C0012', 'ORDERS', 'ORDER_ID', NULL),
  ('SHOP', 'ORDERS_CUST_FK', 'ORDERS', 'ORDER_ID', 1),
  ('CRM', 'CUSTOMERS_PK', 'CUSTOMERS', 'CUSTOMER_ID', 1);
INSERT INTO dba_indexes (owner, index_name, table_owner, table_name) VALUES
  ('SHOP', 'ORDERS_PK', 'SHOP', 'ORDERS'), ('SHOP', 'ORDERS_IX', 'SHOP', 'ORDERS');
INSERT INTO dba_ind_columns (index_owner, index_name, table_owner, table_name, column_name,
  column_position) VALUES ('SHOP', 'ORDERS_IX', 'SHOP', 'ORDERS', 'ORDER_ID', 2),
  ('SHOP', 'ORDERS_PK', 'SHOP', 'ORDERS', 'ORDER_ID', 1),
  ('SHOP', 'ORDERS_IX', 'SHOP', 'ORDERS', 'STATUS', 1);
INSERT INTO dba_synonyms VALUES ('SHOP', 'ORD', 'SHOP', 'ORDERS'),
  ('PUBLIC', 'ALL_ORDERS', 'SHOP', 'ORDERS'), ('CRM', 'CRM_ORDERS', 'CRM', 'ORDERS');
INSERT INTO dba_views VALUES ('SHOP', 'OPEN_ORDERS', 'select order_id, status from orders');
INSERT INTO dba_sequences VALUES ('SHOP', 'ORDER_SEQ'), ('SHOP', 'SPARE_SEQ'), ('CRM', 'S');
INSERT INTO dba_tab_privs VALUES ('SHOP', 'ORDERS', 'SHOP', 'CLERK', 'SELECT');
)sql";
  const QStringList sources[] = {
      kUnitSource, kPackageSource, {"PROCEDURE no_doc (p_x NUMBER) IS BEGIN NULL; END;"},
      {"FUNCTION left_out RETURN NUMBER IS BEGIN RETURN 1; END;"}, kDocApiSource};
  const char* units[][2] = {{"ORDER_TOTAL", "FUNCTION"},
                            {"ORDER_API", "PACKAGE"},
                            {"NO_DOC", "PROCEDURE"},
                            {"LEFT_OUT", "FUNCTION"},
                            {"DOC_API", "PACKAGE"}};
  for (int u = 0; u < 5; ++u)
    for (int l = 0; l < sources[u].size(); ++l)
      sql += QStringLiteral("INSERT INTO dba_source VALUES ('SHOP', '%1', '%2', %3, '%4');\n")
                 .arg(units[u][0], units[u][1])
                 .arg(l + 1)
                 .arg(QString(sources[u][l]).replace("'", "''"));
  if (modern) {
    sql += R"sql(
UPDATE dba_tab_columns SET data_default = '''NEW''' || char(10) || ' '
  WHERE table_name = 'ORDERS' AND column_name = 'STATUS';
UPDATE dba_constraints SET search_condition = 'status in (''NEW'', ''DONE'')'
  WHERE constraint_name = 'ORDERS_STATUS_CK';
UPDATE dba_constraints SET search_condition = '"ORDER_ID" IS NOT NULL'
  WHERE constraint_name = 'SYS_C0012';
UPDATE dba_indexes SET uniqueness = 'UNIQUE' WHERE index_name = 'ORDERS_PK';
UPDATE dba_indexes SET uniqueness = 'NONUNIQUE' WHERE index_name = 'ORDERS_IX';
UPDATE dba_ind_columns SET descend = CASE column_name WHEN 'STATUS' THEN 'DESC' ELSE 'ASC' END;
-- As Oracle keeps ORDERS_IX (STATUS DESC, TRUNC(ORDER_ID, -3)): hidden columns.
UPDATE dba_ind_columns SET column_name = 'SYS_NC00003$' WHERE column_name = 'STATUS';
UPDATE dba_ind_columns SET column_name = 'SYS_NC00004$'
  WHERE index_name = 'ORDERS_IX' AND column_name = 'ORDER_ID';
INSERT INTO dba_ind_expressions VALUES ('SHOP', 'ORDERS_IX', 'SHOP', 'ORDERS', '"STATUS"', 1),
  ('SHOP', 'ORDERS_IX', 'SHOP', 'ORDERS', 'TRUNC("ORDER_ID",-3)', 2);
INSERT INTO dba_arguments (owner, package_name, object_name, overload, argument_name, position,
  sequence, data_level, data_type, in_out, default_value) VALUES
  ('SHOP', NULL, 'ORDER_TOTAL', NULL, 'P_DAY', 2, 3, 0, 'DATE', 'IN/OUT', 'SYSDATE'),
  ('SHOP', NULL, 'ORDER_TOTAL', NULL, NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL),
  ('SHOP', NULL, 'ORDER_TOTAL', NULL, 'P_ORDER', 1, 2, 0, 'NUMBER', 'IN', NULL),
  ('SHOP', NULL, 'ORDER_TOTAL', NULL, 'P_ROW', 1, 4, 1, 'NUMBER', 'IN', NULL),
  ('SHOP', NULL, 'NO_DOC', NULL, 'P_X', 1, 1, 0, 'NUMBER', 'IN', NULL),
  ('SHOP', 'ORDER_API', 'REOPEN', NULL, NULL, 0, 1, 0, 'NUMBER', 'OUT', NULL),
  ('SHOP', 'ORDER_API', 'CLOSE_ORDER', '2', 'P_NAME', 1, 1, 0, 'VARCHAR2', 'IN', NULL),
  ('SHOP', 'ORDER_API', 'CLOSE_ORDER', '1', 'P_ID', 1, 1, 0, 'NUMBER', 'IN', NULL),
  ('SHOP', 'DOC_API', 'INSERT_XML', '1', NULL, 0, 1, 0, 'CLOB', 'OUT', NULL),
  ('SHOP', 'DOC_API', 'INSERT_XML', '1', 'P_DOC', 1, 2, 0, 'CLOB', 'IN', NULL),
  ('SHOP', 'DOC_API', 'INSERT_XML', '2', 'P_DOC', 1, 1, 0, 'CLOB', 'IN', NULL),
  ('SHOP', 'DOC_API', 'INSERT_XML', '2', 'P_ROWS', 2, 2, 0, 'NUMBER', 'OUT', NULL);
-- PUT is declared eleven times, its overload numbers kept as text as Oracle keeps them.
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 11)
INSERT INTO dba_arguments (owner, package_name, object_name, overload, argument_name, position,
  sequence, data_level, data_type, in_out, default_value)
  SELECT 'SHOP', 'DOC_API', 'PUT', CAST(i AS TEXT), 'P_' || i, 1, 1, 0, 'NUMBER', 'IN', NULL FROM n;
-- The subprograms in declaration order; REFRESH takes no arguments and so has no argument row.
INSERT INTO dba_procedures (owner, object_name, procedure_name, object_type, subprogram_id,
  overload) VALUES
  ('SHOP', 'ORDER_TOTAL', NULL, 'FUNCTION', 1, NULL),
  ('SHOP', 'NO_DOC', NULL, 'PROCEDURE', 1, NULL),
  ('SHOP', 'LEFT_OUT', NULL, 'FUNCTION', 1, NULL),
  ('SHOP', 'ORDER_API', NULL, 'PACKAGE', 0, NULL),
  ('SHOP', 'ORDER_API', 'REOPEN', 'PACKAGE', 1, NULL),
  ('SHOP', 'ORDER_API', 'CLOSE_ORDER', 'PACKAGE', 2, '1'),
  ('SHOP', 'ORDER_API', 'CLOSE_ORDER', 'PACKAGE', 3, '2'),
  ('SHOP', 'DOC_API', NULL, 'PACKAGE', 0, NULL),
  ('SHOP', 'DOC_API', 'REFRESH', 'PACKAGE', 1, NULL),
  ('SHOP', 'DOC_API', 'INSERT_XML', 'PACKAGE', 2, '1'),
  ('SHOP', 'DOC_API', 'INSERT_XML', 'PACKAGE', 14, '2');
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 11)
INSERT INTO dba_procedures (owner, object_name, procedure_name, object_type, subprogram_id,
  overload) SELECT 'SHOP', 'DOC_API', 'PUT', 'PACKAGE', 2 + i, CAST(i AS TEXT) FROM n;
-- OPEN_ORDERS reads a column since dropped; ORDER_API's body no longer compiles, its
-- specification does; a trigger may share a unit's name, and CRM's view one of SHOP's.
INSERT INTO dba_objects (owner, object_name, object_type, status) VALUES
  ('SHOP', 'ORDERS', 'TABLE', 'VALID'), ('SHOP', 'OPEN_ORDERS', 'VIEW', 'INVALID'),
  ('SHOP', 'ORDER_API', 'PACKAGE', 'VALID'), ('SHOP', 'ORDER_API', 'PACKAGE BODY', 'INVALID'),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 'VALID'), ('SHOP', 'NO_DOC', 'TRIGGER', 'INVALID'),
  ('SHOP', 'NO_DOC', 'PROCEDURE', 'VALID'), ('CRM', 'DOC_API', 'PACKAGE', 'INVALID');
-- What uses what, as Oracle lists it: ORDER_TOTAL and ORDER_API's body call each other, a
-- body uses its own specification, every unit SYS.STANDARD; CRM's package uses SHOP's.
INSERT INTO dba_dependencies VALUES
  ('SHOP', 'OPEN_ORDERS', 'VIEW', 'SHOP', 'ORDERS', 'TABLE', 'HARD'),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 'SHOP', 'ORDERS', 'TABLE', 'HARD'),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 'SHOP', 'ORDER_API', 'PACKAGE', 'HARD'),
  ('SHOP', 'ORDER_API', 'PACKAGE', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('SHOP', 'ORDER_API', 'PACKAGE', 'SHOP', 'ORDERS', 'TABLE', 'HARD'),
  ('SHOP', 'ORDER_API', 'PACKAGE BODY', 'SYS', 'STANDARD', 'PACKAGE', 'HARD'),
  ('SHOP', 'ORDER_API', 'PACKAGE BODY', 'SHOP', 'ORDER_API', 'PACKAGE', 'HARD'),
  ('SHOP', 'ORDER_API', 'PACKAGE BODY', 'SHOP', 'ORDERS', 'TABLE', 'HARD'),
  ('SHOP', 'ORDER_API', 'PACKAGE BODY', 'SHOP', 'ORDER_TOTAL', 'FUNCTION', 'HARD'),
  ('SHOP', 'ORDER_API', 'PACKAGE BODY', 'SHOP', 'ORDER_SEQ', 'SEQUENCE', 'HARD'),
  ('SHOP', 'ORDERS_BI', 'TRIGGER', 'SHOP', 'ORDERS', 'TABLE', 'HARD'),
  ('SHOP', 'ORDERS_BI', 'TRIGGER', 'SHOP', 'ORDER_SEQ', 'SEQUENCE', 'HARD'),
  ('CRM', 'CRM_REPORT', 'PACKAGE BODY', 'SHOP', 'ORDERS', 'TABLE', 'HARD'),
  ('CRM', 'CRM_REPORT', 'PACKAGE BODY', 'SHOP', 'ORDER_API', 'PACKAGE', 'HARD'),
  ('CRM', 'ORDERS', 'VIEW', 'CRM', 'CUSTOMERS', 'TABLE', 'HARD'),
  -- A trigger may share the view's name: triggers have a namespace of their own.
  ('SHOP', 'OPEN_ORDERS', 'TRIGGER', 'SHOP', 'CUSTOMERS', 'TABLE', 'HARD');
)sql";
  }
  return sql;
}

TEST_F(DocumentModelTest, ReadsEveryNewPartFromASnapshotAndLinksTheDocumentedTables) {
  QTemporaryDir dir;
  testdb::MakeSnapshot(dir.filePath("orcl.sqlite"), ShopSql(true));
  db.SetSnapshotDirectories({dir.path()});
  AddShopEntries();
  Add(ObjectKind::Tables, "CUSTOMERS", {}, "CRM");
  DocumentModel m = Build();
  ASSERT_EQ(m.tables.size(), 2);
  const TableObject customers = m.tables.takeLast();
  ASSERT_EQ(customers.referencedBy.size(), 1);
  EXPECT_EQ(customers.referencedBy[0].anchor, "orcl.shop.orders");
  // ORDERS, one view, one function and one package of owner SHOP; the table's NOT NULL check
  // is Oracle's own and stays out of the model.
  const TableObject& t = m.tables[0];
  EXPECT_EQ(t.anchor, "orcl.shop.orders");
  EXPECT_TRUE(t.found);
  EXPECT_EQ(t.dictionaryComment, "Orders\nof customers.");
  ASSERT_EQ(t.columns.size(), 2);
  EXPECT_EQ(t.columns[0].name, "ORDER_ID");
  EXPECT_EQ(t.columns[0].type, "NUMBER(10)");
  EXPECT_FALSE(t.columns[0].nullable);
  EXPECT_EQ(t.columns[0].comment, "Order\nnumber");
  EXPECT_EQ(t.columns[1].type, "VARCHAR2(10 CHAR)");
  EXPECT_EQ(t.columns[1].defaultValue, "'NEW'");
  EXPECT_TRUE(t.columns[1].nullable);

  ASSERT_EQ(t.constraints.size(), 4);
  const ModelConstraint& fk = t.constraints[0];
  EXPECT_EQ(fk.kind, ConstraintKind::Foreign);
  EXPECT_EQ((QStringList{fk.name, fk.columns.join(','), fk.references.FullName(),
                         fk.referencedColumns.join(','), fk.referencedAnchor}),
            (QStringList{"ORDERS_CUST_FK", "ORDER_ID", "ORCL.CRM.CUSTOMERS", "CUSTOMER_ID",
                         "orcl.crm.customers"}));  // the anchor: in the document too
  EXPECT_EQ(t.constraints[1].kind, ConstraintKind::Primary);
  EXPECT_EQ(t.constraints[2].kind, ConstraintKind::Check);
  EXPECT_EQ(t.constraints[2].condition, "status in ('NEW', 'DONE')");
  EXPECT_EQ(t.constraints[3].kind, ConstraintKind::Unique);
  EXPECT_EQ(t.constraints[3].columns, (QStringList{"STATUS", "ORDER_ID"}));

  ASSERT_EQ(t.indexes.size(), 2);
  EXPECT_EQ(t.indexes[0].name, "ORDERS_IX");
  EXPECT_FALSE(t.indexes[0].unique);
  ASSERT_EQ(t.indexes[0].columns.size(), 2);
  EXPECT_EQ(t.indexes[0].columns[0].name, "STATUS");
  EXPECT_TRUE(t.indexes[0].columns[0].descending);
  EXPECT_EQ(t.indexes[0].columns[1].name, "TRUNC(\"ORDER_ID\",-3)");
  EXPECT_FALSE(t.indexes[0].columns[1].descending);
  EXPECT_TRUE(t.indexes[1].unique);

  ASSERT_EQ(m.views.size(), 1);
  EXPECT_EQ(m.views[0].text, "select order_id, status from orders");
  EXPECT_EQ(m.views[0].dictionaryComment, "Open orders.");
  ASSERT_EQ(m.views[0].columns.size(), 2);
  EXPECT_EQ(m.views[0].columns[0].comment, "Which\norder");

  ASSERT_EQ(m.units.size(), 1);
  const UnitObject& u = m.units[0];
  EXPECT_EQ(u.key.name, "ORDER_TOTAL");
  EXPECT_EQ(u.type, "FUNCTION");
  ASSERT_EQ(u.signatures.size(), 1);
  EXPECT_EQ(u.signatures[0].returnType, "NUMBER");
  ASSERT_EQ(u.signatures[0].arguments.size(), 2);
  EXPECT_EQ(u.signatures[0].arguments[0].name, "P_ORDER");
  EXPECT_EQ(u.signatures[0].arguments[1].inOut, "IN OUT");  // as PL/SQL writes it
  EXPECT_EQ(u.signatures[0].arguments[1].defaultValue, "SYSDATE");
  ASSERT_EQ(u.blocks.size(), 1);
  EXPECT_EQ(u.blocks[0].parameters[0].name, "p_order");

  ASSERT_EQ(m.packages.size(), 1);
  EXPECT_EQ(m.packages[0].members.value(1).anchor, "orcl.shop.order_api.close_order");
}

// DOC_API declares REFRESH, INSERT_XML (a function, later a procedure of that name) and PUT
// eleven times; of its five comment blocks two name declared members.
TEST_F(DocumentModelTest, MembersAreTheDeclaredSubprogramsInDeclarationOrder) {
  const QStringList text{"Shared by the routines below.",
                         "Sets up the tables.|The teardown procedures undo it.",
                         "Procedure is called nightly."};
  const struct {
    const char* what;
    const char* sql;
    QStringList members, textBlocks;
  } cases[] = {
      {"the dictionary lists the subprograms", "", {"REFRESH", "INSERT_XML", "PUT"}, text},
      // A snapshot made without the list: the argument rows, by name; REFRESH has none.
      {"arguments only", "DELETE FROM dba_procedures;", {"INSERT_XML", "PUT"},
       text + QStringList{"Procedure refresh|Reloads the cache."}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QTemporaryDir dir;
    testdb::MakeSnapshot(dir.filePath("orcl.sqlite"), ShopSql(true) + c.sql);
    db.SetSnapshotDirectories({dir.path()});
    project.ClearProject();
    Add(ObjectKind::Packages, "DOC_API");
    const PackageObject p = Build().packages.value(0);

    QStringList names, blocks;
    for (const MemberObject& m : p.members) names.append(m.name);
    for (const CommentBlock& b : p.textBlocks) blocks.append(b.description.join(u'|'));
    EXPECT_EQ(names, c.members);
    EXPECT_EQ(blocks, c.textBlocks);

    // Overload 10 after 9, not after 1.
    QStringList overloads;
    for (const Signature& s : p.members.value(names.indexOf("PUT")).signatures)
      overloads.append(s.overload);
    EXPECT_EQ(overloads.join(u' '), "1 2 3 4 5 6 7 8 9 10 11");
  }
}

// The page renders the dictionary's declarations as PL/SQL writes them, and each text once.
// Types the dictionary names by their kind read as the declaration writes them, or, with no
// source to read, as PL/SQL spells them.
TEST_F(DocumentModelTest, ThePageShowsTheDictionaryAsItIsMeant) {
  QTemporaryDir dir;
  testdb::MakeSnapshot(dir.filePath("orcl.sqlite"), ShopSql(true) + R"sql(
INSERT INTO dba_source VALUES ('SHOP', 'FLAG_ORDER', 'PROCEDURE', 1,
  'PROCEDURE flag_order (p_dry IN BOOLEAN, p_rec IN OUT NOCOPY order_api.r_rec) IS BEGIN NULL; END;');
INSERT INTO dba_arguments (owner, package_name, object_name, overload, argument_name, position,
  sequence, data_level, data_type, in_out, default_value) VALUES
  ('SHOP', NULL, 'FLAG_ORDER', NULL, 'P_DRY', 1, 1, 0, 'PL/SQL BOOLEAN', 'IN', NULL),
  ('SHOP', NULL, 'FLAG_ORDER', NULL, 'P_REC', 2, 2, 0, 'PL/SQL RECORD', 'IN/OUT', NULL),
  ('SHOP', NULL, 'COUNT_OPEN', NULL, NULL, 0, 1, 0, 'PL/SQL PLS INTEGER', 'OUT', NULL);)sql");
  db.SetSnapshotDirectories({dir.path()});
  Add(ObjectKind::Tables, "ORDERS", "Orders  \r\nof customers.\r\n");  // the comment, typed
  Add(ObjectKind::Tables, "CUSTOMERS", {}, "CRM");
  Add(ObjectKind::Views, "OPEN_ORDERS", "Open orders");  // says less than the comment
  Add(ObjectKind::ProceduresAndFunctions, "ORDER_TOTAL (FUNCTION)");
  Add(ObjectKind::ProceduresAndFunctions, "NO_DOC (PROCEDURE)");
  Add(ObjectKind::ProceduresAndFunctions, "FLAG_ORDER (PROCEDURE)");
  Add(ObjectKind::ProceduresAndFunctions, "COUNT_OPEN (FUNCTION)");
  Add(ObjectKind::Packages, "DOC_API");
  const DocumentModel model = Build();
  Diagrams diagrams;
  QString error;
  ASSERT_TRUE(DrawDiagrams(model, DiagramChoice::Tables, LinkStyle::Page, progress, &diagrams,
                           &error))
      << error.toStdString();
  TemplateSet templates;
  ASSERT_TRUE(templates.Load(TemplateFormat::ModernHtml, {}, &error)) << error.toStdString();
  const QString page = QString::fromStdString(RenderModernHtml(model, templates, diagrams));

  const std::pair<const char*, bool> expected[] = {
      {"Dictionary comment</span> Orders", false}, {"Dictionary comment</span> Open orders.", true},
      {"<span class=\"label\">Synonyms</span> PUBLIC.ALL_ORDERS, SHOP.ORD</p>", true},
      {"CRM_ORDERS", false}, {"<td>Order<br>number</td>", true}, {"<td>Which<br>order</td>", true},
      {"P_DAY</span> IN OUT DATE", true}, {"IN/OUT", false},
      {"No comment block describes this procedure.", true},
      {"<code>FUNCTION INSERT_XML (", true}, {"<code>PROCEDURE INSERT_XML (", true},
      {"P_DRY</span> IN BOOLEAN", true}, {"P_REC</span> IN OUT order_api.r_rec", true},
      {"RETURN PLS_INTEGER", true}, {"PL/SQL ", false},
  };
  for (const auto& [text, shown] : expected) EXPECT_EQ(page.contains(text), shown) << text;

  // ORDERS' box marks every key a column is in, a column only in the unique key included:
  // the texts of its box by line, each line's in the order they are drawn.
  EXPECT_EQ(BoxLines(diagrams.tables["orcl.shop.orders"], "ORDERS"),
            (QStringList{"ORDERS", "PK FK UK|ORDER_ID", "UK|STATUS"}));
}

TEST_F(DocumentModelTest, AnOlderSnapshotBuildsWithoutTheNewParts) {
  QTemporaryDir dir;
  testdb::MakeSnapshot(dir.filePath("orcl.sqlite"), ShopSql(false));
  db.SetSnapshotDirectories({dir.path()});
  AddShopEntries();
  const DocumentModel m = Build();
  const TableObject& t = m.tables[0];
  EXPECT_EQ(t.columns.size(), 2);
  EXPECT_TRUE(t.columns[1].defaultValue.isEmpty());
  EXPECT_EQ(t.constraints.size(), 5);  // no condition tells Oracle's NOT NULL check apart
  EXPECT_TRUE(t.constraints[0].referencedAnchor.isEmpty());  // CRM's table is not documented
  EXPECT_TRUE(t.constraints[2].condition.isEmpty());
  EXPECT_FALSE(t.indexes[0].unique);
  EXPECT_FALSE(t.indexes[0].columns[0].descending);
  // Without argument rows the unit's source still declares its form, default included.
  ASSERT_EQ(m.units[0].signatures.size(), 1);
  EXPECT_EQ(m.units[0].signatures[0].arguments.value(1).defaultValue, "SYSDATE");
  EXPECT_EQ(m.units[0].blocks.size(), 1);
  // Nothing declared: a member block is text of the package.
  EXPECT_TRUE(m.packages[0].members.isEmpty());
  EXPECT_EQ(m.packages[0].textBlocks.size(), 1);
  const CoverageObject unit = MeasureCoverage(m).objects[2];
  EXPECT_EQ(unit.key.name, "ORDER_TOTAL");
  EXPECT_EQ(unit.Items().total, 3);
  EXPECT_EQ(unit.staleParameters, QStringList{"p_date"});
}

// A view, unit or package the dictionary marks INVALID is marked in its heading and listed
// by the coverage report; a snapshot without statuses marks nothing.
TEST_F(DocumentModelTest, InvalidObjectsAreMarkedAndListed) {
  for (const bool modern : {true, false}) {
    SCOPED_TRACE(modern);
    QTemporaryDir dir;
    testdb::MakeSnapshot(dir.filePath("orcl.sqlite"), ShopSql(modern));
    db.SetSnapshotDirectories({dir.path()});
    project.ClearProject();
    AddShopEntries();
    Add(ObjectKind::ProceduresAndFunctions, "NO_DOC (PROCEDURE)");
    Add(ObjectKind::Packages, "DOC_API");
    const DocumentModel m = Build();
    const CoverageReport report = MeasureCoverage(m);
    QStringList invalid;
    for (const CoverageObject& o : report.Invalid()) invalid.append(o.Label() + u' ' + o.FullName());
    EXPECT_EQ(invalid, modern ? QStringList({"View ORCL.SHOP.OPEN_ORDERS",
                                             "Package ORCL.SHOP.ORDER_API"})
                              : QStringList());
    EXPECT_EQ(CoverageText(report).contains("Invalid objects: 2\n  View ORCL.SHOP.OPEN_ORDERS\n"),
              modern);

    Diagrams diagrams;
    TemplateSet templates;
    QString error;
    ASSERT_TRUE(templates.Load(TemplateFormat::ModernHtml, {}, &error)) << error.toStdString();
    const QString page = QString::fromStdString(RenderModernHtml(m, templates, diagrams));
    EXPECT_EQ(page.count("<span class=\"invalid\">INVALID</span></h3>"), modern ? 2 : 0);
  }
}

// "KIND OWNER.NAME" of each, with "#anchor" when linked.
QStringList Deps(const QList<ModelDependency>& list) {
  QStringList out;
  for (const ModelDependency& d : list)
    out.append(d.type + u' ' + d.object.owner + u'.' + d.object.name +
               (d.anchor.isEmpty() ? QString() : " #" + d.anchor));
  return out;
}

// Both directions one step, a cycle, another owner's use, a body counted as its package,
// what every unit uses left out, nothing for a table no row names though its name begins
// another's; an older snapshot has none of it.
TEST_F(DocumentModelTest, EachObjectListsWhatItUsesAndWhatUsesIt) {
  QTemporaryDir dir;
  testdb::MakeSnapshot(dir.filePath("orcl.sqlite"), ShopSql(true));
  db.SetSnapshotDirectories({dir.path()});
  AddShopEntries();
  Add(ObjectKind::Tables, "ORDER");
  Add(ObjectKind::Sequences, "ORDER_SEQ");
  const DocumentModel m = Build();
  EXPECT_EQ(Deps(m.tables[1].dependencies.usedBy), QStringList());
  const QString orders = "TABLE SHOP.ORDERS #orcl.shop.orders";
  const QString api = "PACKAGE SHOP.ORDER_API #orcl.shop.order_api";
  const QString total = "FUNCTION SHOP.ORDER_TOTAL #orcl.shop.order_total";
  const QString trigger = "TRIGGER SHOP.ORDERS_BI";
  EXPECT_EQ(Deps(m.tables[0].dependencies.uses), QStringList());
  EXPECT_EQ(Deps(m.tables[0].dependencies.usedBy),
            QStringList({"VIEW SHOP.OPEN_ORDERS #orcl.shop.open_orders", total,
                         "PACKAGE CRM.CRM_REPORT", api, trigger}));
  EXPECT_EQ(Deps(m.views[0].dependencies.uses), QStringList{orders});
  EXPECT_EQ(Deps(m.units[0].dependencies.uses), QStringList({orders, api}));
  EXPECT_EQ(Deps(m.units[0].dependencies.usedBy), QStringList{api});
  EXPECT_EQ(Deps(m.packages[0].dependencies.uses),
            QStringList({orders, "SEQUENCE SHOP.ORDER_SEQ #orcl.shop.order_seq", total}));
  EXPECT_EQ(Deps(m.packages[0].dependencies.usedBy),
            QStringList({total, "PACKAGE CRM.CRM_REPORT"}));
  EXPECT_EQ(Deps(m.sequences[0].dependencies.usedBy), QStringList({api, trigger}));

  // Grouped by kind, the owner named where it differs, linked where documented.
  Diagrams diagrams;
  TemplateSet templates;
  QString error;
  ASSERT_TRUE(templates.Load(TemplateFormat::ModernHtml, {}, &error)) << error.toStdString();
  const QString page = QString::fromStdString(RenderModernHtml(m, templates, diagrams));
  EXPECT_TRUE(page.contains("<h4>Used by</h4>\n<dl class=\"uses\">\n<dt>Functions</dt><dd><a "
                            "href=\"#orcl.shop.order_total\">ORDER_TOTAL</a></dd>\n<dt>Packages</dt>"
                            "<dd>CRM.CRM_REPORT</dd>\n</dl>"));
  ASSERT_TRUE(templates.Load(TemplateFormat::Markdown, {}, &error)) << error.toStdString();
  QString markdown, apiMarkdown;
  for (const OutputFile& f : RenderMarkdown(m, templates, diagrams)) {
    if (f.name == "orcl/shop/orcl.shop.orders.md") markdown = QString::fromUtf8(f.bytes);
    if (f.name == "orcl/shop/orcl.shop.order_api.md") apiMarkdown = QString::fromUtf8(f.bytes);
  }
  // A sequence has no file of its own: the README lists it.
  EXPECT_TRUE(apiMarkdown.contains("- Sequences: [ORDER\\_SEQ](../../README.md#orcl.shop.order_seq)\n"))
      << apiMarkdown.toStdString();
  EXPECT_TRUE(markdown.contains("## Used by\n\n- Views: [OPEN\\_ORDERS](../../orcl/shop/orcl.shop.open_orders.md)\n"
                                "- Functions: [ORDER\\_TOTAL](../../orcl/shop/orcl.shop.order_total.md)\n"
                                "- Packages: CRM.CRM\\_REPORT, [ORDER\\_API](../../orcl/shop/orcl.shop.order_api.md)\n"
                                "- Triggers: ORDERS\\_BI\n"))
      << markdown.toStdString();

  QTemporaryDir olderDir;
  testdb::MakeSnapshot(olderDir.filePath("orcl.sqlite"), ShopSql(false));
  db.SetSnapshotDirectories({olderDir.path()});
  const DocumentModel older = Build();
  EXPECT_TRUE(older.tables[0].dependencies.usedBy.isEmpty());
  EXPECT_TRUE(older.views[0].dependencies.uses.isEmpty());
  EXPECT_TRUE(older.tables[0].triggers.isEmpty());
}

// Triggers of each timing on ORDERS and OPEN_ORDERS, as Oracle keeps them: the columns of
// UPDATE OF only in the header as written, the block from its comment or DECLARE/BEGIN on.
const char kTriggerSql[] = R"sql(
INSERT INTO dba_triggers (owner, trigger_name, trigger_type, triggering_event, table_owner,
  base_object_type, table_name, referencing_names, when_clause, status, description,
  action_type, trigger_body) VALUES
  ('SHOP', 'ORDERS_BI', 'BEFORE EACH ROW', 'INSERT', 'SHOP', 'TABLE', 'ORDERS',
   'REFERENCING NEW AS NEW OLD AS OLD', 'new.order_id IS NULL', 'ENABLED',
   'orders_bi' || char(10) || '  BEFORE INSERT ON orders' || char(10) || '  FOR EACH ROW' || char(10),
   'PL/SQL     ', '/** Numbers new orders. */' || char(10) || 'BEGIN' || char(10) ||
   '  :new.order_id := order_seq.NEXTVAL;' || char(10) || 'END;'),
  ('SHOP', 'ORDERS_AUDIT', 'AFTER STATEMENT', 'INSERT OR UPDATE OR DELETE', 'SHOP', 'TABLE',
   'ORDERS', 'REFERENCING NEW AS NEW OLD AS OLD', NULL, 'DISABLED',
   'orders_audit' || char(10) || '  AFTER INSERT OR UPDATE OF status, note OR DELETE ON orders' || char(10),
   'PL/SQL     ', 'BEGIN' || char(10) || '  /* Counts the changes for the nightly report. */' ||
   char(10) || '  NULL;' || char(10) || 'END;' || char(10) || char(10)),
  ('SHOP', 'ORDERS_TOTALS', 'COMPOUND', 'INSERT OR UPDATE', 'SHOP', 'TABLE', 'ORDERS',
   'REFERENCING NEW AS NEW OLD AS OLD', NULL, 'ENABLED',
   'orders_totals' || char(10) || '  FOR INSERT OR UPDATE ON orders' || char(10),
   'PL/SQL     ', 'COMPOUND TRIGGER' || char(10) || '  -- Sums each order once per statement.' ||
   char(10) || '  AFTER STATEMENT IS BEGIN NULL; END AFTER STATEMENT;' || char(10) || 'END;'),
  ('SHOP', 'OPEN_ORDERS_IOU', 'INSTEAD OF', 'UPDATE', 'SHOP', 'VIEW', 'OPEN_ORDERS',
   'REFERENCING NEW AS NEW OLD AS OLD', NULL, 'ENABLED',
   'open_orders_iou' || char(10) || '  INSTEAD OF UPDATE ON open_orders' || char(10),
   'PL/SQL     ', 'BEGIN' || char(10) || '  NULL;' || char(10) || 'END;'),
  ('CRM', 'ORDERS_TOTALS', 'AFTER EACH ROW', 'DELETE', 'SHOP', 'TABLE', 'ORDERS',
   'REFERENCING NEW AS NEW OLD AS OLD', NULL, 'ENABLED',
   'crm.orders_totals AFTER DELETE ON shop.orders FOR EACH ROW', 'CALL crm.count_deleted',
   'CALL crm.count_deleted' || char(10)),
  ('CRM', 'ORDERS_BI', 'BEFORE EACH ROW', 'INSERT', 'CRM', 'TABLE', 'ORDERS',
   'REFERENCING NEW AS NEW OLD AS OLD', NULL, 'ENABLED', 'orders_bi BEFORE INSERT ON orders',
   'PL/SQL     ', 'BEGIN NULL; END;'),
  ('SHOP', 'NO_DDL', 'BEFORE EVENT', 'DDL ', 'SHOP', 'SCHEMA', NULL,
   'REFERENCING NEW AS NEW OLD AS OLD', NULL, 'ENABLED', 'no_ddl BEFORE DDL ON SCHEMA',
   'PL/SQL     ', 'BEGIN NULL; END;');
INSERT INTO dba_objects (owner, object_name, object_type, status) VALUES
  ('CRM', 'ORDERS_TOTALS', 'TRIGGER', 'INVALID');
INSERT INTO dba_dependencies VALUES
  ('SHOP', 'ORDERS_TOTALS', 'TRIGGER', 'SHOP', 'ORDERS', 'TABLE', 'HARD'),
  ('SHOP', 'ORDERS_TOTAL_IX', 'INDEX', 'SHOP', 'ORDER_TOTAL', 'FUNCTION', 'HARD');
)sql";

// A trigger of each timing, row or statement, with its events, WHEN, status and the comment
// the PL/SQL reader finds before its block, after BEGIN or after a compound trigger's
// header; another owner's table's and a schema's triggers stay out. Coverage counts them.
TEST_F(DocumentModelTest, TablesAndViewsShowTheirTriggers) {
  QTemporaryDir dir;
  testdb::MakeSnapshot(dir.filePath("orcl.sqlite"), ShopSql(true) + kTriggerSql);
  db.SetSnapshotDirectories({dir.path()});
  AddShopEntries();
  const DocumentModel m = Build();
  QStringList shown;
  for (const QList<ModelTrigger>* list : {&m.tables[0].triggers, &m.views[0].triggers})
    for (const ModelTrigger& t : *list)
      shown.append(QStringList{t.owner == "SHOP" ? t.name : t.owner + '.' + t.name, t.timing, t.event, t.eachRow ? "row" : "statement", t.when,
                               t.enabled ? "enabled" : "disabled", t.invalid ? "invalid" : "",
                               plsql::PlainText(t.doc.description), t.anchor}
                       .join(u'|'));
  EXPECT_EQ(shown,
            QStringList({"ORDERS_AUDIT|AFTER|INSERT OR UPDATE OF STATUS, NOTE OR DELETE|statement"
                         "||disabled||Counts the changes for the nightly report.|"
                         "orcl.shop.orders.orders_audit",
                         "ORDERS_BI|BEFORE|INSERT|row|new.order_id IS NULL|enabled||Numbers new "
                         "orders.|orcl.shop.orders.orders_bi",
                         // CRM's trigger of the same name does not compile, SHOP's does;
                         // each has an anchor of its own.
                         "CRM.ORDERS_TOTALS|AFTER|DELETE|row||enabled|invalid||"
                         "orcl.shop.orders.orders_totals",
                         "ORDERS_TOTALS|COMPOUND|INSERT OR UPDATE|statement||enabled||Sums "
                         "each order once per statement.|orcl.shop.orders.orders_totals~2",
                         "OPEN_ORDERS_IOU|INSTEAD OF|UPDATE|row||enabled|||"
                         "orcl.shop.open_orders.open_orders_iou"}));
  EXPECT_EQ(m.tables[0].triggers[0].body,
            QStringList({"BEGIN", "  /* Counts the changes for the nightly report. */", "  NULL;",
                         "END;"}));

  const CoverageReport report = MeasureCoverage(m);
  const KindSummary triggers = report.Summary(CoverageKind::Triggers);
  EXPECT_EQ(report.kinds.last(), CoverageKind::Triggers);
  EXPECT_EQ(std::pair(triggers.tallies[int(Measure::Description)].documented, triggers.objects),
            std::pair(3, 5));
  EXPECT_EQ(report.Invalid().value(2).FullName(), "ORCL.SHOP.ORDERS.CRM.ORDERS_TOTALS");
  const QJsonArray invalid =
      QJsonDocument::fromJson(CoverageJson(report, {})).object()["invalidObjects"].toArray();
  EXPECT_EQ(invalid.last().toObject()["trigger"].toString(), "CRM.ORDERS_TOTALS");

  // What uses the table links to the trigger on the table's own page, by the anchor it was
  // given (another owner's trigger of the same name took the first).
  Diagrams diagrams;
  TemplateSet templates;
  QString error;
  ASSERT_TRUE(templates.Load(TemplateFormat::Markdown, {}, &error)) << error.toStdString();
  QString markdown;
  for (const OutputFile& f : RenderMarkdown(m, templates, diagrams))
    if (f.name == "orcl/shop/orcl.shop.orders.md") markdown = QString::fromUtf8(f.bytes);
  EXPECT_TRUE(markdown.contains(
      "- Triggers: [ORDERS\\_BI](../../orcl/shop/orcl.shop.orders.md#orcl.shop.orders.orders_bi), "
      "[ORDERS\\_TOTALS](../../orcl/shop/orcl.shop.orders.md#orcl.shop.orders.orders_totals~2)\n"))
      << markdown.toStdString();
  EXPECT_TRUE(markdown.contains("<a id=\"orcl.shop.orders.orders_bi\"></a>\n### Trigger ORDERS\\_BI\n"));
  EXPECT_TRUE(markdown.contains("**COMPOUND INSERT OR UPDATE** at each of its timing points"));
  EXPECT_EQ(m.units.value(0).dependencies.usedBy.last().type, "INDEX");
  EXPECT_EQ(DependencyKindTitle("INDEX"), "Indexes") << "a function-based index uses the function";
  const CoverageObject& undocumented = report.objects.last();
  EXPECT_EQ(undocumented.Label() + u' ' + undocumented.FullName() + ": " +
                undocumented.Gaps().join(u'|'),
            "Trigger ORCL.SHOP.OPEN_ORDERS.OPEN_ORDERS_IOU: no documentation comment");
}

// What depends on ORDER_SEQ, transitively: ORDER_API's body and a trigger use it;
// ORDER_TOTAL and CRM's package use ORDER_API, and ORDER_TOTAL's use of it back (a cycle)
// ends there. A name no row and no object has is not found.
// Keys and references between tables, triggers, what uses what, invalid objects and the
// coverage come out of a streamed build as out of one that holds every object.
TEST_F(DocumentModelTest, AStreamedBuildWritesWhatOneInMemoryWrites) {
  QTemporaryDir dir;
  testdb::MakeSnapshot(dir.filePath("orcl.sqlite"), ShopSql(true) + kTriggerSql);
  db.SetSnapshotDirectories({dir.path()});
  AddShopEntries();
  Add(ObjectKind::Tables, "CUSTOMERS", {}, "CRM");
  Add(ObjectKind::Tables, "MISSING");
  Add(ObjectKind::Sequences, "ORDER_SEQ");
  Add(ObjectKind::Roles, "CLERK", "Takes orders.");
  Add(ObjectKind::Tables, "ORDERS", "Chosen twice.");
  const DocumentModel m = Build();
  ASSERT_EQ(m.tables.size(), 4);
  EXPECT_EQ(m.tables[3].triggers.size(), 4) << "a table chosen twice shows its triggers twice";
  EXPECT_EQ(m.tables[3].triggers[0].anchor, "orcl.shop.orders~2.orders_audit");
  ExpectStreamedAsWhole(*this);
}

TEST_F(DocumentModelTest, UsersAreFoundTransitivelyThroughACycle) {
  QTemporaryDir dir;
  // The trigger NO_DOC is not the procedure NO_DOC, nor the index ORDERS the table; GHOST
  // is a name ORDER_TOTAL looked up and did not find.
  testdb::MakeSnapshot(dir.filePath("orcl.sqlite"), ShopSql(true) + R"sql(
INSERT INTO dba_objects (owner, object_name, object_type, status) VALUES
  ('SHOP', 'ORDERS', 'INDEX', 'VALID');
INSERT INTO dba_dependencies VALUES
  ('SHOP', 'NO_DOC', 'TRIGGER', 'SHOP', 'ORDER_SEQ', 'SEQUENCE', 'HARD'),
  ('SHOP', 'CALLS_NO_DOC', 'PROCEDURE', 'SHOP', 'NO_DOC', 'PROCEDURE', 'HARD'),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 'SHOP', 'GHOST', 'NON-EXISTENT', 'HARD');
)sql");
  db.SetSnapshotDirectories({dir.path()});
  ConnectDatabase(db, "ORCL", "SHOP", "");
  const std::optional<ImpactReport> r = UsedBy(db, "SHOP", "ORDER_SEQ");
  ASSERT_TRUE(r);
  QStringList users;
  for (const ImpactUser& u : r->users) {
    QStringList path;
    for (const ImpactObject& o : u.path) path.append(o.FullName());
    users.append(QString::number(u.depth) + u' ' + u.object.type + u' ' + path.join(" > "));
  }
  EXPECT_EQ(users, QStringList({"1 TRIGGER SHOP.NO_DOC > SHOP.ORDER_SEQ",
                                "1 TRIGGER SHOP.ORDERS_BI > SHOP.ORDER_SEQ",
                                "1 PACKAGE SHOP.ORDER_API > SHOP.ORDER_SEQ",
                                "2 PACKAGE CRM.CRM_REPORT > SHOP.ORDER_API > SHOP.ORDER_SEQ",
                                "2 FUNCTION SHOP.ORDER_TOTAL > SHOP.ORDER_API > SHOP.ORDER_SEQ"}));
  EXPECT_FALSE(UsedBy(db, "SHOP", "NOTHING"));
  EXPECT_FALSE(UsedBy(db, "SHOP", "GHOST"));
  EXPECT_EQ(UsedBy(db, "SHOP", "ORDERS")->object.type, "TABLE");
  EXPECT_TRUE(UsedBy(db, "SHOP", "ORDERS_BI"));  // named by a row only: it uses, nothing uses it
}

// Counted object by object, as a streamed build reads them, the coverage gives each kind's
// figures and the total that the report of the whole model gives: missing objects count
// nothing, nor do a missing package's members, and triggers come as a kind of their own.
TEST(CoverageCount, GivesTheFiguresOfTheWholeModel) {
  DocumentModel m;
  m.sections = {SectionKind::Tables, SectionKind::Views,     SectionKind::Units,
                SectionKind::Packages, SectionKind::Sequences, SectionKind::Roles};
  TableObject table;
  table.key = {"D", "O", "T"};
  table.found = true;
  table.description = "Ours.";
  table.columns = {{"A", "NUMBER", true, {}, "The a."}, {"B", "DATE", true, {}, {}}};
  ModelTrigger trigger;
  trigger.name = "T_BI";
  trigger.doc.since = "1.0";
  table.triggers = {trigger, ModelTrigger()};
  TableObject gone;
  gone.key = {"D", "O", "GONE"};
  gone.columns = table.columns;
  ViewObject view;
  view.key = {"D", "O", "V"};
  view.found = true;
  view.dictionaryComment = "A view.";
  UnitObject unit;
  unit.key = {"D", "O", "F"};
  unit.found = true;
  unit.signatures = {{"F", {{"P_A", "IN", "NUMBER", {}, "the a", false}, {"P_B", "IN", "DATE", {}, {}, false}}, "NUMBER", {}, {}, {}}};
  unit.signatures[0].doc.returns = "Something.";
  PackageObject package;
  package.key = {"D", "O", "P"};
  package.found = true;
  MemberObject member;
  member.name = "RUN";
  member.blocks = {CommentBlock{"Procedure run", {"Runs."}, {}, {}, {}, 0}};
  package.members = {member, MemberObject()};
  PackageObject missing = package;
  missing.key.name = "MISSING";
  missing.found = false;
  m.tables = {table, gone};
  m.views = {view};
  m.units = {unit};
  m.packages = {package, missing};
  m.sequences = {{{"D", "O", "S"}, "s", "A sequence.", true, {}}};
  m.roles = {{{"D", "", "R"}, "r", {}, true, {}}};

  CoverageCount count;
  for (const TableObject& t : m.tables) count.Add(t);
  for (const ViewObject& v : m.views) count.Add(v);
  for (const UnitObject& u : m.units) count.Add(u);
  for (const PackageObject& p : m.packages) count.Add(p);
  const CoverageReport whole = MeasureCoverage(m);
  const CoverageReport counted = count.Report(m);
  ASSERT_EQ(counted.kinds, whole.kinds);
  EXPECT_EQ(whole.kinds.last(), CoverageKind::Triggers);
  for (const CoverageKind kind : whole.kinds) {
    SCOPED_TRACE(KindId(kind).toStdString());
    for (int measure = 0; measure < kMeasureCount; ++measure) {
      EXPECT_EQ(counted.Summary(kind).tallies[measure].documented,
                whole.Summary(kind).tallies[measure].documented);
      EXPECT_EQ(counted.Summary(kind).tallies[measure].total,
                whole.Summary(kind).tallies[measure].total);
    }
  }
  EXPECT_EQ(counted.Total().documented, whole.Total().documented);
  EXPECT_EQ(counted.Total().total, whole.Total().total);
  EXPECT_GT(whole.Total().total, 10);
}

TEST_F(DocumentModelTest, CoverageCountsEveryMeasureAndDriftBothWays) {
  QTemporaryDir dir;
  testdb::MakeSnapshot(dir.filePath("orcl.sqlite"), ShopSql(true));
  db.SetSnapshotDirectories({dir.path()});
  Add(ObjectKind::Tables, "ORDERS");  // the dictionary's comment describes it
  Add(ObjectKind::Tables, "CUSTOMERS");
  Add(ObjectKind::Tables, "GONE", "Dropped last year.");
  Add(ObjectKind::Views, "OPEN_ORDERS", "Open orders.");
  Add(ObjectKind::ProceduresAndFunctions, "ORDER_TOTAL (FUNCTION)");
  Add(ObjectKind::ProceduresAndFunctions, "NO_DOC (PROCEDURE)");
  Add(ObjectKind::ProceduresAndFunctions, "GONE_UNIT (PROCEDURE)");
  Add(ObjectKind::Packages, "ORDER_API", "Orders API.");
  Add(ObjectKind::Sequences, "ORDER_SEQ", "Order numbers.");
  Add(ObjectKind::Sequences, "GONE_SEQ", "Old.");
  Add(ObjectKind::Roles, "CLERK");
  Add(ObjectKind::Roles, "GONE_ROLE", "Old.");

  const CoverageRun run = RunCoverage(project, settings, db, progress);
  ASSERT_TRUE(run.ok()) << run.error.toStdString();
  EXPECT_FALSE(db.Connected());  // as it was before

  const struct {
    const char* object;
    int documented, items;
    const char* gaps;
  } expected[] = {
      {"Table ORCL.SHOP.ORDERS", 2, 3, "column STATUS has no comment"},
      {"Table ORCL.SHOP.CUSTOMERS", 1, 2, "no description"},
      {"Table ORCL.SHOP.GONE", 0, 0, "no longer exists in its database"},
      {"Table ORCL.SHOP.EXTRA", 0, 0, "not in the project"},
      {"View ORCL.SHOP.OPEN_ORDERS", 2, 3,
       "column STATUS has no comment|does not compile (INVALID)"},
      {"Function ORCL.SHOP.ORDER_TOTAL", 2, 3,
       "P_DAY is not described|p_date is described but no longer exists"},
      {"Procedure ORCL.SHOP.NO_DOC", 0, 2, "no comment block|P_X is not described"},
      {"Procedure ORCL.SHOP.GONE_UNIT", 0, 0, "no longer exists in its database"},
      {"Function ORCL.SHOP.LEFT_OUT", 0, 0, "not in the project"},
      {"Package ORCL.SHOP.ORDER_API", 1, 1, "does not compile (INVALID)"},
      {"Package ORCL.SHOP.DOC_API", 0, 0, "not in the project"},
      {"Package member ORCL.SHOP.ORDER_API.REOPEN", 0, 1, "no comment block"},
      // Overloads: a parameter of any of them counts once.
      {"Package member ORCL.SHOP.ORDER_API.CLOSE_ORDER", 2, 3, "P_NAME is not described"},
      {"Sequence ORCL.SHOP.ORDER_SEQ", 1, 1, ""},
      {"Sequence ORCL.SHOP.GONE_SEQ", 0, 0, "no longer exists in its database"},
      {"Sequence ORCL.SHOP.SPARE_SEQ", 0, 0, "not in the project"},
      {"Role ORCL.CLERK", 0, 1, "no description"},
      {"Role ORCL.GONE_ROLE", 0, 0, "no longer exists in its database"},
  };
  const QList<CoverageObject>& objects = run.report.objects;
  ASSERT_EQ(objects.size(), std::size(expected));
  for (qsizetype i = 0; i < objects.size(); ++i) {
    const CoverageObject& o = objects[i];
    SCOPED_TRACE(expected[i].object);
    EXPECT_EQ(o.Label() + u' ' + o.FullName(), expected[i].object);
    EXPECT_EQ(o.Items().documented, expected[i].documented);
    EXPECT_EQ(o.Items().total, expected[i].items);
    EXPECT_EQ(o.Gaps().join(u'|'), expected[i].gaps);
  }

  const KindSummary tables = run.report.Summary(CoverageKind::Tables);
  EXPECT_EQ(tables.objects, 2);
  EXPECT_EQ(tables.missing, 1);
  EXPECT_EQ(tables.notInProject, 1);
  EXPECT_EQ(tables.tallies[int(Measure::Description)].documented, 1);
  EXPECT_EQ(tables.tallies[int(Measure::Columns)].total, 3);
  EXPECT_EQ(run.report.Total().documented, 11);
  EXPECT_EQ(run.report.Total().total, 20);
  // A gate at exactly the share passes; one above it does not.
  EXPECT_FALSE(run.report.Total().Below(55.0));
  EXPECT_TRUE(run.report.Total().Below(55.01));
  CoverageReport some = run.report;
  some.kinds = {CoverageKind::Tables, CoverageKind::Packages};
  EXPECT_TRUE(CoverageText(some).contains(
      "\nDrift: 1 entry no longer in their database, 2 objects not in the project\n"));
  // The modern documents' summary counts the same items: the gone sequence and role too.
  const Tally page = MeasureCoverage(Build()).Total();
  EXPECT_EQ(std::pair(page.documented, page.total), std::pair(11, 20));
}

}  // namespace
