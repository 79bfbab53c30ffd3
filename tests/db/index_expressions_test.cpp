// How an index expression reads in a document: a descending column's quoted name loses its
// quotes only where the name needs none.
#include "db/index_expressions.h"

#include <gtest/gtest.h>

namespace {

TEST(IndexExpressionText, UnquotesOnlyPlainNames) {
  const std::pair<const char*, const char*> cases[] = {
      {"\"PAY_PERIOD\"", "PAY_PERIOD"},
      {"\"Mixed Case\"", "\"Mixed Case\""},
      {"UPPER(\"LAST_NAME\")", "UPPER(\"LAST_NAME\")"},
      {"\"A\"||\"B\"", "\"A\"||\"B\""},
  };
  for (const auto& [stored, shown] : cases)
    EXPECT_EQ(IndexExpressionText(stored), shown) << stored;
}

}  // namespace
