// The coverage report on a made snapshot: each count, parameters renamed between the
// dictionary and the comment, and drift both ways.
#include "docbuild/coverage.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "build_fixture.h"
#include "support/snapshot_maker.h"

namespace {

// Schema SHOP as the project's entries below meet it, and a schema OTHER that no entry uses.
const char kShopSql[] = R"sql(
INSERT INTO dba_tables VALUES ('SHOP', 'ORDERS'), ('SHOP', 'CUSTOMERS'), ('SHOP', 'EXTRA'),
  ('OTHER', 'ELSEWHERE');
INSERT INTO dba_tab_comments VALUES ('SHOP', 'ORDERS', 'TABLE', 'Orders.');
INSERT INTO dba_tab_columns (owner, table_name, column_name, column_id, data_type, data_length,
  nullable) VALUES ('SHOP', 'ORDERS', 'ORDER_ID', 1, 'NUMBER', 22, 'N'),
  ('SHOP', 'ORDERS', 'STATUS', 2, 'VARCHAR2', 10, 'Y'),
  ('SHOP', 'CUSTOMERS', 'NAME', 1, 'VARCHAR2', 10, 'Y'),
  ('SHOP', 'OPEN_ORDERS', 'ORDER_ID', 1, 'NUMBER', 22, 'Y');
INSERT INTO dba_col_comments VALUES ('SHOP', 'ORDERS', 'ORDER_ID', 'Order number'),
  ('SHOP', 'ORDERS', 'STATUS', NULL), ('SHOP', 'CUSTOMERS', 'NAME', 'Name'),
  ('SHOP', 'OPEN_ORDERS', 'ORDER_ID', '  ');
INSERT INTO dba_views VALUES ('SHOP', 'OPEN_ORDERS', 'select order_id from orders');
INSERT INTO dba_source VALUES
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 1, 'FUNCTION order_total (p_order NUMBER, p_day DATE)' || char(10)),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 2, '<FD>' || char(10)),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 3, 'Description: Sums an order.' || char(10)),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 4, 'Parameters:' || char(10)),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 5, 'p_order, NUMBER: the order;' || char(10)),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 6, 'p_date, DATE: the day;' || char(10)),
  ('SHOP', 'ORDER_TOTAL', 'FUNCTION', 7, '</FD>' || char(10)),
  ('SHOP', 'NO_DOC', 'PROCEDURE', 1, 'PROCEDURE no_doc (p_x NUMBER) IS BEGIN NULL; END;'),
  ('SHOP', 'LEFT_OUT', 'FUNCTION', 1, 'FUNCTION left_out RETURN NUMBER IS BEGIN RETURN 1; END;'),
  ('SHOP', 'ORDER_API', 'PACKAGE', 1, 'PACKAGE order_api IS' || char(10)),
  ('SHOP', 'ORDER_API', 'PACKAGE', 2, '<FD>' || char(10)),
  ('SHOP', 'ORDER_API', 'PACKAGE', 3, 'Procedure close_order' || char(10)),
  ('SHOP', 'ORDER_API', 'PACKAGE', 4, 'Parameters:' || char(10)),
  ('SHOP', 'ORDER_API', 'PACKAGE', 5, 'p_id, NUMBER: the order;' || char(10)),
  ('SHOP', 'ORDER_API', 'PACKAGE', 6, '</FD>' || char(10)),
  ('SHOP', 'ORDER_API', 'PACKAGE', 7, 'END;');
INSERT INTO dba_arguments (owner, package_name, object_name, overload, argument_name, position,
  sequence, data_level, data_type, in_out) VALUES
  ('SHOP', NULL, 'ORDER_TOTAL', NULL, NULL, 0, 1, 0, 'NUMBER', 'OUT'),
  ('SHOP', NULL, 'ORDER_TOTAL', NULL, 'P_ORDER', 1, 2, 0, 'NUMBER', 'IN'),
  ('SHOP', NULL, 'ORDER_TOTAL', NULL, 'P_DAY', 2, 3, 0, 'DATE', 'IN'),
  ('SHOP', NULL, 'NO_DOC', NULL, 'P_X', 1, 1, 0, 'NUMBER', 'IN'),
  ('SHOP', 'ORDER_API', 'CLOSE_ORDER', '1', 'P_ID', 1, 1, 0, 'NUMBER', 'IN'),
  ('SHOP', 'ORDER_API', 'CLOSE_ORDER', '2', 'P_NAME', 1, 1, 0, 'VARCHAR2', 'IN'),
  ('SHOP', 'ORDER_API', 'REOPEN', NULL, NULL, 0, 1, 0, 'NUMBER', 'OUT');
INSERT INTO dba_sequences VALUES ('SHOP', 'ORDER_SEQ'), ('SHOP', 'SPARE_SEQ'), ('OTHER', 'S');
INSERT INTO dba_tab_privs VALUES ('SHOP', 'ORDERS', 'SHOP', 'CLERK', 'SELECT');
)sql";

class CoverageTest : public ::testing::Test, public BuildFixture {
 protected:
  CoverageTest() { settings = DefaultSettings(); }
  void Add(ObjectKind kind, const QString& name, const QString& description = {}) {
    project.AppendEntry(kind, {"ORCL", name, "shop", "", description});
  }
};

TEST_F(CoverageTest, CountsEveryMeasureAndDriftBothWays) {
  QTemporaryDir dir;
  testdb::MakeSnapshot(dir.filePath("orcl.sqlite"),
                       testdb::UserSql("SHOP", {}) + testdb::UserSql("OTHER", {}) + kShopSql);
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
      {"View ORCL.SHOP.OPEN_ORDERS", 1, 2, "column ORDER_ID has no comment"},
      {"Function ORCL.SHOP.ORDER_TOTAL", 2, 3,
       "P_DAY is not described|p_date is described but no longer exists"},
      {"Procedure ORCL.SHOP.NO_DOC", 0, 2, "no comment block|P_X is not described"},
      {"Procedure ORCL.SHOP.GONE_UNIT", 0, 0, "no longer exists in its database"},
      {"Function ORCL.SHOP.LEFT_OUT", 0, 0, "not in the project"},
      {"Package ORCL.SHOP.ORDER_API", 1, 1, ""},
      // Overloads: a parameter of any of them counts once.
      {"Package member ORCL.SHOP.ORDER_API.CLOSE_ORDER", 2, 3, "P_NAME is not described"},
      {"Package member ORCL.SHOP.ORDER_API.REOPEN", 0, 1, "no comment block"},
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
  EXPECT_EQ(run.report.Total().documented, 10);
  EXPECT_EQ(run.report.Total().total, 19);
}

}  // namespace
