#include "matching/wash_sale_refresh.h"
#include "store/database.h"
#include "store/lot_adjust_table.h"
#include "store/schema_upgrade.h"
#include "store/sql.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/untied_sell_table.h"
#include "support/test_database.h"
#include "support/test_files.h"
#include "support/test_main.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

using namespace gainbook;
using gainbook::test::TestDatabase;

namespace {

// The tables as every file made before the store carried a version holds
// them. Kept here as they were: later versions change the program's schema,
// never the files already out there.
const QStringList kVersion0Tables{
    "CREATE TABLE Txn (ID INTEGER PRIMARY KEY AUTOINCREMENT, AccountName TEXT NOT NULL DEFAULT "
    "'', TxnMonth TEXT NOT NULL DEFAULT '', Symbol TEXT NOT NULL DEFAULT '', Quantity REAL NOT "
    "NULL DEFAULT 0, Type TEXT NOT NULL DEFAULT '', TxnDate TEXT, Amount REAL NOT NULL DEFAULT "
    "0, Memo TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE TaxRec (ID INTEGER PRIMARY KEY AUTOINCREMENT, AccountName TEXT NOT NULL "
    "DEFAULT '', Symbol TEXT NOT NULL DEFAULT '', Quantity REAL NOT NULL DEFAULT 0, DateAcquired "
    "TEXT, DateSold TEXT, Cost REAL NOT NULL DEFAULT 0, SalePrice REAL NOT NULL DEFAULT 0, Memo "
    "TEXT NOT NULL DEFAULT '')",
    "CREATE TABLE SellLinks (AccountName TEXT NOT NULL DEFAULT '', SellId INTEGER NOT NULL, "
    "BuyId INTEGER NOT NULL, BuyQuantity REAL NOT NULL DEFAULT 0, BuyPrice REAL NOT NULL DEFAULT "
    "0, Memo TEXT NOT NULL DEFAULT ' ', UNIQUE (SellId, BuyId))",
};

// A connection of its own to a file, closed with the object.
class RawFile {
public:
    explicit RawFile(const QString& path) : name_("raw-" + path) {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", name_);
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
    }
    ~RawFile() {
        QSqlDatabase::database(name_, false).close();
        QSqlDatabase::removeDatabase(name_);
    }
    QSqlDatabase db() const { return QSqlDatabase::database(name_, false); }

private:
    QString name_;
};

// A file as a program of the version before wash sales left it: the
// trades ("A|B|XYZ|100|2000-01-03|-1000": account, bought or sold, symbol,
// quantity, date, amount; row i gets ID i + 1), the links of the sells
// ("1>0 100 1000": the sell of row 1 took 100 shares costing 1000 from the
// buy of row 0) and the tax records ("A|XYZ|100|acquired|sold|cost|
// proceeds", with "|1" the sell of row 1 that wrote it, which only a file
// of version 5 on can say), brought by the program's own steps to version.
QString makeOldFile(const QTemporaryDir& dir, int version, const QStringList& trades,
                    const QStringList& links, const QStringList& records,
                    const QString& name = "old.db") {
    const QString path = dir.filePath(name);
    RawFile file(path);
    for (const QString& sql : kVersion0Tables)
        runQuery(file.db(), sql);
    for (const QString& trade : trades) {
        const QStringList f = trade.split('|');
        runQuery(
            file.db(),
            "INSERT INTO Txn (AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, "
            "Amount, Memo) VALUES (?, 'All', ?, ?, ?, ?, ?, '0')",
            {f[0], f[2], f[3].toDouble(), f[1] == "B" ? "Bought" : "Sold", f[4], f[5].toDouble()});
    }
    for (const QString& link : links) {
        const QStringList f = link.split(QRegularExpression("[> ]"));
        runQuery(file.db(),
                 "INSERT INTO SellLinks (AccountName, SellId, BuyId, BuyQuantity, BuyPrice) "
                 "SELECT AccountName, ID, ?, ?, ? FROM Txn WHERE ID = ?",
                 {f[1].toLongLong() + 1, f[2].toDouble(), f[3].toDouble(), f[0].toLongLong() + 1});
    }
    QVector<std::pair<qint64, qint64>> sells;
    for (const QString& record : records) {
        const QStringList f = record.split('|');
        const QSqlQuery added =
            runQuery(file.db(),
                     "INSERT INTO TaxRec (AccountName, Symbol, Quantity, DateAcquired, DateSold, "
                     "Cost, SalePrice, Memo) VALUES (?, ?, ?, ?, ?, ?, ?, ' ')",
                     {f[0], f[1], f[2].toDouble(), f[3], f[4], f[5].toDouble(), f[6].toDouble()});
        if (f.size() > 7)
            sells.append({added.lastInsertId().toLongLong(), f[7].toLongLong() + 1});
    }
    upgradeSchema(file.db(), schemaSteps().mid(0, version));
    for (const auto& [record, sell] : sells)
        runQuery(file.db(), "UPDATE TaxRec SET SellId = ? WHERE ID = ?", {sell, record});
    return path;
}

// A version-0 file with no indexes and a row in each table, and a link
// whose sell was deleted before the upgrade.
QString makeVersion0File(const QTemporaryDir& dir, const QString& name = "old.db") {
    const QString path = makeOldFile(
        dir, 0,
        {"O'Brien IRA|B|IBM|100|2000-03-01|-10000.25", "O'Brien IRA|S|IBM|50|2000-04-01|6000.5"},
        {"1>0 50 5000"}, {"O'Brien IRA|IBM|50|2000-03-01|2000-04-01|5000|6000.5"}, name);
    RawFile file(path);
    runQuery(file.db(), "INSERT INTO SellLinks (AccountName, SellId, BuyId) VALUES (?, 9, 0)",
             {"O'Brien IRA"});
    return path;
}

QStringList rows(const QSqlDatabase& db, const QString& sql) {
    QStringList result;
    QSqlQuery query = runQuery(db, sql);
    while (query.next()) {
        QStringList fields;
        for (int i = 0; i < query.record().count(); ++i)
            fields << query.value(i).toString();
        result << fields.join('|');
    }
    return result;
}

// Every column of the tables with its type, NOT NULL and default.
QStringList columns(const QSqlDatabase& db) {
    QStringList result;
    for (const QString table : {"Txn", "TaxRec", "SellLinks", "AccountSettings"})
        for (const QString& row : rows(db, QStringLiteral("PRAGMA table_info(%1)").arg(table)))
            result << table + ":" + row;
    return result;
}

QStringList indexes(const QSqlDatabase& db) {
    return rows(db, "SELECT name, sql FROM sqlite_master WHERE type = 'index' ORDER BY name");
}

// The version and every row of every table of a file, which a copy made
// by the engine keeps while it renumbers its header.
QStringList dump(const QString& path) {
    RawFile file(path);
    QStringList all{QString::number(schemaVersion(file.db()))};
    for (const QString& table : rows(file.db(), "SELECT name FROM sqlite_master WHERE type = "
                                                "'table' ORDER BY name"))
        all << table << rows(file.db(), QStringLiteral("SELECT * FROM \"%1\"").arg(table));
    return all;
}

} // namespace

