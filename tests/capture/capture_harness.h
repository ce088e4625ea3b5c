#pragma once

#include "capture/broker_entries.h"
#include "capture/capture_run.h"
#include "platform/date_text.h"
#include "platform/number_text.h"
#include "store/sql.h"
#include "support/recording_prompter.h"
#include "support/test_database.h"

#include <functional>

namespace gainbook::test {

inline QString noData(const QString& entry) {
    return QStringLiteral(
               "No data could be captured. Please make sure that right data is displayed for ") +
           entry;
}
inline const QString kOpenSheet =
    QStringLiteral("Please open the Excel sheet before pressing capture button");

// Every Txn row as "account|month|symbol|quantity|type|date|amount|memo",
// in the order written.
inline QStringList storedRows(const QSqlDatabase& db) {
    QSqlQuery q = runQuery(db, QStringLiteral("SELECT AccountName, TxnMonth, Symbol, Quantity, "
                                              "Type, TxnDate, Amount, Memo FROM Txn ORDER BY ID"));
    QStringList rows;
    while (q.next()) {
        rows << QStringList{q.value(0).toString(),
                            q.value(1).toString(),
                            q.value(2).toString(),
                            numberToText(q.value(3).toDouble()),
                            q.value(4).toString(),
                            formatDate(dateFromStored(q.value(5).toString())),
                            numberToText(q.value(6).toDouble()),
                            q.value(7).toString()}
                    .join(u'|');
    }
    return rows;
}

// One capture run on a fresh database, the fields set as choosing the entry
// sets them and then changed by setup.
struct CaptureOutcome {
    CaptureResult result;
    QStringList rows;
    QStringList messages;
    QStringList questions;
    CaptureState state;
};

class CaptureHarness {
public:
    CaptureOutcome run(const QString& entry, const PageDocument& document,
                       const std::function<void(CaptureState&)>& setup = {}) {
        CaptureState state = CaptureState::initial();
        if (const BrokerEntry* e = findBrokerEntry(entry))
            chooseBrokerEntry(state, *e, QStringLiteral("/tmp"), QStringLiteral("welcome.html"));
        else
            state.entry = entry;
        state.today = QDate(2001, 4, 15);
        if (setup)
            setup(state);
        prompter.messages.clear();
        prompter.questions.clear();
        CaptureOutcome out;
        out.result = runCapture(document, state, db.connection(), prompter);
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
