#include "db_generator.h"

#include "store/corp_action_table.h"
#include "store/records.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/txn_table.h"

#include <QDate>
#include <QVector>

#include <random>

namespace gainbook::bench {

namespace {

QString symbolName(int i) {
    // Short tickers plus a few long descriptions that share their first
    // twelve characters, as some brokers write them.
    if (i % 50 == 49)
        return QStringLiteral("INTL BUSINESS MACHINES %1").arg(i);
    QString s;
    int n = i + 26;
    while (n > 0) {
        s.prepend(QChar(u'A' + n % 26));
        n /= 26;
    }
    return s;
}

QString monthLabel(const QDate& date) {
    return date.toString(QStringLiteral("MMM yyyy"));
}

} // namespace

void generateCorpActions(const QSqlDatabase& db, int count, int symbols, quint32 seed) {
    std::mt19937 random(seed);
    auto uniform = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    const QDate first(1999, 1, 4);
    const int span = int(first.daysTo(QDate(2000, 12, 29)));
    Transaction transaction(db);
    for (int i = 0; i < count; ++i) {
        CorpActionRecord action;
        // Symbols from both ends of the pool, so that no symbol is split
        // twice on a day and no change loops.
        action.symbol = symbolName(i % std::max(1, symbols));
        action.effective = first.addDays(uniform(30, span));
        if (i % 5 == 4) {
            action.kind = ActionKind::SymbolChange;
            action.newSymbol = symbolName(std::max(1, symbols) - 1 - i % std::max(1, symbols));
        } else {
            static const double ratios[][2] = {{2, 1}, {3, 1}, {1, 2}};
            const auto& ratio = ratios[uniform(0, 2)];
            action.ratioNew = ratio[0];
            action.ratioOld = ratio[1];
        }
        insertCorpAction(db, action);
    }
    transaction.commit();
}

QString generatedAccountName(int i) {
    return i == 0 ? QStringLiteral("O'Brien IRA") : QStringLiteral("Brokerage %1").arg(i);
}

void generateDatabase(const QSqlDatabase& db, const GeneratorOptions& options) {
    std::mt19937 random(options.seed);
    auto uniform = [&](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(random);
    };
    auto chance = [&](double p) {
        return std::uniform_real_distribution<double>(0, 1)(random) < p;
    };

    const QDate first(1999, 1, 4);
    const int span = int(first.daysTo(QDate(2000, 12, 29)));
    const int accounts = std::max(1, options.accounts);
    const qint64 taxRecords =
        options.taxRecords < 0 ? options.transactions / 4 : options.taxRecords;

    Transaction transaction(db);
    TxnWriter txns(db);
    TaxWriter taxes(db);

    // Pairs of a buy and a sell of part of it, so that matching finds work.
    qint64 written = 0;
    while (written < options.transactions) {
        const QString account = generatedAccountName(uniform(0, accounts - 1));
        const QString symbol = symbolName(uniform(0, std::max(1, options.symbols) - 1));
        const double price = uniform(500, 20000) / 100.0;
        const double bought = uniform(1, 40) * 25;
        const QDate buyDate = first.addDays(uniform(0, span - 40));
        const QDate sellDate = chance(options.sellsBeforeBuys) ? buyDate.addDays(-uniform(1, 30))
                                                               : buyDate.addDays(uniform(0, 400));
        const double sold = std::max(1.0, std::floor(bought * uniform(20, 100) / 100.0));

        txns.insert({0, account, monthLabel(buyDate), symbol, Quantity::fromDouble(bought), kBought,
                     buyDate, Money::fromDouble(-bought * price), QString()});
        ++written;
        if (written >= options.transactions)
            break;
        if (sellDate.year() > 2000)
            continue; // sells beyond the history are not captured yet
        const double salePrice = price * uniform(70, 160) / 100.0;
        txns.insert({0, account, monthLabel(sellDate), symbol, Quantity::fromDouble(sold), kSold,
                     sellDate, Money::fromDouble(sold * salePrice), QString()});
        ++written;
    }

    for (qint64 i = 0; i < taxRecords; ++i) {
        const QDate sold = QDate(1999, 12, 1).addDays(uniform(0, 420));
        const QDate acquired = sold.addDays(-uniform(1, 700));
        const double cost = uniform(100, 500000) / 100.0;
        taxes.insert({0, generatedAccountName(uniform(0, accounts - 1)),
                      symbolName(uniform(0, options.symbols - 1)), Quantity::whole(uniform(1, 500)),
                      chance(0.05) ? QDate() : acquired, sold, Money::fromDouble(cost),
                      Money::fromDouble(cost * uniform(50, 180) / 100.0), QString(),
                      Form8949Box::None, Money(), 0});
    }
    transaction.commit();
}

} // namespace gainbook::bench
