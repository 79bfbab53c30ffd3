#include "db/connection_history.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QFile>
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

TEST_F(ConnectionHistoryTest, FilesThatCannotBeUsedAreReported) {
  ConnectionHistory missing(Path());
  QString error;
  EXPECT_TRUE(missing.ReadConnectionHistory(&error));
  EXPECT_TRUE(missing.Entries().isEmpty());

  // A FIFO is not read: it could block the dialog.
  const QString fifo = dir.path() + "/fifo.dbh";
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  ConnectionHistory h(fifo);
  EXPECT_FALSE(h.ReadConnectionHistory(&error));
  EXPECT_EQ(error, "ERROR: Database log file " + fifo + " can't be opened. Not a regular file.");
  h.RememberConnection({"ORCL", "SCOTT"});
  EXPECT_FALSE(h.WriteConnectionHistory({"ORCL", "SCOTT"}, -1, &error));
  EXPECT_EQ(error, "ERROR: Database log file " + fifo + " can't be created. Not a regular file.");
}

}  // namespace
