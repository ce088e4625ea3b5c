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
#include "txf/txf_held_records.h"
#include "txf/txf_texts.h"

#include <QFile>
#include <QLocale>

namespace gainbook {

namespace {

// An amount as tax programs write it: a plain number, possibly with
// thousands separators; "$" lines carry nothing else. An empty text is 0.
std::optional<Money> currencyFromText(const QString& text) {
    QString plain = text.trimmed();
    if (plain.isEmpty())
        return Money();
    plain.remove(u',');
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !isBrokerageNumber(value))
        return std::nullopt;
    return Money::fromDouble(roundCurrency(value));
}

bool isUnknownDate(const QString& text) {
    return text.isEmpty() || text == QLatin1String("00/00/00") ||
           text.compare(QLatin1String("VARIOUS"), Qt::CaseInsensitive) == 0;
}

std::optional<Form8949Box> boxNamedBy(const TxfEntry& entry) {
    bool numbered = false;
    const int reference = entry.reference.toInt(&numbered);
    return numbered ? boxOfTxfReference(reference) : std::nullopt;
}

Form8949Box boxOfTerm(const TaxRecord& record, BasisReporting basis) {
    return boxFor(holdingTerm(record.dateAcquired, record.dateSold), basis);
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

    const std::optional<Money> cost = currencyFromText(entry.cost);
    const std::optional<Money> salePrice = currencyFromText(entry.salePrice);
    const std::optional<Money> wash = currencyFromText(entry.washAdjustment);
    if (!cost || !salePrice || !wash)
        return std::nullopt;
    record.cost = *cost;
    record.salePrice = *salePrice;
    record.washAdjustment = *wash;

    const std::optional<Form8949Box> named = boxNamedBy(entry);
    record.box = named ? *named : boxOfTerm(record, basis);
    return record;
}

Outcome TxfImport::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Outcome::failure(cannotReadMessage(path, file.errorString()));
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Outcome::failure(cannotReadMessage(path, file.errorString()));
    return read(content);
}

Outcome TxfImport::read(const QByteArray& content) {
    records_.clear();
    boxedByTerm_.clear();
    unreadable_ = 0;
    // Every record ends with "^": enough room for all without growing, and
    // never more than one record per few bytes of the file.
    records_.reserve(qMin(content.count('^'), content.size() / 16 + 1));
    const TxfStatement statement = readTxf(content, [this](TxfEntry&& entry) {
        std::optional<TaxRecord> record = taxRecordFromTxf(entry, QString());
        if (!record) {
            ++unreadable_;
            return;
        }
        if (!boxNamedBy(entry))
            boxedByTerm_.append(records_.size());
        records_.append(std::move(*record));
    });
    fileAccount_ = statement.accountName;
    otherKinds_ = statement.otherRecords;
    if (records_.isEmpty())
        return Outcome::stop((QStringList{noDataImportedMessage()} + skippedLines()).join(u'\n'));
    return Outcome::ok(records_.size());
}

QStringList TxfImport::skippedLines() const {
    QStringList lines;
    if (unreadable_ > 0)
        lines << recordsSkippedMessage(unreadable_);
    if (otherKinds_ > 0)
        lines << otherKindsSkippedMessage(otherKinds_);
    return lines;
}

Outcome TxfImport::addTo(const QSqlDatabase& db, const QString& account, Prompter& prompter,
                         Progress& progress) {
    const QString name = account.trimmed();
    if (name.isEmpty())
        return Outcome::stop(accountNeededMessage());
    if (records_.isEmpty())
        return Outcome::stop((QStringList{noDataImportedMessage()} + skippedLines()).join(u'\n'));
    try {
        const BasisReporting basis = selectBasisReporting(db, name);
        for (const qsizetype at : std::as_const(boxedByTerm_))
            records_[at].box = boxOfTerm(records_[at], basis);
        for (TaxRecord& record : records_)
            record.accountName = name;
        const qint64 held = countHeldAlready(db, name, records_);
        if (held > 0 && !prompter.ask(alreadyImportedQuestion(held, name)))
            return Outcome::stop(QString());
    } catch (const StoreError& error) {
        return Outcome::failure(importStoppedMessage(error.message()));
    }

    // The file as it was before the import is kept as its backup.
    if (const Outcome backup = keepBackup(db); !backup.done())
        return backup;
    WrittenRows written;
    try {
        written = insertTaxRecs(db, records_, progress);
    } catch (const RunCancelled&) {
        return Outcome::stop(txfImportCancelledMessage(name));
    }

    return importWrittenOutcome(written, skippedLines());
}

Outcome importTxf(const QString& path, const QSqlDatabase& db, Prompter& prompter,
                  const QString& account, Progress& progress) {
    TxfImport txf;
    if (const Outcome read = txf.read(path); !read.done())
        return read;
    return txf.addTo(db, account.isEmpty() ? txf.fileAccountName() : account, prompter, progress);
}

} // namespace gainbook
