#include "db/oracle_backend.h"

#include <QByteArray>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cstring>
#include <deque>
#include <vector>

#include "db/oci_library.h"

using namespace oci;

namespace {

// View text (a LONG) is read up to this many bytes; a longer text is cut and says so.
constexpr sb4 kLongLimit = 1 << 20;
constexpr ub4 kPrefetchRows = 200;
constexpr ub2 kTruncated = 1406;  // ORA-01406: fetched column value was truncated
constexpr sb4 kCallTimedOut = 3156;  // ORA-03156: OCI call timed out

const QString kCutNote =
    QStringLiteral("\n-- [view text cut: only its first 1 MiB (1048576 bytes) is shown]");

// The output buffer of one select-list column.
struct ColumnBuffer {
  bool isLong = false;
  std::vector<char> data;
  sb2 indicator = 0;
  ub2 length = 0;
  ub2 returnCode = 0;
};

// One prepared query: its handle, column names and buffers, defined once. A cursor
// reading it holds it busy.
struct PreparedQuery {
  OCIStmt* stmt = nullptr;
  bool described = false;
  QStringList columns;
  std::vector<ColumnBuffer> buffers;
  bool busy = false;
};

// The logged-on session; shared with the open cursors so none reads freed handles.
struct OciSession {
  std::shared_ptr<const OciLibrary> api;
  OCIEnv* env = nullptr;
  OCIError* err = nullptr;
  OCISvcCtx* svc = nullptr;
  int callTimeout = 0;  // seconds
  // Each query is prepared once and reused; a second one is prepared only while two
  // queries of the same kind are open at once.
  std::array<std::deque<PreparedQuery>, kQueryCount> queries;
  std::deque<PreparedQuery> selects;  // the callers' own statements, each run once


  ~OciSession() {
    for (auto& list : queries)
      for (PreparedQuery& q : list)
        if (q.stmt) api->StmtRelease(q.stmt, err, nullptr, 0, OCI_DEFAULT);
    for (PreparedQuery& q : selects)
      if (q.stmt) api->StmtRelease(q.stmt, err, nullptr, 0, OCI_DEFAULT);
    // A session that the server has dropped cannot log off cleanly; its handles are
    // freed all the same.
    if (svc) api->Logoff(svc, err);
    if (err) api->HandleFree(err, OCI_HTYPE_ERROR);
    if (env) api->HandleFree(env, OCI_HTYPE_ENV);
  }

  // The "ORA-nnnnn: ..." text of a failed call.
  QString ErrorText(sword status, void* handle, ub4 type) const {
    if (status == OCI_INVALID_HANDLE) return QStringLiteral("OCI: invalid handle");
    std::array<OraText, 3072> buffer{};
    sb4 code = 0;
    if (!handle || api->ErrorGet(handle, 1, nullptr, &code, buffer.data(),
                                 static_cast<ub4>(buffer.size()), type) != OCI_SUCCESS)
      return QStringLiteral("OCI call failed with status %1").arg(status);
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(buffer.data())).trimmed();
    if (code != kCallTimedOut) return text;
    return text + QStringLiteral("\nThe database did not answer within %1 seconds (the call "
                                 "timeout of the options): the network or the server may be "
                                 "down. Log on again when it answers.")
                      .arg(callTimeout);
  }

  // Warnings (OCI_SUCCESS_WITH_INFO) are not errors.
  void Check(sword status) const {
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO)
      throw BackendFailure{ErrorText(status, err, OCI_HTYPE_ERROR)};
  }
};

// Text of UTF-8 bytes cut at a byte limit: drops a character the cut split in two.
QString FromCutUtf8(const char* data, int size) {
  int end = size;
  int back = 0;
  while (back < 3 && end - back > 0 &&
         (static_cast<unsigned char>(data[end - back - 1]) & 0xC0) == 0x80)
    ++back;
  if (end - back > 0) {
    const auto lead = static_cast<unsigned char>(data[end - back - 1]);
    const int need = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : 0;
    if (need > back) end -= back + 1;
  }
  return QString::fromUtf8(data, end);
}

class OracleCursor : public BackendCursor {
 public:
  OracleCursor(std::shared_ptr<OciSession> session, PreparedQuery& query)
      : session_(std::move(session)), query_(query) {
    query_.busy = true;
  }
  ~OracleCursor() override { query_.busy = false; }
  // Fetches the first row.
  void Start() { Fetch(); }

