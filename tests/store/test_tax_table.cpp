#include "platform/date_text.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;
using namespace gainbook::test;

namespace {

QString fieldsOf(const TaxRecord& r) {
    return QStringList{QString::number(r.id),
                       r.accountName,
                       r.accountName.isNull() ? "null" : "text",
                       r.symbol,
                       r.quantity.text(),
                       r.dateAcquired.toString(Qt::ISODate),
                       r.dateSold.toString(Qt::ISODate),
                       QString::number(r.cost.units()),
                       QString::number(r.salePrice.units()),
                       r.memo,
                       boxLetter(r.box),
                       QString::number(r.washAdjustment.units()),
                       QString::number(r.sellId)}
        .join(u'|');
}

} // namespace

// The year's records are read straight from the engine; every cell must
// convert as a read through QSqlQuery converts it, whatever another tool
// stored in it.
class TestTaxTable : public QObject {
    Q_OBJECT

private slots:
    void readsAsTheQueryReads_data() {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QVariant>("value");
        auto row = [](const char* name, const char* column, const QVariant& value) {
            QTest::newRow(name) << QString::fromLatin1(column) << value;
        };
        row("number as text", "Quantity", QString("12.5"));
        row("text no number", "Cost", QString("abc"));
        row("text with blanks", "WashAdj", QString(" 7 "));
        row("real seller", "SellId", 12.75);
        row("text seller", "SellId", QString("42"));
        row("blob symbol", "Symbol", QByteArray("B\xc3\xa9"));
        row("number symbol", "Symbol", 123);
        row("null acquired", "DateAcquired", QVariant());
        row("slashed date", "DateAcquired", QString("1/5/1999"));
        row("date of no day", "DateAcquired", QString("1999-02-30"));
        row("date with a time", "DateSold", QString("2000-05-06T10:00"));
        row("lower-case box", "Box", QString("b"));
        row("unknown box", "Box", QString("Z"));
        row("empty account", "AccountName", QString(""));
        row("huge cost", "Cost", 1e300);
        row("memo of blanks", "Memo", QString("  "));
    }
    void readsAsTheQueryReads() {
        QFETCH(QString, column);
        QFETCH(QVariant, value);
        TestDatabase t;
        t.addTax("A", "IBM", 100, QDate(1999, 1, 5), QDate(2000, 5, 6), 1000, 1100, " ");
        const qint64 id =
            t.addTax("A", "IBM", 100, QDate(1999, 1, 5), QDate(2000, 5, 6), 1000, 1100, " ");
        runQuery(t.connection(), "UPDATE TaxRec SET " + column + " = ? WHERE ID = ?", {value, id});
        QSqlQuery query = runQuery(t.connection(), "SELECT ID, AccountName, Symbol, Quantity, "
                                                   "DateAcquired, DateSold, Cost, SalePrice, "
                                                   "Memo, Box, WashAdj, SellId FROM TaxRec "
                                                   "ORDER BY ID");
        QStringList expected;
        while (query.next())
            expected << fieldsOf(taxFromQuery(query));
        query.finish();

        QStringList read;
        qint64 beyond = -1;
        for (const TaxRecord& r : selectTaxRecsSold(t.connection(), QDate(2000, 1, 1),
                                                    QDate(2000, 12, 31), 1e12, beyond))
            read << fieldsOf(r);
        QCOMPARE(read, expected);
        QCOMPARE(beyond, countTaxRecsSoldBeyond(t.connection(), QDate(2000, 1, 1),
                                                QDate(2000, 12, 31), 1e12));
        QStringList ofAccount;
        for (const TaxRecord& r :
             selectTaxRecs(t.connection(), "A", QDate(2000, 1, 1), QDate(2000, 12, 31)))
            ofAccount << fieldsOf(r);
        QCOMPARE(ofAccount, read.filter(QRegularExpression("^\\d+\\|A\\|")));
    }

