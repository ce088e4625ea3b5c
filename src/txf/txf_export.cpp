#include "txf/txf_export.h"

#include "platform/tax_year.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "txf/txf_format.h"
#include "txf/txf_texts.h"

#include <QSaveFile>

namespace gainbook {

Outcome TxfExport::load(const QSqlDatabase& db, TaxYear year) {
    records_.clear();
    try {
        records_ = selectTaxRecsSold(db, year.firstDay(), year.lastDay());
    } catch (const StoreError& error) {
        return Outcome::failure(exportReadFailedMessage(error.message()));
    }
    if (records_.isEmpty())
        return Outcome::stop(noRecordToExportMessage());
    return Outcome::ok(records_.size());
}

Outcome TxfExport::writeTo(const QString& path) const {
    QByteArray text = txfHeader();
    text.reserve(text.size() + records_.size() * 96);
    for (const TaxRecord& record : records_)
        text += txfRecord(record);

    // Written beside the target and renamed over it at the end, so a full
    // disk or a lost share never leaves a cut-off file that a tax program
    // would read as complete.
    QSaveFile file(path);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit())
        return Outcome::failure(cannotWriteMessage(path, file.errorString()));
    return Outcome::ok(records_.size());
}

} // namespace gainbook
