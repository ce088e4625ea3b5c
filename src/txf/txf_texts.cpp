#include "txf/txf_texts.h"

#include "platform/progress.h"
#include "txf/txf_format.h"

#include <QDir>

namespace gainbook {

TxfDialogChoice txfExportDialog(int year) {
    return {QStringLiteral("Export Tax Data in"), QStringLiteral("txf"),
            QStringLiteral("Tax Exchange Format (*.txf)"),
            QStringLiteral("gainbook-%1.txf").arg(year)};
}

TxfDialogChoice txfImportDialog() {
    return {QStringLiteral("Import Data in Tax Format from other programs"),
            QStringLiteral("txf"),
            QStringLiteral("Tax Exchange Format (*.txf)"),
            {}};
}

QString txfYearLine(std::optional<TaxYear> year) {
    if (!year)
        return QStringLiteral("The TXF export writes version 042 from 2001, version 034 for "
                              "2000 and earlier.");
    return QStringLiteral("Tax year %1: the TXF export writes version %2.")
        .arg(year->year)
        .arg(txfLayoutFor(*year) == TxfLayout::Version034 ? QStringLiteral("034")
                                                          : QStringLiteral("042"));
}

QString txfExportMenuCaption() {
    return QStringLiteral("&Export in Tax Format");
}

QString txfImportMenuCaption() {
    return QStringLiteral("&Import in Tax Format");
}

QString noRecordToExportMessage() {
    return QStringLiteral("NO record exist to be exported");
}

QString digitalLeftOutMessage(qint64 count) {
    if (count == 1)
        return QStringLiteral(
            "1 digital-asset sale is not in the TXF file: enter it from the report.");
    return QStringLiteral("%1 digital-asset sales are not in the TXF file: enter them from the "
                          "report.")
        .arg(count);
}

QString noDataImportedMessage() {
    return QStringLiteral(
        "No data could be captured. Please make sure that right data is there in file");
}

QString recordsAddedMessage(qint64 count) {
    return QString::number(count) + QStringLiteral(" records successfully added.");
}

QString recordsSkippedMessage(qint64 count) {
    return count == 1 ? QStringLiteral("1 record could not be read and was skipped.")
                      : QStringLiteral("%1 records could not be read and were skipped.").arg(count);
}

QString otherKindsSkippedMessage(qint64 count) {
    return count == 1 ? QStringLiteral("1 record of another kind was skipped.")
                      : QStringLiteral("%1 records of other kinds were skipped.").arg(count);
}

QString otherBasisOfUnknownTermMessage(qint64 count, const QString& account,
                                       const QString& setting) {
    return (count == 1 ? QStringLiteral("%1 record of unknown term names a cost basis reporting "
                                        "other than account %2's setting (%3); it takes the "
                                        "setting.")
                       : QStringLiteral("%1 records of unknown term name a cost basis reporting "
                                        "other than account %2's setting (%3); they take the "
                                        "setting."))
        .arg(QString::number(count), account, setting);
}

QString alreadyImportedQuestion(qint64 count, const QString& account) {
    return count == 1
               ? QStringLiteral("This record is already in account %1. Add it again?").arg(account)
               : QStringLiteral("These %1 records are already in account %2. Add them again?")
                     .arg(count)
                     .arg(account);
}

QString accountNeededMessage() {
    return QStringLiteral("Please enter an Account Name");
}

QString importAccountTitle() {
    return QStringLiteral("Import in Tax Format");
}

QString importAccountLabel() {
    return QStringLiteral("Account for the records of this file:");
}

QString cannotWriteMessage(const QString& path, const QString& reason) {
    return QStringLiteral("The file %1 could not be written: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

QString cannotReadMessage(const QString& path, const QString& reason) {
    return QStringLiteral("The file %1 could not be read: %2")
        .arg(QDir::toNativeSeparators(path), reason);
}

QString importStoppedMessage(const QString& reason) {
    return QStringLiteral("The import stopped: %1").arg(reason);
}

QString exportReadFailedMessage(const QString& reason) {
    return QStringLiteral("The tax records could not be read: %1").arg(reason);
}

QString outOfRangeExportMessage(qint64 count) {
    return QStringLiteral("%1 tax %2 of the year %3 a quantity or amount out of range (10^12 or "
                          "more); correct or delete %4 before exporting. Nothing was written.")
        .arg(count)
        .arg(count == 1 ? QStringLiteral("record") : QStringLiteral("records"))
        .arg(count == 1 ? QStringLiteral("holds") : QStringLiteral("hold"))
        .arg(count == 1 ? QStringLiteral("it") : QStringLiteral("them"));
}

QString txfImportCancelledMessage(const QString& account) {
    return cancelledText(QStringLiteral("TXF import into %1").arg(account));
}

QString txfExportCancelledMessage(const QString& path) {
    return cancelledText(QStringLiteral("TXF export to %1").arg(QDir::toNativeSeparators(path)));
}

QString gainsImportCancelledMessage(const QString& account) {
    return cancelledText(QStringLiteral("Import of realized gains into %1").arg(account));
}

Outcome importWrittenOutcome(const WrittenRows& written, const QStringList& skipped) {
    QStringList lines;
    if (written.count > 0)
        lines << recordsAddedMessage(written.count);
    else if (written.complete())
        lines << noDataImportedMessage();
    lines << skipped;
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
