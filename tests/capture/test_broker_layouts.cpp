#include "capture/preset_parser.h"
#include "capture/sheet_rows.h"
#include "capture/sources/spreadsheet_reader.h"
#include "capture_harness.h"
#include "store/account_settings_table.h"
#include "support/memory_settings.h"
#include "support/test_main.h"

#include <QtTest>

using namespace gainbook;

namespace {

PageDocument sheetFile(const QString& file) {
    PageDocument document;
    document.sheet = readSpreadsheet(test::captureData(file), nullptr);
    return document;
}

// "account|symbol|quantity|type|date|amount" of each row read.
QStringList tradesOf(const ParseResult& parsed) {
    QStringList out;
    for (const QString& row : test::parsedRows(parsed)) {
        QStringList f = row.split(u'|');
        f.removeAt(1); // the month
        f.removeLast();
        out << f.join(u'|');
    }
    for (const qsizetype at : parsed.unknownCostRows)
        out[at] += QStringLiteral(" cost unknown");
    for (qsizetype at = 0; at < out.size(); ++at)
        if (parsed.rows[at].openClose == kIncome)
            out[at] += QStringLiteral(" income");
    return out;
}

// The accounts named ("number=name", "*" after an IRA, Roth or HSA), the
// actions proposed and the rows skipped by kind, " / " between.
QString summaryOf(const ParseResult& parsed) {
    QStringList accounts, actions, skipped;
    for (auto it = parsed.namedAccounts.cbegin(); it != parsed.namedAccounts.cend(); ++it)
        accounts << it.key() + u'=' + it->name + (it->taxAdvantaged ? "*" : "");
    for (const ActionRow& a : parsed.actionRows)
        actions << QStringLiteral("%1 %2 %3").arg(a.account, a.symbol).arg(a.sharesAdded);
    for (auto it = parsed.skippedKinds.cbegin(); it != parsed.skippedKinds.cend(); ++it)
        skipped << QStringLiteral("%1 %2").arg(it.key()).arg(it.value());
    return accounts.join(u';') + " / " + actions.join(u';') + " / " + skipped.join(u", ");
}

// "key=value" of each remembered name, in key order.
QStringList rememberedNames(const test::MemorySettings& settings) {
    QStringList out;
    for (auto it = settings.values.cbegin(); it != settings.values.cend(); ++it)
        out << it.key().section(u'/', 1) + u'=' + it.value();
    out.sort();
    return out;
}

QMap<QString, QString> pairsOf(const QStringList& pairs) {
    QMap<QString, QString> map;
    for (const QString& pair : pairs)
        map.insert(pair.section(u'=', 0, 0), pair.section(u'=', 1));
    return map;
}

} // namespace

