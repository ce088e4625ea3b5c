#include "txf/txf_import.h"

#include "matching/run_end.h"
#include "platform/date_text.h"
#include "platform/holding_term.h"
#include "platform/number_range.h"
#include "platform/number_text.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/row_writer.h"
#include "store/store_backup.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "txf/txf_field_values.h"
#include "txf/txf_format.h"
#include "txf/txf_held_records.h"
#include "txf/txf_texts.h"

#include <QFile>
#include <QFileInfo>

namespace gainbook {

namespace {

// The record's reference number: nothing when it has none.
std::optional<int> referenceNumber(QByteArrayView reference) {
    if (const std::optional<int> plain = plainTxfNumber(reference))
        return plain;
    bool numbered = false;
    const int number = QString::fromLatin1(reference).toInt(&numbered);
    return numbered ? std::optional(number) : std::nullopt;
}

// The box the record's reference number names: nothing when it has no
// number or one that names no box.
std::optional<Form8949Box> boxNamedBy(QByteArrayView reference) {
    const std::optional<int> number = referenceNumber(reference);
    return number ? boxOfTxfReference(*number) : std::nullopt;
}

Form8949Box boxOfTerm(const TaxRecord& record, BasisReporting basis) {
    return boxFor(holdingTerm(record.dateAcquired, record.dateSold), basis);
}

// TXF numbers no box of a digital asset: a coin sold in 2025 or later moves
// from the box its number or term gave (A to F) to the one of the same term
// and basis among G to L, as the rest of the program boxes it.
Form8949Box txfImportBoxOf(Form8949Box box, AssetKind kind, const QDate& dateSold) {
    if (box == Form8949Box::None || isDigitalBox(box))
        return box;
    // A, B, C and D, E, F name the basis in the order BasisReporting lists it.
    const auto basis = BasisReporting((int(box) - int(Form8949Box::A)) % 3);
    return boxFor(boxTerm(box), basis, kind, dateSold);
}

} // namespace

std::optional<TaxRecord> taxRecordFromTxf(const TxfFields& fields, const QString& account,
                                          BasisReporting basis, bool* boxNamed) {
    TaxRecord record;
    record.accountName = account;
    double quantity = 0;
    splitTxfDescription(fields.description, quantity, record.symbol);
    record.memo = QStringLiteral(" ");
    if (!isBrokerageNumber(quantity) || !Quantity::isRepresentable(quantity))
        return std::nullopt;
    record.quantity = Quantity::fromDouble(quantity);

    bool unknown = false;
    record.dateAcquired = txfDateAcquired(fields.dateAcquired, unknown);
    if (!unknown && !record.dateAcquired.isValid())
        return std::nullopt;
    record.dateSold = txfDate(fields.dateSold);
    if (!record.dateSold.isValid())
        return std::nullopt;

    const std::optional<Money> cost = txfAmount(fields.cost);
    const std::optional<Money> salePrice = txfAmount(fields.salePrice);
    const std::optional<Money> wash = txfAmount(fields.washAdjustment);
    if (!cost || !salePrice || !wash)
        return std::nullopt;
    record.cost = *cost;
    record.salePrice = *salePrice;
    record.washAdjustment = *wash;

    const std::optional<Form8949Box> named = boxNamedBy(fields.reference);
    record.box = named ? *named : boxOfTerm(record, basis);
    if (boxNamed)
        *boxNamed = named.has_value();
    return record;
}

Outcome TxfImport::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Outcome::failure(cannotReadMessage(path, file.errorString()));
    const QByteArray content = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Outcome::failure(cannotReadMessage(path, file.errorString()));
    Outcome outcome = read(content);
    fileBaseName_ = QFileInfo(path).completeBaseName();
    return outcome;
}

Outcome TxfImport::read(const QByteArray& content) {
    fileBaseName_.clear();
    records_.clear();
    boxedByTerm_.clear();
    unknownTermBasis_ = {};
    unreadable_ = 0;
    // Every record ends with "^": enough room for all without growing, and
    // never more than one record per few bytes of the file.
    records_.reserve(qMin(content.count('^'), content.size() / 16 + 1));
    const TxfStatement statement = readTxfFields(content, [this](const TxfFields& fields) {
        bool boxNamed = false;
        std::optional<TaxRecord> record =
            taxRecordFromTxf(fields, QString(), BasisReporting::Reported, &boxNamed);
        if (!record) {
            ++unreadable_;
            return;
        }
        if (!boxNamed)
            boxedByTerm_.append(records_.size());
        if (const std::optional<int> number = referenceNumber(fields.reference)) {
            if (const std::optional<BasisReporting> basis = basisOfUnknownTerm(*number))
                ++unknownTermBasis_[size_t(*basis)];
        }
        records_.append(std::move(*record));
    });
    fileAccount_ = statement.accountName;
    accountFromRecord_ = statement.accountFromRecord;
    otherKinds_ = statement.otherRecords;
    if (records_.isEmpty())
        return Outcome::stop((QStringList{noDataImportedMessage()} + skippedLines()).join(u'\n'));
    return Outcome::ok(records_.size());
}

qint64 TxfImport::otherBasisCount(BasisReporting accountBasis) const {
    // 673 is also what files from before 2011 and many programs write for
    // any unknown term, so only 715 and 716 say something of their own.
    qint64 count = 0;
    for (const BasisReporting named : {BasisReporting::NotReported, BasisReporting::NoForm}) {
        if (named != accountBasis)
            count += unknownTermBasis_[size_t(named)];
    }
    return count;
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
    BasisReporting basis = BasisReporting::Reported;
    try {
        basis = selectBasisReporting(db, name);
        for (const qsizetype at : std::as_const(boxedByTerm_))
            records_[at].box = boxOfTerm(records_[at], basis);
        const AssetKinds kinds = selectAssetKinds(db);
        for (TaxRecord& record : records_) {
            record.accountName = name;
            record.box = txfImportBoxOf(record.box, kinds.of(name, record.symbol), record.dateSold);
        }
        const qint64 held = countHeldAlready(db, name, records_);
        if (held > 0 && !prompter.ask(alreadyImportedQuestion(held, name)))
            return Outcome::stop(QString());
    } catch (const StoreError& error) {
        return Outcome::failure(importStoppedMessage(error.message()));
    }

    // The file as it was before the import is kept as its backup.
    if (const Outcome backup = keepBackup(db, runSummaryOf(RunKind::TxfImport, name).run);
        !backup.done())
        return backup;
    WrittenRows written;
    try {
        written = insertTaxRecs(db, records_, progress);
    } catch (const RunCancelled&) {
        return Outcome::stop(txfImportCancelledMessage(name));
    }

    QStringList lines = skippedLines();
    if (const qint64 others = otherBasisCount(basis); others > 0 && written.count > 0)
        lines << otherBasisOfUnknownTermMessage(others, name, basisWord(basis));
    return importWrittenOutcome(written, lines);
}

Outcome importTxf(const QString& path, const QSqlDatabase& db, Prompter& prompter,
                  const QString& account, Progress& progress) {
    TxfImport txf;
    if (const Outcome read = txf.read(path); !read.done())
        return read;
    return txf.addTo(db, account.isEmpty() ? txf.fileAccountName() : account, prompter, progress);
}

} // namespace gainbook
