// The keys held for the whole build: what a drawing and a table read back learn from them.
#include "model/table_keys.h"

#include <gtest/gtest.h>

#include "model/document_model.h"
#include "support/build_fixture.h"

namespace {

ModelConstraint Key(const QString& name, ConstraintKind kind, const QStringList& columns,
                    const ObjectKey& references = {}, const QStringList& referenced = {}) {
  return {name, kind, columns, {}, references, referenced, {}};
}

TableObject Table(const QString& name, const QStringList& columns,
                  const QList<ModelConstraint>& constraints) {
  TableObject t;
  t.key = {"D", "O", name};
  t.anchor = t.key.Anchor();
  t.found = true;
  for (const QString& c : columns) t.columns.append({c, "NUMBER", true, {}, {}});
  t.constraints = constraints;
  return t;
}

QStringList Rows(const QList<ModelReference>& references) {
  QStringList rows;
  for (const ModelReference& r : references)
    rows.append(r.anchor + u' ' + r.constraint + u' ' + r.columns.join(u','));
  return rows;
}

}  // namespace

// A references itself; B references A twice (one column's name not even valid UTF-16) and
// a table the document leaves out. A drawing sees each table's key columns in its own
// order and who references it in document order; a table read back in full gets the
// anchors of the documented tables it references.
TEST(TableKeys, ShapesAndCompletesTablesFromTheirKeys) {
  const ObjectKey a{"D", "O", "A"};
  const QString odd = QStringLiteral("A") + QChar(0xD800);
  const QList<TableObject> tables{
      Table("A", {"NOTE", "A_ID", "PARENT_ID"},
            {Key("A_PK", ConstraintKind::Primary, {"A_ID"}),
             Key("A_PARENT_FK", ConstraintKind::Foreign, {"PARENT_ID"}, a, {"A_ID"}),
             Key("A_CK", ConstraintKind::Check, {"NOTE"})}),
      Table("B", {"X_ID", odd, "A1", "B_ID"},
            {Key("B_A1_FK", ConstraintKind::Foreign, {"A1"}, a, {"A_ID"}),
             Key("B_A2_FK", ConstraintKind::Foreign, {odd}, a, {"A_ID"}),
             Key("B_PK", ConstraintKind::Primary, {"B_ID"}),
             Key("B_X_FK", ConstraintKind::Foreign, {"X_ID"}, {"D", "O", "X"}, {"X_ID"})})};
  TableKeys keys;
  for (const TableObject& t : tables) keys.Add(t);
  keys.Link(tables);

  const TableObject shapeA = keys.Shape(tables, 0);
  EXPECT_EQ(shapeA.key, a);
  EXPECT_EQ(shapeA.columns.size(), 2);
  EXPECT_EQ(shapeA.columns.value(0).name, "A_ID");
  EXPECT_EQ(shapeA.columns.value(1).name, "PARENT_ID");
  ASSERT_EQ(shapeA.constraints.size(), 2);
  EXPECT_EQ(shapeA.constraints[1].referencedAnchor, "d.o.a");
  EXPECT_EQ(shapeA.constraints[1].referencedColumns, QStringList{"A_ID"});
  EXPECT_EQ(Rows(shapeA.referencedBy),
            (QStringList{"d.o.a A_PARENT_FK PARENT_ID", "d.o.b B_A1_FK A1", "d.o.b B_A2_FK " + odd}));

  const TableObject shapeB = keys.Shape(tables, 1);
  QStringList columns;
  for (const ModelColumn& c : shapeB.columns) columns.append(c.name);
  EXPECT_EQ(columns, (QStringList{"X_ID", odd, "A1", "B_ID"}));
  EXPECT_TRUE(shapeB.referencedBy.isEmpty());

  TableObject fullB = tables[1];
  keys.Complete(tables, 1, fullB);
  QStringList targets;
  for (const ModelConstraint& c : fullB.constraints) targets.append(c.referencedAnchor);
  EXPECT_EQ(targets, (QStringList{"d.o.a", "d.o.a", "", ""}));
  TableObject fullA = tables[0];
  keys.Complete(tables, 0, fullA);
  EXPECT_EQ(Rows(fullA.referencedBy), Rows(shapeA.referencedBy));
  EXPECT_EQ(fullA.constraints[2].name, "A_CK");
}

// A table chosen twice has two anchors; a foreign key to it links the last.
TEST(TableKeys, AKeyToATableChosenTwiceLinksTheLast) {
  QList<TableObject> tables{Table("A", {"A_ID"}, {Key("A_PK", ConstraintKind::Primary, {"A_ID"})}),
                            Table("B", {"A_ID"},
                                  {Key("B_A_FK", ConstraintKind::Foreign, {"A_ID"},
                                       {"D", "O", "A"}, {"A_ID"})})};
  tables.append(tables[0]);
  tables[2].anchor += QStringLiteral("~2");
  TableKeys keys;
  for (const TableObject& t : tables) keys.Add(t);
  keys.Link(tables);
  EXPECT_EQ(keys.Shape(tables, 1).constraints.value(0).referencedAnchor, "d.o.a~2");
  EXPECT_TRUE(keys.Shape(tables, 0).referencedBy.isEmpty());
  EXPECT_EQ(Rows(keys.Shape(tables, 2).referencedBy), QStringList{"d.o.b B_A_FK A_ID"});
}
