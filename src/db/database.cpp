#include "db/database.h"

#include <algorithm>

#include "db/backend.h"
#include "settings/data_directory.h"

int FindColumn(const QStringList& columns, const QString& name) {
  // Names are asked for as the query writes them, as a rule: that quick match comes first,
  // since a large document looks a column up a million times.
  if (const qsizetype exact = columns.indexOf(name); exact >= 0) return int(exact);
  for (int i = 0; i < columns.size(); ++i)
    if (columns[i].compare(name, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

// --- Query ---

Query::Query(Database& db, QueryId id) : db_(db), id_(id) {
  binds_.resize(QueryTextOf(id).params.size());
  db_.live_.push_back(this);
}

Query::~Query() { std::erase(db_.live_, this); }

void Query::Close() {
  cursor_.reset();
  columns_.clear();
}

void Query::BindText(int position, const QString& value) {
  if (position < 1 || position > binds_.size())
    db_.Fail(QStringLiteral("Query %1 has no parameter %2.")
                 .arg(QLatin1String(QueryTextOf(id_).name))
                 .arg(position));
  binds_[position - 1] = value;
}

void Query::Open() {
  Close();
  if (!db_.Connected()) db_.Fail(QStringLiteral("Not connected to a database."));
  try {
    cursor_ = db_.CurrentBackend()->Execute(id_, binds_);
  } catch (const BackendFailure& failure) {
    db_.Fail(failure.message);
  }
}

bool Query::IsOpen() const { return cursor_ != nullptr; }

bool Query::Eof() const { return !IsOpen() || cursor_->Eof(); }

int Query::Column(const QString& name) const {
  const char* queryName = QueryTextOf(id_).name;
  if (!IsOpen())
    db_.Fail(QStringLiteral("Query %1 is not open.").arg(QLatin1String(queryName)));
  const int column = cursor_->ColumnIndex(name);
  if (column < 0)
    db_.Fail(QStringLiteral("Query %1 has no column %2.")
                 .arg(QLatin1String(queryName), name));
  return column;
}

QString Query::Field(const QString& name) const {
  const int column = Column(name);
  return cursor_->Eof() ? QString() : cursor_->Value(column);
}

QString Query::Field(const char* name) const {
  auto found = std::find_if(columns_.begin(), columns_.end(),
                            [name](const auto& c) { return c.first == name; });
  if (found == columns_.end() || !IsOpen()) {
    columns_.emplace_back(name, Column(QString::fromLatin1(name)));
    found = columns_.end() - 1;
  }
  return cursor_->Eof() ? QString() : cursor_->Value(found->second);
}

void Query::Next() {
  if (Eof()) return;
  try {
    cursor_->Next();
  } catch (const BackendFailure& failure) {
    // The rows after a failed fetch are gone; the query stays closed.
    Close();
    db_.Fail(failure.message);
  }
}

// --- Database ---

Database::Database() : snapshotDirs_{SampleDictionaryDirectory()} {}

Database::~Database() {
  Disconnect();
  for (auto& q : queries_) q.reset();
}

bool Database::Connected() const { return backend_ != nullptr; }

void Database::Connect() {
  Disconnect();
  try {
    backend_ = OpenBackend(serverName_, userName_, password_, snapshotDirs_, callTimeout_);
  } catch (const BackendFailure& failure) {
    Fail(failure.message);
  }
  ++session_;
}

void Database::Disconnect() {
  if (!backend_) return;
  for (Query* q : live_) q->Close();
  backend_.reset();
  ++session_;
}

Query& Database::query(QueryId id) {
  auto& slot = queries_[static_cast<int>(id)];
  if (!slot) slot = std::make_unique<Query>(*this, id);
  return *slot;
}

void Database::SetErrorHandler(ErrorHandler handler) { handler_ = std::move(handler); }

void Database::SetSnapshotDirectories(const QStringList& dirs) { snapshotDirs_ = dirs; }

void Database::Fail(const QString& message) const {
  const QString context = errorContext_ ? errorContext_() : QString();
  const QString named = context.isEmpty() ? message : message + u'\n' + context;
  if (handler_) handler_(named);
  throw DatabaseError(named);
}

Query& RunQuery(Database& db, QueryId id, const QString& bind) {
  Query& q = db.query(id);
  q.Close();
  q.BindText(1, bind);
  q.Open();
  return q;
}

QString FirstRowField(Database& db, QueryId id, const QString& bind, const QString& column) {
  Query& q = RunQuery(db, id, bind);
  const QString value = q.Eof() ? QString() : q.Field(column);
  q.Close();
  return value;
}

void ConnectDatabase(Database& db, const QString& server, const QString& user,
                     const QString& password) {
  db.Disconnect();
  db.SetServerName(server);
  db.SetUserName(user);
  db.SetPassword(password);
  db.Connect();
}

QString SampleDictionaryDirectory() { return DataDirectory() + QStringLiteral("/sample"); }
