#include "capture/broker_presets.h"
#include "capture/sources/spreadsheet_reader.h"
#include "capture_harness.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

namespace {

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
        for (const QString owned :
             {"schwab.csv=Schwab", "fidelity.csv=Fidelity", "fidelity_single.csv=Fidelity",
              "vanguard.csv=Vanguard", "robinhood.csv=Robinhood", "etrade.csv=E*TRADE",
              "etrade_activity.xlsx=E*TRADE", "ibkr_activity.csv=Interactive Brokers",
              "ibkr_flex.csv=Interactive Brokers", "coinbase.csv=Coinbase", "kraken.csv=Kraken"}) {
            const QString file = owned.section(u'=', 0, 0);
            for (const BrokerPreset& preset : brokerPresets())
                QTest::addRow("%s by %s", qPrintable(file), qPrintable(preset.name))
                    << file << preset.name << (preset.name == owned.section(u'=', 1));
        }
    }
    void everyPresetOnEveryExport() {
        QFETCH(QString, file);
        QFETCH(QString, preset);
        QFETCH(bool, own);
        PageDocument document;
        document.sheet = readSpreadsheet(test::captureData("presets/" + file), nullptr);
        const ParseResult parsed = test::parse(preset, document, [](CaptureState& s) {
            s.today = QDate(2025, 1, 1);
            s.deriveFromData = true;
        });
        QCOMPARE(parsed.message, QString());
        const QStringList expected = test::readExpected(test::captureData("presets/" + file)).rows;
        QVERIFY(!expected.isEmpty());
        QCOMPARE(tradesOf(test::parsedRows(parsed)), own ? tradesOf(expected) : QStringList());
    }
};

GAINBOOK_GUILESS_TEST(TestBrokerPresets)
#include "test_broker_presets.moc"