class TestSchemaUpgrade : public QObject {
    Q_OBJECT

private slots:
    // A file of the first releases opens as one made today: same columns in
    // the same order, the same indexes, the newest stamp, its rows kept.
    void version0FileUpgrades() {
        QTemporaryDir dir;
        const QString path = makeVersion0File(dir);
        TestDatabase fresh;

        // A copy of an earlier upgrade is never written over.
        const QString earlier = path + ".v0.bak";
        QFile(earlier).open(QIODevice::WriteOnly);
        const QStringList before = dump(path);

        Database db;
        const OpenResult opened = db.open(path);
        QVERIFY2(opened.ok(), qPrintable(opened.message));
        const QString copy = path + ".v0-2.bak";
        QCOMPARE(opened.message, QStringLiteral("%1 was brought up to this version of Gainbook; "
                                                "the file as it was is kept in %2.")
                                     .arg(path, copy));
        QCOMPARE(dump(copy), before);
        QCOMPARE(test::readBytes(earlier), QByteArray());
        QCOMPARE(schemaVersion(db.connection()), currentSchemaVersion());
        QCOMPARE(schemaVersion(fresh.connection()), currentSchemaVersion());
        QCOMPARE(columns(db.connection()), columns(fresh.connection()));
        QCOMPARE(indexes(db.connection()), indexes(fresh.connection()));
        QCOMPARE(rows(db.connection(), "SELECT * FROM Txn"),
                 (QStringList{"1|O'Brien IRA|All|IBM|100|Bought|2000-03-01|-10000.25|0||0",
                              "2|O'Brien IRA|All|IBM|50|Sold|2000-04-01|6000.5|0||0"}));
        QCOMPARE(rows(db.connection(), "SELECT * FROM TaxRec"),
                 QStringList{"1|O'Brien IRA|IBM|50|2000-03-01|2000-04-01|5000|6000.5| |A|0|2"});
        // Each link names its sell's date and symbol where the sell is there;
        // links from before are taken as the run's own, not picked by hand.
        QCOMPARE(rows(db.connection(), "SELECT * FROM SellLinks"),
                 (QStringList{"O'Brien IRA|2|1|50|5000| |2000-04-01|IBM|0",
                              "O'Brien IRA|9|0|0|0| |||0"}));
    }

