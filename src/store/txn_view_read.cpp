#include "store/txn_view_read.h"

#include "store/fast_statement.h"
#include "store/txn_row_reader.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace gainbook {

namespace {

// The rows straight from the ordered query: one page fetch per row where
// the order is not the table's, but nothing more to do.
QVector<TxnRecord> readByOrderedQuery(const QSqlDatabase& db, const QString& account,
                                      const std::optional<QString>& month) {
    FastStatement query(db, txnSelectAll() +
                                (month ? QStringLiteral("WHERE AccountName = ? AND "
                                                        "TxnMonth = ? ")
                                       : QStringLiteral("WHERE AccountName = ? ")) +
                                QStringLiteral("ORDER BY TxnDate, Symbol, ID"));
    if (month)
        query.select(account, *month);
    else
        query.select(account);
    TxnRowReader builder;
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

// Beyond this many table rows per row of the account, the account's rows
// lie so scattered among others' that a scan reads mostly rows it drops
// (and the table of places would be mostly empty).
constexpr size_t kMostScannedPerRow = 8;

} // namespace

void readTxnsInViewOrder(const QSqlDatabase& db, const QString& account,
                         const std::optional<QString>& month, TxnPlaces& into) {
    // The ordered query appends; its rows are moved to their places once.
    auto readByQuery = [&] {
        QVector<TxnRecord> rows = readByOrderedQuery(db, account, month);
        into.resize(rows.size());
        for (qsizetype i = 0; i < rows.size(); ++i)
            into[i] = std::move(rows[i]);
    };
    // A month is a small part of an account: its ordered query is cheap.
    if (month)
        return readByQuery();

    const ReadSnapshot snapshot(db);
    QVector<qint64> ids;
    {
        // The index (AccountName, TxnDate, Symbol) holds the ID too, so the
        // order comes without reading a row of the table.
        FastStatement order(db, QStringLiteral("SELECT ID FROM Txn WHERE AccountName = ? "
                                               "ORDER BY TxnDate, Symbol, ID"));
        order.select(account);
        while (order.next())
            ids.append(order.integer(0));
    }
    if (ids.isEmpty()) {
        into.resize(0);
        return;
    }
    const auto [lowest, highest] = std::minmax_element(ids.cbegin(), ids.cend());
    const qint64 first = *lowest;
    const qint64 last = *highest;
    const qint64 count = ids.size();
    // Unsigned: IDs typed in by hand may lie as far apart as a qint64 allows.
    const auto offset = [first](qint64 id) { return size_t(quint64(id) - quint64(first)); };
    if (offset(last) / kMostScannedPerRow >= size_t(count) ||
        count >= std::numeric_limits<quint32>::max())
        return readByQuery();

    // Each ID of the range to its place in the view, counted from 1; 0 for
    // another account's row.
    std::vector<quint32> placeOf(offset(last) + 1, 0);
    for (qsizetype at = 0; at < count; ++at)
        placeOf[offset(ids[at])] = quint32(at + 1);
    ids = {};

    FastStatement scan(db, txnSelectAll() + QStringLiteral("NOT INDEXED WHERE ID BETWEEN ? AND ?"));
    scan.select(first, last);
    TxnRowReader builder;
    into.resize(count);
    qint64 placed = 0;
    while (scan.next()) {
        const quint32 place = placeOf[offset(scan.integer(0))];
        if (place == 0)
            continue; // another account's row
        builder.fill(into[place - 1], scan);
        ++placed;
    }
    if (placed != count) // not expected under the snapshot; the plain read is always right
        readByQuery();
}

QVector<TxnRecord> readTxnsInViewOrder(const QSqlDatabase& db, const QString& account,
                                       const std::optional<QString>& month) {
    QVector<TxnRecord> rows;
    RowPlaces places(rows, [](TxnRecord& r) -> TxnRecord& { return r; });
    readTxnsInViewOrder(db, account, month, places);
    return rows;
}

} // namespace gainbook
