// Feeds arbitrary bytes to the connection history reader and checks what must hold
// whatever the file holds:
// - at most ConnectionHistory::kCapacity pairs, none without a database;
// - written back, the file reads back as the same pairs and the same last connection.

#include "db/connection_history.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  ConnectionHistory history(fuzz::WriteScratch(QStringLiteral("input.dbh"), data, size));
  QString error;
  fuzz::Check(history.ReadConnectionHistory(&error), "a readable history file reads", error);
  fuzz::Check(history.Entries().size() <= ConnectionHistory::kCapacity, "at most the capacity");
  for (const ConnectionEntry& e : history.Entries())
    fuzz::Check(!e.Database.isEmpty(), "every pair names a database", e.UserName);

  history.SetHistoryFile(fuzz::ScratchPath(QStringLiteral("written.dbh")));
  fuzz::Check(history.WriteConnectionHistory(history.LastConnection(), -1, &error),
              "the history is written", error);
  ConnectionHistory again(history.HistoryFile());
  fuzz::Check(again.ReadConnectionHistory(&error), "the written history reads", error);
  fuzz::Check(again.Entries() == history.Entries(), "the same pairs read back");
  fuzz::Check(again.LastConnection() == history.LastConnection(),
              "the same last connection reads back");
  return 0;
}
