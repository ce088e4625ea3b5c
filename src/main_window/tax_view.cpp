#include "main_window/tax_view.h"

#include "matching/matcher.h"
#include "matching/trade_changes.h"
#include "platform/cell_readers.h"
#include "platform/date_text.h"
#include "platform/form8949_box.h"
#include "platform/formats.h"
#include "platform/holding_term.h"
#include "platform/number_text.h"
#include "platform/tax_year.h"
#include "store/account_settings_table.h"
#include "store/tax_table.h"

#include <QStringList>

namespace gainbook {

QString TaxTotals::recordsText() const {
    return QStringLiteral("Total Records ") + QString::number(records);
}

QString TaxTotals::proceedsText() const {
    return QStringLiteral("Total Proceed ") + formatTotal(proceeds);
}

QString TaxTotals::gainText() const {
    return QStringLiteral("Total Gain/Loss ") + formatTotal(gain);
}

QString TaxTotals::washText() const {
    if (washDisallowed.isZero())
        return {};
    return QStringLiteral("Wash sale loss disallowed ") + formatTotal(washDisallowed);
}

QString TaxTotals::warningsText() const {
    if (boughtAfterSold + notAllFound + noBuy == 0)
        return {};
    return QStringLiteral("To check: %1 bought after sold, %2 not all found, %3 no buy")
        .arg(boughtAfterSold)
        .arg(notAllFound)
        .arg(noBuy);
}

QString TaxTotals::notReportedText() const {
    if (notReported == 0)
        return {};
    return QStringLiteral("%1 %2 ")
               .arg(notReported)
               .arg(notReported == 1 ? QStringLiteral("record") : QStringLiteral("records")) +
           notReportedNote();
}

QString notReportedNote() {
    return QStringLiteral("tax-advantaged: not reported");
}

bool taxCostUnknown(const TaxRecord& r) {
    return !r.dateAcquired.isValid() && r.cost.isZero();
}

TaxWarnings taxWarnings(const TaxRecord& r) {
    TaxWarnings w;
    // The run's memo marks a sell it could not cover; without any date
    // acquired no buy was found at all.
    const bool short_ = r.memo == kAllBuyRecNotFound;
    w.noBuy = short_ && !r.dateAcquired.isValid();
    w.notAllFound = short_ && r.dateAcquired.isValid();
    w.boughtAfterSold =
        r.dateAcquired.isValid() && r.dateSold.isValid() && r.dateAcquired > r.dateSold;
    w.washSale = !r.washAdjustment.isZero();
    w.costUnknown = !short_ && taxCostUnknown(r);
    return w;
}

QString taxWarningsText(const TaxWarnings& w) {
    QStringList lines;
    if (w.boughtAfterSold)
        lines << QStringLiteral("Matched to a buy made after the sale");
    if (w.notAllFound)
        lines << QStringLiteral("Sell larger than the buys found (All Buy Rec Not Found)");
    if (w.noBuy)
        lines << QStringLiteral("No buy found for this sell");
    if (w.washSale)
        lines << QStringLiteral("Wash sale: loss disallowed (code W)");
    if (w.costUnknown)
        lines << QStringLiteral("Cost not known (shares transferred in): type it here, or type "
                                "the buy's cost and process again");
    return lines.join(u'\n');
}

TaxTotals taxTotals(const QVector<TaxRecord>& records, bool taxAdvantaged) {
    TaxTotals totals;
    if (taxAdvantaged) {
        totals.notReported = int(records.size());
        return totals;
    }
    totals.records = int(records.size());
    for (const TaxRecord& r : records) {
        // A sale of unknown cost (no buy, or shares transferred in whose
        // cost is not entered) has no gain to add: not the whole proceeds.
        if (!taxCostUnknown(r))
            totals.gain += r.salePrice - r.cost + r.washAdjustment;
        totals.washDisallowed += r.washAdjustment;
        if (r.salePrice > Money())
            totals.proceeds += r.salePrice;
        const TaxWarnings w = taxWarnings(r);
        totals.boughtAfterSold += w.boughtAfterSold ? 1 : 0;
        totals.notAllFound += w.notAllFound ? 1 : 0;
        totals.noBuy += w.noBuy ? 1 : 0;
    }
    return totals;
}

QVector<GridColumn> SetupTaxGrid() {
    return {
        {QStringLiteral("Symbol"), 6, CellKind::Text, Qt::AlignLeft, true, false},
        {QStringLiteral("Quantity"), 6, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Date Bought"), 8, CellKind::Date, Qt::AlignRight, false, false},
        {QStringLiteral("Date Sold"), 8, CellKind::Date, Qt::AlignRight, false, false},
        {QStringLiteral("Cost"), 8, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Proceed"), 8, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Gain"), 10, CellKind::Decimal, Qt::AlignRight, true, false},
        {QStringLiteral("Box"), 3, CellKind::DropDown, Qt::AlignHCenter, false, false},
        {QStringLiteral("Wash Adj."), 8, CellKind::Decimal, Qt::AlignRight, false, false},
        {QStringLiteral("Comment"), 10, CellKind::Text, Qt::AlignLeft, false, false},
        {QStringLiteral("ID"), 3, CellKind::Text, Qt::AlignLeft, true, true},
    };
}

QString TaxColumns::text(const TaxRecord& r, int col) const {
    switch (col) {
    case TaxGridCol::Symbol:
        return r.symbol;
    case TaxGridCol::Quantity:
        return r.quantity.text();
    case TaxGridCol::DateBought:
        return formatDate(r.dateAcquired);
    case TaxGridCol::DateSold:
        return formatDate(r.dateSold);
    // A cost not known is left empty, as the report leaves it: a 0 would
    // read as the whole proceeds gained.
    case TaxGridCol::Cost:
        return taxCostUnknown(r) ? QString() : formatMoney(r.cost);
    case TaxGridCol::Proceed:
        return formatMoney(r.salePrice);
    case TaxGridCol::Gain:
        return taxCostUnknown(r) ? QString() : formatMoney(r.salePrice - r.cost + r.washAdjustment);
    case TaxGridCol::Box:
        return boxLetter(r.box);
    case TaxGridCol::WashAdj:
        // Empty rather than 0.00, so the few wash sales stand out.
        return r.washAdjustment.isZero() ? QString() : formatMoney(r.washAdjustment);
    case TaxGridCol::Comment:
        return r.memo;
    case TaxGridCol::ID:
        // A row not stored yet has no record number to show.
        return r.id > 0 ? QString::number(r.id) : QString();
    default:
        return {};
    }
}

QString TaxColumns::parse(TaxRecord& r, int col, const QString& text) const {
    switch (col) {
    case TaxGridCol::Symbol:
        r.symbol = text;
        return {};
    case TaxGridCol::Quantity:
        return readQuantityCell(text, r.quantity);
    case TaxGridCol::DateBought:
        // The acquisition date may be unknown; the sale date never is.
        return readDateCell(text, r.dateAcquired, true);
    case TaxGridCol::DateSold:
        return readDateCell(text, r.dateSold);
    case TaxGridCol::Cost:
        return readMoneyCell(text, r.cost);
    case TaxGridCol::Proceed:
        return readMoneyCell(text, r.salePrice);
    case TaxGridCol::Box: {
        const std::optional<Form8949Box> box = boxFromLetter(text);
        // G to L are boxes of the forms from 2025 on only.
        if (!box || (isDigitalBox(*box) && r.dateSold.isValid() &&
                     r.dateSold.year() < kFirstDigitalBoxYear))
            return notABoxMessage(text.trimmed());
        // Without a box a sale of known term would fall off the form.
        if (*box == Form8949Box::None &&
            holdingTerm(r.dateAcquired, r.dateSold) != HoldingTerm::Unknown)
            return boxNeededMessage();
        r.box = *box;
        return {};
    }
    case TaxGridCol::WashAdj:
        if (text.trimmed().isEmpty()) {
            r.washAdjustment = Money();
            return {};
        }
        return readMoneyCell(text, r.washAdjustment);
    case TaxGridCol::Comment:
        r.memo = text;
        return {};
    default: // the gain and the ID are worked out
        return {};
    }
}

SortKey TaxColumns::sortKey(const TaxRecord& r, int col) const {
    switch (col) {
    case TaxGridCol::Quantity:
        return sortByValue(r.quantity.toDouble());
    case TaxGridCol::DateBought:
        return sortByDate(r.dateAcquired);
    case TaxGridCol::DateSold:
        return sortByDate(r.dateSold);
    case TaxGridCol::Cost:
        return sortByValue(r.cost.toDouble());
    case TaxGridCol::Proceed:
        return sortByValue(r.salePrice.toDouble());
    case TaxGridCol::Gain:
        return sortByValue((r.salePrice - r.cost + r.washAdjustment).toDouble());
    case TaxGridCol::WashAdj:
        return sortByValue(r.washAdjustment.toDouble());
    default:
        return RecordColumns::sortKey(r, col);
    }
}

QString TaxColumns::rowNote(const TaxRecord& record) const {
    const QString warnings = taxWarningsText(taxWarnings(record));
    if (!taxAdvantaged_)
        return warnings;
    return warnings.isEmpty() ? notReportedNote() : notReportedNote() + u'\n' + warnings;
}

QStringList TaxColumns::choices(const TaxRow& row, int col) const {
    if (col != TaxGridCol::Box)
        return {};
    QStringList letters = boxLetters();
    // The digital assets' boxes exist from their first year on.
    if (row.record.dateSold.isValid() && row.record.dateSold.year() < kFirstDigitalBoxYear)
        letters.removeIf([](const QString& letter) { return letter > QStringLiteral("F"); });
    if (holdingTerm(row.record.dateAcquired, row.record.dateSold) == HoldingTerm::Unknown)
        letters.prepend(QString());
    return letters;
}

QString notABoxMessage(const QString& text) {
    return QStringLiteral("Not a valid box: %1").arg(text);
}

QString boxNeededMessage() {
    return QStringLiteral("A box from A to L is needed when the date bought is known");
}

bool TaxColumns::locked(const TaxRow& row, int col, bool columnLocked) const {
    return col == TaxGridCol::Symbol ? !row.state.isNew : columnLocked;
}

TaxViewRecords FillGrid(const QSqlDatabase& db, const QString& account, TaxYear year) {
    TaxViewRecords view;
    view.taxAdvantaged = selectWashSettings(db, account).taxAdvantaged;
    view.processAgain = processAgainLine(db);
    view.records = selectTaxRecs(db, account, year.firstDay(), year.lastDay());
    view.totals = taxTotals(view.records, view.taxAdvantaged);
    if (!view.taxAdvantaged)
        view.gains = monthlyGains(view.records, year);
    sortRecords(view.records, TaxColumns(), TaxGridCol::Symbol, Qt::AscendingOrder);
    return view;
}

} // namespace gainbook
