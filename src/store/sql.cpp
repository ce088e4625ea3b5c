#include "store/sql.h"

#include <QSqlError>

namespace gainbook {

QString describeSqlError(const QSqlError& error) {
    QString text = error.databaseText();
    if (text.isEmpty())
        text = error.driverText();
    if (text.isEmpty())
        text = QStringLiteral("unknown database error");
    return text;
}

QSqlQuery prepareQuery(const QSqlDatabase& db, const QString& sql) {
    QSqlQuery query(db);
    query.setForwardOnly(true);
    if (!query.prepare(sql))
        throw StoreError(describeSqlError(query.lastError()), query.lastError());
    return query;
}

void execQuery(QSqlQuery& query, std::initializer_list<QVariant> values) {
    int position = 0;
    for (const QVariant& value : values)
        query.bindValue(position++, value);
    if (!query.exec())
        throw StoreError(describeSqlError(query.lastError()), query.lastError());
}

QSqlQuery runQuery(const QSqlDatabase& db, const QString& sql,
                   std::initializer_list<QVariant> values) {
    QSqlQuery query = prepareQuery(db, sql);
    execQuery(query, values);
    return query;
}

} // namespace gainbook