  bool Eof() const override { return eof_; }
  int ColumnIndex(const QString& name) const override { return FindColumn(query_.columns, name); }
  QString Value(int column) const override {
    if (eof_) return {};
    const ColumnBuffer& b = query_.buffers[column];
    if (b.indicator == -1) return {};
    if (!b.isLong) return QString::fromUtf8(b.data.data(), b.length);
    sb4 size = 0;
    std::memcpy(&size, b.data.data(), sizeof size);
    size = std::clamp<sb4>(size, 0, kLongLimit);
    const bool cut = b.returnCode == kTruncated || b.indicator == -2 || b.indicator > size;
    return cut ? FromCutUtf8(b.data.data() + sizeof size, size) + kCutNote
               : QString::fromUtf8(b.data.data() + sizeof size, size);
  }
  void Next() override {
    if (!eof_) Fetch();
  }

 private:
  void Fetch() {
    const sword status =
        session_->api->StmtFetch2(query_.stmt, session_->err, 1, OCI_FETCH_NEXT, 0, OCI_DEFAULT);
    if (status == OCI_NO_DATA) {
      eof_ = true;
      return;
    }
    if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
      eof_ = true;
      session_->Check(status);
    }
  }

  std::shared_ptr<OciSession> session_;
  PreparedQuery& query_;
  bool eof_ = false;
};

class OracleBackend : public OracleSession {
 public:
  explicit OracleBackend(std::shared_ptr<OciSession> session) : session_(std::move(session)) {}

  std::unique_ptr<BackendCursor> Execute(QueryId id, const QStringList& binds) override {
    return Run(Free(id), QueryTextOf(id).sql, binds);
  }

  std::unique_ptr<BackendCursor> Select(const QString& sql, const QStringList& binds) override {
    return Run(session_->selects.emplace_back(), sql.toUtf8(), binds);
  }

 private:
  // Prepares `q` with `sql` the first time, binds and executes it, and stands on the
  // first row.
  std::unique_ptr<BackendCursor> Run(PreparedQuery& q, const QByteArray& sql,
                                     const QStringList& binds) {
    OciSession& s = *session_;
    const OciLibrary& api = *s.api;
    if (!q.stmt) {
      s.Check(api.StmtPrepare2(s.svc, &q.stmt, s.err,
                               reinterpret_cast<const OraText*>(sql.constData()),
                               static_cast<ub4>(sql.size()), nullptr, 0, OCI_NTV_SYNTAX,
                               OCI_DEFAULT));
      ub4 prefetch = kPrefetchRows;
      s.Check(api.AttrSet(q.stmt, OCI_HTYPE_STMT, &prefetch, 0, OCI_ATTR_PREFETCH_ROWS, s.err));
    }
    // The bound texts live until the execution, which copies them.
    std::vector<QByteArray> values(binds.size());
    std::vector<sb2> indicators(binds.size());
    for (int i = 0; i < binds.size(); ++i) {
      values[i] = binds[i].toUtf8();
      indicators[i] = binds[i].isEmpty() ? -1 : 0;  // Oracle has no empty text
      OCIBind* bind = nullptr;
      s.Check(api.BindByPos(q.stmt, &bind, s.err, static_cast<ub4>(i + 1), values[i].data(),
                            static_cast<sb4>(values[i].size()), SQLT_CHR, &indicators[i], nullptr,
                            nullptr, 0, nullptr, OCI_DEFAULT));
    }
    s.Check(api.StmtExecute(s.svc, q.stmt, s.err, 0, 0, nullptr, nullptr, OCI_DEFAULT));
    if (!q.described) Describe(q);
    auto cursor = std::make_unique<OracleCursor>(session_, q);
    cursor->Start();
    return cursor;
  }

  PreparedQuery& Free(QueryId id) {
    auto& list = session_->queries[static_cast<int>(id)];
    for (PreparedQuery& q : list)
      if (!q.busy) return q;
    return list.emplace_back();
  }

