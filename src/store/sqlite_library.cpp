#include "store/sqlite_library.h"

#include <sqlite3.h>

namespace gainbook {

void setUpSqliteLibrary() {
    static const bool done = [] {
        sqlite3_config(SQLITE_CONFIG_MULTITHREAD);
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        sqlite3_config(SQLITE_CONFIG_STMTJRNL_SPILL, 1 << 20);
        return true;
    }();
    (void)done;
}

} // namespace gainbook
