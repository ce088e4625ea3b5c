#include "txf/txf_import.h"

#include "platform/date_text.h"
#include "platform/holding_term.h"
#include "platform/number_range.h"
#include "platform/number_text.h"
#include "store/account_settings_table.h"
#include "store/row_writer.h"
#include "store/store_backup.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "txf/txf_format.h"
#include "txf/txf_texts.h"

#include <QFile>
#include <QLocale>

namespace gainbook {

namespace {

// An amount as tax programs write it: a plain number, possibly with
// thousands separators; "$" lines carry nothing else. An empty text is 0.
std::optional<double> currencyFromText(const QString& text) {
    QString plain = text.trimmed();
    if (plain.isEmpty())
        return 0.0;
    plain.remove(u',');
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !isBrokerageNumber(value))
        return std::nullopt;
    return roundCurrency(value);
}

bool isUnknownDate(const QString& text) {
    return text.isEmpty() || text == QLatin1String("00/00/00") ||
           text.compare(QLatin1String("VARIOUS"), Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<TaxRecord> taxRecordFromTxf(const TxfEntry& entry, const QString& account,
                                          BasisReporting basis) {
    TaxRecord record;
    record.accountName = account;
    record.symbol = entry.symbol;
    record.quantity = entry.quantity;
    record.memo = QStringLiteral(" ");
    if (!isBrokerageNumber(record.quantity))
        return std::nullopt;

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

    bool numbered = false;
    const int reference = entry.reference.toInt(&numbered);
    const std::optional<Form8949Box> named = numbered ? boxOfTxfReference(reference) : std::nullopt;
    record.box = named ? *named : boxFor(holdingTerm(record.dateAcquired, record.dateSold), basis);
    return record;
}

Outcome importTxf(const QString& path, const QSqlDatabase& db) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Outcome::failure(cannotReadMessage(path, file.errorString()));
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Outcome::failure(cannotReadMessage(path, file.errorString()));
    file.close();

    const TxfStatement statement = readTxf(content);
    BasisReporting basis = BasisReporting::Reported;
    try {
        basis = selectBasisReporting(db, statement.accountName);
    } catch (const StoreError& error) {
        return Outcome::failure(importStoppedMessage(error.message()));
    }
    QVector<TaxRecord> records;
    records.reserve(statement.entries.size());
    qint64 skipped = 0;
    for (const TxfEntry& entry : statement.entries) {
        if (std::optional<TaxRecord> record = taxRecordFromTxf(entry, statement.accountName, basis))
            records.append(std::move(*record));
        else
            ++skipped;
    }

    if (!records.isEmpty()) {
        // The file as it was before the import is kept as its backup.
        if (const Outcome backup = keepBackup(db); !backup.done())
            return backup;
    }
    std::optional<TaxWriter> writer;
    const WrittenRows written = writeRows(db, records, [&](const TaxRecord& record) {
        if (!writer)
            writer.emplace(db);
        writer->insert(record);
    });

    QStringList lines;
    if (written.count > 0)
        lines << recordsAddedMessage(written.count);
    else if (written.complete())
        lines << noDataImportedMessage();
    if (skipped > 0)
        lines << recordsSkippedMessage(skipped);
    if (!written.fileFailure.isEmpty())
        lines << written.fileFailure;
    else if (!written.complete())
        lines << importStoppedMessage(written.failure);
    const QString message = lines.join(u'\n');
    if (!written.complete())
        return Outcome::failure(message, written.count);
    return written.count > 0 ? Outcome::ok(written.count, message) : Outcome::stop(message);
}

} // namespace gainbook
