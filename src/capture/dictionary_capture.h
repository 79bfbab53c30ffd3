#pragma once
// Capturing an Oracle database's dictionary into a snapshot file, so that the database can
// be documented later, anywhere, without Oracle: every table of the snapshot schema, read
// from the ALL_ views the logged-on user sees, for the owners asked for.
//
// The snapshot is built in memory and written as a whole (file_replacement.h): a capture
// that fails at any point leaves OUT as it was. Its users are the owners captured; each logs
// on with the snapshot password when one is given, with any password otherwise.

#include <QString>
#include <QStringList>
#include <optional>

#include "classic/build_context.h"

struct CaptureRequest {
  QString server, user, password;  // the Oracle log-on
  int callTimeoutSeconds = 60;     // how long one round trip may wait (0: no limit)
  // Schemas as Oracle stores their names (upper case unless created quoted); none: the
  // user's own.
  QStringList owners;
  // The password the snapshot's users log on with; none: any password is accepted.
  std::optional<QString> snapshotPassword;
};

struct CaptureResult {
  QString error;  // empty when the snapshot is written
  QStringList owners;
  qint64 rows = 0;  // rows written, users included
  bool ok() const { return error.isEmpty(); }
};

// Logs on, reads one view after another and writes the snapshot to `out`. The info text
// names the view being read; each view's step then names it with its count of rows
// ("ALL_TABLES: 2 rows"). An error names what failed: the log-on, the view being
// read, an owner the user cannot see, or the file.
CaptureResult CaptureDictionary(const CaptureRequest& request, const QString& out,
                                BuildProgress& progress);

// "USER/PASSWORD@DATABASE" or "USER@DATABASE" (no password). The database follows the last
// "@" (a password may hold one), the password the first "/" before it (an easy-connect
// database may hold one: scott@host:1521/orcl).
struct ConnectionText {
  QString user;
  std::optional<QString> password;
  QString database;
};
std::optional<ConnectionText> ParseConnection(const QString& text);

// The owners of a comma-separated list as Oracle stores them: upper case, but for a name in
// double quotes, kept as it stands without them (as SQL reads names).
QStringList OwnerNames(const QString& list);
