#include "capture/column_mapping.h"
#include "capture_harness.h"
#include "page_builder.h"
#include "support/cli_run.h"
#include "support/memory_settings.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

namespace {

QJsonObject json(const char* text) {
    return QJsonDocument::fromJson(text).object();
}

} // namespace

// Column mappings as "capture --map" reads them and as the screen saves
// them: what is refused, and the rows a mapping gives.
class TestColumnMapping : public QObject {
    Q_OBJECT

private slots:
    void fromJson_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>(
            "result"); // "date,type,symbol,quantity,amount,account@row" or the error
        const auto row = [](const char* name, const char* text, const char* result) {
            QTest::newRow(name) << QString(text) << QString(result);
        };
        row("numbers and letters in any case",
            R"({"name":"CU","firstRow":3,"date":1,"type":"b","symbol":"C","quantity":4,)"
            R"("amount":"AA","account":6})",
            "1,2,3,4,27,6@3");
        row("first row defaults to 2, account optional",
            R"({"name":"CU","date":1,"type":2,"symbol":3,"quantity":4,"amount":5})",
            "1,2,3,4,5,0@2");
        row("no name", R"({"date":1,"type":2,"symbol":3,"quantity":4,"amount":5})",
            "it has no name");
        row("a role missing", R"({"name":"CU","date":1,"type":2,"symbol":3,"quantity":4})",
            "it names no amount column");
        row("two roles in one column",
            R"({"name":"CU","date":1,"type":1,"symbol":3,"quantity":4,"amount":5})",
            "type shares its column with another role");
        row("column past the sheet",
            R"({"name":"CU","date":1,"type":2,"symbol":3,"quantity":4,"amount":"ZZZZ"})",
            "amount is not a column");
        row("fractional column",
            R"({"name":"CU","date":1.5,"type":2,"symbol":3,"quantity":4,"amount":5})",
            "date is not a column");
        row("row 0",
            R"({"name":"CU","firstRow":0,"date":1,"type":2,"symbol":3,"quantity":4,)"
            R"("amount":5})",
            "firstRow is not a row number");
    }
    void fromJson() {
        QFETCH(QString, text);
        QFETCH(QString, result);
        QString error;
        const auto m = mappingFromJson(json(text.toUtf8().constData()), &error);
        if (!m) {
            QCOMPARE(error, result);
            return;
        }
        const SheetColumns& c = m->columns;
        QCOMPARE(QString::asprintf("%d,%d,%d,%d,%d,%d@%d", c.date, c.type, c.symbol, c.quantity,
                                   c.amount, c.account, m->firstRow),
                 result);
        // What is saved reads back the same.
        const auto again = mappingFromJson(mappingToJson(*m), nullptr);
        QVERIFY(again);
        QCOMPARE(mappingToJson(*again), mappingToJson(*m));
    }

    // The rows end at the first row whose mapped cells are all empty, not
    // at an empty first column; a column of decimal commas is read so.
    void rows() {
        ColumnMapping m;
        m.name = "CU";
        m.firstRow = 2;
        m.columns = {2, 3, 6, 4, 5, 0}; // date, type, amount, symbol, quantity
        const PageDocument sheet = test::sheetOf({{"no headings here"},
                                                  {"", "3/1/2024", "Kauf", "SAP", "5", "1.234,50"},
                                                  {"x", "3/2/2024", "Buy", "SAP", "5", "1.234,50"},
                                                  {"", "3/3/2024", "Sell", "SAP", "-2", "500,25"},
                                                  {"ignored"},
                                                  {"", "3/4/2024", "Buy", "LATE", "1", "1,00"}});
        const ParseResult r =
            parseWithMapping(m, sheet, test::stateFor("Other", [](CaptureState& s) {
                                           s.today = QDate(2025, 1, 1);
                                       }).settings());
        QCOMPARE(test::parsedRows(r), (QStringList{"Other1|All|SAP|5|Bought|03/02/2024|1234.5|",
                                                   "Other1|All|SAP|2|Sold|03/03/2024|500.25|"}));
        QCOMPARE(r.skippedKinds.value("other"), 1);
    }

    // The tool takes the same mapping from a file.
    void captureWithMapFile_data() {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("rows");
        QTest::newRow("mapped") << QByteArray(R"({"name":"CU","date":1,"symbol":"B","type":"C",)"
                                              R"("quantity":4,"amount":5})")
                                << 0 << 2;
        QTest::newRow("not json") << QByteArray("date=1") << 2 << 0;
        QTest::newRow("a mapping of the wrong columns finds no trade")
            << QByteArray(R"({"name":"CU","date":1,"symbol":"C","type":"B",)"
                          R"("quantity":4,"amount":5})")
            << 1 << 0;
    }
    void captureWithMapFile() {
        QFETCH(QByteArray, json);
        QFETCH(int, code);
        QFETCH(int, rows);
        test::TestDatabase db;
        const QString map = db.folder() + "/map.json";
        test::writeBytes(map, json);
        const auto run =
            test::runCliCaught({"--db", db.path(), "capture", "--map", map, "--account", "CU",
                                test::captureData("mapping/no_headings.csv")});
        QVERIFY2(run.code == code, qPrintable(run.out + run.err));
        QCOMPARE(test::storedRows(db.connection()).size(), rows);
    }

    void savedByName() {
        test::MemorySettings settings;
        ColumnMapping a;
        a.name = "A";
        a.columns = {1, 2, 3, 4, 5, 0};
        ColumnMapping b = a;
        b.name = "B";
        saveMapping(settings, a);
        saveMapping(settings, b);
        a.firstRow = 7;
        saveMapping(settings, a);
        const auto saved = savedMappings(settings);
        QCOMPARE(saved.size(), 2);
        QCOMPARE(saved[0].name, QString("A"));
        QCOMPARE(saved[0].firstRow, 7);
        QCOMPARE(savedMapping(settings, "B")->firstRow, 2);
        QVERIFY(!savedMapping(settings, "C"));
    }
};

GAINBOOK_GUILESS_TEST(TestColumnMapping)
#include "test_column_mapping.moc"
