#pragma once

#include <QStringList>

namespace gainbook {

class CliSession;

// account-method ACCOUNT [fifo|lifo|highest|lowest|average] [--symbol
// SYMBOL]: the order in which the account's sells take its buys, or one
// instrument's ("account" with --symbol: back to the account's). Without
// the word, prints the account's method and the instruments that differ.
int runAccountMethod(CliSession& session, const QStringList& args);

// compare [ACCOUNT]: the tax year's gains under each lot method (CSV),
// nothing written.
int runCompare(CliSession& session, const QStringList& args);

// lots ACCOUNT [--prices FILE.csv] [--on DATE]: the account's open lots
// with the day each turns long term; with prices, their unrealized gains
// and, for those at a loss, the wash-sale check of a sale that day (CSV).
int runLots(CliSession& session, const QStringList& args);

// positions ACCOUNT: what the account holds open at the tax year's end:
// lots held, shorts and options (CSV).
int runPositions(CliSession& session, const QStringList& args);

} // namespace gainbook