// Downloads as users get them, read by "Detect": which layout each is
// found to be in, and every trade kept in the account the file names.
class TestBrokerLayouts : public QObject {
    Q_OBJECT

private slots:
    void detected_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("readAs");
        QTest::addColumn<QStringList>("trades"); // empty: as many as the preset's own rows
        QTest::addColumn<QString>("summary");    // accounts / actions / skipped
        QTest::addColumn<QString>("zone");       // of exchanges' timestamps; empty: UTC
        auto row = [](const char* name, const char* file, const char* readAs,
                      const QStringList& trades = {}, const char* summary = "",
                      const char* zone = "") {
            QTest::newRow(name) << file << QString("Read as %1.").arg(readAs) << trades << summary
                                << zone;
        };
        // Pub. 550: reinvested dividends are purchases with their own date
        // and basis; a bond paid at maturity or redeemed is a sale (or
        // retirement) at the amount received. The merger's old and new
        // shares carry the basis on: proposed, not filed as trades.
        row("Fidelity current all accounts, disclaimer below", "layouts/fidelity_current.csv",
            "a Fidelity download",
            {"Z12345678|AAPL|10|Bought|01/10/2024|1500", "234567890|VTI|5|Bought|02/12/2024|1000",
             "Z12345678|AAPL|4|Sold|03/15/2024|639.98",
             "234567890|VTI|0.125|Bought|03/28/2024|26.25",
             "Z12345678|SPAXX|12.34|Bought|03/29/2024|12.34",
             "Z12345678|912797GL5|10000|Sold|04/01/2024|10000",
             "Z12345678|MSFT|20|Bought|05/10/2024|0 cost unknown"},
            "234567890=ROTH IRA*;Z12345678=Individual / Z12345678 OLDCO -50;Z12345678 NEWCO 50 / "
            "dividend 1, transfer 1");
        row("Fidelity older headings, Amount ($)", "presets/fidelity.csv", "a Fidelity download",
            {"Individual Z12345678|AAPL|10|Bought|03/15/2024|1500",
             "Individual Z12345678|AAPL|5|Sold|03/16/2024|799.98",
             "ROTH IRA 234567890|SPAXX|12.34|Bought|03/17/2024|12.34"},
            "Individual Z12345678=;ROTH IRA 234567890=* /  / dividend 1, transfer 1");
        // Holdings first, then the trades without the optional columns; a
        // fund without a ticker is named by the investment.
        row("Vanguard two tables, optional columns left out", "layouts/vanguard_two_tables.csv",
            "a Vanguard download",
            {"12345678|VTI|10|Bought|01/15/2024|2405", "12345678|VTI|4|Sold|03/20/2024|1000",
             "87654321|VANGUARD 500 INDEX ADMIRAL|0.123|Bought|03/25/2024|55.35",
             "87654321|VFIAX|3|Bought|04/02/2024|0 cost unknown"},
            "12345678=;87654321=* /  / dividend 1, transfer 1");
        // Sells are the negative quantities where "Buy/Sell" was not picked.
        row("IBKR flex query, five columns picked", "layouts/ibkr_flex_picked.csv",
            "an Interactive Brokers flex query",
            {"U1234567|AAPL|10|Bought|03/15/2024|1501", "U7654321|MSFT|5|Sold|03/18/2024|1998.98"},
            "U1234567=;U7654321= /  / ");
        // "Reinvest Shares" is a lot; "Reinvest Dividend" is the cash
        // dividend paid, with no shares. Pub. 550, Options: an option that
        // expires is sold at 0 on its expiry, though the row says no amount.
        row("Schwab, the preset's own account", "presets/schwab.csv", "a Schwab download",
            {"Schwab1|AAPL|10|Bought|03/15/2024|1500", "Schwab1|AAPL|5|Sold|03/18/2024|799.35",
             "Schwab1|SWVXX|1.234|Bought|03/19/2024|1.23",
             "Schwab1|AAPL 04/19/2024 180.00 C|1|Bought|03/21/2024|250.66",
             "Schwab1|AAPL 04/19/2024 180.00 C|1|Sold|03/22/2024|309.34",
             "Schwab1|AAPL 03/22/2024 170.00 P|1|Sold|03/25/2024|0"},
            " /  / dividend 2, interest 1, transfer 1");
        row("IBKR activity statement in sections", "presets/ibkr_activity.csv",
            "an Interactive Brokers activity statement");
        row("Robinhood", "presets/robinhood.csv", "a Robinhood download");
        row("E*TRADE classic", "presets/etrade.csv", "an E*TRADE download");
        // Pub. 544, Rev. Proc. 2024-28: the buy's 50 fee is in its cost
        // (5,050); the conversion is a sale of 0.05 BTC for 3,000 less its
        // 30 fee (matched later against half the 5,050: a cost of 2,525)
        // and a buy of 1.2 ETH at 3,000; staking and rewards (Rev. Rul.
        // 2023-14) are income at their value when received, which is their
        // cost. Days are UTC's: 03:30Z on the 2nd is still the 1st in New
        // York, 21:30 at -05:00 on the 2nd already the 3rd in UTC.
        const QStringList coinbaseUtc{"Coinbase1|BTC|0.1|Bought|01/10/2025|5050",
                                      "Coinbase1|ETH|2|Bought|02/01/2025|0 cost unknown",
                                      "Coinbase1|BTC|0.05|Sold|03/02/2025|2970",
                                      "Coinbase1|ETH|1.2|Bought|03/02/2025|3000",
                                      "Coinbase1|ETH|0.01|Bought|03/03/2025|31 income",
                                      "Coinbase1|USDC|10|Bought|03/05/2025|10 income",
                                      "Coinbase1|BTC|0.01|Sold|03/10/2025|613.8",
                                      "Coinbase1|BTC|0.02|Sent|03/11/2025|0"};
        const char* coinbaseSkipped = " /  / ";
        row("Coinbase: lines above the headings, fees, a conversion, rewards, in UTC",
            "presets/coinbase.csv", "a Coinbase transaction history", coinbaseUtc, coinbaseSkipped);
        QStringList newYork = coinbaseUtc;
        newYork[2].replace("03/02", "03/01");
        newYork[3].replace("03/02", "03/01");
        newYork[4].replace("03/03", "03/02");
        row("Coinbase: the same near midnight, dated in New York", "presets/coinbase.csv",
            "a Coinbase transaction history", newYork, coinbaseSkipped, "America/New_York");
        QStringList east = coinbaseUtc;
        east[0].replace("01/10", "01/11");
        east[6].replace("03/10", "03/11");
        east[7].replace("03/11", "03/12");
        row("Coinbase: dated at UTC+10:00, 14:00 UTC and after a day later", "presets/coinbase.csv",
            "a Coinbase transaction history", east, coinbaseSkipped, "UTC+10:00");
        // Kraken's fee is in the quote currency: a buy of 4,000 with 10.40
        // costs 4,010.40, a sale of 3,000 with 7.80 realizes 2,992.20.
        row("Kraken trades, XXBT and ZUSD, a sell with its fee", "presets/kraken.csv",
            "a Kraken trades download",
            {"Kraken1|BTC|0.1|Bought|01/15/2025|4010.4", "Kraken1|ETH|1|Bought|02/01/2025|3007.8",
             "Kraken1|BTC|0.05|Sold|06/30/2025|2992.2", "Kraken1|SOL|2|Bought|07/01/2025|300.78"},
            " /  / margin 1");
        // Rev. Proc. 2024-28: a coin moved to one's own wallet is no sale;
        // it leaves as a send and arrives as a lot of unknown cost. Cash,
        // and shares under the cash words, stay rows of no trade.
        row("Schwab: a coin withdrawn is a send, one deposited a receive, cash kept as cash",
            "layouts/schwab_coin_moves.csv", "a Schwab download",
            {"Schwab1|BTC|0.5|Bought|03/01/2024|30000", "Schwab1|BTC|0.2|Sent|03/04/2024|0",
             "Schwab1|ETH|2|Bought|03/06/2024|0 cost unknown"},
            " /  / transfer 2");
    }
    void detected() {
        QFETCH(QString, file);
        QFETCH(QString, readAs);
        QFETCH(QStringList, trades);
        QFETCH(QString, summary);
        QFETCH(QString, zone);
        const ParseResult parsed =
            test::parse(detectEntryName(), sheetFile(file), [&zone](CaptureState& s) {
                s.today = QDate(2025, 1, 1);
                s.account.clear();
                s.zone = zone;
            });
        QCOMPARE(parsed.message, QString());
        QCOMPARE(parsed.readAs, readAs);
        // The rows are those the broker's own entry reads.
        if (trades.isEmpty()) {
            const QStringList own = test::readExpected(test::captureData(file)).rows;
            QVERIFY(!own.isEmpty());
            QCOMPARE(tradesOf(parsed).size(), own.size());
            return;
        }
        QCOMPARE(tradesOf(parsed), trades);
        QCOMPARE(summaryOf(parsed), summary);
    }

    // The capture names the layout first; a sheet in none is refused with
    // the headings it has, which the command-line tool shows and the
    // screen answers with the column mapping window.
    void namedOrRefused_data() {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("found") << "layouts/ibkr_flex_picked.csv"
                               << QStringList{"Read as an Interactive Brokers flex query.",
                                              "2 records successfully added."};
        QTest::newRow("none fits") << "layouts/unknown.csv"
                                   << QStringList{missingHeadingMessage(),
                                                  "The headings found: When, What, Ticker, Value."};
        QTest::newRow("Kraken pairs not in dollars told")
            << "presets/kraken.csv"
            << QStringList{"Read as a Kraken trades download.", "4 records successfully added.",
                           "2 rows were skipped: 2 priced in another currency than the dollar.",
                           "1 row that is not a buy or sell was skipped: margin 1."};
    }
    // Each account number is named once: given, remembered, or asked with
    // the download's own name proposed; an IRA the store does not know yet
    // is marked tax-advantaged, so its buys disallow a replaced loss for
    // good (Pub. 550, wash sales: IRA purchases; Rev. Rul. 2008-5).
    void accountsNamed_data() {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QStringList>("remembered");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("known"); // an account the store has settings for
        QTest::addColumn<QStringList>("questions");
        QTest::addColumn<QStringList>("accounts"); // "name" each, "*" when tax-advantaged
        QTest::addColumn<QStringList>("rememberedAfter");
        const QString roth = QStringLiteral("The download names the account 234567890. Under "
                                            "which name are its records to be kept? "
                                            "[ROTH IRA 234567890]");
        const QString individual = QStringLiteral("The download names the account Z12345678. "
                                                  "Under which name are its records to be kept? "
                                                  "[Individual Z12345678]");
        auto row = [](const char* name, const QStringList& given, const QStringList& remembered,
                      const QStringList& answers, const char* known, const QStringList& questions,
                      const QStringList& accounts, const QStringList& rememberedAfter) {
            QTest::newRow(name) << given << remembered << answers << QString(known) << questions
                                << accounts << rememberedAfter;
        };
        const QStringList both{"234567890=Roth", "Z12345678=Brokerage"};
        row("asked, answers remembered", {}, {}, {"Roth", "Brokerage"}, "", {roth, individual},
            {"Brokerage", "Roth*"}, both);
        row("unanswered: the number, nothing remembered", {}, {}, {}, "", {roth, individual},
            {"234567890*", "Z12345678"}, {});
        row("given: not asked, remembered", {"234567890=Roth IRA"}, {}, {}, "", {individual},
            {"Roth IRA*", "Z12345678"}, {"234567890=Roth IRA"});
        row("remembered: not asked", {}, both, {}, "", {}, {"Brokerage", "Roth*"}, both);
        row("an account already set keeps its setting", both, {}, {}, "Roth", {},
            {"Brokerage", "Roth"}, both);
    }
    void accountsNamed() {
        QFETCH(QStringList, given);
        QFETCH(QStringList, remembered);
        QFETCH(QStringList, answers);
        QFETCH(QString, known);
        QFETCH(QStringList, questions);
        QFETCH(QStringList, accounts);
        QFETCH(QStringList, rememberedAfter);
        test::MemorySettings settings;
        for (const auto& [number, name] : pairsOf(remembered).asKeyValueRange())
            settings.setValue(accountNumbersSection(), number, name);
        test::CaptureHarness h;
        if (!known.isEmpty())
            setWashSettings(h.db.connection(), known, WashSettings{});
        for (const QString& answer : answers)
            h.prompter.textAnswers.enqueue(answer);
        const auto run = h.run(detectEntryName(), sheetFile("layouts/fidelity_current.csv"),
                               [&](CaptureState& s) {
                                   s.today = QDate(2025, 1, 1);
                                   s.account.clear();
                                   s.accountNames.given = pairsOf(given);
                                   s.accountNames.remembered = &settings;
                               });
        QVERIFY2(run.outcome.done(), qPrintable(run.outcome.message));
        // The merger's proposal follows, under the account's name.
        QCOMPARE(run.questions.filter(QStringLiteral("The download names")), questions);
        QStringList stored;
        for (const QString& row : run.rows) {
            const QString account = row.section(u'|', 0, 0);
            const QString shown =
                account + (selectWashSettings(h.db.connection(), account).taxAdvantaged
                               ? QStringLiteral("*")
                               : QString());
            if (!stored.contains(shown))
                stored << shown;
        }
        stored.sort();
        QCOMPARE(stored, accounts);
        QCOMPARE(rememberedNames(settings), rememberedAfter);
    }

    void namedOrRefused() {
        QFETCH(QString, file);
        QFETCH(QStringList, messages);
        QCOMPARE(test::CaptureHarness().run(detectEntryName(), sheetFile(file)).messages, messages);
    }
};

GAINBOOK_GUILESS_TEST(TestBrokerLayouts)
#include "test_broker_layouts.moc"
