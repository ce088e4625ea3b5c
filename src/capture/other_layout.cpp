#include "capture/other_layout.h"

#include "capture/export_values.h"
#include "capture/trade_words.h"

#include <QStringList>

#include <algorithm>

namespace gainbook {

namespace {

constexpr int kHeadingRows = 30;
constexpr int kHeadingColumns = 20;

// A heading's claim on a role; the lower the rank, the better the name.
struct Claim {
    SheetColumns::Role role = SheetColumns::None;
    int rank = 0;
    int column = 0;
};

// Headings named after a role outright rank by their place in these lists;
// other headings that merely contain one of the historic words rank after
// them, and settlement dates last of all.
constexpr int kContained = 100;
constexpr int kSettlement = 200;

QString lettersOf(const QString& heading) {
    QString letters;
    letters.reserve(heading.size());
    for (const QChar c : heading)
        if (c.isLetter())
            letters.append(c.toUpper());
    return letters;
}

Claim claimOf(const QString& heading, int column) {
    const QString name = lettersOf(heading);
    if (name.isEmpty())
        return {};
    struct Named {
        SheetColumns::Role role;
        QStringList names;
    };
    static const QVector<Named> named = {
        {SheetColumns::Date, {"TRADEDATE", "TRANSACTIONDATE", "ACTIVITYDATE", "RUNDATE", "DATE"}},
        {SheetColumns::Type, {"TYPE", "ACTION", "TRANSCODE", "TRANSACTIONTYPE", "BUYSELL", "SIDE"}},
        {SheetColumns::Symbol,
         {"SYMBOL", "TICKER", "INSTRUMENT", "DESCRIPTION", "SECURITY", "NAME"}},
        {SheetColumns::Quantity, {"QUANTITY", "QTY", "SHARES", "UNITS"}},
        {SheetColumns::Amount, {"AMOUNT", "NETAMOUNT", "PROCEEDS", "TOTAL"}},
        {SheetColumns::Account,
         {"ACCOUNT", "ACCOUNTNUMBER", "ACCOUNTNO", "ACCT", "ACCTNO", "ACCOUNTNAME"}},
    };
    for (const Named& n : named) {
        const qsizetype at = n.names.indexOf(name);
        if (at < 0)
            continue;
        // Symbol, ticker and instrument all outrank the descriptive names.
        const int rank = n.role == SheetColumns::Symbol ? (at < 3 ? 0 : 1) : int(at);
        return {n.role, rank, column};
    }
    if (name.contains(QLatin1String("SETTLE")))
        return {name.contains(QLatin1String("DATE")) ? SheetColumns::Date : SheetColumns::None,
                kSettlement, column};
    // The historic reading: the first of these words the heading contains.
    static const QVector<std::pair<QString, SheetColumns::Role>> contained = {
        {"DATE", SheetColumns::Date},         {"TYPE", SheetColumns::Type},
        {"AMOUNT", SheetColumns::Amount},     {"SYMBOL", SheetColumns::Symbol},
        {"QUANTITY", SheetColumns::Quantity}, {"DESCRIPTION", SheetColumns::Symbol},
        {"MEMO", SheetColumns::Unused},       {"COMMENT", SheetColumns::Unused},
    };
    for (const auto& [word, role] : contained)
        if (name.contains(word))
            return {role, kContained, column};
    return {};
}

QVector<Claim> claimsOf(const SheetDocument& sheet, int row) {
    QVector<Claim> claims;
    for (int col = 1; col <= kHeadingColumns; ++col) {
        const Claim c = claimOf(sheet.text(row, col), col);
        if (c.role != SheetColumns::None && c.role != SheetColumns::Unused)
            claims.append(c);
    }
    std::stable_sort(claims.begin(), claims.end(),
                     [](const Claim& a, const Claim& b) { return a.rank < b.rank; });
    return claims;
}

bool names(const QVector<Claim>& claims, SheetColumns::Role role) {
    return std::any_of(claims.begin(), claims.end(),
                       [role](const Claim& c) { return c.role == role; });
}

QStringList columnTexts(const SheetDocument& sheet, const OtherLayout& layout, int col) {
    QStringList texts;
    // Number cells count with the text they show: a "1.234" beside
    // "1.234,56" keeps the column from reading decimal commas.
    for (int row = layout.firstRow; row <= layout.lastRow; ++row)
        texts << sheet.text(row, col);
    return texts;
}

bool onlyAccountKinds(const QStringList& values) {
    bool any = false;
    for (const QString& v : values) {
        if (v.trimmed().isEmpty())
            continue;
        if (!isAccountKindWord(v))
            return false;
        any = true;
    }
    return any;
}

} // namespace

OtherLayout findOtherLayout(const SheetDocument& sheet) {
    OtherLayout layout;
    QVector<Claim> claims;
    for (int row = 1; row <= kHeadingRows && row <= sheet.rowCount(); ++row) {
        claims = claimsOf(sheet, row);
        if (names(claims, SheetColumns::Date) && names(claims, SheetColumns::Type) &&
            names(claims, SheetColumns::Symbol) && names(claims, SheetColumns::Quantity)) {
            layout.headingRow = row;
            break;
        }
    }
    if (!layout.headingRow)
        return layout;

    layout.firstRow = layout.headingRow + 1;
    layout.lastRow = layout.headingRow;
    while (!sheet.text(layout.lastRow + 1, 1).isEmpty())
        ++layout.lastRow;

    SheetColumns& columns = layout.columns;
    for (const Claim& c : claims) {
        switch (c.role) {
        case SheetColumns::Date:
            columns.date = columns.date ? columns.date : c.column;
            break;
        case SheetColumns::Type:
            if (!columns.type && !onlyAccountKinds(columnTexts(sheet, layout, c.column)))
                columns.type = c.column;
            break;
        case SheetColumns::Symbol:
            columns.symbol = columns.symbol ? columns.symbol : c.column;
            break;
        case SheetColumns::Quantity:
            columns.quantity = columns.quantity ? columns.quantity : c.column;
            break;
        case SheetColumns::Amount:
            columns.amount = columns.amount ? columns.amount : c.column;
            break;
        case SheetColumns::Account:
            columns.account = columns.account ? columns.account : c.column;
            break;
        case SheetColumns::None:
        case SheetColumns::Unused:
            break;
        }
    }
    if (columns.quantity)
        layout.quantityComma = usesDecimalComma(columnTexts(sheet, layout, columns.quantity));
    if (columns.amount)
        layout.amountComma = usesDecimalComma(columnTexts(sheet, layout, columns.amount));
    return layout;
}

} // namespace gainbook
