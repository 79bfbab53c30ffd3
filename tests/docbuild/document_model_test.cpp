// The document model filled from a dictionary: every read the modern documents add, through
// the Oracle backend (the stub client library) and the snapshot backend alike.
#include "docbuild/document_model_builder.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "build_fixture.h"
#include "docbuild/document_model.h"
#include "support/snapshot_maker.h"
#include "../db/oci_stub.h"

namespace {

// One table, one view, one function and one package of owner SHOP, as both backends hold
// them (a view's own comment and columns are each backend test's); the table's NOT NULL
// check is Oracle's own and stays out of the model.
void ExpectShopModel(const DocumentModel& m) {
  ASSERT_EQ(m.tables.size(), 1);
  const TableObject& t = m.tables[0];
  EXPECT_EQ(t.key.FullName(), "ORCL.SHOP.ORDERS");
  EXPECT_EQ(t.anchor, "orcl.shop.orders");
  EXPECT_TRUE(t.found);
  EXPECT_EQ(t.dictionaryComment, "Orders of customers.");
  EXPECT_EQ(t.synonyms, (QStringList{"ALL_ORDERS", "ORD"}));
  ASSERT_EQ(t.columns.size(), 2);
  EXPECT_EQ(t.columns[0].name, "ORDER_ID");
  EXPECT_EQ(t.columns[0].type, "NUMBER(10)");
  EXPECT_FALSE(t.columns[0].nullable);
  EXPECT_EQ(t.columns[0].comment, "Order number");
  EXPECT_EQ(t.columns[1].type, "VARCHAR2(10 CHAR)");
  EXPECT_EQ(t.columns[1].defaultValue, "'NEW'");
  EXPECT_TRUE(t.columns[1].nullable);

  ASSERT_EQ(t.constraints.size(), 4);
  const ModelConstraint& fk = t.constraints[0];
  EXPECT_EQ(fk.name, "ORDERS_CUST_FK");
  EXPECT_EQ(fk.kind, ConstraintKind::Foreign);
  EXPECT_EQ(fk.columns, QStringList{"ORDER_ID"});
  EXPECT_EQ(fk.references.FullName(), "ORCL.CRM.CUSTOMERS");
  EXPECT_EQ(fk.referencedColumns, QStringList{"CUSTOMER_ID"});
  EXPECT_TRUE(fk.referencedAnchor.isEmpty());  // not in the document
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
  EXPECT_FALSE(t.indexes[0].columns[1].descending);
  EXPECT_TRUE(t.indexes[1].unique);

  ASSERT_EQ(m.views.size(), 1);
  EXPECT_EQ(m.views[0].text, "select order_id, status from orders");
  EXPECT_EQ(m.views[0].columns.size(), 2);

  ASSERT_EQ(m.units.size(), 1);
  const UnitObject& u = m.units[0];
  EXPECT_EQ(u.key.name, "ORDER_TOTAL");
  EXPECT_EQ(u.type, "FUNCTION");
  ASSERT_EQ(u.signatures.size(), 1);
  EXPECT_EQ(u.signatures[0].returnType, "NUMBER");
  ASSERT_EQ(u.signatures[0].arguments.size(), 2);
  EXPECT_EQ(u.signatures[0].arguments[0].name, "P_ORDER");
  EXPECT_EQ(u.signatures[0].arguments[1].inOut, "IN/OUT");
  EXPECT_EQ(u.signatures[0].arguments[1].defaultValue, "SYSDATE");
  ASSERT_EQ(u.blocks.size(), 1);
  EXPECT_EQ(u.blocks[0].parameters[0].name, "p_order");

  ASSERT_EQ(m.packages.size(), 1);
  const PackageObject& p = m.packages[0];
  ASSERT_EQ(p.members.size(), 2);
  // The documented member first, with both its overloads; then the undocumented one.
  EXPECT_EQ(p.members[0].name, "CLOSE_ORDER");
  EXPECT_TRUE(p.members[0].documented);
  EXPECT_EQ(p.members[0].anchor, "orcl.shop.order_api.close_order");
  EXPECT_EQ(p.members[0].signatures.size(), 2);
  EXPECT_EQ(p.members[0].type, "PROCEDURE");
  EXPECT_EQ(p.members[1].name, "REOPEN");
  EXPECT_FALSE(p.members[1].documented);
  EXPECT_EQ(p.members[1].type, "FUNCTION");
}

const QStringList kUnitSource{
    "FUNCTION order_total (p_order IN NUMBER, p_day IN OUT DATE := SYSDATE) RETURN NUMBER\n",
    "<FD>\n", "Description: Sums an order.\n", "Parameters:\n", "p_order, NUMBER: the order;\n",
    "</FD>\n"};
const QStringList kPackageSource{"PACKAGE order_api IS\n", "<FD>\n", "Procedure close_order\n",
                                 "Description: Closes.\n", "</FD>\n", "END;\n"};

class DocumentModelTest : public ::testing::Test, public BuildFixture {
 protected:
  DocumentModelTest() { settings = DefaultSettings(); }
  void AddShopEntries(const QString& server, const QString& password) {
    for (const auto& [kind, name] :
         {std::pair{ObjectKind::Tables, "ORDERS"}, std::pair{ObjectKind::Views, "OPEN_ORDERS"},
          std::pair{ObjectKind::ProceduresAndFunctions, "ORDER_TOTAL (FUNCTION)"},
          std::pair{ObjectKind::Packages, "ORDER_API"}})
      project.AppendEntry(kind, {server, name, "shop", password, {}});
  }
  DocumentModel Build() { return BuildDocumentModel(project, settings, db, progress); }
};

// Scripts the stub: every query of the build answers these rows whatever it binds.
void Script(const char* sql, std::initializer_list<const char*> columns,
            std::initializer_list<std::initializer_list<const char*>> rows,
            std::initializer_list<int> longs = {}) {
  std::vector<const char*> names(columns);
  std::vector<int> types(names.size(), 1);
  for (int l : longs) types[l] = 8;
  stub_add_result(sql, int(names.size()), names.data(), types.data());
  for (const auto& row : rows) {
    std::vector<const char*> cells(row);
    stub_add_row(cells.data());
  }
}

TEST_F(DocumentModelTest, ReadsEveryNewPartThroughTheOracleClient) {
  qputenv("VELLUMAR_OCI_LIBRARY", OCI_STUB_PATH);
  stub_reset();
  stub_set_logon("shop", "pw", "ORCL");
  Script("from all_synonyms", {"SYNONYM_NAME"}, {{"ALL_ORDERS"}, {"ORD"}});
  Script("from user_tab_comments", {"TABLE_TYPE", "COMMENTS"}, {{"TABLE", "Orders of customers."}});
  Script("s.data_default", {"COLUMN_NAME", "DATA_TYPE", "DATA_LENGTH", "DATA_PRECISION",
                            "DATA_SCALE", "CHAR_LENGTH", "CHAR_USED", "NULLABLE", "DATA_DEFAULT",
                            "COMMENTS"},
         {{"ORDER_ID", "NUMBER", "22", "10", "0", "0", nullptr, "N", nullptr, "Order number"},
          {"STATUS", "VARCHAR2", "40", nullptr, nullptr, "10", "C", "Y", "'NEW'\n ", nullptr}},
         {8});
  Script("a.search_condition", {"CONSTRAINT_NAME", "CONSTRAINT_TYPE", "SEARCH_CONDITION",
                                "COLUMN_NAME"},
         {{"ORDERS_CUST_FK", "R", nullptr, "ORDER_ID"},
          {"ORDERS_PK", "P", nullptr, "ORDER_ID"},
          {"ORDERS_STATUS_CK", "C", "status in ('NEW', 'DONE')", "STATUS"},
          {"ORDERS_UK", "U", nullptr, "STATUS"},
          {"ORDERS_UK", "U", nullptr, "ORDER_ID"},
          {"SYS_C0012", "C", "\"ORDER_ID\" IS NOT NULL", "ORDER_ID"}},
         {2});
  Script("all_cons_columns c", {"CONSTRAINT_NAME", "OWNER", "TABLE_NAME", "COLUMN_NAME"},
         {{"ORDERS_CUST_FK", "CRM", "CUSTOMERS", "CUSTOMER_ID"}});
  Script("b.descend", {"INDEX_NAME", "UNIQUENESS", "COLUMN_NAME", "DESCEND"},
         {{"ORDERS_IX", "NONUNIQUE", "STATUS", "DESC"},
          {"ORDERS_IX", "NONUNIQUE", "ORDER_ID", "ASC"},
          {"ORDERS_PK", "UNIQUE", "ORDER_ID", "ASC"}});
  Script("from user_views", {"TEXT"}, {{"select order_id, status from orders"}}, {0});
  Script("package_name is null", {"OBJECT_NAME", "OVERLOAD", "ARGUMENT_NAME", "POSITION",
                                  "IN_OUT", "DATA_TYPE", "DEFAULT_VALUE"},
         {{"ORDER_TOTAL", nullptr, nullptr, "0", "OUT", "NUMBER", nullptr},
          {"ORDER_TOTAL", nullptr, "P_ORDER", "1", "IN", "NUMBER", nullptr},
          {"ORDER_TOTAL", nullptr, "P_DAY", "2", "IN/OUT", "DATE", "SYSDATE"}},
         {6});
  Script("package_name = :P_NAME", {"OBJECT_NAME", "OVERLOAD", "ARGUMENT_NAME", "POSITION",
                                    "IN_OUT", "DATA_TYPE", "DEFAULT_VALUE"},
         {{"CLOSE_ORDER", "1", "P_ID", "1", "IN", "NUMBER", nullptr},
          {"CLOSE_ORDER", "2", "P_NAME", "1", "IN", "VARCHAR2", nullptr},
          {"REOPEN", nullptr, nullptr, "0", "OUT", "NUMBER", nullptr}},
         {6});
  std::vector<QByteArray> unit, package;
  for (const QString& l : kUnitSource) unit.push_back(l.toUtf8());
  for (const QString& l : kPackageSource) package.push_back(l.toUtf8());
  Script("type = :P_TYYPPI", {"TEXT"}, {});
  for (const QByteArray& l : unit) {
    const char* row[] = {l.constData()};
    stub_add_row(row);
  }
  Script("select  text from user_source", {"TEXT"}, {});
  for (const QByteArray& l : package) {
    const char* row[] = {l.constData()};
    stub_add_row(row);
  }

  AddShopEntries("ORCL", "pw");
  const DocumentModel m = Build();
  db.Disconnect();
  qunsetenv("VELLUMAR_OCI_LIBRARY");
  ExpectShopModel(m);
}

}  // namespace