    // A step that fails takes the steps before it back with it: the file is
    // byte for byte what it was, still version 0, the box filled in the
    // program's own steps taken back too.
    void failingStepLeavesFileUntouched_data() {
        QTest::addColumn<bool>("programSteps");
        QTest::newRow("after a change of a column and its rows") << false;
        QTest::newRow("after the program's steps, the box fill among them") << true;
    }
    void failingStepLeavesFileUntouched() {
        QFETCH(bool, programSteps);
        QTemporaryDir dir;
        const QString path = makeVersion0File(dir);
        const QByteArray before = test::readBytes(path);
        {
            RawFile file(path);
            QVector<SchemaStep> steps{
                schemaStatements({"ALTER TABLE Txn ADD COLUMN Extra REAL NOT NULL DEFAULT 0",
                                  "UPDATE Txn SET Memo = 'changed'"})};
            if (programSteps)
                steps = schemaSteps();
            steps.append(schemaStatements({"INSERT INTO NoSuchTable VALUES (1)"}));
            QVERIFY_THROWS_EXCEPTION(StoreError, upgradeSchema(file.db(), steps));
            QCOMPARE(schemaVersion(file.db()), 0);
            QCOMPARE(rows(file.db(), "SELECT Memo FROM Txn"), (QStringList{"0", "0"}));
            QVERIFY(!rows(file.db(), "PRAGMA table_info(TaxRec)").join('\n').contains("Box"));
        }
        QCOMPARE(test::readBytes(path), before);
    }

