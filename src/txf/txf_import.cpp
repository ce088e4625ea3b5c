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

// TXF dates are m/d/yyyy or m/d/yy; those are read here without the
// general reader's patterns, which would cost more than the rest of a
// record. Anything else goes to the general reader.
QDate txfDate(QStringView text) {
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    int part = 0;
    for (const QChar c : text) {
        if (c == u'/') {
            if (++part > 2)
                return dateFromText(text);
        } else if (c >= u'0' && c <= u'9' && digits[part] < 4) {
            parts[part] = parts[part] * 10 + (c.unicode() - u'0');
            ++digits[part];
        } else {
            return dateFromText(text);
        }
    }
    if (part != 2 || digits[0] == 0 || digits[0] > 2 || digits[1] == 0 || digits[1] > 2 ||
        (digits[2] != 2 && digits[2] != 4))
        return dateFromText(text);
    int year = parts[2];
    if (digits[2] == 2)
        year += year < 30 ? 2000 : 1900;
    return QDate(year, parts[0], parts[1]);
}

bool isUnknownDate(const QString& text) {
    return text.isEmpty() || text == QLatin1String("00/00/00") ||
           text.compare(QLatin1String("VARIOUS"), Qt::CaseInsensitive) == 0;
}

QString joinLines(const QStringList& lines) {
    return lines.join(u'\n');
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
        record.dateAcquired = txfDate(acquired);
        if (!record.dateAcquired.isValid())
            return std::nullopt;
    }
    record.dateSold = txfDate(entry.dateSold.trimmed());
    if (!record.dateSold.isValid())
        return std::nullopt;

    const std::optional<double> cost = currencyFromText(entry.cost);
    const std::optional<double> salePrice = currencyFromText(entry.salePrice);
    if (!cost || !salePrice)
        return std::nullopt;
    record.cost = *cost;
    record.salePrice = *salePrice;
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
    result.message = joinLines(lines);
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
