#pragma once

#include "capture/capture_settings.h"
#include "capture/corp_action_proposal.h"
#include "capture/page_document.h"
#include "store/records.h"

#include <QMap>
#include <QVector>

#include <functional>

namespace gainbook {

// What a parser read from the page: the fields as the page leaves them, the
// rows, each filed under the account and month the fields held when it was
// read, and the rows it had to leave out. A parser that refuses the page
// says why in message and returns no rows.
struct ParseResult {
    // The fields as the run starts: account and month as typed.
    explicit ParseResult(const CaptureSettings& settings);

    QString account; // where rows are filed now; shown in the fields afterwards
    QString month;
    // The account and month the duplicate question is about: the fields once
    // the page's own name for the account was taken (E*Trade, WebStreet), or
    // as typed when the page renames them only while its table is read (Datek).
    QString askedAccount;
    QString askedMonth;

    QVector<TxnRecord> rows;
    int skippedNumbers = 0;  // quantity or amount not a number
    int skippedRange = 0;    // quantity or amount out of range (|x| >= 10^12)
    int skippedDates = 0;    // date not a date
    int skippedSymbols = 0;  // no symbol
    int skippedEmpty = 0;    // a trade of no shares (quantity 0)
    int skippedCurrency = 0; // priced in another currency than the dollar
    // Rows that are no buy or sell (dividends, interest, transfers...), by
    // kind, for parsers that count them.
    QMap<QString, int> skippedKinds;
    // Rows that report a split or a symbol change, kept to propose the
    // action to the user (the shares held are not known here).
    QVector<ActionRow> actionRows;
    // The rows (by index) that are shares transferred in: buys whose cost
    // and date acquired the download does not give, stored as unknown.
    QVector<qsizetype> unknownCostRows;
    QString message; // why the page was refused; nothing is written
    // The layout the sheet was found to be in ("Read as a Fidelity
    // download."); empty when the user chose it.
    QString readAs;
    // The headings of a sheet in no known layout, to say what was found.
    QStringList foundHeadings;
    // The accounts a download names row by row: each number with the name
    // and kind the download gives it.
    struct NamedAccount {
        QString name;
        bool taxAdvantaged = false; // an IRA, Roth or HSA
    };
    QMap<QString, NamedAccount> namedAccounts;

    // The rows left out for their values, all reasons together (rows of
    // other kinds are not counted here).
    int skippedRows() const {
        return skippedNumbers + skippedRange + skippedDates + skippedSymbols + skippedEmpty +
               skippedCurrency;
    }

    // The duplicate question is about the fields as they stand now.
    void askAboutCurrentFields();

    // Files a row under the current account and month. A date text that is
    // not a date, a quantity or amount no brokerage row can hold, an empty
    // symbol or a quantity of 0 leaves the row out and counts it. A
    // negative quantity stays where the page or sheet gave one.
    void add(const QString& symbol, double quantity, const QString& type, const QString& dateText,
             double amount, const QString& memo = QString());
    void add(const QString& symbol, double quantity, const QString& type, const QDate& date,
             double amount, const QString& memo = QString());

    // The page refused with text.
    ParseResult& refuse(const QString& text);
};

// One parser per broker layout: a function of the page and the settings
// that neither reads the store nor asks the user anything.
using CaptureParser =
    std::function<ParseResult(const PageDocument& document, const CaptureSettings& settings)>;

} // namespace gainbook