    // Tax records of the versions before wash sales name no sell. Tied to
    // theirs, the loss is counted once: the record shows it disallowed (W)
    // and the replacement lot carries it. A sell whose records cannot be
    // told apart keeps its loss in full and adjusts no lot, until its
    // account is processed again. Typed-in records stay as they are.
    void oldTaxRecordsCountOnce_data() {
        QTest::addColumn<int>("version");
        QTest::addColumn<QStringList>("trades");
        QTest::addColumn<QStringList>("links");
        QTest::addColumn<QStringList>("records");
        // "sell row|quantity|cost|proceeds|disallowed", "-" for no sell.
        QTest::addColumn<QStringList>("after");
        // "buy row first shares added cost days back"
        QTest::addColumn<QStringList>("adjustments");
        QTest::addColumn<QList<int>>("untied");

        // Held Jan 3 to Mar 1, 2000: 58 days; loss 1000 - 700 = 300. 100
        // shares bought back in another account 10 days later replace all
        // 100 sold: the whole 300 is disallowed (1.1091-1(a)) and added to
        // their cost, 800 + 300 = 1100 (1.1091-2(a)); their holding period
        // takes in the 58 days (Publication 550, Wash Sales).
        for (const test::TableRow& r : test::tableRows(R"(
        26 CFR 1.1091-1(a), 1.1091-2(a): old loss, replacement elsewhere ; 4 ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, B|B|XYZ|100|2000-03-11|-800 ; 1>0 100 1000 ; A|XYZ|100|2000-01-03|2000-03-01|1000|700, A|ABC|10|2000-01-05|2000-03-01|50|60 ; 1|100|1000|700|300, -|10|50|60|0 ; 2 0 100 300 58
        // Short and long parts: 100 held since 1998 sold for 800, 50 held
        // since Feb 2000 sold for 400; no replacement, nothing disallowed.
        two term parts tied to their sell ; 0 ; A|B|XYZ|100|1998-01-05|-1000, A|B|XYZ|50|2000-02-01|-600, A|S|XYZ|150|2000-03-01|1200 ; 2>0 100 1000, 2>1 50 600 ; A|XYZ|100|1998-01-05|2000-03-01|1000|800, A|XYZ|50|2000-02-01|2000-03-01|600|400 ; 2|100|1000|800|0, 2|50|600|400|0
        two sells of one day: kept out ; 4 ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|50|2000-03-01|350, A|S|XYZ|50|2000-03-01|350, B|B|XYZ|100|2000-03-11|-800 ; 1>0 50 500, 2>0 50 500 ; A|XYZ|50|2000-01-03|2000-03-01|500|350, A|XYZ|50|2000-01-03|2000-03-01|500|350 ; -|50|500|350|0, -|50|500|350|0 ;  ; 1, 2
        a record short of its sell: kept out ; 4 ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, B|B|XYZ|100|2000-03-11|-800 ; 1>0 100 1000 ; A|XYZ|60|2000-01-03|2000-03-01|600|420 ; -|60|600|420|0 ;  ; 1
        // A's sale, kept out, sold the 100 shares bought Feb 20: they are no
        // replacement for C's loss of 300 on Mar 5 (1.1091-1(a)).
        shares a kept-out sell sold replace no loss ; 4 ; A|B|XYZ|100|2000-02-20|-1000, A|S|XYZ|100|2000-03-01|700, C|B|XYZ|100|2000-01-03|-1000, C|S|XYZ|100|2000-03-05|700 ; 1>0 100 1000, 3>2 100 1000 ; A|XYZ|60|2000-02-20|2000-03-01|600|420, C|XYZ|100|2000-01-03|2000-03-05|1000|700 ; -|60|600|420|0, 3|100|1000|700|0 ;  ; 1
        // Processed since wash sales came: its record has its sell, and a
        // record typed in for its day is no one's.
        version 6: processed sell and a typed record of its day ; 6 ; A|B|XYZ|100|2000-01-03|-1000, A|S|XYZ|100|2000-03-01|700, B|B|XYZ|100|2000-03-11|-800 ; 1>0 100 1000 ; A|XYZ|100|2000-01-03|2000-03-01|1000|700|1, A|XYZ|5|2000-02-01|2000-03-01|50|40 ; 1|100|1000|700|300, -|5|50|40|0 ; 2 0 100 300 58
        )")) {
            QList<int> untied;
            for (const QString& row : test::listOf(r.text(6)))
                untied << row.toInt();
            QTest::newRow(r.name) << r.text(0).toInt() << r.list(1) << r.list(2) << r.list(3)
                                  << r.list(4) << r.list(5) << untied;
        }
    }
    void oldTaxRecordsCountOnce() {
        QFETCH(int, version);
        QFETCH(QStringList, trades);
        QFETCH(QStringList, links);
        QFETCH(QStringList, records);
        QFETCH(QStringList, after);
        QFETCH(QStringList, adjustments);
        QFETCH(QList<int>, untied);
        QTemporaryDir dir;
        const QString path = makeOldFile(dir, version, trades, links, records);
        const QStringList before = dump(path);

        Database db;
        const OpenResult opened = db.open(path);
        QVERIFY2(opened.ok(), qPrintable(opened.message));
        const QString copy = QStringLiteral("%1.v%2.bak").arg(path).arg(version);
        QVERIFY2(opened.message.endsWith(copy + "."), qPrintable(opened.message));
        QCOMPARE(dump(copy), before);
        // The programs work the wash sales through at once after such an open.
        QVERIFY(opened.upgraded);
        QCOMPARE(settleUpgrade(db.connection(), opened), QString());
        const auto row = [](qint64 id) { return id > 0 ? QString::number(id - 1) : "-"; };
        QStringList found;
        QSqlQuery tax = runQuery(db.connection(), "SELECT SellId, Quantity, Cost, SalePrice, "
                                                  "WashAdj FROM TaxRec ORDER BY ID");
        while (tax.next())
            found << QStringList{row(tax.value(0).toLongLong()), tax.value(1).toString(),
                                 tax.value(2).toString(), tax.value(3).toString(),
                                 tax.value(4).toString()}
                         .join('|');
        QCOMPARE(found, after);
        QStringList marks;
        for (const LotAdjustRecord& a : selectLotAdjustments(db.connection()))
            marks << QStringLiteral("%1 %2 %3 %4 %5")
                         .arg(row(a.buyId))
                         .arg(a.firstShare.text())
                         .arg(a.shares.text())
                         .arg(a.addedCost.toDouble())
                         .arg(a.daysBack);
        QCOMPARE(marks, adjustments);
        QList<int> kept;
        for (const qint64 id : selectUntiedSells(db.connection()))
            kept << int(id - 1);
        std::sort(kept.begin(), kept.end());
        QCOMPARE(kept, untied);
        // Processing or recalculating the account begins by deleting its
        // records: from then on its sells are detected again.
        deleteTaxRecsOfAccount(db.connection(), "A");
        QVERIFY(selectUntiedSells(db.connection()).isEmpty());
    }

