#include "cli/buy_commands.h"

#include "buy_selection/buy_selection.h"
#include "cli/cli_session.h"
#include "cli/csv_writer.h"
#include "platform/date_text.h"
#include "platform/number_text.h"
#include "store/store_error.h"
#include "store/txn_table.h"

namespace gainbook {

namespace {

std::optional<qint64> parseId(const QString& text) {
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

// A number argument as a user would type it into the cell; nullopt (and the
// refusal printed) when it is none.
std::optional<double> numberArgument(CliSession& session, const QString& text, int& code) {
    const std::optional<double> value = typedNumber(text);
    if (value && Money::isRepresentable(*value))
        return value;
    code = session.fail(QStringLiteral("Not a valid number: %1").arg(text));
    return std::nullopt;
}

// The sell ACCOUNT SELLID names, or says why there is none.
std::optional<TxnRecord> findSell(CliSession& session, const BuySelection& selection,
                                  const QString& account, const QString& sellText, int& code) {
    const auto sellId = parseId(sellText);
    if (!sellId) {
        code = session.usage(QStringLiteral("Not a sell ID: %1").arg(sellText));
        return std::nullopt;
    }
    std::optional<TxnRecord> sell = selection.findSell(*sellId);
    if (!sell)
        code =
            session.fail(QStringLiteral("Sell record not found: %1 in %2").arg(sellText, account));
    return sell;
}

int apply(CliSession& session, BuySelection& selection, qint64 sellId, BuyChoice choice) {
    QVector<BuyChoice> choices{std::move(choice)};
    const Outcome outcome = selection.Apply(sellId, choices);
    return outcome.done() ? int(ExitOk) : session.fail(outcome.message);
}

} // namespace

int runBuys(CliSession& session, const QStringList& args) {
    QStringList rest = args;
    bool missing = false;
    const auto filterText = takeOption(rest, QStringLiteral("--filter"), missing);
    int code = ExitOk;
    if (missing)
        return session.usage(QStringLiteral("--filter needs a number from 1 to 4."));
    if (!checkPositional(session, rest, 2, 2, code))
        return code;
    const int filter = filterText ? filterText->toInt() : 1;
    if (filter < 1 || filter > 4)
        return session.usage(QStringLiteral("--filter needs a number from 1 to 4."));
    try {
        const BuySelection selection(session.database().connection(), rest[0]);
        if (!findSell(session, selection, rest[0], rest[1], code))
            return code;
        const BuyListing listing = selection.listBuys(BuyFilter(filter - 1), session.prompter());
        if (!listing.accountHasBuys)
            return session.fail(QStringLiteral("No buy records in %1").arg(rest[0]));
        writeCsvRow(session.out(), {"Linked", "Date", "Symbol", "Applied#", "Applied Cost",
                                    "Total#", "Total Cost", "ID"});
        for (const BuyRow& row : listing.rows)
            writeCsvRow(session.out(), buyRowTexts(row));
    } catch (const StoreError& error) {
        return session.fail(error.message());
    }
    return ExitOk;
}

int runLink(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 3, 5, code))
        return code;
    try {
        BuySelection selection(session.database().connection(), args[0]);
        const std::optional<TxnRecord> sell = findSell(session, selection, args[0], args[1], code);
        if (!sell)
            return code;
        // Any stored buy can be chosen, as the screen's "All in all Accounts"
        // lists every one.
        const std::optional<qint64> buyId = parseId(args[2]);
        const std::optional<TxnRecord> buy =
            buyId ? selectTxnById(session.database().connection(), *buyId) : std::nullopt;
        if (!buy || buy->type != kBought)
            return session.fail(QStringLiteral("Buy record not found: %1").arg(args[2]));
        BuyChoice choice;
        choice.buyId = buy->id;
        if (args.size() > 3 && !(choice.quantity = numberArgument(session, args[3], code)))
            return code;
        if (args.size() > 4) {
            const std::optional<double> cost = numberArgument(session, args[4], code);
            if (!cost)
                return code;
            choice.cost = Money::fromDouble(*cost);
        }
        return apply(session, selection, sell->id, std::move(choice));
    } catch (const StoreError& error) {
        return session.fail(error.message());
    }
}

int runNewBuy(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 6, 6, code))
        return code;
    try {
        BuySelection selection(session.database().connection(), args[0]);
        const std::optional<TxnRecord> sell = findSell(session, selection, args[0], args[1], code);
        if (!sell)
            return code;
        TxnRecord buy = newBuyRow(*sell).buy;
        buy.txnDate = dateFromText(args[2]);
        if (!buy.txnDate.isValid())
            return session.fail(QStringLiteral("Not a valid date: %1").arg(args[2]));
        buy.symbol = args[3];
        const std::optional<double> quantity = numberArgument(session, args[4], code);
        if (!quantity)
            return code;
        const std::optional<double> cost = numberArgument(session, args[5], code);
        if (!cost)
            return code;
        buy.quantity = *quantity;
        buy.amount = Money::fromDouble(*cost);
        BuyChoice choice;
        choice.newBuy = buy;
        return apply(session, selection, sell->id, std::move(choice));
    } catch (const StoreError& error) {
        return session.fail(error.message());
    }
}

} // namespace gainbook
