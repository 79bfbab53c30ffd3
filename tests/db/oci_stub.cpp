// A stand-in for the Oracle client library: the OCI entry points the Oracle backend uses,
// answering from a script (oci_stub.h). Handles are small structs; errors carry Oracle's
// texts.

#include "oci_stub.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <optional>
#include <string>
#include <vector>

namespace {

using sword = int;
using ub2 = std::uint16_t;
using sb2 = std::int16_t;
using ub4 = std::uint32_t;
using sb4 = std::int32_t;

struct Result {
  std::string sqlPart;
  std::vector<std::string> names;
  std::vector<int> types;
  std::vector<std::vector<std::optional<std::string>>> rows;
  int loseAt = -1;
  int silentAt = -1;
};

struct Script {
  std::string user, password, database;
  std::deque<Result> results;
  int sessions = 0;
  std::vector<std::optional<std::string>> lastBinds;
  std::string lastSql;
  long callTimeout = -1;
} g;

struct Error {
  int code = 0;
  std::string text;
};
struct Session {
  bool lost = false;
  long callTimeout = -1;
};
struct Define {
  void* value;
  sb4 size;
  ub2 type;
  sb2* indicator;
  ub2* length;
  ub2* code;
};
struct Stmt {
  Session* session;
  std::string sql;
  const Result* result = nullptr;
  std::vector<std::optional<std::string>> binds;
  std::vector<Define> defines;
  size_t next = 0;
};
struct Param {
  const Result* result;
  int column;
};

sword Fail(void* err, int code, const std::string& text) {
  auto* e = static_cast<Error*>(err);
  e->code = code;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "ORA-%05d: ", code);
  e->text = buffer + text + "\n";
  return -1;
}

}  // namespace

