#include "txf/txf_export.h"

#include "matching/trade_changes.h"
#include "platform/number_range.h"
#include "platform/output_guard.h"
#include "platform/tax_year.h"
#include "store/account_settings_table.h"
#include "store/asset_kind_table.h"
#include "store/store_backup.h"
#include "store/store_error.h"
#include "store/store_fault.h"
#include "store/tax_table.h"
#include "txf/txf_format.h"
#include "txf/txf_texts.h"

#include <QSaveFile>

#include <algorithm>

namespace gainbook {

Outcome TxfExport::load(const QSqlDatabase& db, TaxYear year) {
    records_.clear();
    basisOf_.clear();
    processAgain_.clear();
    digitalLeftOut_ = 0;
    year_ = year;
    databaseFile_ = databaseFile(db);
    try {
        processAgain_ = gainbook::processAgainLine(db);
        // A value no amount can hold would be written as $0: such records
        // stop the export instead of reaching the tax program as zeros.
        qint64 beyond = 0;
        records_ = selectReportableTaxRecs(db, year.firstDay(), year.lastDay(),
                                           kBrokerageNumberLimit, beyond);
        if (beyond > 0) {
            records_.clear();
            return Outcome::failure(outOfRangeExportMessage(beyond));
        }
        // A coin sold of unknown cost has no box to say so (its term is
        // unknown); its kind still keeps it out of boxes A to F.
        const AssetKinds kinds = selectAssetKinds(db);
        const auto digital =
            std::remove_if(records_.begin(), records_.end(), [&kinds](const TaxRecord& r) {
                return isDigitalBox(r.box) ||
                       (r.box == Form8949Box::None && r.dateSold.year() >= kFirstDigitalBoxYear &&
                        kinds.isDigital(r.accountName, r.symbol));
            });
        digitalLeftOut_ = records_.end() - digital;
        records_.erase(digital, records_.end());
        for (const auto& [account, settings] : selectAllAccountSettings(db).asKeyValueRange()) {
            if (settings.basis != BasisReporting::Reported)
                basisOf_.insert(account, settings.basis);
        }
    } catch (const StoreError& error) {
        return Outcome::failure(exportReadFailedMessage(error.message()));
    }
    if (records_.isEmpty())
        return Outcome::stop(digitalLeftOut_ > 0 ? digitalLeftOutMessage(digitalLeftOut_)
                                                 : noRecordToExportMessage());
    return Outcome::ok(records_.size());
}

QByteArray TxfExport::fileBytes(const QDate& today, Progress& progress) const {
    const TxfLayout layout = txfLayoutFor(year_);
    QByteArray text = txfHeader(layout, today);
    text.reserve(text.size() + records_.size() * kTxfRecordBytes);
    for (qsizetype i = 0; i < records_.size(); ++i) {
        progress.step(i, records_.size());
        const TaxRecord& record = records_[i];
        const BasisReporting basis =
            record.box == Form8949Box::None
                ? basisOf_.value(record.accountName, BasisReporting::Reported)
                : BasisReporting::Reported;
        appendTxfRecord(text, record, layout, basis);
    }
    progress.step(records_.size(), records_.size());
    return text;
}

Outcome TxfExport::writeTo(const QString& path, const QDate& today, Progress& progress) const {
    const QString refusal = outputRefusal(
        path, {{databaseFile_, QStringLiteral("the open database")},
               {backupFileOf(databaseFile_), QStringLiteral("the database's backup")}});
    if (!refusal.isEmpty())
        return Outcome::failure(cannotWriteMessage(path, refusal));

    // Written beside the target and renamed over it at the end, so a full
    // disk, a lost share or a cancel never leaves a cut-off file that a tax
    // program would read as complete: an uncommitted QSaveFile takes its
    // temporary file with it. A folder that takes no new file is refused
    // rather than written in place.
    try {
        Progress building = progress.part(0, 9, 10);
        const QByteArray text = fileBytes(today, building);
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size())
            return Outcome::failure(cannotWriteMessage(path, file.errorString()));
        progress.step(10, 10);
        if (!file.commit())
            return Outcome::failure(cannotWriteMessage(path, file.errorString()));
    } catch (const RunCancelled&) {
        return Outcome::stop(txfExportCancelledMessage(path));
    }
    Outcome written = Outcome::ok(records_.size());
    if (digitalLeftOut_ > 0)
        written.details << digitalLeftOutMessage(digitalLeftOut_);
    return written;
}

} // namespace gainbook
