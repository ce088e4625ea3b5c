#pragma once

#include "capture/broker_entries.h"
#include "capture/capture_run.h"
#include "platform/date_text.h"
#include "platform/number_text.h"
#include "platform/tell_outcome.h"
#include "store/sql.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"
#include "support/test_files.h"

#include <QProcess>

#include <functional>

namespace gainbook::test {

inline QString noData(const QString& entry) {
    return QStringLiteral(
               "No data could be captured. Please make sure that right data is displayed for ") +
           entry;
}
// A file under tests/data/capture.
inline QString captureData(const QString& name) {
    return testData(QStringLiteral("capture/") + name);
}

inline const QString kOpenSheet =
    QStringLiteral("Please open the Excel sheet before pressing capture button");

// One row as "account|month|symbol|quantity|type|date|amount|memo".
inline QString rowText(const QString& account, const QString& month, const QString& symbol,
                       double quantity, const QString& type, const QDate& date, double amount,
                       const QString& memo) {
    return QStringList{account,
                       month,
                       symbol,
                       numberToText(quantity),
                       type,
                       formatDate(date),
                       numberToText(amount),
                       memo}
        .join(u'|');
}

// Every Txn row in the order written.
inline QStringList storedRows(const QSqlDatabase& db) {
    QSqlQuery q = runQuery(db, QStringLiteral("SELECT AccountName, TxnMonth, Symbol, Quantity, "
                                              "Type, TxnDate, Amount, Memo FROM Txn ORDER BY ID"));
    QStringList rows;
    while (q.next()) {
        rows << rowText(q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                        q.value(3).toDouble(), q.value(4).toString(),
                        dateFromStored(q.value(5).toString()), q.value(6).toDouble(),
                        q.value(7).toString());
    }
    return rows;
}

// The rows a parser read, in the same form.
inline QStringList parsedRows(const ParseResult& result) {
    QStringList rows;
    for (const TxnRecord& r : result.rows)
        rows << rowText(r.accountName, r.txnMonth, r.symbol, r.quantity.toDouble(), r.type,
                        r.txnDate, r.amount.toDouble(), r.memo);
    return rows;
}

// A capture fixture's ".expected" file: "args: " and the tool's arguments,
// "exit: " and its code, then each stored row with a "|" after the memo.
struct ExpectedCapture {
    QStringList args;
    int code = -1;
    QStringList rows;
};

inline ExpectedCapture readExpected(const QString& source) {
    QStringList lines = QString::fromUtf8(readBytes(source + QStringLiteral(".expected")))
                            .split(u'\n', Qt::SkipEmptyParts);
    ExpectedCapture expected;
    if (lines.size() < 2)
        return expected;
    expected.args = QProcess::splitCommand(lines.takeFirst().mid(6));
    expected.code = lines.takeFirst().mid(6).toInt();
    for (QString& row : lines)
        row.chop(1);
    expected.rows = lines;
    return expected;
}

// The fields as choosing the entry sets them, then changed by setup.
inline CaptureState stateFor(const QString& entry,
                             const std::function<void(CaptureState&)>& setup = {}) {
    CaptureState state = CaptureState::initial();
    if (const BrokerEntry* e = findBrokerEntry(entry))
        chooseBrokerEntry(state, *e, QStringLiteral("/tmp"), QStringLiteral("welcome.html"));
    else
        state.entry = entry;
    state.today = QDate(2001, 4, 15);
    if (setup)
        setup(state);
    return state;
}

// The entry's parser on the document, with the fields set as above.
inline ParseResult parse(const QString& entry, const PageDocument& document,
                         const std::function<void(CaptureState&)>& setup = {}) {
    return findBrokerEntry(entry)->parser(document, stateFor(entry, setup).settings());
}

// One capture run on the harness's database.
struct CaptureOutcome {
    Outcome outcome;
    QStringList rows;
    QStringList messages;
    QStringList questions;
    CaptureState state;
};

class CaptureHarness {
public:
    CaptureOutcome run(const QString& entry, const PageDocument& document,
                       const std::function<void(CaptureState&)>& setup = {}) {
        CaptureState state = stateFor(entry, setup);
        prompter.messages.clear();
        prompter.questions.clear();
        CaptureOutcome out;
        out.outcome = runCapture(document, state, db.connection(), prompter);
        tellOutcome(prompter, out.outcome);
        out.rows = storedRows(db.connection());
        out.messages = prompter.messages;
        out.questions = prompter.questions;
        out.state = state;
        return out;
    }

    TestDatabase db;
    RecordingPrompter prompter;
};

} // namespace gainbook::test
