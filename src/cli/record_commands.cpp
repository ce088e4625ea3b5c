#include "cli/record_commands.h"

#include "cli/cli_session.h"
#include "cli/csv_writer.h"
#include "main_window/account_outline.h"
#include "main_window/tax_view.h"
#include "main_window/txn_view.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "store/txn_table.h"

namespace gainbook {

bool knownAccount(CliSession& session, const QString& account, int& code) {
    const QSqlDatabase db = session.database().connection();
    if (account.isEmpty()) {
        code = session.fail(QStringLiteral("Account name is empty."));
        return false;
    }
    if (!accountHasTxns(db, account) && !accountHasTaxRecs(db, account)) {
        code = session.fail(QStringLiteral("Account not found: %1").arg(account));
        return false;
    }
    return true;
}

int runInit(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 0, 0, code))
        return code;
    const OpenResult result = session.database().create(session.databasePath());
    return result.ok() ? ExitOk : session.fail(result.message);
}

int runAccounts(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 0, 0, code))
        return code;
    try {
        const QVector<OutlineItem> items = loadOutline(session.database().connection());
        writeCsvRow(session.out(), {QStringLiteral("Level"), QStringLiteral("Text")});
        for (const OutlineItem& item : items)
            writeCsvRow(session.out(), {QString::number(item.level), item.text});
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

int runTxns(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 1, 2, code))
        return code;
    try {
        if (!knownAccount(session, args[0], code))
            return code;
        std::optional<QString> month;
        if (args.size() == 2)
            month = args[1];
        const QVector<TxnRecord> records =
            FillGrid1(session.database().connection(), args[0], month);
        if (month && records.isEmpty())
            return session.fail(QStringLiteral("Month not found: %1 in %2").arg(*month, args[0]));
        writeCsvRecords(session.out(), TxnColumns(), records);
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

int runTax(CliSession& session, const QStringList& args) {
    QStringList positional = args;
    const bool totalsOnly = takeFlag(positional, QStringLiteral("--totals"));
    int code = ExitOk;
    if (!checkPositional(session, positional, 1, 1, code))
        return code;
    try {
        if (!knownAccount(session, positional[0], code))
            return code;
        const TaxViewRecords tax =
            FillGrid(session.database().connection(), positional[0], session.taxYear());
        // The lines that say what the figures leave out or what may be out
        // of date come last: after the totals, as the "To check" line does;
        // after the listing on standard error, so that it stays a CSV file.
        const QStringList notes{tax.totals.notReportedText(), tax.processAgain};
        if (totalsOnly) {
            session.out() << tax.totals.recordsText() << '\n'
                          << tax.totals.proceedsText() << '\n'
                          << tax.totals.gainText() << '\n';
            if (const QString wash = tax.totals.washText(); !wash.isEmpty())
                session.out() << wash << '\n';
            if (const QString toCheck = tax.totals.warningsText(); !toCheck.isEmpty())
                session.out() << toCheck << '\n';
        } else {
            writeCsvRecords(session.out(), TaxColumns(tax.taxAdvantaged), tax.records);
        }
        QTextStream& notesOut = totalsOnly ? session.out() : session.err();
        for (const QString& note : notes) {
            if (!note.isEmpty())
                notesOut << note << '\n';
        }
    } catch (const StoreError& error) {
        return session.fail(error);
    }
    return ExitOk;
}

} // namespace gainbook