    // An upgrade that cannot keep its copy (here the copy's name is longer
    // than a folder takes) does not begin, and says why.
    void refusedCopyLeavesTheFileAsItWas() {
        QTemporaryDir dir;
        const QString path = makeVersion0File(dir, QString(244, 'x') + ".db");
        const QByteArray before = test::readBytes(path);
        Database db;
        const OpenResult opened = db.open(path);
        QCOMPARE(opened.status, OpenStatus::Failed);
        QVERIFY2(opened.message.startsWith(path +
                                           " was not brought up to this version of "
                                           "Gainbook and was not changed: its copy " +
                                           path + ".v0.bak could not be written ("),
                 qPrintable(opened.message));
        QVERIFY(!db.isOpen());
        QCOMPARE(test::readBytes(path), before);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    }

    // A file of a later version may hold columns this program would drop
    // on a write: it is refused, and left as it was.
    void newerFileRefused() {
        TestDatabase t;
        const QString path = t.path();
        setSchemaVersion(t.connection(), currentSchemaVersion() + 1);
        t.database().close();
        Database db;
        const OpenResult opened = db.open(path);
        QCOMPARE(opened.status, OpenStatus::Newer);
        QVERIFY2(opened.message.contains("newer version of Gainbook"), qPrintable(opened.message));
        QVERIFY(!db.isOpen());
        RawFile file(path);
        QCOMPARE(schemaVersion(file.db()), currentSchemaVersion() + 1);
    }
};

GAINBOOK_GUILESS_TEST(TestSchemaUpgrade)
#include "test_schema_upgrade.moc"
