#pragma once

#include "platform/quantity.h"
#include "store/store_error.h"

#include <QSqlDatabase>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

namespace gainbook {

// The engine's own handle of an open Qt SQLite connection. Throws StoreError
// when the connection is not one.
sqlite3* engineHandle(const QSqlDatabase& db);

// "(?, ?), (?, ?)": the VALUES of an INSERT of rows rows of columns values
// each, for a statement that writes a batch of rows at once.
QString placeholderRows(int columns, int rows);

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
    // its end and makes it ready for the next run. Throws StoreError. The
    // engine reads the texts where they lie: they outlive the run, which
    // lets them go before it returns.
    template <typename... Values> void run(const Values&... values) {
        int position = 0;
        (bindForRun(++position, values), ...);
        step();
    }

    // Binds the values to the placeholders from position on, for a statement
    // that takes several rows at once; runBound() then runs it. Throws
    // nothing.
    template <typename... Values> void bindFrom(int position, const Values&... values) {
        (bind(position++, values), ...);
    }
    void runBound() { step(); }

    // Binds the values and starts a query; next() then steps through its
    // rows. The query ends at its last row or at the next select()/run().
    template <typename... Values> void select(const Values&... values) {
        restart();
        int position = 0;
        (bind(++position, values), ...);
    }

    // Moves to the next row of the query; false after the last.
    // Throws StoreError.
    bool next();

    // The columns of the current row, from 0, converted as the engine
    // converts them. A NULL reads as 0 or a null QString.
    qint64 integer(int column) const;
    double real(int column) const;
    QString text(int column) const;
    bool isNull(int column) const;
    // The text as the engine holds it, valid until the next step; for
    // readers that share one QString among rows of the same value.
    QStringView textView(int column) const;

    // The column's value as the Qt driver reads it: a number as qint64 or
    // double, text as QString, a blob as QByteArray, NULL as a null QString.
    // For columns that may hold a value of another type than the usual.
    QVariant value(int column) const;
    // Whether the column holds a value of the engine's type (SQLITE_TEXT, ...).
    int type(int column) const;

    // The row ID of the last row the connection inserted.
    qint64 lastInsertId() const;

    // Whether the connection is inside a transaction: the engine ends one
    // on its own after some failures of the file.
    bool inTransaction() const;

    // Rows the last run changed.
    qint64 changes() const;

private:
    void bind(int position, qint64 value);
    void bind(int position, int value) { bind(position, qint64(value)); }
    void bind(int position, double value);
    // A quantity goes in as the REAL it is stored as.
    void bind(int position, Quantity value) { bind(position, value.toDouble()); }
    void bind(int position, const QString& value);
    // For run(): its values outlive the step, so a text is read in place
    // instead of copied first.
    template <typename Value> void bindForRun(int position, const Value& value) {
        bind(position, value);
    }
    void bindForRun(int position, const QString& value);
    void step();
    void restart();
    StoreError failure(int code) const;

    sqlite3* handle_ = nullptr;
    sqlite3_stmt* statement_ = nullptr;
};

} // namespace gainbook
