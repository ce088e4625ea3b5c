#pragma once

namespace gainbook {

// Sets the SQLite library up for how this program uses it, before its first
// connection: each connection is used by one thread at a time (the backup's
// copy has a connection of its own), so connections need no mutex of their
// own, and the library keeps no count of the memory it holds, which would
// take a process-wide mutex on every allocation and make the two threads of
// a processing run wait on each other. Database calls it before each
// connection; only the first call in a process does anything. A library that was started before (by
// another part of the process) keeps its own settings, which are only
// slower.
void setUpSqliteLibrary();

} // namespace gainbook
