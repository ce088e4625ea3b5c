#include "store/lot_method_table.h"

#include "platform/instrument_name.h"
#include "store/sql.h"

namespace gainbook {

QString lotMethodTable() {
    return QStringLiteral("CREATE TABLE LotMethod ("
                          "AccountName TEXT NOT NULL, "
                          "Symbol TEXT NOT NULL DEFAULT '', "
                          "Method TEXT NOT NULL DEFAULT 'fifo', "
                          "PRIMARY KEY (AccountName, Symbol))");
}

QVector<LotMethodRow> selectLotMethodRows(const QSqlDatabase& db, const QString& account) {
    QSqlQuery query = runQuery(db,
                               QStringLiteral("SELECT Symbol, Method FROM LotMethod "
                                              "WHERE AccountName = ? ORDER BY Symbol"),
                               {textValue(account)});
    QVector<LotMethodRow> rows;
    while (query.next()) {
        // A word a later version stored is read as the default rather than
        // guessed at: the run then matches as it always did.
        rows.append({query.value(0).toString(),
                     lotMethodFromWord(query.value(1).toString()).value_or(LotMethod::Fifo)});
    }
    return rows;
}

AccountLotMethods selectLotMethods(const QSqlDatabase& db, const QString& account) {
    AccountLotMethods methods;
    for (const LotMethodRow& row : selectLotMethodRows(db, account)) {
        if (row.symbol.isEmpty())
            methods.method = row.method;
        else
            methods.bySymbol.insert(instrumentKey(row.symbol), row.method);
    }
    return methods;
}

void setLotMethod(const QSqlDatabase& db, const QString& account, const QString& symbol,
                  LotMethod method) {
    runQuery(db,
             QStringLiteral("INSERT INTO LotMethod (AccountName, Symbol, Method) VALUES (?, ?, ?) "
                            "ON CONFLICT (AccountName, Symbol) DO UPDATE SET Method = "
                            "excluded.Method"),
             {textValue(account), textValue(symbol.trimmed()), lotMethodWord(method)});
}

bool clearLotMethod(const QSqlDatabase& db, const QString& account, const QString& symbol) {
    QSqlQuery query =
        runQuery(db, QStringLiteral("DELETE FROM LotMethod WHERE AccountName = ? AND Symbol = ?"),
                 {textValue(account), textValue(symbol.trimmed())});
    return query.numRowsAffected() > 0;
}

} // namespace gainbook
