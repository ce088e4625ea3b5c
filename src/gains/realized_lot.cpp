#include "gains/realized_lot.h"

#include "capture/export_values.h"
#include "capture/page_document.h"
#include "gains/gains_layouts.h"

#include <QHash>
#include <QStringList>

#include <cmath>

namespace gainbook {

namespace {

constexpr int kHeadingRows = 30;

enum Role { Symbol, Description, Shares, Acquired, Sold, Proceeds, Cost, Wash, Term, Box };

QString lettersOf(const QString& heading) {
    QString letters;
    for (const QChar c : heading)
        if (c.isLetterOrNumber())
            letters.append(c.toUpper());
    return letters;
}

// The heading names of each role, letters and digits only.
const QHash<QString, Role>& headingRoles() {
    static const QHash<QString, Role> roles = [] {
        QHash<QString, Role> r;
        const auto add = [&r](Role role, const QStringList& names) {
            for (const QString& n : names)
                r.insert(n, role);
        };
        add(Symbol, {"SYMBOL", "TICKER", "SYMBOLCUSIP"});
        add(Description, {"DESCRIPTION", "SECURITY", "SECURITYDESCRIPTION", "NAME",
                          "DESCRIPTIONOFPROPERTY", "1ADESCRIPTIONOFPROPERTY"});
        add(Shares, {"QUANTITY", "QTY", "SHARES", "UNITS"});
        add(Acquired,
            {"DATEACQUIRED", "ACQUIRED", "OPENDATE", "ACQUISITIONDATE", "1BDATEACQUIRED"});
        add(Sold, {"DATESOLD", "SOLD", "CLOSEDATE", "SALEDATE", "DATESOLDORDISPOSED",
                   "1CDATESOLDORDISPOSED"});
        add(Proceeds, {"PROCEEDS", "TOTALPROCEEDS", "SALESPROCEEDS", "1DPROCEEDS"});
        add(Cost, {"COST", "COSTBASIS", "TOTALCOST", "COSTOROTHERBASIS", "1ECOSTOROTHERBASIS",
                   "ADJUSTEDCOSTBASIS"});
        add(Wash, {"WASHSALE", "WASHSALEADJUSTMENT", "WASHSALELOSSDISALLOWED",
                   "1GWASHSALELOSSDISALLOWED", "DISALLOWEDLOSS", "WASHADJ"});
        add(Term, {"TERM", "HOLDINGPERIOD", "SHORTLONGTERM", "LONGSHORT"});
        add(Box, {"BOX", "FORM8949BOX", "8949BOX", "FORM8949CODE"});
        return r;
    }();
    return roles;
}

// The column of each role in a row; empty when the row is no heading row.
QHash<Role, int> headingColumns(const SheetDocument& sheet, int row) {
    QHash<Role, int> at;
    for (int col = 1; col <= sheet.columnCount(); ++col) {
        const auto it = headingRoles().constFind(lettersOf(sheet.text(row, col)));
        if (it != headingRoles().constEnd() && !at.contains(*it))
            at.insert(*it, col);
    }
    const bool complete = (at.contains(Symbol) || at.contains(Description)) &&
                          at.contains(Shares) && at.contains(Sold) && at.contains(Proceeds) &&
                          at.contains(Cost);
    return complete ? at : QHash<Role, int>{};
}

HoldingTerm termOf(const QString& text) {
    const QString t = lettersOf(text);
    if (t.startsWith(u"SHORT") || t == u"ST" || t == u"S")
        return HoldingTerm::Short;
    if (t.startsWith(u"LONG") || t == u"LT" || t == u"L")
        return HoldingTerm::Long;
    return HoldingTerm::Unknown;
}

// "A", "Box A", "A - Basis reported", "(A)".
std::optional<Form8949Box> boxOf(const QString& text) {
    QString t = text.simplified().toUpper();
    if (t.startsWith(u"BOX "))
        t = t.mid(4);
    t.remove(u'(');
    t.remove(u')');
    const QString first = t.section(u' ', 0, 0);
    return boxFromLetter(first);
}

// The columns of each role under a broker's own layout.
QHash<Role, int> layoutColumns(const HeadingColumns& at, const GainsLayout& layout) {
    QHash<Role, int> columns;
    const std::pair<Role, const QStringList*> roles[] = {
        {Symbol, &layout.symbol},   {Description, &layout.description},
        {Shares, &layout.quantity}, {Acquired, &layout.acquired},
        {Sold, &layout.sold},       {Proceeds, &layout.proceeds},
        {Cost, &layout.cost},       {Wash, &layout.wash},
        {Term, &layout.term},       {Box, &layout.box}};
    for (const auto& [role, variants] : roles)
        if (const int col = headingColumn(at, *variants))
            columns.insert(role, col);
    return columns;
}

bool isEmptyRow(const SheetDocument& sheet, int row) {
    for (int col = 1; col <= sheet.columnCount(); ++col)
        if (!sheet.text(row, col).trimmed().isEmpty())
            return false;
    return true;
}

bool isTotalsRow(const SheetDocument& sheet, int row) {
    for (int col = 1; col <= sheet.columnCount(); ++col) {
        const QString t = sheet.text(row, col).trimmed();
        if (!t.isEmpty())
            return t.startsWith(QLatin1String("Total"), Qt::CaseInsensitive) ||
                   t.startsWith(QLatin1String("Subtotal"), Qt::CaseInsensitive);
    }
    return false;
}

std::optional<Money> moneyIn(const SheetDocument& sheet, int row, int col) {
    const auto value = exportNumber(sheet.cell(row, col), false);
    if (!value || !Money::isRepresentable(*value))
        return std::nullopt;
    return Money::fromDouble(*value);
}

} // namespace

RealizedLots readRealizedLots(const SheetDocument& sheet, const QDate& today) {
    RealizedLots out;
    QHash<Role, int> at;
    int heading = 0;
    QVector<HeadingLayout> brokers;
    for (const GainsLayout& layout : gainsLayouts())
        brokers << layout.headings();
    if (const std::optional<HeadingFit> fit = fitHeadings(sheet, brokers)) {
        const GainsLayout& layout = gainsLayouts()[fit->layout];
        at = layoutColumns(rowHeadings(sheet, fit->row), layout);
        heading = fit->row;
        out.readAs = QStringLiteral("Read as %1.").arg(layout.title);
    }
    for (int row = 1; !heading && row <= kHeadingRows && row <= sheet.rowCount(); ++row) {
        at = headingColumns(sheet, row);
        if (!at.isEmpty())
            heading = row;
    }
    if (!heading)
        return out;
    out.found = true;
    for (int row = heading + 1; row <= sheet.rowCount(); ++row) {
        // A line of one cell under the lots is the disclaimer that follows them.
        if (isEmptyRow(sheet, row) || filledCells(sheet, row) == 1)
            break;
        if (isTotalsRow(sheet, row))
            continue;
        RealizedLot lot;
        lot.row = row;
        lot.symbol = at.contains(Symbol) ? sheet.text(row, at[Symbol]).trimmed() : QString();
        if (lot.symbol.isEmpty() && at.contains(Description))
            lot.symbol = sheet.text(row, at[Description]).trimmed();
        const auto quantity = exportNumber(sheet.cell(row, at[Shares]), false);
        lot.dateSold = exportDate(sheet.text(row, at[Sold]), today);
        const auto proceeds = moneyIn(sheet, row, at[Proceeds]);
        const auto cost = moneyIn(sheet, row, at[Cost]);
        std::optional<Money> wash = Money();
        if (at.contains(Wash) && !sheet.text(row, at[Wash]).trimmed().isEmpty())
            wash = moneyIn(sheet, row, at[Wash]);
        if (!quantity || !Quantity::isRepresentable(*quantity) || !lot.dateSold.isValid() ||
            !proceeds || !cost || !wash || lot.symbol.isEmpty()) {
            ++out.unreadable;
            continue;
        }
        // A sale is of so many shares, whichever sign the file writes.
        lot.quantity = Quantity::fromDouble(std::abs(*quantity));
        lot.proceeds = *proceeds;
        lot.cost = *cost;
        if (at.contains(Wash))
            lot.washAdjustment = wash->abs();
        if (at.contains(Acquired))
            lot.dateAcquired = exportDate(sheet.text(row, at[Acquired]), today);
        lot.term = at.contains(Term) ? termOf(sheet.text(row, at[Term])) : HoldingTerm::Unknown;
        if (lot.term == HoldingTerm::Unknown)
            lot.term = holdingTerm(lot.dateAcquired, lot.dateSold);
        if (at.contains(Box)) {
            const auto box = boxOf(sheet.text(row, at[Box]));
            // A box of the other term than the file's own term column is a
            // contradiction the row cannot be filed under.
            if (!box || (*box != Form8949Box::None && lot.term != HoldingTerm::Unknown &&
                         boxTerm(*box) != lot.term)) {
                ++out.unreadable;
                continue;
            }
            lot.box = *box;
        }
        out.lots.append(lot);
    }
    return out;
}

} // namespace gainbook
