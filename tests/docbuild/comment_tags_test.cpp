#include "docbuild/comment_tags.h"

#include <gtest/gtest.h>

#include <memory>

#include "build_fixture.h"
#include "docbuild/document.h"
#include "settings/settings.h"

// Readable failures: strings as text, not as arrays of code units.
static void PrintTo(const QString& text, std::ostream* os) {
  *os << '"' << text.toStdString() << '"';
}

namespace {

// A source over a list of lines that counts how many lines were asked for.
struct ListSource {
  QStringList lines;
  std::shared_ptr<int> taken = std::make_shared<int>(0);

  LineSource Source() const {
    return [lines = lines, taken = taken](QString& line) {
      if (*taken >= lines.size()) return false;
      line = lines[(*taken)++];
      return true;
    };
  }
};

QStringList Unit(const QStringList& source, bool html = true,
                 const Settings& settings = DefaultSettings()) {
  Document doc;
  WriteUnitComments(doc, settings, ListSource{source}.Source(), html);
  EXPECT_EQ(doc.TempGrid.RowCount(), 1);
  EXPECT_EQ(doc.TempGrid.ColumnCount(), 1);
  return doc.TempMemo;
}

QStringList Members(const QStringList& source, bool html = true,
                    const Settings& settings = DefaultSettings()) {
  Document doc;
  WriteMemberComments(doc, settings, ListSource{source}.Source(), html, 4, 2);
  EXPECT_EQ(doc.TempGrid.RowCount(), 1);
  return doc.TempMemo;
}

// The rendered parameter table: header row, then one row per (name, type, description).
QStringList Table(const QList<QStringList>& rows) {
  return HtmlTable({200, 100, 300}, QList<QStringList>{{"Name", "Type", "Description"}} + rows);
}

const QStringList kExampleSource{
    "FUNCTION total_of (p_id IN NUMBER) RETURN NUMBER IS\n",
    "/*\n",
    "<FD>",
    "Description:",
    "  Sums the order lines.",
    "Parameters:",
    "  p_id , NUMBER :",
    "  the order;",
    "Return value (NUMBER):",
    "  the total",
    "</FD>",
    "*/",
};

TEST(WriteUnitComments, WorkedExampleByteForByte) {
  QStringList expected{"<H5>Description</H5><P>", "  Sums the order lines.<BR>",
                       "</P><H5>Parameters</H5><P>"};
  expected << Table({{"  p_id ", " NUMBER ", "  the order"}});
  expected << "</P><H5>Return value (NUMBER)</H5><P>"
           << "  the total<BR>"
           << "</P>";
  EXPECT_EQ(Unit(kExampleSource), expected);
}

TEST(WriteUnitComments, TextOutputCopiesTheBlockButNotItsLineEnds) {
  EXPECT_EQ(Unit(kExampleSource, false), kExampleSource.mid(3, 7));
  // The document ends each line with CR LF itself: a stored LF, CR LF or CR goes.
  EXPECT_EQ(Unit({"<FD>\r\n", " a\r\n", "b \n", "c\r", "\n", "d", "</FD>\n"}, false),
            (QStringList{" a", "b ", "c", "", "d"}));
}

TEST(WriteUnitComments, StoredLineEndsAndMarkupAreKeptAndEscaped) {
  const QStringList out =
      Unit({"<FD>\n", "Description:\r\n", "  a < b & \"c\"\r\n", "</FD>\n"});
  EXPECT_EQ(out, (QStringList{"<H5>Description</H5><P>", "  a &lt; b &amp; &quot;c&quot;\r\n<BR>",
                              "</P>"}));
}

TEST(WriteUnitComments, TagsMatchInAnyCaseAndHeadingsShowThemAsTyped) {
  Settings settings = DefaultSettings();
  settings.Function_description = "PurPose";
  settings.Function_parameters = "Argu<ments>";
  const QStringList out = Unit({"  -- <fd> opens here", "  purpose: what it does",
                                "ARGU<MENTS>: p, DATE: when;", "</fd>"},
                               true, settings);
  QStringList expected{"<H5>PurPose</H5><P>", " what it does<BR>",
                       "</P><H5>Argu&lt;ments&gt;</H5><P>"};
  expected << Table({{" p", " DATE", " when"}}) << "</P>";
  EXPECT_EQ(out, expected);
}

TEST(WriteUnitComments, ParameterEntriesInTheirShapes) {
  const QStringList out = Unit({
      "<FD>",
      "Parameters: p_a, VARCHAR2: the a;",  // entry on the parameters line
      "  NUMBER: no spot;",                 // no spot: empty name, type before the colon
      "  p_c, DATE: first",                 // description over several lines
      "",
      "    second",
      "    third; dropped",
      "  not a parameter line",  // no colon and no parameter open: dropped
      "Return value (BOOLEAN):",
      "  ok",
      "Return value again: copied",
      "</FD>",
  });
  QStringList expected{"</P><H5>Parameters</H5><P>"};
  expected << Table({{" p_a", " VARCHAR2", " the a"},
                     {"", "  NUMBER", " no spot"},
                     {"  p_c", " DATE", " first    second    third"}});
  expected << "</P><H5>Return value (BOOLEAN)</H5><P>"
           << "  ok<BR>"
           << "Return value again: copied"
           << "</P>";
  EXPECT_EQ(out, expected);
}

TEST(WriteUnitComments, RowsWithoutReturnValueAreRenderedWhereTheirBlockEnds) {
  // Closed block: the table stands before the closing "</P>".
  QStringList expected{"</P><H5>Parameters</H5><P>"};
  expected << Table({{"p", " T", " d"}}) << "</P>";
  EXPECT_EQ(Unit({"<FD>", "Parameters:", "p, T: d;", "</FD>", "p2, T: x;"}), expected);

  // No close tag: the table comes at the end of the source, an open description included.
  expected = QStringList{"</P><H5>Parameters</H5><P>"};
  expected << Table({{"p", " T", " d and more"}});
  EXPECT_EQ(Unit({"<FD>", "Parameters:", "p, T: d", " and more"}), expected);
}

TEST(WriteUnitComments, BlockBoundaries) {
  // No open tag: nothing; a stray close tag still closes a paragraph.
  EXPECT_TRUE(Unit({"CREATE FUNCTION f", "Description: x", "RETURN 1;"}).isEmpty());
  EXPECT_EQ(Unit({"text", "</FD>"}), QStringList{"</P>"});
  // A line holding both tags is no content and leaves a block open.
  EXPECT_EQ(Unit({"<FD> </FD>", "inside"}), (QStringList{"</P>", "inside<BR>"}));
  // Two blocks in a row: the description heading comes once, later text is text.
  EXPECT_EQ(Unit({"<FD>", "Description: one", "</FD>", "code;", "<FD>", "Description: two",
                  "</FD>"}),
            (QStringList{"<H5>Description</H5><P>", " one<BR>", "</P>", "Description: two<BR>",
                         "</P>"}));
}

TEST(WriteUnitComments, DegenerateTagsAndLines) {
  Settings empty = DefaultSettings();
  for (QString* tag : {&empty.Function_opentag, &empty.Function_description,
                       &empty.Function_parameters, &empty.Function_spot, &empty.Function_colon,
                       &empty.Function_semicolon, &empty.Function_returnvalue,
                       &empty.Function_closetag}) {
    tag->clear();
  }
  EXPECT_TRUE(Unit(kExampleSource, true, empty).isEmpty());

  Settings longTags = DefaultSettings();
  longTags.Function_description = "Description of this unit, longer than any line here";
  EXPECT_EQ(Unit({"<FD>", "Description:", "</FD>"}, true, longTags),
            (QStringList{"Description:<BR>", "</P>"}));

  // A tag at the very end of a line, and a character outside the code page right after a
  // tag: the surrogate pair is the one character passed over.
  const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
  const QStringList out = Unit({"<FD>", "Description" + clef + "x", "Parameters",
                                "p" + clef + ",T:d;", "Return value", "</FD>"});
  QStringList expected{"<H5>Description</H5><P>", "x<BR>", "</P><H5>Parameters</H5><P>"};
  expected << Table({{"p" + clef, "T", "d"}}) << "</P><H5>Return value</H5><P>" << "</P>";
  EXPECT_EQ(out, expected);
}

const QStringList kPackageSource{
    "PACKAGE orders IS\n",
    "/*\n",
    "<PD>\n",
    "Description:\n",
    "  Order handling.\n",
    "</PD>\n",
    "*/\n",
    "/*",
    "<FD>",
    "Function GET_TOTAL",
    "Description:",
    "  Returns the total.",
    "Return value (NUMBER):",
    "  the total",
    "</FD>",
    "*/",
    "FUNCTION get_total RETURN NUMBER;",
    "<FD>",
    "  Procedure SET_STATUS",
    "Description:",
    "  Sets the status; the procedure also logs the change.",
    "Parameters:",
    "  p_status, VARCHAR2: new status;",
    "</FD>",
    "PROCEDURE set_status (p_status VARCHAR2);",
    "<FD>",
    "Function IS_OPEN",
    "Description:",
    "  Tells whether the order is open.",
    "Parameters:",
    "  p_id, NUMBER: the order",
    "Return value (BOOLEAN):",
    "  true when open",
    "</FD>",
};

TEST(WriteMemberComments, EveryMemberGetsItsNumberedHeadingAndOwnParts) {
  QStringList expected{"<H4>",
                       "4.2.1 Function GET_TOTAL",
                       "</H4>",
                       "<H5>Description</H5><P>",
                       "  Returns the total.<BR>",
                       "</P><H5>Return value (NUMBER)</H5><P>",
                       "  the total<BR>",
                       "</P>",
                       "<H4>",
                       "4.2.2   Procedure SET_STATUS",
                       "</H4>",
                       "<H5>Description</H5><P>",
                       "  Sets the status; the procedure also logs the change.<BR>",
                       "</P><H5>Parameters</H5><P>"};
  expected << Table({{"  p_status", " VARCHAR2", " new status"}}) << "</P>"
           << "<H4>"
           << "4.2.3 Function IS_OPEN"
           << "</H4>"
           << "<H5>Description</H5><P>"
           << "  Tells whether the order is open.<BR>"
           << "</P><H5>Parameters</H5><P>";
  expected << Table({{"  p_id", " NUMBER", " the order"}})
           << "</P><H5>Return value (BOOLEAN)</H5><P>"
           << "  true when open<BR>"
           << "</P>";
  EXPECT_EQ(Members(kPackageSource), expected);
}

TEST(WriteMemberComments, UnclosedMemberRowsStayWithTheirMember) {
  QStringList expected{"<H4>", "4.2.1 Procedure A", "</H4>", "</P><H5>Parameters</H5><P>"};
  expected << Table({{"p", " T", " d"}}) << "<H4>" << "4.2.2 Procedure B" << "</H4>"
           << "</P><H5>Parameters</H5><P>";
  expected << Table({{"q", " U", " e"}});
  EXPECT_EQ(Members({"<FD>", "Procedure A", "Parameters:", "p, T: d;", "<FD>", "Procedure B",
                     "Parameters:", "q, U: e;"}),
            expected);
}

TEST(WriteMemberComments, DescriptionNeedsTheMemberHeading) {
  EXPECT_EQ(Members({"<FD>", "Description: no member line", "</FD>"}),
            (QStringList{"Description: no member line<BR>", "</P>"}));
}

QString Extract(const ListSource& source) {
  return ExtractPackageDescription(DefaultSettings(), source.Source());
}

TEST(ExtractPackageDescription, JoinsTrimmedLinesOfThePackageBlock) {
  EXPECT_EQ(Extract({{"<PD>", "Description:", "first part", "   second part  \n", "</PD>"}}),
            "first part second part");
  EXPECT_EQ(Extract({{"PACKAGE p IS", "<pd>", "description: not this", "A", "", "B\r\n",
                      "</pd>"}}),
            "A  B");
}

TEST(ExtractPackageDescription, StopsAtTheFirstCloseTag) {
  const ListSource closeFirst{{"x", "</PD>", "<PD>", "Description:", "late", "</PD>"}};
  EXPECT_EQ(Extract(closeFirst), "");
  EXPECT_EQ(*closeFirst.taken, 2);

  const ListSource twoBlocks{{"<PD>", "Description:", "one", "</PD>", "<PD>", "Description:",
                              "two", "</PD>"}};
  EXPECT_EQ(Extract(twoBlocks), "one");
  EXPECT_EQ(*twoBlocks.taken, 4);

  EXPECT_EQ(Extract({{"<PD>", "Description:", "runs to the end"}}), "runs to the end");
  EXPECT_EQ(Extract({{"no tags at all"}}), "");
}

TEST(CommentTags, HundredThousandLineSources) {
  constexpr int kLines = 100000;
  QStringList source{"<FD>", "Parameters:", "p, T:"};
  for (int i = 0; i < kLines; ++i) source << QStringLiteral("  piece %1 of a long text").arg(i);
  source << "end;" << "Return value (T):" << "</FD>";
  const QStringList out = Unit(source);
  ASSERT_EQ(out.size(), 1 + Table({{"", "", ""}}).size() + 2);
  EXPECT_TRUE(out[10].startsWith("<TD width=300 VALIGN=TOP>  piece 0 "));
  EXPECT_TRUE(out[10].endsWith("piece 99999 of a long textend</TD>"));

  QStringList package{"<PD>", "Description:"};
  for (int i = 0; i < kLines; ++i) package << "word";
  package << "</PD>";
  EXPECT_EQ(Extract({package}).size(), kLines * 5 - 1);

  QStringList members;
  for (int i = 0; i < kLines / 4; ++i) members << "<FD>" << "Procedure P" << "</FD>" << "x";
  EXPECT_EQ(Members(members).size(), kLines / 4 * 4);
}

}  // namespace
