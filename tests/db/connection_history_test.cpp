#include "db/connection_history.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "support/test_env.h"

namespace {

class ConnectionHistoryTest : public ::testing::Test {
 protected:
  QString Path() const { return dir.path() + "/connections.dbh"; }
  QTemporaryDir dir;
};

// The record with an empty database ends the list; "B;V" takes the rest of the line.
TEST_F(ConnectionHistoryTest, AHandEditedFileIsReadAsFarAsItMakesSense) {
  testenv::WriteBytes(Path(), "junk before\n[previous]\n[PREVIOUS]\nA;U;extra;\nB;V\n;X;\nC;W;\n"
                              "[LAST]\nB;V;\nignored;line;\n");
  ConnectionHistory h(Path());
  ASSERT_TRUE(h.ReadConnectionHistory(nullptr));
  EXPECT_EQ(h.Entries(), (QList<ConnectionEntry>{{"A", "U"}, {"B", "V"}}));
  EXPECT_EQ(h.LastConnection(), (ConnectionEntry{"B", "V"}));
  h.RememberConnection({"b", "v"});  // pairs compare exactly
  h.RememberConnection({"B", "U"});
  EXPECT_EQ(h.Entries().size(), 4);
}

TEST_F(ConnectionHistoryTest, TheTableKeepsTheNewestThousand) {
  QByteArray file = "[PREVIOUS]\r\n";
  for (int i = 1; i <= 1003; ++i) file += "DB" + QByteArray::number(i) + ";U;\r\n";
  testenv::WriteBytes(Path(), file);
  ConnectionHistory h(Path());
  ASSERT_TRUE(h.ReadConnectionHistory(nullptr));
  ASSERT_EQ(h.Entries().size(), ConnectionHistory::kCapacity);
  EXPECT_EQ(h.Entries().first().Database, "DB4");
  h.RememberConnection({"NEW", "U"});
  ASSERT_EQ(h.Entries().size(), ConnectionHistory::kCapacity);
  EXPECT_EQ(h.Entries().first().Database, "DB5");
  EXPECT_EQ(h.Entries().last().Database, "NEW");
}

}  // namespace
