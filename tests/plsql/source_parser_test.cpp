// The declarations of PL/SQL sources written in the usual comment styles, and the comments
// that each style attaches to them (or, for commented-out code, separators, licences,
// strings and the other branch of conditional code, does not).
#include "plsql/source_parser.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace plsql;

namespace {

QList<Unit> Fixture(const char* name) {
  QFile file(QStringLiteral(VELLUMAR_SOURCE_DIR "/tests/plsql/fixtures/") + QLatin1String(name));
  EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
  return ParseSource(QString::fromUtf8(file.readAll()));
}

const Declaration* Find(const Unit& unit, const QString& name, int nth = 0) {
  for (const Declaration& d : unit.declarations) {
    if (d.name == name && nth-- == 0) return &d;
  }
  ADD_FAILURE() << "no declaration " << name.toStdString();
  static const Declaration none;
  return &none;
}

QString Text(const Declaration* d) { return PlainText(d->doc.description); }

TEST(SourceParser, JavadocBlocksDocumentThePackageAndEachDeclaration) {
  const QList<Unit> units = Fixture("javadoc_spec.sql");
  ASSERT_EQ(units.size(), 1);
  const Unit& u = units[0];
  EXPECT_EQ(u.kind, UnitKind::PackageSpec);
  EXPECT_EQ(u.name, "STR_UTIL");
  EXPECT_EQ(u.firstLine, 5);
  EXPECT_EQ(u.lastLine, 64);
  // The licence above the unit is not its description; the block after AS is.
  EXPECT_EQ(u.doc.summary, "String helpers for reports.");

  QStringList names;
  for (const Declaration& d : u.declarations) names << d.name;
  EXPECT_EQ(names, QStringList({"T_LIST", "C_DEFAULT_SEP", "E_TOO_LONG", "SPLIT", "JOIN", "JOIN",
                                "PAD"}));
  EXPECT_EQ(Find(u, "T_LIST")->kind, DeclarationKind::Type);
  EXPECT_EQ(Find(u, "T_LIST")->text, "type t_list is table of varchar2(4000);");
  EXPECT_EQ(Find(u, "C_DEFAULT_SEP")->kind, DeclarationKind::Constant);
  EXPECT_EQ(Text(Find(u, "E_TOO_LONG")), "Raised when a list is too long.");

  const Declaration* split = Find(u, "SPLIT");
  EXPECT_EQ(split->kind, DeclarationKind::Function);
  EXPECT_EQ(split->firstLine, 45);
  EXPECT_EQ(split->lastLine, 46);
  EXPECT_EQ(split->returnType, "t_list");
  ASSERT_EQ(split->parameters.size(), 2);
  EXPECT_EQ(split->parameters[1].type, "varchar2");
  EXPECT_EQ(split->parameters[1].defaultValue, "c_default_sep");
  EXPECT_EQ(split->doc.summary, "Splits a text into its parts.");
  ASSERT_EQ(split->doc.parameters.size(), 2);
  EXPECT_EQ(split->doc.parameters[1].name, "p_sep");
  EXPECT_EQ(split->doc.parameters[1].text, "the separator, one character");
  EXPECT_EQ(split->doc.returns, "the parts in order");
  ASSERT_EQ(split->doc.throws.size(), 1);
  EXPECT_EQ(split->doc.throws[0].name, "e_too_long");
  EXPECT_EQ(split->doc.see, QStringList{"join"});
  EXPECT_EQ(split->doc.since, "2.1");
  ASSERT_EQ(split->doc.examples.size(), 1);
  EXPECT_TRUE(split->doc.examples[0].startsWith("declare\n  l str_util.t_list"));

  // Overloads keep their own blocks; the last block is separated by blank lines.
  EXPECT_TRUE(Find(u, "JOIN", 0)->doc.deprecated);
  EXPECT_EQ(Find(u, "JOIN", 0)->parameters[1].defaultValue, "','");
  EXPECT_FALSE(Find(u, "JOIN", 1)->doc.deprecated);
  EXPECT_EQ(Text(Find(u, "JOIN", 1)), "Joins with a separator of several characters.");
  EXPECT_EQ(Find(u, "PAD")->parameters[0].mode, "IN OUT");
  EXPECT_EQ(Text(Find(u, "PAD")), "Left pads a value.");
  EXPECT_EQ(Find(u, "PAD")->doc.parameters.value(0).text, "the width to reach");
}

TEST(SourceParser, LineCommentsAboveAndBannersButNotCodeOrSeparators) {
  const Unit u = Fixture("line_comments_spec.sql").value(0);
  EXPECT_EQ(u.name, "EMP_ADMIN");
  EXPECT_EQ(u.doc.summary, "Hiring, moving and retiring employees.");
  EXPECT_EQ(u.doc.authors, QStringList{"B. Hopper"});
  ASSERT_EQ(u.doc.description.size(), 2);
  EXPECT_EQ(u.doc.description[1].kind, TextBlock::Preformatted);
  EXPECT_EQ(u.doc.description[1].lines.value(2), "bhopper    2019-03-02   Created");

  EXPECT_EQ(Text(Find(u, "HIRE_EMPLOYEE")), "Hires a new employee. The employee starts today.");
  // Commented-out code above it is set apart by a blank line.
  EXPECT_EQ(Text(Find(u, "MOVE_EMPLOYEE")), "Moves an employee to another department.");
  EXPECT_EQ(Text(Find(u, "RETIRE_EMPLOYEE")), "");  // a separator line only
  const Declaration* count = Find(u, "HEAD_COUNT");
  ASSERT_EQ(count->doc.description.size(), 2);
  EXPECT_EQ(count->doc.description[1].kind, TextBlock::Numbered);
  EXPECT_EQ(count->doc.description[1].lines, QStringList({"active ones", "on leave"}));
}

TEST(SourceParser, CommentsAfterTheHeaderAndOnParameterLines) {
  const Unit u = Fixture("header_comments_spec.sql").value(0);
  EXPECT_EQ(PlainText(u.doc.description),
            "Orders: placing, paying and shipping. All amounts are in the order's currency.");
  const Declaration* place = Find(u, "PLACE_ORDER");
  EXPECT_EQ(Text(place), "Places an order and reserves its items.");
  ASSERT_EQ(place->parameters.size(), 4);
  EXPECT_EQ(place->parameters[0].comment, "who orders");
  EXPECT_EQ(place->parameters[1].comment, "item codes, comma separated, or none for the basket's");
  EXPECT_EQ(place->parameters[2].comment, "by courier") << "the line below leads the next one";
  EXPECT_EQ(place->parameters[2].defaultValue, "false");
  EXPECT_EQ(place->parameters[3].mode, "OUT");
  EXPECT_EQ(place->parameters[3].comment, "the new order's number");
  EXPECT_EQ(Text(Find(u, "ORDER_TOTAL")), "The total of an order, taxes included.");
  EXPECT_EQ(Text(Find(u, "SHIP")), "Marks an order as shipped.");
  EXPECT_EQ(Text(Find(u, "CANCEL_ALL")), "");
}

// A licence kept after the header, comments written under each member with one above the
// last, and a stand-alone unit's block after a blank line.
TEST(SourceParser, LicencesAfterTheHeaderAndCommentsUnderEachMember) {
  const QList<Unit> units = Fixture("licences_and_below.sql");
  ASSERT_EQ(units.size(), 5);
  const Unit& batch = units[0];
  EXPECT_EQ(Text(Find(batch, "START_BATCH")), "Starts a batch under a name.");
  EXPECT_EQ(Text(Find(batch, "END_BATCH")), "Ends the running batch.");
  EXPECT_EQ(Text(Find(batch, "BATCH_ID")), "The id of the running batch.");
  EXPECT_EQ(Text(Find(batch, "RESET_STATE")), "Internal: do not call.");

  const Unit& load = units[1];
  EXPECT_EQ(PlainText(load.doc.description), "Helpers for the nightly load: staging, checks and merge.");
  EXPECT_EQ(Text(Find(load, "LOAD_STAGE")), "Loads the staging table.");
  EXPECT_EQ(Text(Find(load, "COPYRIGHT_LINE")),
            "Returns the copyright notice printed in every report footer.");

  const Unit& log = units[2];
  EXPECT_EQ(log.doc.summary, "Log utility: writes messages at levels to a table.");
  EXPECT_TRUE(Find(log, "T_LEVELS")->doc.IsEmpty());
  const QList<DocTag>& params = Find(log, "WRITE")->doc.parameters;
  ASSERT_EQ(params.size(), 2);
  EXPECT_EQ(params[0].name, "p_text");
  EXPECT_EQ(params[0].text, "the message");
  EXPECT_EQ(params[1].name, "p_level");
  EXPECT_EQ(params[1].text, "the level, 1 to 4");

  EXPECT_EQ(units[3].doc.summary, "Age in whole years on a date.");

  // Where a comment could be either neighbour's, the package's other comments decide.
  EXPECT_EQ(Text(Find(units[4], "OPEN_DAY")), "Opens a day for bookings.");
  EXPECT_EQ(Text(Find(units[4], "CLOSE_DAY")), "");
}

TEST(SourceParser, BodiesGiveTheirSubprogramsWithTheirComments) {
  const QList<Unit> units = Fixture("body_only.sql");
  ASSERT_EQ(units.size(), 2);
  EXPECT_EQ(units[0].declarations.size(), 5);
  for (const Declaration& d : units[0].declarations) EXPECT_TRUE(d.doc.IsEmpty());
  const Unit& body = units[1];
  EXPECT_EQ(body.kind, UnitKind::PackageBody);
  QStringList names;
  for (const Declaration& d : body.declarations) names << d.name;
  EXPECT_EQ(names, QStringList({"WRITE", "WRITE", "LAST_ID", "PURGE", "FLUSH"}));
  // A block that opens the implementation's statements is its header; a remark on the
  // statement below it is not.
  EXPECT_EQ(Text(Find(body, "WRITE", 0)), "Writes a text at a level.");
  EXPECT_EQ(Text(Find(body, "FLUSH")), "");
  EXPECT_EQ(Find(body, "WRITE", 0)->lastLine, 23);
  EXPECT_EQ(Text(Find(body, "WRITE", 1)), "Writes a text under an area.");
  EXPECT_EQ(Text(Find(body, "LAST_ID")), "The id of the last line written, or null.");
  // A banner after IS: its labelled paragraphs and its change history.
  const QList<TextBlock>& purge = Find(body, "PURGE")->doc.description;
  ASSERT_EQ(purge.size(), 3);
  EXPECT_EQ(purge[1].lines, QStringList{"Run by the nightly job."});
  EXPECT_EQ(purge[2].kind, TextBlock::Preformatted);
  EXPECT_EQ(body.lastLine, 61);
}

TEST(SourceParser, StringsQuotedNamesAndConditionalCode) {
  const Unit u = Fixture("tricky.sql").value(0);
  EXPECT_EQ(u.name, "Mixed_Case");
  QStringList names;
  for (const Declaration& d : u.declarations) names << d.name;
  // One branch of the $if only; nothing in the strings or the comment starts a declaration.
  EXPECT_EQ(names, QStringList({"C_MARKER", "C_OTHER", "readIt", "AFTER_STRINGS"}));
  EXPECT_EQ(Find(u, "C_MARKER")->text, "c_marker constant varchar2(40) := q'[-- not a comment ]';");
  EXPECT_EQ(Find(u, "readIt")->parameters.size(), 1);
  EXPECT_EQ(Text(Find(u, "readIt")), "Reads the old way.");
  EXPECT_EQ(Text(Find(u, "AFTER_STRINGS")), "q'{ is not a string in a comment");
}

TEST(SourceParser, StandAloneUnitAsTheDictionaryStoresIt) {
  const QList<Unit> units = Fixture("standalone.sql");
  ASSERT_EQ(units.size(), 1);
  EXPECT_EQ(units[0].kind, UnitKind::Function);
  const Declaration& f = units[0].declarations.value(0);
  EXPECT_EQ(f.returnType, "number");
  EXPECT_EQ(f.parameters.value(0).comment, "price with tax");
  EXPECT_EQ(f.parameters.value(1).defaultValue, "0.2");
  EXPECT_EQ(PlainText(f.doc.description), "Removes the tax from a gross price.");

  // Stored lines (no CREATE), a procedure without parameters, and source cut off midway.
  const QList<Unit> stored = ParseSource(QStringList{"PROCEDURE nightly\n", "AS\n", "BEGIN\n"});
  ASSERT_EQ(stored.size(), 1);
  EXPECT_EQ(stored[0].name, "NIGHTLY");
  EXPECT_TRUE(stored[0].declarations.value(0).parameters.isEmpty());
  EXPECT_TRUE(ParseSource(QStringList{"PACKAGE broken (\n", "x number;\n"}).isEmpty());
}

}  // namespace
