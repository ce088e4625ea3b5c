#include "txf/txf_export.h"

#include "platform/prompter.h"
#include "platform/tax_year.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "txf/txf_format.h"
#include "txf/txf_texts.h"

#include <QSaveFile>

namespace gainbook {

namespace {

bool tell(const TxfResult& result, Prompter& prompter) {
    if (!result.message.isEmpty())
        prompter.message(result.message);
    return result.ok();
}

} // namespace

TxfResult TxfExport::load(const QSqlDatabase& db) {
    records_.clear();
    try {
        records_ = selectTaxRecsSold(db, taxYearFirstDay(), taxYearLastDay());
    } catch (const StoreError& error) {
        return {TxfStatus::Failed, 0, 0, exportReadFailedMessage(error.message())};
    }
    if (records_.isEmpty())
        return {TxfStatus::NoData, 0, 0, noRecordToExportMessage()};
    return {TxfStatus::Done, records_.size(), 0, {}};
}

TxfResult TxfExport::writeTo(const QString& path) const {
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
        return {TxfStatus::Failed, 0, 0, cannotWriteMessage(path, file.errorString())};
    return {TxfStatus::Done, records_.size(), 0, {}};
}

bool TxfExport::load(const QSqlDatabase& db, Prompter& prompter) {
    return tell(load(db), prompter);
}

bool TxfExport::writeTo(const QString& path, Prompter& prompter) const {
    return tell(writeTo(path), prompter);
}

} // namespace gainbook
