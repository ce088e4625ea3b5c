#include "cli/cli_help.h"

#include "cli/cli_commands.h"

#include <QHash>

namespace gainbook {

namespace {

#ifndef GAINBOOK_VERSION
#define GAINBOOK_VERSION "0"
#endif

const QHash<QString, QString>& summaries() {
    static const QHash<QString, QString> texts = {
        {"init", "Creates the database file named by --db with its empty tables; an existing "
                 "file is never overwritten."},
        {"accounts", "Prints the account outline as CSV: each account (level 1) followed by "
                     "its capture months (level 2)."},
        {"txns", "Prints the transactions of an account, or of one of its months, as CSV."},
        {"tax", "Prints the account's tax records sold in the tax year as CSV (with the "
                "Wash Adj. column), or with --totals the totals of the tax view. A "
                "tax-advantaged account's records count in no total (\"N records "
                "tax-advantaged: not reported\"); \"Accounts to process again before filing: "
                "A, B\" follows while there are such accounts (after the CSV on stderr)."},
        {"capture", "Captures the buys and sells of a broker page (.htm/.html or an address), "
                    "a spreadsheet (.csv/.xls/.xlsx) or, with --paste, a text file read as "
                    "pasted text; --map reads a spreadsheet by a saved column mapping (JSON) "
                    "instead of a broker entry."},
        {"account-basis", "Sets whether the account's broker reports the cost basis to the IRS "
                          "(yes: boxes A/D, no: B/E, none: C/F), which the next process or "
                          "recalc gives its tax records; without the word, prints it."},
        {"account-wash", "Sets the account's wash-sale settings: --detect (whether its losses "
                         "are checked and its buys replace, on by default), --other-accounts "
                         "(whether buys in other accounts replace its losses, on), --ira (a "
                         "tax-advantaged account whose buys disallow a loss for good and whose "
                         "own sales are not reported, off); "
                         "the store's wash sales follow at once. Without options, prints them."},
        {"wash", "Prints each wash sale of the account sold in the tax year with its "
                 "replacement lots as CSV: the disallowed loss, and each lot's account, date, "
                 "shares, added cost and moved date acquired."},
        {"actions", "Prints every corporate action of the store (splits and symbol changes) "
                    "as CSV: ID, symbol, date, kind, ratio, new symbol and note."},
        {"split", "Records a split of SYMBOL taking effect on DATE: N shares for every M held "
                  "before (10:1; 1:4 is a reverse split). Lots bought before DATE and sold on "
                  "or after it count N/M shares per share bought at the same cost. Names the "
                  "processed accounts it changes, to process again."},
        {"rename", "Records a change of the symbol OLD to NEW taking effect on DATE: lots "
                   "bought as OLD before DATE serve sells of NEW from DATE on. Names the "
                   "processed accounts it changes, to process again."},
        {"delete-action", "Deletes the corporate action with that ID (see actions) and names "
                          "the processed accounts it changed."},
        {"process", "Matches every sell of the account against the open buys of its symbol "
                    "and writes the tax records. An account with links or tax records is "
                    "refused; --again keeps the lots picked by hand, detaches the others "
                    "and replaces its tax records (after a corporate action only the sells of "
                    "the symbols it touches are matched again); --again --all detaches every "
                    "lot. An "
                    "account with buys only has nothing to match (exit 0)."},
        {"links", "Prints the matching grid of the account (its sells and the buy lots "
                  "applied to them) as CSV."},
        {"detach", "Detaches the named buy lots from their sells, as clearing their Linked "
                   "boxes and pressing Update; the wash sales follow at once."},
        {"recalc", "Rebuilds the account's tax records from its links (Save/Recalculate)."},
        {"buys", "Prints the buys offered for a sell as CSV; --filter chooses the list's "
                 "entry 1 to 4 as on the buy selection screen."},
        {"link", "Links a buy to a sell, with the quantity and cost when given, as marking it "
                 "and pressing Apply."},
        {"new-buy", "Stores a buy that is missing from the database and links it to the "
                    "sell."},
        {"export-txf", "Writes the tax records sold in the tax year, of every account but the "
                       "tax-advantaged ones, to a TXF file: version 042 from 2001 (a reference "
                       "number per Form 8949 box from 2011, and for an unknown term by the "
                       "account's basis setting), version 034 for 2000 and before. A sale with "
                       "no date acquired and no cost has empty date acquired and cost lines. "
                       "Ends with \"Accounts to process again before filing: A, B\" while "
                       "there are such accounts."},
        {"import-txf", "Adds the sales of a TXF file (any version; LF, CR LF or CR line ends) "
                       "under --account NAME, else under the account the file names. Records "
                       "of other kinds are skipped and counted. Sales the account holds "
                       "already are asked about; unless --yes answers, nothing is added. "
                       "Records of unknown term take the account's basis setting."},
        {"import-gains", "Adds the lots of a broker's realized gain/loss file (.csv/.xls/.xlsx: "
                         "description or symbol, quantity, dates acquired and sold, proceeds, "
                         "cost, and wash sale adjustment, term and box when given) to the "
                         "account as tax records."},
        {"reconcile", "Compares a realized gain/loss file with the account's tax records of "
                      "the years it covers and prints each lot as CSV: Matched, Differs (with "
                      "the fields), Only in file or Only in records."},
        {"report", "Writes the tax year's Form 8949 lines of every account but the "
                   "tax-advantaged ones, grouped by box, with each box's totals and the "
                   "Schedule D lines they feed, as a PDF or a CSV file as its name ends. Ends "
                   "with \"Accounts to process again before filing: A, B\" while there are "
                   "such accounts."},
        {"restore", "Puts back the backup taken before the last processing run, capture or "
                    "import."},
    };
    return texts;
}

} // namespace

QString versionText() {
    return QStringLiteral("gainbook-cli ") + QStringLiteral(GAINBOOK_VERSION);
}

QString commandUsage(const CliCommand& command) {
    QString line = QStringLiteral("gainbook-cli ") + kGlobalOptions + u' ' + command.name;
    if (!command.arguments.isEmpty())
        line += u' ' + command.arguments;
    return line;
}

QString commandSummary(const QString& name) {
    return summaries().value(name);
}

void printHelp(QTextStream& out) {
    out << "usage: gainbook-cli " << kGlobalOptions << " COMMAND [ARGS...]\n"
        << "       gainbook-cli COMMAND --help\n"
        << "       gainbook-cli --version\n"
        << "\n"
        << "Works on a Gainbook database with the same rules as the desktop program.\n"
        << "\n"
        << "options:\n"
        << "  --db FILE      the database (default: the one the settings remember, else "
           "db1.db here)\n"
        << "  --year YYYY    the tax year (default: the year of the latest sell, else 2000)\n"
        << "  --yes, --no    the answer to every question (default: No)\n"
        << "  --progress     \"RUN: N%\" lines on standard error while a capture, processing,\n"
        << "                 import, export or report runs\n"
        << "  --help         this text\n"
        << "  --version      the version\n"
        << "\n"
        << "commands:\n";
    for (const CliCommand& command : cliCommands()) {
        out << "  " << command.name;
        if (!command.arguments.isEmpty())
            out << ' ' << command.arguments;
        out << "\n      " << commandSummary(command.name) << '\n';
    }
    out.flush();
}

void printCommandHelp(QTextStream& out, const CliCommand& command) {
    out << "usage: " << commandUsage(command) << "\n\n" << commandSummary(command.name) << '\n';
    out.flush();
}

bool asksForHelp(const QStringList& args) {
    return args.contains(QLatin1String("--help")) || args.contains(QLatin1String("-h"));
}

} // namespace gainbook
