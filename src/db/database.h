#pragma once
// The connection to a data dictionary (in the role of OCIDatabase) and its fixed queries:
// the fifteen every document reads, and after them the reads only the modern documents make.
//
// One connection, two backends: a ServerName that names a dictionary snapshot
// (<name>.sqlite in the snapshot directories) opens that SQLite file; any other name goes
// to Oracle through the client library loaded at run time. Both run the same SQL texts.
//
// Snapshots are looked for in the snapshot directories in order; a new Database searches
// the bundled sample directory (SampleDictionaryDirectory()). The Oracle client library is
// libclntsh.so or a versioned name, on the loader's paths, in $ORACLE_HOME or its lib folder
// (oci_library.h); the environment variable VELLUMAR_OCI_LIBRARY names another file to load
// instead (tests use a stub).
//
// Errors: every error of either backend first reaches the error handler (the program shows
// "ERROR: " and the message there) and then fails the operation with DatabaseError carrying
// the same message. Callers at a command's edge catch DatabaseError without showing it
// again.

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

enum class QueryId {
  OCITables, OCIViewNames, OCIProcedures, OCIPackages, OCISequences, OCIRoles,
  OCIComments, OCISynonyms, OCITableFields, OCIPrimaryKeys, OCIForeignKeys, OCIIndexes,
  OCIViews, OCIProctext, OCIPackageText,
  // The modern documents' reads: the dictionary's comment of a table or view, the columns
  // of a table or view with their type parts, default and comment, constraints with their
  // columns and condition, the tables and columns foreign keys reference, index columns
  // with uniqueness and order, the declared arguments of units and package members, the
  // synonyms of a table with their owners, and the subprograms a package declares.
  OCIObjectComment, OCIColumns, OCIConstraints, OCIReferences, OCIIndexColumns,
  OCIUnitArguments, OCIPackageArguments, OCITableSynonyms, OCIPackageMembers,
  // What the hidden columns of a table's descending and function-based indexes stand for;
  // every document reads it (index_expressions.h).
  OCIIndexExpressions,
  // What uses what: every dependency row of a schema's objects, both directions (one read
  // per schema and build), the schema's objects that do not compile, and the triggers on
  // the schema's tables and views (one read per schema and build); the kinds of an object
  // of any owner (what vellumar-build --used-by asks about).
  OCIDependencies, OCIInvalidObjects, OCITriggers, OCIObjectTypes
};
inline constexpr int kQueryCount = 29;

// The fixed SQL text of a query (its lines joined by "\n") and its bind names in order.
struct QueryText {
  const char* name;   // "OCITables"
  const char* sql;
  QStringList params;  // ":P_TABLE_NAME", ...
};
const QueryText& QueryTextOf(QueryId id);

class DatabaseError : public std::runtime_error {
 public:
  explicit DatabaseError(const QString& message)
      : std::runtime_error(message.toStdString()), message_(message) {}
  const QString& Message() const { return message_; }

 private:
  QString message_;
};

class Database;
class Backend;
class BackendCursor;

// One of the fifteen queries, reused for every object it is asked about:
// Close, BindText per parameter, Open, then read while !Eof: Field(...), Next.
// A Query belongs to one Database and must not outlive it; Database::query(id) gives the
// connection's own one of each kind.
class Query {
 public:
  Query(Database& db, QueryId id);
  ~Query();
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;

  QueryId Id() const { return id_; }
  void Close();
  // Binds parameter `position` (counted from 1) as input text.
  void BindText(int position, const QString& value);
  // Runs the query on the current connection and stands on the first row.
  void Open();
  bool IsOpen() const;
  bool Eof() const;
  // The current row's value of a column, found by name without regard to case; NULL reads
  // as "", and so does any column once the query is at its end. A name the query does not
  // have is an error, and so is reading a query that is not open.
  QString Field(const QString& name) const;
  // The same for a name the code spells out: its column is looked up once per opening, as a
  // large document reads a million values.
  QString Field(const char* name) const;
  void Next();

 private:
  // The index of column `name`; an error when the query is not open or has no such column.
  int Column(const QString& name) const;

  Database& db_;
  QueryId id_;
  QStringList binds_;
  std::unique_ptr<BackendCursor> cursor_;
  mutable std::vector<std::pair<const char*, int>> columns_;  // Field(const char*)'s finds
  friend class Database;  // ends the query's rows when the connection closes
};

class Database {
 public:
  using ErrorHandler = std::function<void(const QString& message)>;

  Database();
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Plain properties used by the next Connect.
  const QString& ServerName() const { return serverName_; }
  const QString& UserName() const { return userName_; }
  const QString& Password() const { return password_; }
  void SetServerName(const QString& v) { serverName_ = v; }
  void SetUserName(const QString& v) { userName_ = v; }
  void SetPassword(const QString& v) { password_ = v; }

  bool Connected() const;
  // Connects as UserName/Password to ServerName; on failure stays disconnected, reports
  // through the handler and throws DatabaseError.
  void Connect();
  // Closes the connection and its queries; nothing when not connected.
  void Disconnect();

  Query& query(QueryId id);

  void SetErrorHandler(ErrorHandler handler);
  // What the connection is used for, named on a line after the message of every error
  // until it is cleared (a build names the entry it writes). The text is made only when an
  // error is reported: a build names every one of thousands of entries in turn.
  void SetErrorContext(std::function<QString()> context) { errorContext_ = std::move(context); }
  // Directories searched for <ServerName>.sqlite, in order (the project directory setting,
  // then the bundled sample directory).
  void SetSnapshotDirectories(const QStringList& dirs);
  const QStringList& SnapshotDirectories() const { return snapshotDirs_; }
  // How long one call to an Oracle server may wait for its answer, in seconds (0: no limit);
  // used by the next Connect. A snapshot has bounds of its own.
  void SetCallTimeout(int seconds) { callTimeout_ = seconds; }

  // Reports `message` through the handler and throws DatabaseError: the one error path.
  [[noreturn]] void Fail(const QString& message) const;

  Backend* CurrentBackend() const { return backend_.get(); }
  // Changes at every successful connect and at every disconnect of an open connection.
  quint64 Session() const { return session_; }

 private:
  QString serverName_, userName_, password_;
  QStringList snapshotDirs_;
  int callTimeout_ = 60;
  ErrorHandler handler_;
  std::function<QString()> errorContext_;
  std::unique_ptr<Backend> backend_;
  std::unique_ptr<Query> queries_[kQueryCount];
  std::vector<Query*> live_;  // every Query on this connection, closed by Disconnect
  quint64 session_ = 1;
  friend class Query;
};

// The directory of the bundled sample dictionary (demo.sqlite and its neighbours) and the
// sample project: "sample" in the program's shared data (DataDirectory()).
QString SampleDictionaryDirectory();

// Runs a query with one bind value and stands on its first row; the caller reads and closes.
Query& RunQuery(Database& db, QueryId id, const QString& bind);

// Runs a query with one bind value and returns one column of its first row ("" when it
// returns no row), closing it again.
QString FirstRowField(Database& db, QueryId id, const QString& bind, const QString& column);

// Disconnects, sets the three properties and connects.
void ConnectDatabase(Database& db, const QString& server, const QString& user,
                     const QString& password);
