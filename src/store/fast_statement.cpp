#include "store/fast_statement.h"

#include "store/store_error.h"

#include <QSqlDriver>
#include <QSqlError>
#include <QStringList>
#include <QVariant>

#include <sqlite3.h>

namespace gainbook {

QString placeholderRows(int columns, int rows) {
    QString row = QStringLiteral("(?");
    for (int i = 1; i < columns; ++i)
        row += QStringLiteral(", ?");
    row += u')';
    QStringList all;
    for (int i = 0; i < rows; ++i)
        all << row;
    return all.join(QStringLiteral(", "));
}

sqlite3* engineHandle(const QSqlDatabase& db) {
    const QVariant handle = db.driver() ? db.driver()->handle() : QVariant();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        throw StoreError(QStringLiteral("The database connection is not an open SQLite one."));
    sqlite3* engine = *static_cast<sqlite3* const*>(handle.constData());
    if (!engine)
        throw StoreError(QStringLiteral("The database is not open."));
    return engine;
}

FastStatement::FastStatement(const QSqlDatabase& db, const QString& sql)
    : handle_(engineHandle(db)) {
    const int code = sqlite3_prepare16_v2(handle_, sql.utf16(), int(sql.size() * sizeof(char16_t)),
                                          &statement_, nullptr);
    if (code != SQLITE_OK)
        throw failure(code);
}

FastStatement::~FastStatement() {
    sqlite3_finalize(statement_);
}

void FastStatement::bind(int position, qint64 value) {
    sqlite3_bind_int64(statement_, position, value);
}

void FastStatement::bind(int position, double value) {
    sqlite3_bind_double(statement_, position, value);
}

void FastStatement::bind(int position, const QString& value) {
    // Copied: a query bound by select() reads it after the caller's text
    // is gone.
    if (value.isNull())
        sqlite3_bind_null(statement_, position);
    else
        sqlite3_bind_text16(statement_, position, value.utf16(),
                            int(value.size() * sizeof(char16_t)), SQLITE_TRANSIENT);
}

void FastStatement::bindForRun(int position, const QString& value) {
    // Not copied: step() clears the bindings before run() returns, while
    // the caller's text is still there. A copy per text was a good part of
    // the cost of a small row.
    if (value.isNull())
        sqlite3_bind_null(statement_, position);
    else
        sqlite3_bind_text16(statement_, position, value.utf16(),
                            int(value.size() * sizeof(char16_t)), SQLITE_STATIC);
}

void FastStatement::step() {
    int code = sqlite3_step(statement_);
    while (code == SQLITE_ROW)
        code = sqlite3_step(statement_);
    if (code != SQLITE_DONE) {
        const StoreError error = failure(code);
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
        throw error;
    }
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

void FastStatement::restart() {
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
}

bool FastStatement::next() {
    const int code = sqlite3_step(statement_);
    if (code == SQLITE_ROW)
        return true;
    if (code == SQLITE_DONE) {
        sqlite3_reset(statement_);
        return false;
    }
    const StoreError error = failure(code);
    sqlite3_reset(statement_);
    throw error;
}

qint64 FastStatement::integer(int column) const {
    return sqlite3_column_int64(statement_, column);
}

double FastStatement::real(int column) const {
    return sqlite3_column_double(statement_, column);
}

QString FastStatement::text(int column) const {
    const void* chars = sqlite3_column_text16(statement_, column);
    if (!chars)
        return {};
    return QString(static_cast<const QChar*>(chars),
                   sqlite3_column_bytes16(statement_, column) / int(sizeof(QChar)));
}

QStringView FastStatement::textView(int column) const {
    const void* chars = sqlite3_column_text16(statement_, column);
    if (!chars)
        return {};
    return QStringView(static_cast<const char16_t*>(chars),
                       sqlite3_column_bytes16(statement_, column) / qsizetype(sizeof(char16_t)));
}

bool FastStatement::isNull(int column) const {
    return sqlite3_column_type(statement_, column) == SQLITE_NULL;
}

int FastStatement::type(int column) const {
    return sqlite3_column_type(statement_, column);
}

QVariant FastStatement::value(int column) const {
    switch (sqlite3_column_type(statement_, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(statement_, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(statement_, column);
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char*>(sqlite3_column_blob(statement_, column)),
                          sqlite3_column_bytes(statement_, column));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<QString>());
    default:
        return text(column);
    }
}

qint64 FastStatement::lastInsertId() const {
    return sqlite3_last_insert_rowid(handle_);
}

bool FastStatement::inTransaction() const {
    return sqlite3_get_autocommit(handle_) == 0;
}

qint64 FastStatement::changes() const {
    return sqlite3_changes(handle_);
}

StoreError FastStatement::failure(int code) const {
    // The same shape of error as the Qt driver's, so that the fault of the
    // file (full, read-only, in use) is told the same way.
    const QString text = QString::fromUtf8(sqlite3_errmsg(handle_));
    const int extended = sqlite3_extended_errcode(handle_);
    return StoreError(text, QSqlError(QString(), text, QSqlError::StatementError,
                                      QString::number(extended != 0 ? extended : code)));
}

} // namespace gainbook
