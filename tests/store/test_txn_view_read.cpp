#include "store/sql.h"
#include "store/txn_table.h"
#include "store/txn_view_read.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QSqlQuery>
#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

// A row to store: its account, symbol and date as stored (a null text is
// NULL) and its ID (0: the next one); the month alternates so that a
// month's read has rows to find.
struct StoredRow {
    QString account;
    QString symbol;
    QString date;
    qint64 id = 0;
};

QString describe(const TxnRecord& r) {
    return QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
        .arg(r.id)
        .arg(r.accountName, r.txnMonth, r.symbol)
        .arg(r.quantity.text())
        .arg(r.type, r.txnDate.isValid() ? r.txnDate.toString(Qt::ISODate) : QStringLiteral("-"))
        .arg(r.amount.units())
        .arg(r.memo);
}

QStringList describeAll(const QVector<TxnRecord>& rows) {
    QStringList texts;
    for (const TxnRecord& r : rows)
        texts << describe(r);
    return texts;
}

// The rows as the plain ordered query reads them, one by one.
QStringList referenceRows(const QSqlDatabase& db, const QString& account,
                          const std::optional<QString>& month) {
    QSqlQuery query = runQuery(
        db,
        QStringLiteral("SELECT ID, AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, Amount, "
                       "Memo FROM Txn WHERE AccountName = ? AND (? IS NULL OR TxnMonth = ?) "
                       "ORDER BY TxnDate, Symbol, ID"),
        {account, month ? QVariant(*month) : QVariant(), month ? QVariant(*month) : QVariant()});
    QStringList texts;
    while (query.next())
        texts << describe(txnFromQuery(query));
    return texts;
}

QVector<StoredRow> sameDate(const QStringList& symbols) {
    QVector<StoredRow> rows;
    for (const QString& symbol : symbols)
        rows.append({QStringLiteral("A"), symbol, QStringLiteral("2000-01-05")});
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(QVector<StoredRow>)

class TestTxnViewRead : public QObject {
    Q_OBJECT

private slots:
    void readsTheRowsAndOrderOfTheOrderedQuery_data() {
        QTest::addColumn<QVector<StoredRow>>("stored");
        const QString a = QStringLiteral("A");
        const QString b = QStringLiteral("B");

        QTest::newRow("dates captured out of order")
            << QVector<StoredRow>{{a, "IBM", "2000-03-01"},
                                  {a, "IBM", "1999-12-31"},
                                  {a, "MSFT", "2000-02-29"},
                                  {a, "AAPL", "2000-01-01"}};
        QTest::newRow("equal dates and symbols keep capture order")
            << sameDate({"IBM", "IBM", "AAPL", "IBM", "AAPL"});
        QTest::newRow("symbols of mixed case") << sameDate({"ibm", "IBM", "Ibm", "iBM", "IBm"});
        QTest::newRow("symbols beyond ASCII")
            << sameDate({QStringLiteral(u"ÄPFEL"), QStringLiteral("APFEL"),
                         QStringLiteral(u"Zürich"), QStringLiteral(u"日本"), QStringLiteral(u"😀"),
                         QStringLiteral(u"\uFFFD"), QStringLiteral(u"\uFF21"), QStringLiteral(u"𝒜"),
                         QString(QChar(0xD800)), QStringLiteral(u"ÿ"), QStringLiteral(u"Ā")});
        QTest::newRow("dates NULL, empty or not ISO") << QVector<StoredRow>{
            {a, "IBM", "2000-01-05"}, {a, "IBM", QString()},  {a, "IBM", ""},
            {a, "IBM", "01/05/2000"}, {a, "AAPL", QString()}, {a, "IBM", "2000-01-04"}};
        QTest::newRow("other accounts between") << QVector<StoredRow>{
            {b, "IBM", "2000-01-01"},    {a, "IBM", "2000-01-09"}, {"a", "IBM", "2000-01-02"},
            {"A ", "IBM", "2000-01-03"}, {a, "IBM", "2000-01-08"}, {b, "IBM", "2000-01-07"}};
        QVector<StoredRow> scattered;
        for (int i = 0; i < 60; ++i)
            scattered.append(
                {i % 20 == 0 ? a : b, "IBM", QStringLiteral("2000-02-%1").arg(28 - i % 27)});
        QTest::newRow("account scattered among many others") << scattered;
        QTest::newRow("IDs typed in, as far apart as they go")
            << QVector<StoredRow>{{a, "IBM", "2000-01-02", -9223372036854775807},
                                  {a, "IBM", "2000-01-01", 9223372036854775807},
                                  {a, "IBM", "2000-01-01", 3}};
        QTest::newRow("no rows of the account") << QVector<StoredRow>{{b, "IBM", "2000-01-01"}};
    }

    void readsTheRowsAndOrderOfTheOrderedQuery() {
        QFETCH(QVector<StoredRow>, stored);
        TestDatabase t;
        const QSqlDatabase db = t.connection();
        int n = 0;
        for (const StoredRow& row : stored) {
            ++n;
            runQuery(db,
                     QStringLiteral("INSERT INTO Txn (ID, AccountName, TxnMonth, Symbol, "
                                    "Quantity, Type, TxnDate, Amount, Memo) "
                                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {row.id ? QVariant(row.id) : QVariant(), row.account,
                      n % 2 ? QStringLiteral("Jan") : QStringLiteral("Feb"), row.symbol, n,
                      n % 3 ? kBought : kSold, row.date, -12.5 * n,
                      n % 4 ? QStringLiteral("%1").arg(n) : QStringLiteral("")});
        }
        const QString account = QStringLiteral("A");
        for (const std::optional<QString>& month :
             {std::optional<QString>(), std::optional<QString>(QStringLiteral("Jan"))}) {
            const QStringList expected = referenceRows(db, account, month);
            QCOMPARE(describeAll(readTxnsInViewOrder(db, account, month)), expected);
        }
    }
};

GAINBOOK_GUILESS_TEST(TestTxnViewRead)
#include "test_txn_view_read.moc"
