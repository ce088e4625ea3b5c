#pragma once

namespace gainbook {

// Sets the SQLite library up for how this program uses it, before its first
// connection. Database calls it before each connection; only the first call
// in a process does anything, and a library started before (by another part
// of the process) keeps its own settings, which are only slower.
// - Each connection is used by one thread at a time (the backup's copy has a
//   connection of its own), so connections need no mutex of their own.
// - The library keeps no count of the memory it holds: the count takes a
//   process-wide mutex on every allocation, which the two threads of a
//   processing run would wait on.
// - A statement that writes many rows keeps the pages it changes in a
//   journal of its own, to take itself back on a failure. Past 64 KB the
//   library writes that journal to a temporary file, which on trades out of
//   ID order was most of a run's writing; it now stays in memory up to 1 MB,
//   more than a batch of 32 rows changes.
void setUpSqliteLibrary();

} // namespace gainbook
