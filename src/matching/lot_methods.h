#pragma once

#include "platform/lot_method.h"
#include "platform/money.h"
#include "platform/outcome.h"
#include "platform/progress.h"
#include "platform/tax_year.h"

#include <QSqlDatabase>
#include <QString>
#include <QVector>

#include <optional>

namespace gainbook {

// Keeps the lot method of the account (symbol empty) or of one of its
// instruments; nothing for an instrument lets it go the account's way
// again. A change to an account already processed (it has links) marks it
// to process again: its tax records follow the method they were made by
// until then. Done with the count 1 when something changed, 0 when the
// account already went that way; a failure of the database is Failed with
// nothing changed.
Outcome changeLotMethod(const QSqlDatabase& db, const QString& account, const QString& symbol,
                        std::optional<LotMethod> method);

// "Lot method of A: Highest cost first." / "Lot method of A for MSFT: ..."
QString lotMethodText(const QString& account, const QString& symbol, LotMethod method);

// "Process A again: its tax records follow the lot method they were made by."
QString processAgainForMethodText(const QString& account);

// A year's gains of one method: net of the wash-sale adjustments, which
// are also given alone.
struct MethodFigures {
    LotMethod method = LotMethod::Fifo;
    Money shortTerm;
    Money longTerm;
    Money washAdjustment;

    Money total() const { return shortTerm + longTerm; }
};

// What processing the account (or, empty, every account) under each lot
// method would give the tax year, one row a method in allLotMethods()
// order. The account's trades are read once and each method runs the
// processing's matcher and wash-sale detection on them in memory, the rest
// of the store as it stands: nothing is written. Of every account, each is
// matched anew, so no link of one holds another's buys. The progress steps
// through the methods; a stop throws RunCancelled. Throws StoreError.
QVector<MethodFigures> compareLotMethods(const QSqlDatabase& db, const QString& account,
                                         TaxYear year, Progress& progress = unwatchedProgress());

// The columns of the what-if table: "Method", "Short Term", "Long Term",
// "Wash Adj.", "Total"; and a row's fields, amounts in dollars and cents.
QStringList methodFiguresHeading();
QStringList methodFiguresFields(const MethodFigures& figures);

} // namespace gainbook
