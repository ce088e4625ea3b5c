#pragma once

#include "matching/match_row.h"
#include "platform/tax_year.h"

#include <QSqlDatabase>
#include <QVector>

namespace gainbook {

// Lays out the matching grid of one account as typed rows: each sell of the
// tax year that has links, with its lots on the same and the following
// rows, and an "Add" button on a sell without a buy. Sells of other years
// and their lots are left out. A lot shows whatever its buy's symbol or
// account, so every link that can be detached can be seen.
class MatchingGrid {
public:
    explicit MatchingGrid(TaxYear year) : year_(year) {}

    // Throws StoreError.
    QVector<MatchRow> FillGrid(const QSqlDatabase& db, const QString& account);

private:
    // A link row with the sell and the buy it names, when they exist.
    struct LinkRead {
        LinkRecord link;
        std::optional<TxnRecord> sell;
        std::optional<TxnRecord> buy;
        bool costUnknown = false;
    };

    void FillSellRec(const LinkRead& read);
    void FillBuyRec(const LinkRead& read);
    MatchRow& rowAt(int row);

    TaxYear year_;
    QVector<MatchRow> rows_;
    int gridRow_ = 1;       // the next row to fill
    qint64 lastSellId_ = 0; // the sell whose links are being read
    bool skipSell_ = false; // that sell lies outside the tax year
    bool buyShown_ = false; // a lot of that sell has been shown
    bool addShown_ = false; // that sell has its "Add" button
};

} // namespace gainbook
