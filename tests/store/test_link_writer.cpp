#include "store/links_table.h"
#include "store/sql.h"
#include "store/store_error.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

LinkRecord linkOf(int i) {
    LinkRecord link;
    link.accountName = i % 3 == 0 ? QString() : QStringLiteral("A");
    link.sellId = 1000 + i / 2;
    link.buyId = i;
    link.buyQuantity = Quantity::fromDouble(i * 0.5);
    link.buyPrice = Money::fromCents(i * 101);
    link.memo = i % 4 == 0 ? QStringLiteral(" ") : QStringLiteral("m%1").arg(i);
    return link;
}

// The sell's date as stored: NULL for every fifth.
QString dateOf(int i) {
    return i % 5 == 0 ? QString()
                      : QStringLiteral("2001-02-%1").arg(1 + i % 28, 2, 10, QChar(u'0'));
}

QString symbolOf(int i) {
    return i % 7 == 0 ? QString() : QStringLiteral("S%1").arg(i);
}

// A row as stored, NULL told apart from empty text.
QString rowText(const QSqlQuery& q) {
    QStringList cells;
    for (int c = 0; c < 8; ++c)
        cells << (q.value(c).isNull() ? QStringLiteral("<null>") : q.value(c).toString());
    return cells.join(u'|');
}

QStringList storedRows(const QSqlDatabase& db) {
    QSqlQuery q = runQuery(db, "SELECT AccountName, SellId, BuyId, BuyQuantity, BuyPrice, Memo, "
                               "SellDate, SellSymbol FROM SellLinks ORDER BY rowid");
    QStringList rows;
    while (q.next())
        rows << rowText(q);
    return rows;
}

} // namespace

// Links held and written by batches are the rows that one insert each would
// have written, in the same order; a duplicate pair fails as a single
// insert would, in its batch or in the rows written one by one at the end.
class TestLinkWriter : public QObject {
    Q_OBJECT

private slots:
    void batchesWriteAsSingleRows_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("duplicate"); // the row that repeats row 0; -1 none
        const int batch = LinkWriter::kBatchRows;
        QTest::newRow("none") << 0 << -1;
        QTest::newRow("one batch") << batch << -1;
        QTest::newRow("batches and a rest") << 2 * batch + 3 << -1;
        QTest::newRow("duplicate in the first batch") << batch << batch - 1;
        QTest::newRow("duplicate in the rest") << batch + 5 << batch + 2;
    }
    void batchesWriteAsSingleRows() {
        QFETCH(int, count);
        QFETCH(int, duplicate);
        TestDatabase single;
        TestDatabase batched;
        bool refused = false;
        try {
            LinkWriter one(single.connection());
            LinkWriter many(batched.connection());
            for (int i = 0; i < count; ++i) {
                const int row = i == duplicate ? 0 : i;
                if (duplicate < 0)
                    one.insert(linkOf(row), dateOf(row), symbolOf(row));
                many.add(linkOf(row), dateOf(row), symbolOf(row));
            }
            many.flush();
            many.flush(); // nothing held twice
        } catch (const StoreError& error) {
            refused = error.isDuplicateKey();
        }
        QCOMPARE(refused, duplicate >= 0);
        if (refused)
            return;
        const QStringList expected = storedRows(single.connection());
        QCOMPARE(expected.size(), count);
        QCOMPARE(storedRows(batched.connection()), expected);
    }
};

GAINBOOK_GUILESS_TEST(TestLinkWriter)
#include "test_link_writer.moc"
