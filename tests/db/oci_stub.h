#pragma once
// Script of the stub Oracle client library that the Oracle backend tests load in place of
// libclntsh.so. It exports the OCI entry points the backend uses and answers them from the
// script set here.

extern "C" {

// Forgets every script and count.
void stub_reset();
// The one user/password/connect string that logs on; others get ORA-01017 or ORA-12154.
void stub_set_logon(const char* user, const char* password, const char* database);
// A result for every statement whose SQL contains `sql_part`: column names, their OCI
// types (1 text, 8 LONG), and then rows added with stub_add_row.
void stub_add_result(const char* sql_part, int columns, const char* const* names,
                     const int* types);
// A row of the last result; a null cell is NULL.
void stub_add_row(const char* const* cells);
// The connection is lost when the last result's row `row` (from 0) is fetched.
void stub_lose_connection_at(int row);
// The server stops answering when the last result's row `row` is fetched: the fetch times
// out (ORA-03156) when the session has a call timeout, else the network gives up (ORA-03113).
void stub_stop_answering_at(int row);
// The call timeout in milliseconds set on the last session, -1 when none was set.
long stub_call_timeout();

int stub_open_sessions();  // logged on and not yet logged off
// The text (null for NULL) bound at `position` by the last execution.
const char* stub_last_bind(int position);
// The statement text of the last execution.
const char* stub_last_sql();
}
