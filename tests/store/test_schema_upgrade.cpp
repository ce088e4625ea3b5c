#include "store/database.h"
#include "store/schema_upgrade.h"
#include "store/sql.h"
#include "support/test_database.h"
#include "support/test_main.h"

#include <QFile>
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

// A version-0 file with no indexes and a row in each table.
QString makeVersion0File(const QTemporaryDir& dir) {
    const QString path = dir.filePath("old.db");
    RawFile file(path);
    for (const QString& sql : kVersion0Tables)
        runQuery(file.db(), sql);
    runQuery(file.db(),
             "INSERT INTO Txn (AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, Amount, "
             "Memo) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
             {"O'Brien IRA", "March 2000", "IBM", 100.0, "Bought", "2000-03-01", -10000.25, "100"});
    runQuery(file.db(),
             "INSERT INTO Txn (AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, Amount, "
             "Memo) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
             {"O'Brien IRA", "April 2000", "IBM", 50.0, "Sold", "2000-04-01", 6000.5, ""});
    runQuery(file.db(),
             "INSERT INTO TaxRec (AccountName, Symbol, Quantity, DateAcquired, DateSold, Cost, "
             "SalePrice, Memo) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
             {"O'Brien IRA", "IBM", 50.0, "2000-03-01", "2000-04-01", 5000.0, 6000.5, ""});
    runQuery(file.db(),
             "INSERT INTO SellLinks (AccountName, SellId, BuyId, BuyQuantity, BuyPrice, Memo) "
             "VALUES (?, ?, ?, ?, ?, ?)",
             {"O'Brien IRA", 2, 1, 50.0, 5000.0, " "});
    // A link whose sell was deleted before the upgrade.
    runQuery(file.db(),
             "INSERT INTO SellLinks (AccountName, SellId, BuyId, BuyQuantity, BuyPrice, Memo) "
             "VALUES (?, ?, ?, ?, ?, ?)",
             {"O'Brien IRA", 9, 0, 0.0, 0.0, " "});
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

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
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

        Database db;
        const OpenResult opened = db.open(path);
        QVERIFY2(opened.ok(), qPrintable(opened.message));
        QCOMPARE(schemaVersion(db.connection()), currentSchemaVersion());
        QCOMPARE(schemaVersion(fresh.connection()), currentSchemaVersion());
        QCOMPARE(columns(db.connection()), columns(fresh.connection()));
        QCOMPARE(indexes(db.connection()), indexes(fresh.connection()));
        QCOMPARE(rows(db.connection(), "SELECT * FROM Txn"),
                 (QStringList{"1|O'Brien IRA|March 2000|IBM|100|Bought|2000-03-01|-10000.25|100",
                              "2|O'Brien IRA|April 2000|IBM|50|Sold|2000-04-01|6000.5|"}));
        QCOMPARE(rows(db.connection(), "SELECT * FROM TaxRec"),
                 QStringList{"1|O'Brien IRA|IBM|50|2000-03-01|2000-04-01|5000|6000.5||A|0|0"});
        // Each link names its sell's date and symbol where the sell is there.
        QCOMPARE(
            rows(db.connection(), "SELECT * FROM SellLinks"),
            (QStringList{"O'Brien IRA|2|1|50|5000| |2000-04-01|IBM", "O'Brien IRA|9|0|0|0| ||"}));
    }

    // A file whose tax records predate the box gets each record's box from
    // its term, as an account of the default setting would: A short, D long,
    // empty when the date acquired is unknown.
    void boxFilledByTerm_data() {
        QTest::addColumn<QVariant>("acquired");
        QTest::addColumn<QString>("sold");
        QTest::addColumn<QString>("box");
        QTest::newRow("a month") << QVariant("2000-03-01") << "2000-04-01"
                                 << "A";
        QTest::newRow("a year to the day") << QVariant("1999-03-01") << "2000-03-01"
                                           << "A";
        QTest::newRow("a year and a day") << QVariant("1999-03-01") << "2000-03-02"
                                          << "D";
        // SQL's year after Feb 29 is Mar 1; the program's is Feb 28.
        QTest::newRow("bought on a leap day") << QVariant("2000-02-29") << "2001-03-01"
                                              << "D";
        QTest::newRow("bought after sold") << QVariant("2000-06-01") << "2000-03-01"
                                           << "A";
        QTest::newRow("no date acquired") << QVariant() << "2000-03-01"
                                          << "";
        QTest::newRow("empty date acquired") << QVariant("") << "2000-03-01"
                                             << "";
    }
    void boxFilledByTerm() {
        QFETCH(QVariant, acquired);
        QFETCH(QString, sold);
        QFETCH(QString, box);
        QTemporaryDir dir;
        const QString path = makeVersion0File(dir);
        {
            RawFile file(path);
            runQuery(
                file.db(),
                "INSERT INTO TaxRec (AccountName, Symbol, Quantity, DateAcquired, DateSold, "
                "Cost, SalePrice, Memo) VALUES ('Acme', 'T', 1, ?, ?, 1, 2, ' ')",
                {acquired.isValid() ? acquired : QVariant(QMetaType::fromType<QString>()), sold});
        }
        Database db;
        QVERIFY(db.open(path).ok());
        QCOMPARE(rows(db.connection(), "SELECT Box FROM TaxRec ORDER BY ID"),
                 (QStringList{"A", box}));
        QCOMPARE(rows(db.connection(), "SELECT * FROM AccountSettings"), QStringList());
    }

    // The box is filled in the upgrade's one transaction: a step after it
    // that fails takes the new column and its letters back too.
    void boxFillTakenBackWithAFailingStep() {
        QTemporaryDir dir;
        const QString path = makeVersion0File(dir);
        const QByteArray before = contents(path);
        {
            RawFile file(path);
            QVector<SchemaStep> steps = schemaSteps();
            steps.append(schemaStatements({"INSERT INTO NoSuchTable VALUES (1)"}));
            QVERIFY_THROWS_EXCEPTION(StoreError, upgradeSchema(file.db(), steps));
            QCOMPARE(schemaVersion(file.db()), 0);
            QVERIFY(!rows(file.db(), "PRAGMA table_info(TaxRec)").join('\n').contains("Box"));
        }
        QCOMPARE(contents(path), before);
    }

    // The steps run from the file's version on, in order, and the stamp
    // says how far they got.
    void stepsRunFromTheFileVersion_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("ran");
        QTest::addColumn<int>("outcome");
        QTest::newRow("version 0") << 0 << "abc" << int(SchemaUpgrade::Upgraded);
        QTest::newRow("version 2") << 2 << "c" << int(SchemaUpgrade::Upgraded);
        QTest::newRow("current") << 3 << "" << int(SchemaUpgrade::Current);
        QTest::newRow("newer") << 4 << "" << int(SchemaUpgrade::Newer);
    }
    void stepsRunFromTheFileVersion() {
        QFETCH(int, from);
        QFETCH(QString, ran);
        QFETCH(int, outcome);
        TestDatabase t;
        setSchemaVersion(t.connection(), from);
        QString order;
        const auto step = [&order](QChar name) {
            return [&order, name](const QSqlDatabase&) { order += name; };
        };
        const QVector<SchemaStep> steps{step('a'), step('b'), step('c')};
        QCOMPARE(int(upgradeSchema(t.connection(), steps)), outcome);
        QCOMPARE(order, ran);
        QCOMPARE(schemaVersion(t.connection()), std::max(from, 3));
    }

    // A step that fails takes the steps before it back with it: the file is
    // byte for byte what it was, still version 0.
    void failingStepLeavesFileUntouched() {
        QTemporaryDir dir;
        const QString path = makeVersion0File(dir);
        const QByteArray before = contents(path);
        {
            RawFile file(path);
            const QVector<SchemaStep> steps{
                schemaStatements({"ALTER TABLE Txn ADD COLUMN Extra REAL NOT NULL DEFAULT 0",
                                  "UPDATE Txn SET Memo = '0'"}),
                schemaStatements({"INSERT INTO NoSuchTable VALUES (1)"}),
            };
            QVERIFY_THROWS_EXCEPTION(StoreError, upgradeSchema(file.db(), steps));
            QCOMPARE(schemaVersion(file.db()), 0);
            QCOMPARE(rows(file.db(), "SELECT Memo FROM Txn"), (QStringList{"100", ""}));
        }
        QCOMPARE(contents(path), before);
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

    // A file of the last release holds the old search index of sells' buys;
    // opened, it loses it and nothing else.
    void retiredIndexDropped() {
        TestDatabase t;
        TestDatabase fresh;
        const QString path = t.path();
        runQuery(t.connection(), "CREATE INDEX TxnByAccountTypeSymbol "
                                 "ON Txn (AccountName, Type, substr(Symbol, 1, 12), TxnDate)");
        t.database().close();
        Database db;
        QVERIFY(db.open(path).ok());
        QCOMPARE(indexes(db.connection()), indexes(fresh.connection()));
    }

    // Opening a current file writes nothing to it.
    void currentFileOpensWithoutWriting() {
        TestDatabase t;
        const QString path = t.path();
        t.database().close();
        const QByteArray before = contents(path);
        Database db;
        QVERIFY(db.open(path).ok());
        db.close();
        QCOMPARE(contents(path), before);
    }
};

GAINBOOK_GUILESS_TEST(TestSchemaUpgrade)
#include "test_schema_upgrade.moc"
