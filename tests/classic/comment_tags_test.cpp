#include "classic/comment_tags.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "classic/document.h"
#include "settings/settings.h"
#include "support/build_fixture.h"

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

QStringList Members(const QStringList& source) {
  Document doc;
  WriteMemberComments(doc, DefaultSettings(), ListSource{source}.Source(), true, 4, 2);
  EXPECT_EQ(doc.TempGrid.RowCount(), 1);
  return doc.TempMemo;
}

// The rendered parameter table: header row, then one row per (name, type, description).
QStringList Table(const QList<QStringList>& rows) {
  return HtmlTable({200, 100, 300}, QList<QStringList>{{"Name", "Type", "Description"}} + rows);
}
const QString kParameters = "</P><H5>Parameters</H5><P>";

struct UnitCase {
  const char* what;
  QStringList source;
  QStringList expected;
  bool html = true;
  std::function<void(Settings&)> tune = {};
};

TEST(WriteUnitComments, HeadingsParametersAndBlockBoundaries) {
  const QString clef = QString::fromUtf8("\xF0\x9D\x84\x9E");
  const UnitCase cases[] = {
      {"a stored LF, CR LF or CR goes in text",
       {"<FD>\r\n", " a\r\n", "b \n", "c\r", "\n", "d", "</FD>\n"},
       {" a", "b ", "c", "", "d"}, false},
      {"stored line ends kept and markup escaped in HTML",
       {"<FD>\n", "Description:\r\n", "  a < b & \"c\"\r\n", "</FD>\n"},
       {"<H5>Description</H5><P>", "  a &lt; b &amp; &quot;c&quot;\r\n<BR>", "</P>"}},
      {"tags in any case, headings as typed",
       {"  -- <fd> opens here", "  purpose: what it does", "ARGU<MENTS>: p, DATE: when;",
        "</fd>"},
       QStringList{"<H5>PurPose</H5><P>", " what it does<BR>",
                   "</P><H5>Argu&lt;ments&gt;</H5><P>"} +
           Table({{" p", " DATE", " when"}}) + QStringList{"</P>"},
       true,
       [](Settings& s) {
         s.Function_description = "PurPose";
         s.Function_parameters = "Argu<ments>";
       }},
      {"parameter entries in their shapes",
       {"<FD>", "Parameters: p_a, VARCHAR2: the a;",  // entry on the parameters line
        "  NUMBER: no spot;",                         // empty name, type before the colon
        "  p_c, DATE: first", "", "    second", "    third; dropped",
        "  not a parameter line",  // no colon and no parameter open: dropped
        "Return value (BOOLEAN):", "  ok", "Return value again: copied", "</FD>"},
       QStringList{kParameters} +
           Table({{" p_a", " VARCHAR2", " the a"},
                  {"", "  NUMBER", " no spot"},
                  {"  p_c", " DATE", " first    second    third"}}) +
           QStringList{"</P><H5>Return value (BOOLEAN)</H5><P>", "  ok<BR>",
                       "Return value again: copied", "</P>"}},
      {"rows without a return value stand before the closing paragraph",
       {"<FD>", "Parameters:", "p, T: d;", "</FD>", "p2, T: x;"},
       QStringList{kParameters} + Table({{"p", " T", " d"}}) + QStringList{"</P>"}},
      {"no close tag: the rows come at the end, an open description included",
       {"<FD>", "Parameters:", "p, T: d", " and more"},
       QStringList{kParameters} + Table({{"p", " T", " d and more"}})},
      {"no open tag: nothing", {"CREATE FUNCTION f", "Description: x", "RETURN 1;"}, {}},
      {"a stray close tag still closes a paragraph", {"text", "</FD>"}, {"</P>"}},
      {"a line holding both tags leaves a block open", {"<FD> </FD>", "inside"},
       {"</P>", "inside<BR>"}},
      {"the description heading comes once",
       {"<FD>", "Description: one", "</FD>", "code;", "<FD>", "Description: two", "</FD>"},
       {"<H5>Description</H5><P>", " one<BR>", "</P>", "Description: two<BR>", "</P>"}},
      // A tag at the very end of a line, and a character outside the code page right after
      // a tag: the surrogate pair is the one character passed over.
      {"a tag at a line's end or before a surrogate pair",
       {"<FD>", "Description" + clef + "x", "Parameters", "p" + clef + ",T:d;", "Return value",
        "</FD>"},
       QStringList{"<H5>Description</H5><P>", "x<BR>", kParameters} +
           Table({{"p" + clef, "T", "d"}}) + QStringList{"</P><H5>Return value</H5><P>", "</P>"}},
      {"a spot tag outside the code page is passed over whole",
       {"<FD>", "Parameters", "p" + clef + "NUMBER: d;", "</FD>"},
       QStringList{kParameters} + Table({{"p", "NUMBER", " d"}}) + QStringList{"</P>"}, true,
       [&](Settings& s) { s.Function_spot = clef; }},
  };
  for (const UnitCase& c : cases) {
    Settings settings = DefaultSettings();
    if (c.tune) c.tune(settings);
    EXPECT_EQ(Unit(c.source, c.html, settings), c.expected) << c.what;
  }
}

