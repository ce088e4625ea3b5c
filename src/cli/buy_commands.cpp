#include "cli/buy_commands.h"

#include "buy_selection/buy_selection.h"
#include "buy_selection/choice_checks.h"
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

// A number argument as a user would type it into the cell. Text that is
// no number at all is wrong usage; a number no brokerage row can hold is
// refused with the words the screen uses. nullopt (and the refusal printed)
// when it is either.
std::optional<double> numberArgument(CliSession& session, const QString& what, const QString& text,
                                     int& code) {
    const std::optional<double> value = typedNumber(text);
    if (!value) {
        code = session.usage(QStringLiteral("Not a valid number: %1").arg(text));
        return std::nullopt;
    }
    if (const QString refused = rangeRefusal(what, *value); !refused.isEmpty()) {
        code = session.fail(refused);
        return std::nullopt;
    }
    return value;
}

std::optional<qint64> idArgument(CliSession& session, const QString& what, const QString& text,
                                 int& code) {
    const std::optional<qint64> id = parseId(text);
    if (!id)
        code = session.usage(QStringLiteral("Not a %1 ID: %2").arg(what, text));
    return id;
}

// The sell ACCOUNT SELLID names, or says why there is none.
std::optional<TxnRecord> findSell(CliSession& session, const BuySelection& selection,
                                  const QString& sellText, int& code) {
    const auto sellId = idArgument(session, QStringLiteral("sell"), sellText, code);
    if (!sellId)
        return std::nullopt;
    std::optional<TxnRecord> sell = selection.findSell(*sellId);
    if (!sell)
        code = session.fail(selection.sellRefusal(*sellId));
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
        const std::optional<TxnRecord> sell = findSell(session, selection, rest[1], code);
        if (!sell)
            return code;
        const BuyListing listing =
            selection.listBuys(BuyFilter(filter - 1), session.prompter(), sell->txnDate);
        if (!listing.accountHasBuys)
            return session.fail(QStringLiteral("No buy records in %1").arg(rest[0]));
        writeCsvRow(session.out(), {"Linked", "Date", "Symbol", "Applied#", "Applied Cost",
                                    "Total#", "Total Cost", "ID"});
        for (const BuyRow& row : listing.rows)
            writeCsvRow(session.out(), buyRowTexts(row));
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

int runLink(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 3, 5, code))
        return code;
    try {
        BuySelection selection(session.database().connection(), args[0]);
        const std::optional<TxnRecord> sell = findSell(session, selection, args[1], code);
        if (!sell)
            return code;
        // Any stored buy can be chosen, as the screen's "All in all Accounts"
        // lists every one; whether it is a buy with shares open is the
        // selection's to check, as on the screen.
        BuyChoice choice;
        const std::optional<qint64> buyId =
            idArgument(session, QStringLiteral("buy"), args[2], code);
        if (!buyId)
            return code;
        choice.buyId = *buyId;
        if (args.size() > 3) {
            // On the command line a quantity is typed only to be applied.
            choice.quantity = numberArgument(session, QStringLiteral("quantity"), args[3], code);
            if (!choice.quantity)
                return code;
            if (*choice.quantity <= 0)
                return session.fail(
                    QStringLiteral("The quantity must be greater than 0: %1").arg(args[3]));
        }
        if (args.size() > 4) {
            const std::optional<double> cost =
                numberArgument(session, QStringLiteral("cost"), args[4], code);
            if (!cost)
                return code;
            choice.cost = Money::fromDouble(*cost);
        }
        return apply(session, selection, sell->id, std::move(choice));
    } catch (const StoreError& error) {
        return session.fail(error);
    }
}

int runNewBuy(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 6, 6, code))
        return code;
    try {
        BuySelection selection(session.database().connection(), args[0]);
        const std::optional<TxnRecord> sell = findSell(session, selection, args[1], code);
        if (!sell)
            return code;
        TxnRecord buy = newBuyRow(*sell).buy;
        buy.txnDate = dateFromText(args[2]);
        if (!buy.txnDate.isValid())
            return session.fail(QStringLiteral("Not a valid date: %1").arg(args[2]));
        buy.symbol = args[3];
        const std::optional<double> quantity =
            numberArgument(session, QStringLiteral("quantity"), args[4], code);
        if (!quantity)
            return code;
        const std::optional<double> cost =
            numberArgument(session, QStringLiteral("cost"), args[5], code);
        if (!cost)
            return code;
        buy.quantity = Quantity::fromDouble(*quantity);
        buy.amount = Money::fromDouble(*cost);
        BuyChoice choice;
        choice.newBuy = buy;
        return apply(session, selection, sell->id, std::move(choice));
    } catch (const StoreError& error) {
        return session.fail(error);
    }
}

} // namespace gainbook
