#include "pages/memo_box.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QTest>

namespace {

// Every character a text can hold comes back as it went in, line breaks of every form
// among them, and only the user's edit is applied to it.
TEST(MemoBoxTest, GivesBackTheTextItShowsWithOnlyTheUsersEdits) {
  const QString breaks[] = {"\r\n", "\r", "\n", "\n\r", QString(QChar(0x2028)),
                            QString(QChar(0x2029))};
  QString all;
  for (char32_t c = 0; c < 0x10000; ++c) {
    if (QChar::isSurrogate(c)) continue;
    all += QChar(c);
    if (c % 64 == 63) all += breaks[(c / 64) % std::size(breaks)];
  }
  all += QString::fromUcs4(U"\U0001F600");
  MemoBox box;
  box.show();
  box.ShowText(all);
  box.moveCursor(QTextCursor::End);
  QTest::keyClicks(&box, "x");
  EXPECT_EQ(box.Text(), all + "x");

  // A line break the user deletes takes only itself; one the user makes is CR LF.
  box.ShowText("a\rb\nc\r\nd");
  box.moveCursor(QTextCursor::Start);
  box.moveCursor(QTextCursor::Right);
  QTest::keyClick(&box, Qt::Key_Delete);
  EXPECT_EQ(box.Text(), "ab\nc\r\nd");
  box.moveCursor(QTextCursor::End);
  QTest::keyClick(&box, Qt::Key_Return, Qt::ShiftModifier);
  EXPECT_EQ(box.Text(), "ab\nc\r\nd\r\n");
}

// Tab is the keyboard's way out of the box to the next field, not a character of the text.
TEST(MemoBoxTest, TabMovesToTheNextField) {
  QWidget form;
  auto* box = new MemoBox(&form);
  auto* next = new QLineEdit(&form);
  form.show();
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  box->setFocus();
  box->ShowText("text");
  QTest::keyClick(box, Qt::Key_Tab);
  EXPECT_EQ(box->Text(), "text");
  EXPECT_TRUE(next->hasFocus());
}

}  // namespace
