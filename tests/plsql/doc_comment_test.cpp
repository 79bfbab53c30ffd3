// Comments read as documentation: the layout kept (paragraphs, lists, preformatted text),
// and comments that are not documentation read as nothing.
#include "plsql/doc_comment.h"

#include <gtest/gtest.h>

using namespace plsql;

namespace {

TEST(DocComment, KeepsParagraphsListsAndPreformattedText) {
  const DocComment doc = ReadDocComment(
      {"/* Loads the day's files.\n   Runs at night.\n\n   Steps:\n   - fetch\n     from the share\n"
       "   * check\n\n       load_files('x');\n       commit;\n*/"});
  ASSERT_EQ(doc.description.size(), 4);
  EXPECT_EQ(doc.description[0].lines, QStringList{"Loads the day's files. Runs at night."});
  EXPECT_EQ(doc.summary, "Loads the day's files.");
  EXPECT_EQ(doc.description[2].kind, TextBlock::Bullets);
  EXPECT_EQ(doc.description[2].lines, QStringList({"fetch from the share", "check"}));
  EXPECT_EQ(doc.description[3].kind, TextBlock::Preformatted);
  EXPECT_EQ(doc.description[3].lines, QStringList({"    load_files('x');", "    commit;"}));

  // A table drawn between "|" stays as drawn, its rule row too.
  const DocComment drawn = ReadDocComment(
      {"-- Bolds a text:", "--", "-- | input | output |", "-- |-------|--------|",
       "-- | a     | **a**  |"});
  ASSERT_EQ(drawn.description.size(), 2);
  EXPECT_EQ(drawn.description[1].kind, TextBlock::Preformatted);
  EXPECT_EQ(drawn.description[1].lines,
            QStringList({"| input | output |", "|-------|--------|", "| a     | **a**  |"}));
}

TEST(DocComment, JavadocHtmlBecomesTheSameLayout) {
  const DocComment doc = ReadDocComment(
      {"/**\n * Reads <b>one</b> file.<p>\n * Steps:\n * <ul><li>open {@code f}</li>\n"
       " * <li>read</li></ul>\n * <pre>\n * r := read(f);\n * </pre>\n */"});
  ASSERT_EQ(doc.description.size(), 4);
  EXPECT_EQ(doc.description[0].lines, QStringList{"Reads one file."});
  EXPECT_EQ(doc.description[2].lines, QStringList({"open f", "read"}));
  EXPECT_EQ(doc.description[3].lines, QStringList{"    r := read(f);"});

  // Character references read as the characters, in the tags' texts too.
  const DocComment refs = ReadDocComment(
      {"/**\n * Commits &amp; logs: 1 &lt; 2, 5 &#8364;, &#x41;, &bogus; &amp\n"
       " * @param p_x the <b>x</b> &gt; 0\n */"});
  EXPECT_EQ(PlainText(refs.description),
            QString::fromUtf8("Commits & logs: 1 < 2, 5 \u20ac, A, &bogus; &amp"));
  EXPECT_EQ(refs.parameters.value(0).text, "the x > 0");
}

TEST(DocComment, TagsInLineCommentsReadAsJavadoc) {
  const DocComment doc =
      ReadDocComment({"-- Counts the rows.", "-- @param p_table the table", "-- @return the count"});
  EXPECT_EQ(plsql::PlainText(doc.description), "Counts the rows.");
  ASSERT_EQ(doc.parameters.size(), 1);
  EXPECT_EQ(doc.parameters[0].text, "the table");
  EXPECT_EQ(doc.returns, "the count");
}

TEST(DocComment, WhatIsNotDocumentationReadsAsNothing) {
  for (const QStringList& comments :
       {QStringList{"-- l_total := 0;", "-- for r in c loop", "--   null;", "-- end loop;"},
        QStringList{"-- raise e_closed;", "-- exit when l_done;", "-- log_pkg.flush(l_id);"},
        QStringList{"-- ===================", "-- -------------------"},
        QStringList{"-- ========== Requests =========="},
        QStringList{"/* Copyright 2019 Someone. All rights reserved. */"},
        QStringList{"/***********************/"}}) {
    EXPECT_TRUE(ReadDocComment(comments).IsEmpty()) << comments.join('|').toStdString();
  }
  // A sentence that mentions code is still a sentence.
  EXPECT_FALSE(ReadDocComment({"-- Called by the nightly procedure."}).IsEmpty());
  EXPECT_FALSE(ReadDocComment({"-- Item codes, comma separated;", "-- none for the basket's."})
                   .IsEmpty());
}

}  // namespace
