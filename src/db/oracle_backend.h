#pragma once
// The Oracle backend: OCI through the client library loaded at run time.

#include <QString>
#include <memory>

#include "db/backend.h"

// The client library could not be loaded; `message` names it, the loader's reason and what
// to install.
struct OciLibraryMissing {
  QString message;
};

// A logged-on session that also runs selects of the caller's own: the dictionary capture
// reads ALL_ views that no fixed query reads. Binds are positional (":1", ":2", ...).
class OracleSession : public Backend {
 public:
  virtual std::unique_ptr<BackendCursor> Select(const QString& sql, const QStringList& binds) = 0;
};

// Logs on as `user`/`password` to the connect string `server`. Throws OciLibraryMissing
// when there is no client library, BackendFailure ("ORA-nnnnn: ...") when Oracle refuses.
// Every round trip to the server after the log-on may take at most `callTimeoutSeconds`
// (0: no limit), so a dropped network ends in an error instead of a call that never returns;
// clients older than 18c know no such limit and wait as before.
std::unique_ptr<Backend> OpenOracleBackend(const QString& server, const QString& user,
                                           const QString& password, int callTimeoutSeconds);
std::unique_ptr<OracleSession> OpenOracleSession(const QString& server, const QString& user,
                                                 const QString& password, int callTimeoutSeconds);
