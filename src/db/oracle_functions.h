#pragma once
// rpad, decode and nlssort as SQL functions of an SQLite connection, behaving as Oracle's
// do for what the dictionary queries pass them:
//   rpad(text, n)     pads with blanks to n characters and cuts a longer text to n; NULL
//                     for a NULL text, "" for n < 1 (Oracle's NULL there is its empty text,
//                     which || passes over, so a name || rpad(' ', 0) stays the name);
//   decode(e, s1, r1, ..., [default])  the result of the first search equal to e, where
//                     NULL and "" are equal (Oracle has no empty text), else default/NULL;
//   nlssort(x, 'NLS_SORT=BINARY')  x itself, the key of byte order; any other sort is an
//                     error.
// They are direct-only: the dictionary queries call them, a snapshot's own views and
// triggers cannot. A result longer than the connection's length limit is an SQLite error
// ("string or blob too big"); nothing they do throws through SQLite.

struct sqlite3;

// Returns false when SQLite refuses a registration.
bool RegisterOracleFunctions(sqlite3* db);
