#include "txf/txf_export.h"

#include "platform/number_range.h"
#include "platform/output_guard.h"
#include "platform/tax_year.h"
#include "store/store_backup.h"
#include "store/store_error.h"
#include "store/store_fault.h"
#include "store/tax_table.h"
#include "txf/txf_format.h"
#include "txf/txf_texts.h"

#include <QSaveFile>

namespace gainbook {

Outcome TxfExport::load(const QSqlDatabase& db, TaxYear year) {
    records_.clear();
    year_ = year;
    databaseFile_ = databaseFile(db);
    try {
        // A value no amount can hold would be written as $0: such records
        // stop the export instead of reaching the tax program as zeros.
        const qint64 beyond =
            countTaxRecsSoldBeyond(db, year.firstDay(), year.lastDay(), kBrokerageNumberLimit);
        if (beyond > 0)
            return Outcome::failure(outOfRangeExportMessage(beyond));
        records_ = selectTaxRecsSold(db, year.firstDay(), year.lastDay());
    } catch (const StoreError& error) {
        return Outcome::failure(exportReadFailedMessage(error.message()));
    }
    if (records_.isEmpty())
        return Outcome::stop(noRecordToExportMessage());
    return Outcome::ok(records_.size());
}

QByteArray TxfExport::fileBytes(const QDate& today) const {
    const TxfLayout layout = txfLayoutFor(year_);
    QByteArray text = txfHeader(layout, today);
    text.reserve(text.size() + records_.size() * 112);
    for (const TaxRecord& record : records_)
        text += txfRecord(record, layout);
    return text;
}

Outcome TxfExport::writeTo(const QString& path, const QDate& today) const {
    const QString refusal = outputRefusal(
        path, {{databaseFile_, QStringLiteral("the open database")},
               {backupFileOf(databaseFile_), QStringLiteral("the database's backup")}});
    if (!refusal.isEmpty())
        return Outcome::failure(cannotWriteMessage(path, refusal));

    const QByteArray text = fileBytes(today);

    // Written beside the target and renamed over it at the end, so a full
    // disk or a lost share never leaves a cut-off file that a tax program
    // would read as complete. A folder that takes no new file is refused
    // rather than written in place.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return Outcome::failure(cannotWriteMessage(path, file.errorString()));
    return Outcome::ok(records_.size());
}

} // namespace gainbook
