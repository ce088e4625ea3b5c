#include "store/sell_years.h"
#include "store/sql.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

class TestSellYears : public QObject {
    Q_OBJECT

private slots:
    // Rows are "S|2024-03-01" (a sell), "B|..." (a buy), "C|..." (a buy
    // to cover) or "T|..." (a tax record sold that day); chosen 0 means no
    // year was chosen.
    void defaultYear_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<int>("year");
        QTest::addColumn<QList<int>>("years");

        QTest::newRow("2024 store") << QStringList{"S|2024-03-01", "S|2024-11-05", "B|2023-01-02"}
                                    << 0 << 2024 << QList<int>{2024};
        QTest::newRow("mixed store")
            << QStringList{"S|2024-01-10", "S|1999-06-01", "S|2000-03-01", "T|2000-03-01"} << 0
            << 2024 << QList<int>{1999, 2000, 2024};
        QTest::newRow("empty store") << QStringList{} << 0 << 2000 << QList<int>{};
        QTest::newRow("a later buy does not count")
            << QStringList{"S|2024-01-10", "B|2025-01-02"} << 0 << 2024 << QList<int>{2024};
        QTest::newRow("trades before tax records")
            << QStringList{"S|2000-02-07", "T|2001-02-07"} << 0 << 2000 << QList<int>{2000, 2001};
        QTest::newRow("tax records only")
            << QStringList{"T|2023-05-01", "T|2022-05-01"} << 0 << 2000 << QList<int>{2022, 2023};
        QTest::newRow("1.1233-1(a)(1): a short's cover is its year")
            << QStringList{"S|2025-12-15", "C|2026-01-12"} << 0 << 2026 << QList<int>{2025, 2026};
        QTest::newRow("chosen year wins")
            << QStringList{"S|2024-01-10"} << 2000 << 2000 << QList<int>{2024};
        QTest::newRow("chosen year out of range")
            << QStringList{"S|2024-01-10"} << 1800 << 2024 << QList<int>{2024};
    }
    void defaultYear() {
        QFETCH(QStringList, rows);
        QFETCH(int, chosen);
        QFETCH(int, year);
        QFETCH(QList<int>, years);
        TestDatabase db;
        for (const QString& row : rows) {
            const QDate date = QDate::fromString(row.mid(2), Qt::ISODate);
            if (row[0] == u'T') {
                db.addTax("A", "IBM", 1, date.addDays(-10), date, 1, 2);
                continue;
            }
            const qint64 id =
                db.addTxn("A", "All", "IBM", 1, row[0] == u'S' ? "Sold" : "Bought", date, 1);
            if (row[0] == u'C')
                runQuery(db.connection(),
                         QStringLiteral("UPDATE Txn SET OpenClose = 'Close' WHERE ID = ?"), {id});
        }
        const std::optional<int> chosenYear = chosen ? std::optional(chosen) : std::nullopt;
        QCOMPARE(defaultTaxYear(db.connection(), chosenYear).year, year);
        QCOMPARE(yearsWithSells(db.connection()), years);
    }

    void choicesAddTheCurrentYearAndTheOneInUse() {
        QCOMPARE(yearChoices({1999, 2024}, 2026, TaxYear{2000}),
                 (QList<int>{1999, 2000, 2024, 2026}));
        QCOMPARE(yearChoices({2026}, 2026, TaxYear{2026}), QList<int>{2026});
    }
};

GAINBOOK_GUILESS_TEST(TestSellYears)
#include "test_sell_years.moc"
