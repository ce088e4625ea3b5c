#pragma once

#include "platform/record_columns.h"
#include "platform/tax_year.h"
#include "report/monthly_gains.h"
#include "store/records.h"

#include <QSqlDatabase>

namespace gainbook {

// Columns of the tax view.
namespace TaxGridCol {
enum : int {
    Symbol = 1,
    Quantity,
    DateBought,
    DateSold,
    Cost,
    Proceed,
    Gain,
    Box,
    WashAdj,
    Comment,
    ID,
    Count = ID
};
}

using TaxRow = RecordRow<TaxRecord>;

// What a tax record written by the processing run may need the user's eye
// for, told from the record itself.
struct TaxWarnings {
    bool boughtAfterSold = false; // matched to a buy made after the sale
    bool notAllFound = false;     // the sell is larger than the buys found
    bool noBuy = false;           // no buy at all: cost 0, date acquired unknown
    bool washSale = false;        // a loss disallowed (code W); not a fault, but worth a look
    bool costUnknown = false;     // shares transferred in: no cost nor date typed yet

    bool any() const { return boughtAfterSold || notAllFound || noBuy; }
};
TaxWarnings taxWarnings(const TaxRecord& record);
// No date acquired and a cost of 0: the cost is not known (no buy, or shares
// transferred in), never a basis of 0.
bool taxCostUnknown(const TaxRecord& record);
// The cases named one per line, as the row's tooltip shows them.
QString taxWarningsText(const TaxWarnings& warnings);

// The three totals below the tax view, and the rows to check.
struct TaxTotals {
    int records = 0;
    Money proceeds;       // sale prices above zero
    Money gain;           // sale price minus cost plus wash adjustment, losses included
    Money washDisallowed; // the wash adjustments
    int boughtAfterSold = 0;
    int notAllFound = 0;
    int noBuy = 0;

    QString recordsText() const;  // "Total Records 2"
    QString proceedsText() const; // "Total Proceed 1,500.00"
    QString gainText() const;     // "Total Gain/Loss 250.00"
    // "Wash sale loss disallowed 120.00"; empty when no record has one.
    QString washText() const;
    // "To check: 1 bought after sold, 0 not all found, 2 no buy"; empty
    // when no row needs a look.
    QString warningsText() const;

    // Records of a tax-advantaged account: in none of the figures above.
    int notReported = 0;
    // "3 records tax-advantaged: not reported"; empty when there are none.
    QString notReportedText() const;
};

// The totals of an account's records. Those of a tax-advantaged account
// are not on Form 8949: they are only counted as not reported.
TaxTotals taxTotals(const QVector<TaxRecord>& records, bool taxAdvantaged = false);

// "tax-advantaged: not reported", the note on each record of such an account.
QString notReportedNote();

// The eleven columns of the tax view.
QVector<GridColumn> SetupTaxGrid();

// How the tax view shows a tax record and reads typed cells back. The gain
// is worked out from the record; the symbol can be typed on a new row only.
// The box is a drop-down of the six letters; it may be left empty only
// while the term is unknown.
class TaxColumns final : public RecordColumns<TaxRecord> {
public:
    // The columns of a tax-advantaged account's records note on each row
    // that it is not reported.
    explicit TaxColumns(bool taxAdvantaged = false) : taxAdvantaged_(taxAdvantaged) {}

    QVector<GridColumn> layout() const override { return SetupTaxGrid(); }
    QString text(const TaxRecord& record, int col) const override;
    QString parse(TaxRecord& record, int col, const QString& text) const override;
    SortKey sortKey(const TaxRecord& record, int col) const override;
    bool locked(const TaxRow& row, int col, bool columnLocked) const override;
    QStringList choices(const TaxRow& row, int col) const override;
    QString rowNote(const TaxRecord& record) const override;

private:
    bool taxAdvantaged_ = false;
};

struct TaxViewRecords {
    QVector<TaxRecord> records;
    TaxTotals totals;
    MonthlyGains gains;         // what the chart draws: nothing of a tax-advantaged account
    bool taxAdvantaged = false; // the account's records are not on Form 8949
    // "Accounts to process again before filing: A, B", of every account;
    // empty for none.
    QString processAgain;
};

// The refusals of a typed box.
QString notABoxMessage(const QString& text); // "Not a valid box: M"
QString boxNeededMessage();

// The account's tax records sold in the tax year, by symbol (ties by date
// sold), with their totals and chart, whether they are reported, and the
// accounts to process again. Throws StoreError.
TaxViewRecords FillGrid(const QSqlDatabase& db, const QString& account, TaxYear year = {});

} // namespace gainbook
