#include "db/oracle_functions.h"

#include <sqlite3.h>

#include <cstring>
#include <string>

namespace {

bool IsNullText(sqlite3_value* v) {
  return sqlite3_value_type(v) == SQLITE_NULL ||
         (sqlite3_value_type(v) == SQLITE_TEXT && sqlite3_value_bytes(v) == 0);
}

bool IsNumber(sqlite3_value* v) {
  const int t = sqlite3_value_type(v);
  return t == SQLITE_INTEGER || t == SQLITE_FLOAT;
}

bool SameValue(sqlite3_value* a, sqlite3_value* b) {
  const bool nullA = IsNullText(a), nullB = IsNullText(b);
  if (nullA || nullB) return nullA && nullB;
  if (IsNumber(a) && IsNumber(b)) return sqlite3_value_double(a) == sqlite3_value_double(b);
  const unsigned char* ta = sqlite3_value_text(a);
  const int n = sqlite3_value_bytes(a);
  const unsigned char* tb = sqlite3_value_text(b);
  const int m = sqlite3_value_bytes(b);
  return n == m && std::char_traits<char>::compare(reinterpret_cast<const char*>(ta),
                                                   reinterpret_cast<const char*>(tb), n) == 0;
}

// Counts characters, not bytes: a UTF-8 continuation byte starts no character. The result
// is allocated by SQLite, so it counts against SQLite's heap limit and fails as SQLite does.
void Rpad(sqlite3_context* ctx, int, sqlite3_value** argv) {
  if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
    sqlite3_result_null(ctx);
    return;
  }
  const sqlite3_int64 width = sqlite3_value_int64(argv[1]);
  if (width < 1) {
    // Oracle's NULL here is its empty text, which its || passes over; SQLite's || would
    // turn a whole name padded with rpad(' ', 0) into NULL.
    sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
    return;
  }
  const char* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
  const int bytes = sqlite3_value_bytes(argv[0]);
  if (!text) {
    sqlite3_result_error_nomem(ctx);
    return;
  }
  sqlite3_int64 chars = 0;
  int kept = 0;
  for (; kept < bytes; ++kept) {
    if ((static_cast<unsigned char>(text[kept]) & 0xC0) != 0x80) {
      if (chars == width) break;
      ++chars;
    }
  }
  const sqlite3_int64 size = kept + (width - chars);
  if (size > sqlite3_limit(sqlite3_context_db_handle(ctx), SQLITE_LIMIT_LENGTH, -1)) {
    sqlite3_result_error_toobig(ctx);
    return;
  }
  char* out = static_cast<char*>(sqlite3_malloc64(static_cast<sqlite3_uint64>(size)));
  if (!out) {
    sqlite3_result_error_nomem(ctx);
    return;
  }
  std::memcpy(out, text, static_cast<size_t>(kept));
  std::memset(out + kept, ' ', static_cast<size_t>(size - kept));
  sqlite3_result_text64(ctx, out, static_cast<sqlite3_uint64>(size), sqlite3_free, SQLITE_UTF8);
}

void Decode(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  if (argc < 3) {
    sqlite3_result_error(ctx, "decode needs an expression, a search and a result", -1);
    return;
  }
  int i = 1;
  for (; i + 1 < argc; i += 2) {
    if (SameValue(argv[0], argv[i])) {
      sqlite3_result_value(ctx, argv[i + 1]);
      return;
    }
  }
  if (i < argc)
    sqlite3_result_value(ctx, argv[i]);
  else
    sqlite3_result_null(ctx);
}

// The binary sort key is the text itself: SQLite compares text by its UTF-8 bytes, as
// Oracle's BINARY sort compares an AL32UTF8 database's. Any other sort would need Oracle's
// linguistic tables, so it is an error rather than a silently different order.
void NlsSort(sqlite3_context* ctx, int, sqlite3_value** argv) {
  const char* params = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
  if (!params || sqlite3_stricmp(params, "NLS_SORT=BINARY") != 0) {
    sqlite3_result_error(ctx, "nlssort supports only 'NLS_SORT=BINARY'", -1);
    return;
  }
  sqlite3_result_value(ctx, argv[0]);
}

}  // namespace

bool RegisterOracleFunctions(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_DIRECTONLY;
  return sqlite3_create_function_v2(db, "rpad", 2, flags, nullptr, Rpad, nullptr, nullptr,
                                    nullptr) == SQLITE_OK &&
         sqlite3_create_function_v2(db, "decode", -1, flags, nullptr, Decode, nullptr, nullptr,
                                    nullptr) == SQLITE_OK &&
         sqlite3_create_function_v2(db, "nlssort", 2, flags, nullptr, NlsSort, nullptr, nullptr,
                                    nullptr) == SQLITE_OK;
}
