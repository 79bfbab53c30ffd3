#include "db/connection_history.h"

#include "text/input_file.h"
#include "text/line_file.h"

namespace {

const QString kPrevious = QStringLiteral("[PREVIOUS]");
const QString kLast = QStringLiteral("[LAST]");

// "DATABASE;USER;": the text before the first ";" and the text up to the second; a hand-
// edited line without the closing ";" gives the rest of the line as the user name.
ConnectionEntry ParseRecord(const QString& line) {
  const int first = line.indexOf(';');
  if (first < 0) return {line, {}};
  const int second = line.indexOf(';', first + 1);
  return {line.left(first),
          second < 0 ? line.mid(first + 1) : line.mid(first + 1, second - first - 1)};
}

QString Record(const ConnectionEntry& e) { return e.Database + ';' + e.UserName + ';'; }

}  // namespace

void ConnectionHistory::ClearConnectionHistory() {
  entries_.clear();
  last_ = {};
}

bool ConnectionHistory::ReadConnectionHistory(QString* error) {
  const linefile::ReadResult file = linefile::Read(path_);
  if (file.missing) return true;
  if (!file.ok) {
    if (error)
      *error = inputfile::WithReason(
          QStringLiteral("ERROR: Database log file %1 can't be opened.").arg(path_), file.error);
    return false;
  }
  enum class Mode { Ignore, Entries, EntriesEnded, Last } mode = Mode::Ignore;
  for (const QString& line : file.lines) {
    if (line == kPrevious) {
      mode = Mode::Entries;
    } else if (line == kLast) {
      mode = Mode::Last;
    } else if (mode == Mode::Entries) {
      const ConnectionEntry entry = ParseRecord(line);
      if (entry.Database.isEmpty()) {
        mode = Mode::EntriesEnded;  // an empty database ends the list
      } else {
        entries_.append(entry);
        // A hand-made file longer than the table keeps its newest pairs, as remembering does.
        if (entries_.size() > kCapacity) entries_.removeFirst();
      }
    } else if (mode == Mode::Last) {
      last_ = ParseRecord(line);
      mode = Mode::Ignore;
    }
  }
  return true;
}

void ConnectionHistory::RememberConnection(const ConnectionEntry& entry) {
  if (entry.Database.isEmpty() || entries_.contains(entry)) return;
  if (entries_.size() >= kCapacity) entries_.removeFirst();
  entries_.append(entry);
}

bool ConnectionHistory::WriteConnectionHistory(const ConnectionEntry& last, int leaveOut,
                                               QString* error) const {
  QStringList lines{kPrevious};
  for (int i = 0; i < entries_.size(); ++i)
    if (i != leaveOut) lines << Record(entries_[i]);
  lines << kLast << Record(last);
  QString reason;
  if (linefile::Write(path_, lines, &reason)) return true;
  if (error)
    *error = inputfile::WithReason(
        QStringLiteral("ERROR: Database log file %1 can't be created.").arg(path_), reason);
  return false;
}