  // Reads the select list once per connection and defines a text buffer per column.
  void Describe(PreparedQuery& q) {
    OciSession& s = *session_;
    const OciLibrary& api = *s.api;
    ub4 count = 0;
    s.Check(api.AttrGet(q.stmt, OCI_HTYPE_STMT, &count, nullptr, OCI_ATTR_PARAM_COUNT, s.err));
    QStringList columns;
    std::vector<ColumnBuffer> buffers(count);
    for (ub4 pos = 1; pos <= count; ++pos) {
      void* param = nullptr;
      s.Check(api.ParamGet(q.stmt, OCI_HTYPE_STMT, s.err, &param, pos));
      OraText* name = nullptr;
      ub4 nameLength = 0;
      ub2 type = 0, size = 0;
      const sword a = api.AttrGet(param, OCI_DTYPE_PARAM, &name, &nameLength, OCI_ATTR_NAME, s.err);
      const sword b =
          api.AttrGet(param, OCI_DTYPE_PARAM, &type, nullptr, OCI_ATTR_DATA_TYPE, s.err);
      const sword c =
          api.AttrGet(param, OCI_DTYPE_PARAM, &size, nullptr, OCI_ATTR_DATA_SIZE, s.err);
      if (a == OCI_SUCCESS)
        columns << QString::fromUtf8(reinterpret_cast<const char*>(name),
                                     static_cast<int>(nameLength));
      api.DescriptorFree(param, OCI_DTYPE_PARAM);
      s.Check(a);
      s.Check(b);
      s.Check(c);
      ColumnBuffer& buffer = buffers[pos - 1];
      buffer.isLong = type == SQLT_LNG;
      // Text converted to UTF-8 may take up to four bytes per byte of the column.
      const int bytes =
          buffer.isLong ? int(sizeof(sb4)) + kLongLimit : std::clamp(int(size) * 4 + 8, 64, 65535);
      buffer.data.resize(bytes);
    }
    q.columns = columns;
    q.buffers = std::move(buffers);
    // The defines point into q.buffers, which stays where it is from here on.
    for (ub4 pos = 1; pos <= count; ++pos) {
      ColumnBuffer& buffer = q.buffers[pos - 1];
      OCIDefine* define = nullptr;
      s.Check(api.DefineByPos(q.stmt, &define, s.err, pos, buffer.data.data(),
                              static_cast<sb4>(buffer.data.size()),
                              buffer.isLong ? SQLT_LVC : SQLT_CHR, &buffer.indicator,
                              &buffer.length, &buffer.returnCode, OCI_DEFAULT));
    }
    q.described = true;
  }

  std::shared_ptr<OciSession> session_;
};

}  // namespace

std::unique_ptr<OracleSession> OpenOracleSession(const QString& server, const QString& user,
                                                 const QString& password, int callTimeoutSeconds) {
  auto session = std::make_shared<OciSession>();
  session->callTimeout = callTimeoutSeconds;
  session->api = OciLibrary::Load();
  const OciLibrary& api = *session->api;
  const sword created = api.EnvNlsCreate(&session->env, OCI_THREADED, nullptr, nullptr, nullptr,
                                         nullptr, 0, nullptr, AL32UTF8, AL32UTF8);
  if (created != OCI_SUCCESS && created != OCI_SUCCESS_WITH_INFO)
    throw BackendFailure{session->env
                             ? session->ErrorText(created, session->env, OCI_HTYPE_ENV)
                             : QStringLiteral("The Oracle client could not start (OCIEnvNlsCreate "
                                              "failed with status %1).")
                                   .arg(created)};
  session->Check(api.HandleAlloc(session->env, reinterpret_cast<void**>(&session->err),
                                 OCI_HTYPE_ERROR, 0, nullptr));
  const QByteArray u = user.toUtf8(), p = password.toUtf8(), d = server.toUtf8();
  const sword status = api.Logon2(
      session->env, session->err, &session->svc, reinterpret_cast<const OraText*>(u.constData()),
      ub4(u.size()), reinterpret_cast<const OraText*>(p.constData()), ub4(p.size()),
      reinterpret_cast<const OraText*>(d.constData()), ub4(d.size()), OCI_DEFAULT);
  if (status != OCI_SUCCESS && status != OCI_SUCCESS_WITH_INFO) {
    session->svc = nullptr;
    session->Check(status);
  }
  // A client older than 18c refuses the attribute; it then waits as it always did.
  ub4 milliseconds = static_cast<ub4>(callTimeoutSeconds) * 1000;
  api.AttrSet(session->svc, OCI_HTYPE_SVCCTX, &milliseconds, 0, OCI_ATTR_CALL_TIMEOUT,
              session->err);
  return std::make_unique<OracleBackend>(std::move(session));
}

std::unique_ptr<Backend> OpenOracleBackend(const QString& server, const QString& user,
                                           const QString& password, int callTimeoutSeconds) {
  return OpenOracleSession(server, user, password, callTimeoutSeconds);
}
