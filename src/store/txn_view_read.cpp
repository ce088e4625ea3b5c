#include "store/txn_view_read.h"

#include "platform/date_text.h"
#include "store/column_pool.h"
#include "store/fast_statement.h"

#include <algorithm>
#include <vector>

namespace gainbook {

namespace {

const QString kSelectAll = QStringLiteral(
    "SELECT ID, AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, Amount, Memo FROM Txn ");

QString sameText(const QString& text) {
    return text;
}

// Fills records from rows selected by kSelectAll, sharing the values that
// rows repeat.
class TxnBuilder {
public:
    void fill(TxnRecord& r, const FastStatement& row) {
        r.id = row.integer(0);
        r.accountName = accounts_.of(row, 1);
        r.txnMonth = months_.of(row, 2);
        r.symbol = symbols_.of(row, 3);
        r.quantity = row.real(4);
        r.type = types_.of(row, 5);
        r.txnDate = dates_.of(row, 6);
        r.amount = Money::fromDouble(row.real(7));
        r.memo = memos_.of(row, 8);
    }

private:
    ColumnPool<QString> accounts_{sameText}, months_{sameText}, symbols_{sameText},
        types_{sameText}, memos_{sameText};
    ColumnPool<QDate> dates_{dateFromStored};
};

// The rows straight from the ordered query: one page fetch per row where
// the order is not the table's, but nothing more to do.
QVector<TxnRecord> readByOrderedQuery(const QSqlDatabase& db, const QString& account,
                                      const std::optional<QString>& month) {
    FastStatement query(db, kSelectAll +
                                (month ? QStringLiteral("WHERE AccountName = ? AND "
                                                        "TxnMonth = ? ")
                                       : QStringLiteral("WHERE AccountName = ? ")) +
                                QStringLiteral("ORDER BY TxnDate, Symbol, ID"));
    if (month)
        query.select(account, *month);
    else
        query.select(account);
    TxnBuilder builder;
    QVector<TxnRecord> rows;
    while (query.next())
        builder.fill(rows.emplace_back(), query);
    return rows;
}

// Both passes see the same rows, whatever another program writes between
// them. Inside the caller's transaction it nests.
class ReadSnapshot {
public:
    explicit ReadSnapshot(const QSqlDatabase& db) : db_(db) {
        FastStatement(db_, QStringLiteral("SAVEPOINT txn_view_read")).run();
    }
    ~ReadSnapshot() {
        try {
            // Nothing was written: releasing only ends the read.
            FastStatement(db_, QStringLiteral("RELEASE txn_view_read")).run();
        } catch (const StoreError&) {
        }
    }
    ReadSnapshot(const ReadSnapshot&) = delete;
    ReadSnapshot& operator=(const ReadSnapshot&) = delete;

private:
    QSqlDatabase db_;
};

// A row of the account: its ID and its place in the view's order.
struct Place {
    qint64 id;
    qsizetype at;
};

// Beyond this many table rows per row of the account, the account's rows
// lie so scattered among others' that a scan reads mostly rows it drops.
constexpr qint64 kMostScannedPerRow = 8;

} // namespace

QVector<TxnRecord> readTxnsInViewOrder(const QSqlDatabase& db, const QString& account,
                                       const std::optional<QString>& month) {
    // A month is a small part of an account: its ordered query is cheap.
    if (month)
        return readByOrderedQuery(db, account, month);

    const ReadSnapshot snapshot(db);
    std::vector<Place> places;
    {
        // The index (AccountName, TxnDate, Symbol) holds the ID too, so the
        // order comes without reading a row of the table.
        FastStatement order(db, QStringLiteral("SELECT ID FROM Txn WHERE AccountName = ? "
                                               "ORDER BY TxnDate, Symbol, ID"));
        order.select(account);
        while (order.next())
            places.push_back({order.integer(0), qsizetype(places.size())});
    }
    if (places.empty())
        return {};
    std::sort(places.begin(), places.end(),
              [](const Place& a, const Place& b) { return a.id < b.id; });
    const qint64 first = places.front().id;
    const qint64 last = places.back().id;
    const qint64 count = qint64(places.size());
    if ((last - first) / kMostScannedPerRow >= count)
        return readByOrderedQuery(db, account, month);

    FastStatement scan(db, kSelectAll + QStringLiteral("NOT INDEXED WHERE ID BETWEEN ? AND ?"));
    scan.select(first, last);
    TxnBuilder builder;
    QVector<TxnRecord> rows(count);
    auto next = places.cbegin();
    qint64 placed = 0;
    while (scan.next()) {
        const qint64 id = scan.integer(0);
        while (next != places.cend() && next->id < id)
            ++next;
        if (next == places.cend() || next->id != id)
            continue; // another account's row
        builder.fill(rows[next->at], scan);
        ++placed;
    }
    if (placed != count) // not expected under the snapshot; the plain read is always right
        return readByOrderedQuery(db, account, month);
    return rows;
}

} // namespace gainbook
