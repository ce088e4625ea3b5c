#pragma once

#include "platform/outcome.h"
#include "platform/tax_year.h"
#include "store/row_writer.h"

#include <QString>
#include <QStringList>

namespace gainbook {

// What the main window's file dialog is set to for a TXF command. The
// dialog itself belongs to the screen; the choices belong to the format.
struct TxfDialogChoice {
    QString title;
    QString defaultSuffix; // without the dot
    QString filter;        // for the dialog's file type list
    QString fileName;      // offered in the name box; empty for none
};

// The export offers a name with the year it holds: "gainbook-2025.txf".
TxfDialogChoice txfExportDialog(int year);
TxfDialogChoice txfImportDialog();

// Menu captions of the two commands on the main window's file menu.
QString txfExportMenuCaption();
QString txfImportMenuCaption();

// The commands' own messages.
QString noRecordToExportMessage();
// "3 digital-asset sales are not in the TXF file: enter them from the report."
QString digitalLeftOutMessage(qint64 count);
QString noDataImportedMessage();
QString recordsAddedMessage(qint64 count);
QString recordsSkippedMessage(qint64 count);

// How writing an import's tax records ended, as the TXF and realized-gain
// imports tell it: the records added (or that none were), the lines about
// what the file skipped, then the failure. Done with the count when records
// were added, stopped when none were, failed when the writing broke off.
Outcome importWrittenOutcome(const WrittenRows& written, const QStringList& skipped);
QString otherKindsSkippedMessage(qint64 count);
// Records of unknown term numbered with another basis reporting than the
// account's setting (its word: yes, no, none), which they take.
QString otherBasisOfUnknownTermMessage(qint64 count, const QString& account,
                                       const QString& setting);
QString alreadyImportedQuestion(qint64 count, const QString& account);
QString accountNeededMessage();

// What the splash and About say of the year shown: "Tax year 2024: the TXF
// export writes version 042." Without a year: the versions of every year.
QString txfYearLine(std::optional<TaxYear> year);

// The question for the account an import files its records under.
QString importAccountTitle();
QString importAccountLabel();
QString cannotWriteMessage(const QString& path, const QString& reason);
QString cannotReadMessage(const QString& path, const QString& reason);
QString importStoppedMessage(const QString& reason);
QString exportReadFailedMessage(const QString& reason);
QString outOfRangeExportMessage(qint64 count);

// What a cancelled run says: the store, or the file, is left as it was.
// "TXF import into A was cancelled; nothing was changed."
QString txfImportCancelledMessage(const QString& account);
// "TXF export to F was cancelled; nothing was changed."
QString txfExportCancelledMessage(const QString& path);
// "Import of realized gains into A was cancelled; nothing was changed."
QString gainsImportCancelledMessage(const QString& account);

} // namespace gainbook
