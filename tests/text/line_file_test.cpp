#include "text/line_file.h"

#include <gtest/gtest.h>

namespace {

TEST(LineFile, LinesKeepWhatTheCodePageCannotSpell) {
  struct Case {
    QString text;
    QByteArray line;
  };
  const Case cases[] = {
      {"/p/a.vlm", "/p/a.vlm"},
      {QString::fromUtf8("/p/café €.vlm"), "/p/caf\xE9 \x80.vlm"},           // Windows-1252
      {QString::fromUtf8("/p/Ω.vlm"), "/p/\xCE\xA9.vlm"},                      // UTF-8
      {QString::fromUtf8("/p/Ã©.vlm"), "/p/\xC3\x83\xC2\xA9.vlm"},           // 1252 would pass for UTF-8
      {QStringLiteral("/p/caf") + QChar(0xDCE9), "/p/caf\xED\xB3\xA9"},      // a file-name byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(linefile::EncodeLine(c.text), c.line) << c.line.constData();
    EXPECT_EQ(linefile::DecodeLine(c.line), c.text) << c.line.constData();
  }
  // Bytes that are not UTF-8 are Windows-1252, as older files hold them.
  EXPECT_EQ(linefile::DecodeLine("\xC3\xA9\xE9"), QString::fromUtf8("Ã©é"));
}

}  // namespace
