#include "capture/broker_presets.h"
#include "capture/sources/spreadsheet_reader.h"
#include "capture_harness.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

namespace {

QString presetData(const QString& file) {
    return test::testData(QStringLiteral("capture/presets/") + file);
}

// The rows without the account and month, which the options decide.
QStringList tradesOf(const QStringList& rows) {
    QStringList out;
    for (const QString& row : rows)
        out << row.section(u'|', 2);
    return out;
}

} // namespace

// Each preset reads its broker's export and nothing else: every fixture is
// read by every preset, and only its own gives rows.
class TestBrokerPresets : public QObject {
    Q_OBJECT

private slots:
    void everyPresetOnEveryExport_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<bool>("own");
        const QVector<std::pair<QString, QString>> owners = {
            {"schwab.csv", "Schwab"},
            {"fidelity.csv", "Fidelity"},
            {"fidelity_single.csv", "Fidelity"},
            {"vanguard.csv", "Vanguard"},
            {"robinhood.csv", "Robinhood"},
            {"etrade.csv", "E*TRADE"},
            {"etrade_activity.xlsx", "E*TRADE"},
            {"ibkr_activity.csv", "Interactive Brokers"},
            {"ibkr_flex.csv", "Interactive Brokers"},
        };
        for (const auto& [file, owner] : owners)
            for (const BrokerPreset& preset : brokerPresets())
                QTest::addRow("%s by %s", qPrintable(file), qPrintable(preset.name))
                    << file << preset.name << (preset.name == owner);
    }
    void everyPresetOnEveryExport() {
        QFETCH(QString, file);
        QFETCH(QString, preset);
        QFETCH(bool, own);
        QString error;
        PageDocument document;
        document.sheet = readSpreadsheet(presetData(file), &error);
        QVERIFY2(document.sheet, qPrintable(error));
        const ParseResult parsed = test::parse(preset, document, [](CaptureState& s) {
            s.today = QDate(2025, 1, 1);
            s.deriveFromData = true;
        });
        QCOMPARE(parsed.message, QString());
        const QStringList expected = test::readExpected(presetData(file)).rows;
        QVERIFY(!expected.isEmpty());
        QCOMPARE(tradesOf(test::parsedRows(parsed)), own ? tradesOf(expected) : QStringList());
    }

    // What is not a sheet gives no rows, hence the no-data message naming
    // the preset, and writes nothing.
    void pageIsNoData() {
        test::CaptureHarness h;
        const auto run = h.run("Robinhood", PageDocument{});
        QCOMPARE(run.messages, QStringList{test::noData("Robinhood")});
        QVERIFY(run.rows.isEmpty());
    }

    // The rows that are not trades are counted by kind in one line.
    void skippedKindsAreCounted() {
        PageDocument document;
        document.sheet = readSpreadsheet(presetData("schwab.csv"), nullptr);
        const ParseResult parsed = test::parse("Schwab", document);
        QCOMPARE(parsed.skippedKinds.value("dividend"), 2);
        QCOMPARE(parsed.skippedKinds.value("transfer"), 1);
        QCOMPARE(parsed.skippedKinds.value("interest"), 1);
        QCOMPARE(parsed.skippedRows(), 0);
    }
};

GAINBOOK_GUILESS_TEST(TestBrokerPresets)
#include "test_broker_presets.moc"
