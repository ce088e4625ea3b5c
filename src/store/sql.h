#pragma once

#include "store/store_error.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

#include <initializer_list>

namespace gainbook {

// Prepares a statement; every value reaches it later as a bound parameter.
QSqlQuery prepareQuery(const QSqlDatabase& db, const QString& sql);

// Binds the values in order and runs a prepared statement. Throws StoreError.
void execQuery(QSqlQuery& query, std::initializer_list<QVariant> values = {});

// Prepares, binds and runs in one go, for statements that run once.
QSqlQuery runQuery(const QSqlDatabase& db, const QString& sql,
                   std::initializer_list<QVariant> values = {});

// A readable text for an engine failure.
QString describeSqlError(const QSqlError& error);

// A text value as stored: never NULL, so comparisons such as memo > '0'
// behave the same for every row.
inline QVariant textValue(const QString& text) {
    return text.isNull() ? QVariant(QString::fromLatin1("")) : QVariant(text);
}
inline QString storedText(const QString& text) {
    return text.isNull() ? QString::fromLatin1("") : text;
}

} // namespace gainbook
