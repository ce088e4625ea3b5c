#pragma once

#include "store/store_error.h"

#include <QSqlDatabase>
#include <QString>

struct sqlite3;
struct sqlite3_stmt;

namespace gainbook {

// A prepared statement run straight on the engine under a Qt connection,
// for the loops that write tens of thousands of rows in one run. Binding
// through QSqlQuery names each placeholder anew and wraps each value in a
// QVariant, which on a small row costs as much as the engine's own work.
// Values bind as the Qt driver binds them: a null QString is NULL, any other
// text is text. The statement belongs to the connection's transaction like
// any other.
class FastStatement {
public:
    FastStatement(const QSqlDatabase& db, const QString& sql); // throws StoreError
    ~FastStatement();

    FastStatement(const FastStatement&) = delete;
    FastStatement& operator=(const FastStatement&) = delete;

    // Binds the values to the placeholders in order, runs the statement to
    // its end and makes it ready for the next run. Throws StoreError.
    template <typename... Values> void run(const Values&... values) {
        int position = 0;
        (bind(++position, values), ...);
        step();
    }

    // The row ID of the last row the connection inserted.
    qint64 lastInsertId() const;

    // Rows the last run changed.
    qint64 changes() const;

private:
    void bind(int position, qint64 value);
    void bind(int position, int value) { bind(position, qint64(value)); }
    void bind(int position, double value);
    void bind(int position, const QString& value);
    void step();
    StoreError failure(int code) const;

    sqlite3* handle_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

} // namespace gainbook
