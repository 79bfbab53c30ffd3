#include <gtest/gtest.h>

#include "classic/document.h"
#include "classic/html.h"

namespace {

TEST(GridTest, AddGridValueOpensRowsAsTheTableWriterDoes) {
  Grid g;
  AddGridValue(g, "Name", 1);
  AddGridValue(g, "Description", 2);
  AddGridValue(g, "A", 1);  // column 1 of the last row is filled: new row
  AddGridValue(g, "", 2);
  AddGridValue(g, "", 1);  // an empty first value still opens a row
  AddGridValue(g, "d", 2);
  EXPECT_EQ(g.ColumnCount(), 2);
  ASSERT_EQ(g.RowCount(), 3);
  EXPECT_EQ(g.Cell(0, 1), "A");
  EXPECT_EQ(g.Cell(1, 1), "");
  EXPECT_EQ(g.Cell(0, 2), "");
  EXPECT_EQ(g.Cell(1, 2), "d");

  // A value for column 2 while column 3 of the last row is filled opens a new row.
  Grid h;
  AddGridValue(h, "c", 3);
  AddGridValue(h, "b", 2);
  ASSERT_EQ(h.RowCount(), 2);
  EXPECT_EQ(h.Cell(2, 0), "c");
  EXPECT_EQ(h.Cell(1, 1), "b");

  AppendGridValue(h, "+x", 4);  // widens, never opens a row
  AppendGridValue(h, "+y", 4);
  EXPECT_EQ(h.RowCount(), 2);
  EXPECT_EQ(h.Cell(3, 1), "+x+y");
}

TEST(EscapeTest, EscapesMarkupCharactersOnly) {
  EXPECT_EQ(EscapeHtml("<script>alert(\"x&y\")</script>"),
            "&lt;script&gt;alert(&quot;x&amp;y&quot;)&lt;/script&gt;");
  const QString plain = QString::fromUtf8("ÄÖ'é \r\n\t€ plain");
  EXPECT_EQ(EscapeHtml(plain), plain);
  EXPECT_EQ(DocText("a&b", false), "a&b");
  EXPECT_EQ(ParagraphText("one\r\ntwo & <3", true), "one</P><P>\ntwo &amp; &lt;3");
  EXPECT_EQ(ParagraphText("one\r\ntwo", false), "one\r\ntwo");
  // Plain characters are looked at several at a time: a markup character at any place of a
  // text is still found, and the escaped text has exactly the size it was given.
  for (int at = 0; at < 20; ++at) {
    QString text = QString::fromLatin1("0123456789abcdefghij");
    text[at] = u'"';
    EXPECT_EQ(EscapeHtml(text + "<"), QString(text).replace("\"", "&quot;") + "&lt;") << at;
  }
}

}  // namespace