extern "C" {

void stub_reset() { g = Script{}; }
void stub_set_logon(const char* user, const char* password, const char* database) {
  g.user = user;
  g.password = password;
  g.database = database;
}
void stub_add_result(const char* sql_part, int columns, const char* const* names,
                     const int* types) {
  Result r;
  r.sqlPart = sql_part;
  for (int i = 0; i < columns; ++i) {
    r.names.emplace_back(names[i]);
    r.types.push_back(types[i]);
  }
  g.results.push_back(r);
}
void stub_add_row(const char* const* cells) {
  Result& r = g.results.back();
  std::vector<std::optional<std::string>> row;
  for (size_t i = 0; i < r.names.size(); ++i)
    row.push_back(cells[i] ? std::optional<std::string>(cells[i]) : std::nullopt);
  r.rows.push_back(row);
}
void stub_lose_connection_at(int row) { g.results.back().loseAt = row; }
void stub_stop_answering_at(int row) { g.results.back().silentAt = row; }
long stub_call_timeout() { return g.callTimeout; }
int stub_open_sessions() { return g.sessions; }
const char* stub_last_bind(int position) {
  const auto& b = g.lastBinds.at(position - 1);
  return b ? b->c_str() : nullptr;
}
const char* stub_last_sql() { return g.lastSql.c_str(); }

// --- the OCI entry points ---

sword OCIEnvNlsCreate(void** envp, ub4, void*, void*, void*, void*, size_t, void**, ub2 charset,
                      ub2 ncharset) {
  if (charset != 873 || ncharset != 873) return -1;  // the backend must ask for AL32UTF8
  *envp = new Error;
  return 0;
}
sword OCIHandleAlloc(const void*, void** hndlpp, ub4 type, size_t, void**) {
  if (type != 2) return -2;
  *hndlpp = new Error;
  return 0;
}
sword OCIHandleFree(void* hndlp, ub4 type) {
  if (type == 1 || type == 2) delete static_cast<Error*>(hndlp);
  return 0;
}
sword OCIDescriptorFree(void* descp, ub4) {
  delete static_cast<Param*>(descp);
  return 0;
}
sword OCILogon2(void*, void* err, void** svchp, const unsigned char* user, ub4 userLen,
                const unsigned char* password, ub4 passwordLen, const unsigned char* db, ub4 dbLen,
                ub4) {
  if (std::string(reinterpret_cast<const char*>(db), dbLen) != g.database)
    return Fail(err, 12154, "TNS:could not resolve the connect identifier specified");
  if (std::string(reinterpret_cast<const char*>(user), userLen) != g.user ||
      std::string(reinterpret_cast<const char*>(password), passwordLen) != g.password)
    return Fail(err, 1017, "invalid username/password; logon denied");
  *svchp = new Session;
  ++g.sessions;
  return 0;
}
sword OCILogoff(void* svchp, void* err) {
  auto* s = static_cast<Session*>(svchp);
  const bool lost = s->lost;
  delete s;
  --g.sessions;
  return lost ? Fail(err, 3114, "not connected to ORACLE") : 0;
}
sword OCIStmtPrepare2(void* svchp, void** stmtp, void*, const unsigned char* text, ub4 len,
                      const unsigned char*, ub4, ub4, ub4) {
  auto* st = new Stmt;
  st->session = static_cast<Session*>(svchp);
  st->sql.assign(reinterpret_cast<const char*>(text), len);
  *stmtp = st;
  return 0;
}
sword OCIStmtRelease(void* stmtp, void*, const unsigned char*, ub4, ub4) {
  delete static_cast<Stmt*>(stmtp);
  return 0;
}
sword OCIBindByPos(void* stmtp, void** bindp, void*, ub4 position, void* valuep, sb4 value_sz, ub2,
                   void* indp, ub2*, ub2*, ub4, ub4*, ub4) {
  auto* st = static_cast<Stmt*>(stmtp);
  if (st->binds.size() < position) st->binds.resize(position);
  const bool isNull = indp && *static_cast<sb2*>(indp) == -1;
  st->binds[position - 1] =
      isNull ? std::nullopt
             : std::optional<std::string>(std::string(static_cast<char*>(valuep), value_sz));
  *bindp = &st->binds[position - 1];
  return 0;
}
sword OCIStmtExecute(void*, void* stmtp, void* err, ub4, ub4, const void*, void*, ub4) {
  auto* st = static_cast<Stmt*>(stmtp);
  if (st->session->lost) return Fail(err, 3114, "not connected to ORACLE");
  g.lastBinds = st->binds;
  g.lastSql = st->sql;
  st->result = nullptr;
  for (const Result& r : g.results)
    if (st->sql.find(r.sqlPart) != std::string::npos) st->result = &r;
  if (!st->result) return Fail(err, 942, "table or view does not exist");
  st->next = 0;
  return 0;
}
sword OCIDefineByPos(void* stmtp, void** defnpp, void*, ub4 position, void* valuep, sb4 value_sz,
                     ub2 dty, void* indp, ub2* rlenp, ub2* rcodep, ub4) {
  auto* st = static_cast<Stmt*>(stmtp);
  if (st->defines.size() < position) st->defines.resize(position);
  st->defines[position - 1] = {valuep, value_sz, dty, static_cast<sb2*>(indp), rlenp, rcodep};
  *defnpp = &st->defines[position - 1];
  return 0;
}
sword OCIStmtFetch2(void* stmtp, void* err, ub4, ub2, sb4, ub4) {
  auto* st = static_cast<Stmt*>(stmtp);
  if (st->session->lost) return Fail(err, 3114, "not connected to ORACLE");
  const Result& r = *st->result;
  if (static_cast<int>(st->next) == r.loseAt) {
    st->session->lost = true;
    return Fail(err, 3113, "end-of-file on communication channel");
  }
  if (static_cast<int>(st->next) == r.silentAt) {
    st->session->lost = true;
    return st->session->callTimeout > 0 ? Fail(err, 3156, "OCI call timed out")
                                        : Fail(err, 3113, "end-of-file on communication channel");
  }
  if (st->next >= r.rows.size()) return 100;
  sword status = 0;
  const auto& row = r.rows[st->next++];
  for (size_t c = 0; c < row.size() && c < st->defines.size(); ++c) {
    const Define& d = st->defines[c];
    if (!row[c]) {
      *d.indicator = -1;
      continue;
    }
    const std::string& v = *row[c];
    const bool isLong = d.type == 94;
    const size_t room = isLong ? d.size - sizeof(sb4) : d.size;
    const size_t n = std::min(v.size(), room);
    std::memcpy(static_cast<char*>(d.value) + (isLong ? sizeof(sb4) : 0), v.data(), n);
    if (isLong) {
      const sb4 stored = static_cast<sb4>(n);
      std::memcpy(d.value, &stored, sizeof stored);
    } else {
      *d.length = static_cast<ub2>(n);
    }
    const bool cut = n < v.size();
    *d.indicator = !cut ? 0 : v.size() > 32767 ? -2 : static_cast<sb2>(v.size());
    *d.code = cut ? 1406 : 0;
    if (cut) status = 1;  // a warning, with the row delivered
  }
  return status;
}
sword OCIAttrSet(void* trgthndlp, ub4 type, void* attributep, ub4, ub4 attr, void*) {
  if (type == 3 && attr == 531) {  // the service context's call timeout
    auto* session = static_cast<Session*>(trgthndlp);
    session->callTimeout = g.callTimeout = *static_cast<ub4*>(attributep);
  }
  return 0;
}
sword OCIAttrGet(const void* hndlp, ub4 type, void* attributep, ub4* sizep, ub4 attr, void*) {
  if (type == 4 && attr == 18) {
    *static_cast<ub4*>(attributep) =
        static_cast<ub4>(static_cast<const Stmt*>(hndlp)->result->names.size());
    return 0;
  }
  const auto* p = static_cast<const Param*>(hndlp);
  switch (attr) {
    case 4: {  // name
      const std::string& name = p->result->names[p->column];
      *static_cast<const char**>(attributep) = name.c_str();
      *sizep = static_cast<ub4>(name.size());
      return 0;
    }
    case 2:  // type
      *static_cast<ub2*>(attributep) = static_cast<ub2>(p->result->types[p->column]);
      return 0;
    case 1:  // size in bytes
      *static_cast<ub2*>(attributep) = p->result->types[p->column] == 8 ? 0 : 4000;
      return 0;
  }
  return -1;
}
sword OCIParamGet(const void* hndlp, ub4, void* err, void** parmdpp, ub4 pos) {
  const auto* st = static_cast<const Stmt*>(hndlp);
  if (pos < 1 || pos > st->result->names.size())
    return Fail(err, 24334, "no descriptor for this position");
  *parmdpp = new Param{st->result, static_cast<int>(pos) - 1};
  return 0;
}
sword OCIErrorGet(void* hndlp, ub4, unsigned char*, sb4* errcodep, unsigned char* bufp, ub4 bufsiz,
                  ub4) {
  const auto* e = static_cast<const Error*>(hndlp);
  if (e->text.empty()) return 100;
  *errcodep = e->code;
  std::snprintf(reinterpret_cast<char*>(bufp), bufsiz, "%s", e->text.c_str());
  return 0;
}
}
