#include "cli/method_commands.h"

#include "cli/cli_session.h"
#include "cli/record_commands.h"
#include "matching/lot_methods.h"
#include "matching/open_lots.h"
#include "matching/open_positions.h"
#include "matching/trade_changes.h"
#include "platform/csv_row.h"
#include "platform/date_text.h"
#include "platform/instrument_name.h"
#include "store/corp_action_table.h"
#include "store/lot_method_table.h"
#include "store/store_fault.h"

#include <QFile>

namespace gainbook {

int runAccountMethod(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    QStringList positional = args;
    bool missing = false;
    const std::optional<QString> symbol =
        takeOption(positional, QStringLiteral("--symbol"), missing);
    if (missing || (symbol && symbol->trimmed().isEmpty()))
        return session.usage(QStringLiteral("--symbol takes a symbol"));
    if (!checkPositional(session, positional, 1, 2, code))
        return code;
    // "account" lets one instrument go the account's way again.
    std::optional<LotMethod> method;
    const bool toAccount =
        positional.size() == 2 && symbol &&
        positional[1].trimmed().compare(QLatin1String("account"), Qt::CaseInsensitive) == 0;
    if (positional.size() == 2 && !toAccount) {
        method = lotMethodFromWord(positional[1]);
        if (!method)
            return session.usage(QStringLiteral("Not fifo, lifo, highest, lowest or average: %1")
                                     .arg(positional[1]));
    }
    try {
        if (!knownAccount(session, positional[0], code))
            return code;
        const QSqlDatabase db = session.database().connection();
        if (positional.size() == 1) {
            const QVector<LotMethodRow> rows = selectLotMethodRows(db, positional[0]);
            LotMethod own = LotMethod::Fifo;
            for (const LotMethodRow& row : rows) {
                if (row.symbol.isEmpty())
                    own = row.method;
            }
            session.out() << lotMethodWord(own) << '\n';
            for (const LotMethodRow& row : rows) {
                if (!row.symbol.isEmpty() && (!symbol || row.symbol == symbol->trimmed()))
                    session.out() << row.symbol << ' ' << lotMethodWord(row.method) << '\n';
            }
            return ExitOk;
        }
        if (session.database().isReadOnly())
            return session.fail(readOnlyMessage(session.database().path()));
        const Outcome outcome =
            changeLotMethod(db, positional[0], symbol.value_or(QString()), method);
        if (!outcome.done())
            return session.fail(outcome.message);
        const AccountLotMethods now = selectLotMethods(db, positional[0]);
        const QString name = symbol.value_or(QString());
        session.out() << lotMethodText(positional[0], name,
                                       name.isEmpty() ? now.method : now.of(instrumentKey(name)))
                      << '\n';
        if (outcome.count > 0 && needsRematch(db, positional[0]))
            session.out() << processAgainForMethodText(positional[0]) << '\n';
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

int runCompare(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 0, 1, code))
        return code;
    try {
        const QString account = args.value(0);
        if (!account.isEmpty() && !knownAccount(session, account, code))
            return code;
        const QVector<MethodFigures> table =
            compareLotMethods(session.database().connection(), account, session.taxYear());
        writeCsvRow(session.out(), methodFiguresHeading());
        for (const MethodFigures& figures : table)
            writeCsvRow(session.out(), methodFiguresFields(figures));
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

namespace {

// Lots come from what the last runs left: a run still owed, after the CSV
// on standard error as `tax` does, so that the listing stays a CSV file.
void noteProcessAgain(CliSession& session) {
    if (const QString line = processAgainLine(session.database().connection()); !line.isEmpty())
        session.err() << line << '\n';
}

} // namespace

int runLots(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    QStringList positional = args;
    bool missing = false;
    const std::optional<QString> pricesFile =
        takeOption(positional, QStringLiteral("--prices"), missing);
    if (missing)
        return session.usage(QStringLiteral("--prices takes a file"));
    const std::optional<QString> onText = takeOption(positional, QStringLiteral("--on"), missing);
    if (missing)
        return session.usage(QStringLiteral("--on takes a date"));
    if (!checkPositional(session, positional, 1, 1, code))
        return code;
    QDate on = QDate::currentDate();
    if (onText) {
        on = dateFromText(*onText);
        if (!on.isValid())
            return session.fail(QStringLiteral("Not a date: %1").arg(*onText));
    }
    QHash<QString, Money> prices;
    if (pricesFile) {
        QFile file(*pricesFile);
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
            return session.fail(QStringLiteral("Cannot read the prices file %1: %2")
                                    .arg(*pricesFile, file.errorString()));
        QStringList bad;
        prices = pricesFromCsv(QString::fromUtf8(file.read(1 << 24)), bad);
        for (const QString& line : std::as_const(bad))
            session.err() << "Not a symbol and price: " << line << '\n';
    }
    try {
        if (!knownAccount(session, positional[0], code))
            return code;
        writeCsvRow(session.out(), openLotHeading());
        for (const OpenLot& lot :
             openLots(session.database().connection(), positional[0], on, prices))
            writeCsvRow(session.out(), openLotFields(lot, on));
        noteProcessAgain(session);
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

int runPositions(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 1, code))
        return code;
    try {
        if (!knownAccount(session, args[0], code))
            return code;
        writeCsvRow(session.out(), openPositionHeading());
        for (const OpenPosition& position :
             openPositions(session.database().connection(), args[0], session.taxYear().lastDay()))
            writeCsvRow(session.out(), openPositionFields(position));
        noteProcessAgain(session);
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

} // namespace gainbook
