#include "db/connection_history.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "support/test_env.h"

namespace {

class ConnectionHistoryTest : public ::testing::Test {
 protected:
  QString Path() const { return dir.path() + "/connections.dbh"; }
  // Remembers the pair and writes it as the last connection, as a successful login does.
  void LogIn(ConnectionHistory& h, const QString& database, const QString& user) {
    h.ClearConnectionHistory();
    ASSERT_TRUE(h.ReadConnectionHistory(nullptr));
    h.RememberConnection({database, user});
    ASSERT_TRUE(h.WriteConnectionHistory({database, user}, -1, nullptr));
  }
  QTemporaryDir dir;
};

TEST_F(ConnectionHistoryTest, LoginsBuildTheFile) {
  ConnectionHistory h(Path());
  LogIn(h, "ORCL", "SCOTT");
  EXPECT_EQ(testenv::ReadBytes(Path()), "[PREVIOUS]\r\nORCL;SCOTT;\r\n[LAST]\r\nORCL;SCOTT;\r\n");
  LogIn(h, "TEST", "HR");
  LogIn(h, "ORCL", "SCOTT");  // known pair: no second entry, new last
  LogIn(h, "TEST", "SCOTT");  // same user on another database is another pair
  EXPECT_EQ(testenv::ReadBytes(Path()),
            "[PREVIOUS]\r\nORCL;SCOTT;\r\nTEST;HR;\r\nTEST;SCOTT;\r\n[LAST]\r\nTEST;SCOTT;\r\n");

  ConnectionHistory again(Path());
  ASSERT_TRUE(again.ReadConnectionHistory(nullptr));
  EXPECT_EQ(again.Entries().size(), 3);
  EXPECT_EQ(again.LastConnection(), (ConnectionEntry{"TEST", "SCOTT"}));
  again.RememberConnection({"test", "scott"});  // comparison is exact
  EXPECT_EQ(again.Entries().size(), 4);
}

// The record with an empty database ends the list; "B;V" takes the rest of the line.
TEST_F(ConnectionHistoryTest, AHandEditedFileIsReadAsFarAsItMakesSense) {
  testenv::WriteBytes(Path(), "junk before\n[previous]\n[PREVIOUS]\nA;U;extra;\nB;V\n;X;\nC;W;\n"
                              "[LAST]\nB;V;\nignored;line;\n");
  ConnectionHistory h(Path());
  ASSERT_TRUE(h.ReadConnectionHistory(nullptr));
  EXPECT_EQ(h.Entries(), (QList<ConnectionEntry>{{"A", "U"}, {"B", "V"}}));
  EXPECT_EQ(h.LastConnection(), (ConnectionEntry{"B", "V"}));
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

  // Neither is read: a FIFO could block the dialog, a directory is no file.
  const QString folder = dir.path() + "/folder.dbh";
  const QString fifo = dir.path() + "/fifo.dbh";
  ASSERT_TRUE(QDir().mkpath(folder));
  ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
  for (const auto& [path, reason] :
       {std::pair{folder, "Is a directory"}, std::pair{fifo, "Not a regular file"}}) {
    ConnectionHistory h(path);
    EXPECT_FALSE(h.ReadConnectionHistory(&error));
    EXPECT_EQ(error, "ERROR: Database log file " + path + " can't be opened. " + reason + ".");
    h.RememberConnection({"ORCL", "SCOTT"});
    EXPECT_FALSE(h.WriteConnectionHistory({"ORCL", "SCOTT"}, -1, &error));
    EXPECT_EQ(error, "ERROR: Database log file " + path + " can't be created. " + reason + ".");
  }
}

}  // namespace
