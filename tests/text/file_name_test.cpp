#include "text/file_name.h"

#include <gtest/gtest.h>

namespace {

TEST(FileName, EveryByteSequenceComesBackAndValidUtf8IsItsText) {
  struct Case {
    QByteArray bytes;
    QString text;
  };
  const Case cases[] = {
      {"plain/name.vlm", "plain/name.vlm"},
      {"caf\xC3\xA9 \xF0\x9F\x98\x80", QString::fromUtf8("café 😀")},
      {"caf\xE9", QStringLiteral("caf") + QChar(0xDCE9)},                  // Latin-1 byte
      {"\xC0\xAF", QString(QChar(0xDCC0)) + QChar(0xDCAF)},               // overlong "/"
      {"\xE0\x80\xAF", QString(QChar(0xDCE0)) + QChar(0xDC80) + QChar(0xDCAF)},  // the same
      {"\xED\xB3\xA9", QString(QChar(0xDCED)) + QChar(0xDCB3) + QChar(0xDCA9)},  // surrogate
      {"\xF4\x90\x80\x80", QString(QChar(0xDCF4)) + QChar(0xDC90) + QChar(0xDC80) + QChar(0xDC80)},
      {"\xE2\x82", QString(QChar(0xDCE2)) + QChar(0xDC82)},               // cut short
  };
  for (const Case& c : cases) {
    EXPECT_EQ(filename::FromBytes(c.bytes), c.text) << c.bytes.toHex().constData();
    EXPECT_EQ(filename::ToBytes(c.text), c.bytes) << c.bytes.toHex().constData();
  }
}

}  // namespace
