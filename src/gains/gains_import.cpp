#include "gains/gains_import.h"

#include "capture/sources/spreadsheet_reader.h"
#include "matching/run_end.h"
#include "platform/prompter.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/row_writer.h"
#include "store/store_backup.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "txf/txf_texts.h"

namespace gainbook {

std::optional<RealizedLots> loadRealizedLots(const QString& path, const QDate& today,
                                             QString* error) {
    const std::optional<SheetDocument> sheet = readSpreadsheet(path, error);
    if (!sheet)
        return std::nullopt;
    return readRealizedLots(*sheet, today);
}

TaxRecord taxRecordFromLot(const RealizedLot& lot, const QString& account, BasisReporting basis,
                           const AssetKinds& kinds) {
    TaxRecord record;
    record.accountName = account;
    record.symbol = lot.symbol;
    record.quantity = lot.quantity;
    record.dateAcquired = lot.dateAcquired;
    record.dateSold = lot.dateSold;
    record.cost = lot.cost;
    record.salePrice = lot.proceeds;
    record.memo = QStringLiteral(" ");
    record.washAdjustment = lot.washAdjustment.value_or(Money());
    record.box = lot.box != Form8949Box::None
                     ? lot.box
                     : boxFor(lot.term, basis, kinds.of(account, lot.symbol), lot.dateSold);
    return record;
}

QString gainsOverExistingQuestion(const QString& account, qint64 count) {
    return QStringLiteral("Account %1 already has %2 tax records. Do you still want to add the "
                          "records of this file ?")
        .arg(account)
        .arg(count);
}

Outcome importRealizedGains(const QString& path, const QString& account, const QSqlDatabase& db,
                            Prompter& prompter, const QDate& today, Progress& progress) {
    QString error;
    const std::optional<RealizedLots> read = loadRealizedLots(path, today, &error);
    if (!read)
        return Outcome::failure(cannotReadMessage(path, error));

    BasisReporting basis = BasisReporting::Reported;
    AssetKinds kinds;
    try {
        basis = selectBasisReporting(db, account);
        kinds = selectAssetKinds(db);
        const qint64 existing = read->lots.isEmpty() ? 0 : countTaxRecsOfAccount(db, account);
        if (existing > 0 && !prompter.ask(gainsOverExistingQuestion(account, existing)))
            return Outcome::stop(QString());
    } catch (const StoreError& e) {
        return Outcome::failure(importStoppedMessage(e.message()));
    }
    QVector<TaxRecord> records;
    records.reserve(read->lots.size());
    for (const RealizedLot& lot : read->lots)
        records.append(taxRecordFromLot(lot, account, basis, kinds));

    if (!records.isEmpty()) {
        if (const Outcome backup = keepBackup(db, runSummaryOf(RunKind::GainsImport, account).run);
            !backup.done())
            return backup;
    }
    WrittenRows written;
    try {
        written = insertTaxRecs(db, records, progress);
    } catch (const RunCancelled&) {
        return Outcome::stop(gainsImportCancelledMessage(account));
    }

    QStringList skipped;
    if (read->unreadable > 0)
        skipped << recordsSkippedMessage(read->unreadable);
    Outcome outcome = importWrittenOutcome(written, skipped);
    // A layout told by its headings is named first, so that a wrong guess is
    // seen before the records it gave.
    if (!read->readAs.isEmpty() && !outcome.message.isEmpty()) {
        outcome.details.prepend(outcome.message);
        outcome.message = read->readAs;
    }
    return outcome;
}

} // namespace gainbook
