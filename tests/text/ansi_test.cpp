#include "text/ansi.h"

#include <gtest/gtest.h>

// Every byte has its character and back; what has no byte is refused (Greek alpha, a CJK
// character, an emoji as a surrogate pair).
TEST(Ansi, EveryByteRoundTripsAndOtherCharactersHaveNone) {
  QByteArray all;
  for (int i = 0; i < 256; ++i) all.append(static_cast<char>(i));
  const QString text = ansi::Decode(all);
  EXPECT_EQ(text[0x80], QChar(0x20AC));  // euro sign
  EXPECT_EQ(ansi::Encode(text), all);
  for (const char* other : {"a\u03B1b", "\u4E2D", "c\U0001F600"})
    EXPECT_FALSE(ansi::Encode(QString::fromUtf8(other)).has_value()) << other;
}

TEST(Ansi, UpperCaseKeepsLengthAndFollowsTheSingleByteMapping) {
  const QString in = QString::fromUtf8("abz \u00E9\u00FE\u00F7\u00DF\u00FF\u0161\u0153\u017E \u03B1 <fd>");
  const QString out = ansi::UpperCase(in);
  EXPECT_EQ(out.size(), in.size());
  EXPECT_EQ(out, QString::fromUtf8("ABZ \u00C9\u00DE\u00F7\u00DF\u0178\u0160\u0152\u017D \u03B1 <FD>"));
  EXPECT_TRUE(ansi::SameText("c:\\Work\\Demo.vlm", "C:\\WORK\\DEMO.VLM"));
  EXPECT_FALSE(ansi::SameText("abc", "abcd"));
}
