#include "capture/capture_run.h"

#include "capture/broker_entries.h"
#include "platform/date_text.h"
#include "platform/prompter.h"
#include "store/sql.h"
#include "store/transaction.h"
#include "store/txn_table.h"

namespace gainbook {

namespace {

QString skippedLine(const ParseResult& result) {
    const int total = result.skippedNumbers + result.skippedDates;
    QStringList reasons;
    if (result.skippedNumbers > 0)
        reasons << QStringLiteral("%1 with a quantity or amount that is not a number")
                       .arg(result.skippedNumbers);
    if (result.skippedDates > 0)
        reasons << QStringLiteral("%1 with a date that could not be read").arg(result.skippedDates);
    return QStringLiteral("%1 %2 skipped: %3.")
        .arg(total)
        .arg(total == 1 ? QStringLiteral("row was") : QStringLiteral("rows were"))
        .arg(reasons.join(QStringLiteral(", ")));
}

} // namespace

int writeCapturedRows(const QSqlDatabase& db, const QVector<TxnRecord>& rows, QString& failure) {
    int written = 0;
    try {
        Transaction transaction(db);
        TxnWriter writer(db);
        for (const TxnRecord& row : rows) {
            try {
                writer.insert(row);
            } catch (const StoreError& error) {
                failure = QStringLiteral("The row of %1 dated %2 could not be written: %3")
                              .arg(row.symbol, formatDate(row.txnDate), error.message());
                break;
            }
            ++written;
        }
        transaction.commit();
    } catch (const StoreError& error) {
        failure = QStringLiteral("The captured rows could not be written: %1").arg(error.message());
        written = 0;
    }
    return written;
}

void ParseResult::add(const CaptureState& state, const QString& symbol, double quantity,
                      const QString& type, const QString& dateText, double amount,
                      const QString& memo) {
    add(state, symbol, quantity, type, dateFromText(dateText), amount, memo);
}

void ParseResult::add(const CaptureState& state, const QString& symbol, double quantity,
                      const QString& type, const QDate& date, double amount, const QString& memo) {
    if (!date.isValid()) {
        ++skippedDates;
        return;
    }
    TxnRecord r;
    r.accountName = state.account;
    r.txnMonth = state.month;
    r.symbol = symbol;
    r.quantity = quantity;
    r.type = type;
    r.txnDate = date;
    r.amount = Money::fromDouble(amount);
    r.memo = memo;
    rows.append(std::move(r));
}

ParseResult ParseResult::stopped() {
    ParseResult r;
    r.finish = false;
    return r;
}

CaptureRun::CaptureRun(CaptureState& state, QSqlDatabase db, Prompter& prompter)
    : state_(state), db_(std::move(db)), prompter_(prompter) {}

void CaptureRun::message(const QString& text) {
    prompter_.message(text);
}

bool CaptureRun::PutDuplicate() {
    QSqlQuery query = runQuery(
        db_, QStringLiteral("SELECT COUNT(*) FROM Txn WHERE AccountName = ? AND TxnMonth = ?"),
        {textValue(state_.account), textValue(state_.month)});
    const qint64 count = query.next() ? query.value(0).toLongLong() : 0;
    if (count == 0)
        return true;
    if (prompter_.ask(QStringLiteral(
            "Some data already exist for this account. Do you still want to add this data ?")))
        return true;
    state_.status.clear();
    return false;
}

QString noDataMessage(const QString& entry) {
    return QStringLiteral(
               "No data could be captured. Please make sure that right data is displayed for ") +
           entry;
}

bool captureFieldsReady(CaptureState& state, Prompter& prompter) {
    state.status = QStringLiteral("Processing");
    if (state.account.isEmpty()) {
        prompter.message(QStringLiteral("Please enter an Account Name"));
        state.status.clear();
        return false;
    }
    if (state.month.isEmpty()) {
        prompter.message(QStringLiteral("Please enter an Transaction Month or Leave All"));
        state.status.clear();
        return false;
    }
    if (!findBrokerEntry(state.entry)) {
        prompter.message(QStringLiteral("Wrong Account Type "));
        return false;
    }
    return true;
}

CaptureResult runCapture(const PageDocument& document, CaptureState& state, const QSqlDatabase& db,
                         Prompter& prompter) {
    CaptureResult outcome;
    if (!captureFieldsReady(state, prompter))
        return outcome;
    const BrokerEntry* entry = findBrokerEntry(state.entry);

    state.AddedCount = 0;
    CaptureRun run(state, db, prompter);
    ParseResult parsed;
    try {
        parsed = entry->parser(document, run);
    } catch (const StoreError& error) {
        // Only the duplicate check reads the store while parsing.
        prompter.message(error.message());
        return outcome;
    }
    if (!parsed.finish)
        return outcome;

    QString failure;
    state.AddedCount = writeCapturedRows(db, parsed.rows, failure);
    outcome.added = state.AddedCount;
    outcome.failed = !failure.isEmpty();

    if (outcome.failed)
        prompter.message(failure);
    if (state.AddedCount > 0) {
        state.status = QStringLiteral("%1 records successfully added.").arg(state.AddedCount);
        prompter.message(state.status);
    } else {
        prompter.message(noDataMessage(state.entry));
    }
    if (parsed.skippedNumbers + parsed.skippedDates > 0)
        prompter.message(skippedLine(parsed));
    return outcome;
}

} // namespace gainbook
