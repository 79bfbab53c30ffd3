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
}

TEST(DocComment, WhatIsNotDocumentationReadsAsNothing) {
  for (const QStringList& comments :
       {QStringList{"-- l_total := 0;", "-- for r in c loop", "--   null;", "-- end loop;"},
        QStringList{"-- ===================", "-- -------------------"},
        QStringList{"/* Copyright 2019 Someone. All rights reserved. */"},
        QStringList{"/***********************/"}}) {
    EXPECT_TRUE(ReadDocComment(comments).IsEmpty()) << comments.join('|').toStdString();
  }
  // A sentence that mentions code is still a sentence.
  EXPECT_FALSE(ReadDocComment({"-- Called by the nightly procedure."}).IsEmpty());
}

}  // namespace