    // Records go in by batches of one statement; wherever the database
    // refuses one, the rows before it are kept in order and nothing after.
    void insertStopsAtTheRefusedRecord_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("refused"); // -1: none
        const int batch = TaxWriter::kBatchRows;
        QTest::newRow("all, batches and a rest") << 3 * batch + 5 << -1;
        QTest::newRow("last of the first batch") << 3 * batch << batch - 1;
        QTest::newRow("first of the second batch") << 3 * batch << batch;
        QTest::newRow("in the rest after the batches") << 3 * batch + 5 << 3 * batch + 2;
    }
    void insertStopsAtTheRefusedRecord() {
        QFETCH(int, count);
        QFETCH(int, refused);
        TestDatabase t;
        runQuery(t.connection(), "CREATE TRIGGER refuse BEFORE INSERT ON TaxRec WHEN "
                                 "NEW.Symbol = 'BAD' BEGIN SELECT RAISE(ABORT, 'refused'); END");
        QVector<TaxRecord> records;
        for (int i = 0; i < count; ++i) {
            TaxRecord r;
            r.accountName = "A";
            r.symbol = i == refused ? "BAD" : "S" + QString::number(i);
            r.quantity = Quantity::whole(i);
            r.dateSold = QDate(2000, 1, 1).addDays(i);
            r.box = Form8949Box::D;
            records << r;
        }
        const WrittenRows written = insertTaxRecs(t.connection(), records);
        const int kept = refused < 0 ? count : refused;
        QCOMPARE(written.count, qint64(kept));
        QCOMPARE(written.refusedRow, qsizetype(refused));
        QSqlQuery q = runQuery(t.connection(), "SELECT Symbol, Quantity FROM TaxRec ORDER BY ID");
        for (int i = 0; i < kept; ++i) {
            QVERIFY(q.next());
            QCOMPARE(q.value(0).toString(), "S" + QString::number(i));
            QCOMPARE(q.value(1).toInt(), i);
        }
        QVERIFY(!q.next());
    }

    // One writer makes each date text once and hands it out again: a
    // record's two dates, and the records after it, must each keep their own
    // text when their days share a place in its table.
    void writerKeepsEachDate_data() {
        QTest::addColumn<QVector<QDate>>("dates"); // acquired, sold, acquired, sold, ...
        const QDate day(2017, 10, 20);
        QTest::newRow("same day") << QVector<QDate>{day, day};
        QTest::newRow("a table apart in one record") << QVector<QDate>{day, day.addDays(2048)};
        QTest::newRow("a table apart, the other way")
            << QVector<QDate>{day.addDays(1024), day, day, day.addDays(1024)};
        QTest::newRow("each record a table later") << QVector<QDate>{
            day,           day.addDays(1), day.addDays(1024), day.addDays(1025), day.addDays(3072),
            day.addDays(1)};
        QTest::newRow("no date acquired")
            << QVector<QDate>{QDate(), day, day.addDays(-1024), QDate(), QDate(), QDate()};
        QTest::newRow("years beyond four digits")
            << QVector<QDate>{QDate(12000, 1, 1), QDate(-5, 3, 1), QDate(1, 1, 1), day};
    }
    void writerKeepsEachDate() {
        QFETCH(QVector<QDate>, dates);
        TestDatabase t;
        {
            TaxWriter writer(t.connection());
            for (qsizetype i = 0; i + 1 < dates.size(); i += 2) {
                TaxRecord r;
                r.accountName = "A";
                r.symbol = "S";
                r.dateAcquired = dates[i];
                r.dateSold = dates[i + 1];
                r.box = Form8949Box(i / 2 % 7);
                writer.insert(r);
            }
        }
        QSqlQuery q =
            runQuery(t.connection(), "SELECT DateAcquired, DateSold, Box FROM TaxRec ORDER BY ID");
        for (qsizetype i = 0; i + 1 < dates.size(); i += 2) {
            QVERIFY(q.next());
            for (int column = 0; column < 2; ++column) {
                const QString expected = isoDate(dates[i + column]);
                QCOMPARE(q.value(column).isNull(), expected.isNull());
                QCOMPARE(q.value(column).toString(), expected);
            }
            QCOMPARE(q.value(2).toString(), storedText(boxLetter(Form8949Box(i / 2 % 7))));
        }
        QVERIFY(!q.next());
    }
};

GAINBOOK_GUILESS_TEST(TestTaxTable)
#include "test_tax_table.moc"
