#include "txf/txf_import.h"

#include "platform/date_text.h"
#include "platform/number_text.h"
#include "platform/prompter.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "txf/txf_texts.h"

#include <QFile>
#include <QLocale>

#include <cmath>

namespace gainbook {

namespace {

// The largest amount a four-decimal currency value holds.
constexpr double kCurrencyLimit = 922337203685477.0;

// An amount as tax programs write it: a plain number, possibly with
// thousands separators; "$" lines carry nothing else. An empty text is 0.
std::optional<double> currencyFromText(const QString& text) {
    QString plain = text.trimmed();
    if (plain.isEmpty())
        return 0.0;
    plain.remove(u',');
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value) || std::fabs(value) > kCurrencyLimit)
        return std::nullopt;
    return roundCurrency(value);
}

bool isUnknownDate(const QString& text) {
    return text.isEmpty() || text == QLatin1String("00/00/00") ||
           text.compare(QLatin1String("VARIOUS"), Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<TaxRecord> taxRecordFromTxf(const TxfEntry& entry, const QString& account) {
    TaxRecord record;
    record.accountName = account;
    record.symbol = entry.symbol;
    record.quantity = entry.quantity;
    record.memo = QStringLiteral(" ");

    const QString acquired = entry.dateAcquired.trimmed();
    if (!isUnknownDate(acquired)) {
        record.dateAcquired = dateFromText(acquired);
        if (!record.dateAcquired.isValid())
            return std::nullopt;
    }
    record.dateSold = dateFromText(entry.dateSold);
    if (!record.dateSold.isValid())
        return std::nullopt;

    const std::optional<double> cost = currencyFromText(entry.cost);
    const std::optional<double> salePrice = currencyFromText(entry.salePrice);
    if (!cost || !salePrice)
        return std::nullopt;
    record.cost = Money::fromDouble(*cost);
    record.salePrice = Money::fromDouble(*salePrice);
    return record;
}

TxfResult importTxf(const QString& path, const QSqlDatabase& db) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {TxfStatus::Failed, 0, 0, cannotReadMessage(path, file.errorString())};
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {TxfStatus::Failed, 0, 0, cannotReadMessage(path, file.errorString())};
    file.close();

    const TxfStatement statement = readTxf(content);

    TxfResult result;
    QString failure;
    try {
        Transaction transaction(db);
        TaxWriter writer(db);
        for (const TxfEntry& entry : statement.entries) {
            const std::optional<TaxRecord> record = taxRecordFromTxf(entry, statement.accountName);
            if (!record) {
                ++result.skipped;
                continue;
            }
            try {
                writer.insert(*record);
            } catch (const StoreError& error) {
                failure = error.message();
                break;
            }
            ++result.count;
        }
        // What was written before a failure stays, as the message says.
        transaction.commit();
    } catch (const StoreError& error) {
        failure = error.message();
        result.count = 0;
    }

    QStringList lines;
    if (result.count > 0)
        lines << recordsAddedMessage(result.count);
    else if (failure.isEmpty())
        lines << noDataImportedMessage();
    if (result.skipped > 0)
        lines << recordsSkippedMessage(result.skipped);
    if (!failure.isEmpty())
        lines << importStoppedMessage(failure);
    result.message = lines.join(u'\n');
    if (!failure.isEmpty())
        result.status = TxfStatus::Failed;
    else
        result.status = result.count > 0 ? TxfStatus::Done : TxfStatus::NoData;
    return result;
}

TxfResult importTxf(const QString& path, const QSqlDatabase& db, Prompter& prompter) {
    TxfResult result = importTxf(path, db);
    if (!result.message.isEmpty())
        prompter.message(result.message);
    return result;
}

} // namespace gainbook
