#pragma once

#include "platform/lot_method.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace gainbook {

// The table of the accounts' lot methods: one row for the account's own
// (Symbol '') and one for each instrument that differs from it. An account
// without a row goes oldest first, as every account did before the table.
QString lotMethodTable();

// A row of the table as typed: the symbol empty for the account's own.
struct LotMethodRow {
    QString symbol;
    LotMethod method = LotMethod::Fifo;
};

// The account's rows, its own first, then by symbol. Throws StoreError.
QVector<LotMethodRow> selectLotMethodRows(const QSqlDatabase& db, const QString& account);

// The same, as the matcher looks them up (instruments by instrumentKey).
// Throws StoreError.
AccountLotMethods selectLotMethods(const QSqlDatabase& db, const QString& account);

// Keeps the method of the account (symbol empty) or of one of its
// instruments, replacing the one it had. Throws StoreError.
void setLotMethod(const QSqlDatabase& db, const QString& account, const QString& symbol,
                  LotMethod method);

// Lets the instrument go the account's way again; false when it had no
// method of its own. Throws StoreError.
bool clearLotMethod(const QSqlDatabase& db, const QString& account, const QString& symbol);

} // namespace gainbook