QStringList Heading(const QString& text) { return {"<H4>", text, "</H4>"}; }

TEST(WriteMemberComments, NumberedMembersWithTheirOwnParts) {
  const std::pair<QStringList, QStringList> cases[] = {
      // A description naming a procedure stays a description; a parameter's ends at the
      // next heading.
      {{"PACKAGE orders IS\n", "<FD>", "  Procedure SET_STATUS", "Description:",
        "  Sets the status; the procedure also logs the change.", "Parameters:",
        "  p_status, VARCHAR2: new status;", "</FD>", "PROCEDURE set_status (p_status VARCHAR2);",
        "<FD>", "Function IS_OPEN", "Description:", "  Tells whether the order is open.",
        "Parameters:", "  p_id, NUMBER: the order", "Return value (BOOLEAN):", "  true when open",
        "</FD>"},
       Heading("4.2.1   Procedure SET_STATUS") +
           QStringList{"<H5>Description</H5><P>",
                       "  Sets the status; the procedure also logs the change.<BR>",
                       kParameters} +
           Table({{"  p_status", " VARCHAR2", " new status"}}) + QStringList{"</P>"} +
           Heading("4.2.2 Function IS_OPEN") +
           QStringList{"<H5>Description</H5><P>", "  Tells whether the order is open.<BR>",
                       kParameters} +
           Table({{"  p_id", " NUMBER", " the order"}}) +
           QStringList{"</P><H5>Return value (BOOLEAN)</H5><P>", "  true when open<BR>",
                       "</P>"}},
      // Unclosed blocks: each member's rows stay with it.
      {{"<FD>", "Procedure A", "Parameters:", "p, T: d;", "<FD>", "Procedure B", "Parameters:",
        "q, U: e;"},
       Heading("4.2.1 Procedure A") + QStringList{kParameters} + Table({{"p", " T", " d"}}) +
           Heading("4.2.2 Procedure B") + QStringList{kParameters} +
           Table({{"q", " U", " e"}})},
      // A description needs the member heading before it.
      {{"<FD>", "Description: no member line", "</FD>"},
       {"Description: no member line<BR>", "</P>"}},
  };
  for (const auto& [source, expected] : cases) EXPECT_EQ(Members(source), expected);
}

TEST(ExtractPackageDescription, TrimmedLinesOfTheFirstPackageBlock) {
  const struct {
    QStringList source;
    QString expected;
    int taken;  // lines read; -1: all of them
  } cases[] = {
      {{"<PD>", "Description:", "first part", "   second part  \n", "</PD>"},
       "first part second part", -1},
      {{"PACKAGE p IS", "<pd>", "description: not this", "A", "", "B\r\n", "</pd>"}, "A  B", -1},
      {{"x", "</PD>", "<PD>", "Description:", "late", "</PD>"}, "", 2},
      {{"<PD>", "Description:", "one", "</PD>", "<PD>", "Description:", "two", "</PD>"}, "one", 4},
      {{"<PD>", "Description:", "runs to the end"}, "runs to the end", -1},
      {{"no tags at all"}, "", -1},
  };
  for (const auto& c : cases) {
    const ListSource source{c.source};
    EXPECT_EQ(ExtractPackageDescription(DefaultSettings(), source.Source()), c.expected);
    EXPECT_EQ(*source.taken, c.taken < 0 ? c.source.size() : c.taken) << c.expected.toStdString();
  }
}

}  // namespace
