#include "cli/buy_commands.h"

#include "buy_selection/buy_selection.h"
#include "cli/cli_session.h"
#include "cli/csv_writer.h"
#include "platform/prompter.h"
#include "platform/sheet_model.h"
#include "store/store_error.h"

namespace gainbook {

namespace {

// Looks for a buy without asking anything.
class SilentPrompter final : public Prompter {
public:
    void message(const QString&) override {}
    bool ask(const QString&) override { return false; }
};

std::optional<qint64> parseId(const QString& text) {
    bool ok = false;
    const qint64 id = text.toLongLong(&ok);
    return ok ? std::optional<qint64>(id) : std::nullopt;
}

// Opens the selection for ACCOUNT SELLID, or says why not.
std::optional<BuySelection> openSelection(CliSession& session, const QString& account,
                                          const QString& sellText, int& code) {
    const auto sellId = parseId(sellText);
    if (!sellId) {
        code = session.usage(QStringLiteral("Not a sell ID: %1").arg(sellText));
        return std::nullopt;
    }
    BuySelection selection(session.database().connection(), *sellId, account);
    if (!selection.FillSellRec()) {
        code =
            session.fail(QStringLiteral("Sell record not found: %1 in %2").arg(sellText, account));
        return std::nullopt;
    }
    return selection;
}

int applyOrFail(CliSession& session, BuySelection& selection, SheetModel& grid) {
    if (const auto failure = selection.Apply(grid))
        return session.fail(*failure);
    return ExitOk;
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
        auto selection = openSelection(session, rest[0], rest[1], code);
        if (!selection)
            return code;
        SheetModel grid;
        if (selection->FillGrid(grid, BuyFilter(filter - 1), session.prompter()) == BuyFill::NoBuys)
            return session.fail(QStringLiteral("No buy records in %1").arg(rest[0]));
        writeCsvRow(session.out(), {"Linked", "Date", "Symbol", "Applied#", "Applied Cost",
                                    "Total#", "Total Cost", "ID"});
        for (int row = 1; row <= grid.rows(); ++row)
            writeCsvRow(session.out(), grid.rowTexts(row));
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
        auto selection = openSelection(session, args[0], args[1], code);
        if (!selection)
            return code;
        // The buy may be listed under any of the filters; take the first that shows it.
        SheetModel grid;
        SilentPrompter quiet;
        int row = 0;
        for (int filter = 0; filter < 4 && row == 0; ++filter) {
            selection->FillGrid(grid, BuyFilter(filter), quiet);
            for (int r = 1; r <= grid.rows() && row == 0; ++r) {
                if (grid.text(r, BuyGridCol::Comments) == args[2])
                    row = r;
            }
        }
        if (row == 0)
            return session.fail(QStringLiteral("Buy record not found: %1").arg(args[2]));
        grid.setText(row, BuyGridCol::Linked, QStringLiteral("1"));
        if (args.size() > 3)
            grid.setText(row, BuyGridCol::Applied, args[3]);
        if (args.size() > 4)
            grid.setText(row, BuyGridCol::AppliedCost, args[4]);
        return applyOrFail(session, *selection, grid);
    } catch (const StoreError& error) {
        return session.fail(error);
    }
}

int runNewBuy(CliSession& session, const QStringList& args) {
    int code = ExitOk;
    if (!checkPositional(session, args, 6, 6, code))
        return code;
    try {
        auto selection = openSelection(session, args[0], args[1], code);
        if (!selection)
            return code;
        SheetModel grid;
        SilentPrompter quiet;
        selection->FillGrid(grid, BuyFilter::NotAccountedSameAccount, quiet);
        selection->cmdNew(grid);
        grid.setText(1, BuyGridCol::Date, args[2]);
        if (!BuySelection::normalizeDateCell(grid, 1))
            return session.fail(QStringLiteral("Not a valid date: %1").arg(args[2]));
        grid.setText(1, BuyGridCol::Symbol, args[3]);
        grid.setText(1, BuyGridCol::Total, args[4]);
        grid.setText(1, BuyGridCol::TotalCost, args[5]);
        return applyOrFail(session, *selection, grid);
    } catch (const StoreError& error) {
        return session.fail(error);
    }
}

} // namespace gainbook
