#pragma once

#include "platform/outcome.h"
#include "platform/progress.h"
#include "platform/tax_year.h"
#include "store/records.h"

#include <QByteArray>
#include <QDate>
#include <QHash>
#include <QSqlDatabase>
#include <QVector>

namespace gainbook {

// The export of the tax year's records, of every account, to a TXF file.
// It runs in two steps because the file dialog opens only when there is
// something to write:
//
//     TxfExport txf;
//     if (!txf.load(db, year).done()) <tell the outcome and stop>;
//     path = <save dialog set up from txfExportDialog()>;
//     if (!path.isEmpty()) <tell txf.writeTo(path)>;
//
// The database is only read.
class TxfExport {
public:
    // Reads the records of Form 8949 sold in the tax year, by date sold
    // (those of tax-advantaged accounts are not: selectReportableTaxRecs),
    // the basis setting of their accounts, which gives a record of unknown
    // term its reference number, and the accounts to process again: Done
    // with their count, Stopped with "NO record exist to be exported" when
    // there are none, Failed when the store cannot be read or a record
    // holds a value out of range (it would be written as $0).
    Outcome load(const QSqlDatabase& db, TaxYear year = {});

    // How many of the year's records are of digital assets in boxes G to L,
    // which TXF has no reference number for: the load leaves them out (only
    // they: Stopped with digitalLeftOutMessage) and the written file's
    // outcome tells them.
    qint64 digitalLeftOut() const { return digitalLeftOut_; }

    // "Accounts to process again before filing: A, B" as the load found
    // them: records that may not follow their trades. Empty for none.
    const QString& processAgainLine() const { return processAgain_; }

    // Writes the loaded records in the layout of their year, replacing any
    // file of that name: Done with their count, or Failed, leaving a file
    // that cannot be written as it was. Refuses the database the records
    // came from, its backup, and anything that is not a regular file or a
    // new name (a device, a folder, a pipe), saying why. Today is the date
    // a version 042 header carries. The progress steps through the records;
    // its watcher's stop leaves the file as it was (Stopped with
    // txfExportCancelledMessage).
    Outcome writeTo(const QString& path, const QDate& today = QDate::currentDate(),
                    Progress& progress = unwatchedProgress()) const;

    // The file's bytes, as writeTo writes them. Throws RunCancelled when the
    // progress's watcher stops it.
    QByteArray fileBytes(const QDate& today, Progress& progress = unwatchedProgress()) const;

    const QVector<TaxRecord>& records() const { return records_; }

private:
    QVector<TaxRecord> records_;
    // The accounts whose basis is not reported, or not on Form 1099-B; the
    // others' is reported.
    QHash<QString, BasisReporting> basisOf_;
    QString processAgain_;
    qint64 digitalLeftOut_ = 0;
    TaxYear year_;
    QString databaseFile_; // where the records came from, never written over
};

} // namespace gainbook
