#pragma once

#include <QSqlDatabase>
#include <QString>

namespace gainbook::bench {

// The shape of a generated database: brokerage accounts with monthly
// capture batches, buys and sells of a pool of symbols (some sells come
// before the buys that close them), and tax records around the tax year.
struct GeneratorOptions {
    qint64 transactions = 100000; // over all accounts, about half buys and half sells
    int accounts = 5;
    int symbols = 500;
    qint64 taxRecords = -1;       // -1: one per four transactions
    double sellsBeforeBuys = 0.1; // share of sells dated before their buy
    quint32 seed = 2000;
};

// Fills an empty Gainbook database in one transaction. Throws StoreError.
void generateDatabase(const QSqlDatabase& db, const GeneratorOptions& options);

// Adds `count` corporate actions over the generated history: four in five
// splits (2:1, 3:1, 1:2) of distinct symbols, the others symbol changes of
// a symbol into another generated one, so that sells under the new name
// look up the old one. Throws StoreError.
void generateCorpActions(const QSqlDatabase& db, int count, int symbols, quint32 seed = 2000);

// The name of generated account number i (from 0); the first holds a quote
// so every benchmark also runs names that need careful SQL.
QString generatedAccountName(int i);

} // namespace gainbook::bench
