#pragma once

#include "platform/outcome.h"
#include "platform/progress.h"
#include "platform/prompter.h"
#include "store/records.h"
#include "txf/txf_reader.h"

#include <QSqlDatabase>
#include <QVector>

#include <array>
#include <optional>

namespace gainbook {

// The tax record an entry of a TXF file becomes, or nothing when its date
// sold or an amount cannot be read. A date acquired that is missing or
// given as "00/00/00" or "VARIOUS" is stored empty; the third amount is the
// wash-sale adjustment; an empty cost is 0, so that a record with neither
// a date acquired nor a cost is stored as the processing run stores a sell
// whose buy was never found: its cost unknown, not zero. The memo is one
// blank. The box is the one the record's reference number names (673, 715
// and 716: none, the term is unknown); a record without such a number gets
// the box of its term under the account's setting.
// boxNamed, when given, tells whether the number named the box.
std::optional<TaxRecord> taxRecordFromTxf(const TxfFields& fields, const QString& account,
                                          BasisReporting basis = BasisReporting::Reported,
                                          bool* boxNamed = nullptr);

// The import of a TXF file's capital-gain records into one account. It runs
// in two steps because the account is asked for only when the file holds
// something to add:
//
//     TxfImport txf;
//     if (!txf.read(path).done()) <tell the outcome and stop>;
//     account = <asked, offering txf.fileAccountName()>;
//     <tell txf.addTo(db, account, prompter)>;
class TxfImport {
public:
    // Reads and checks the file: Done with the number of records to add,
    // Stopped with the no-data message (and the lines of the records
    // skipped) when it holds no readable capital-gain record, Failed when
    // the file cannot be read.
    Outcome read(const QString& path);
    Outcome read(const QByteArray& content);

    // The account the file names: a first record numbered 286, else the
    // header's program line. Empty when it names none.
    const QString& fileAccountName() const { return fileAccount_; }
    // The name the desktop offers for the account: the 286 record's, else
    // the file's name without its ending. The header's program line names
    // the program that wrote the file, not an account of the user's.
    QString offeredAccountName() const { return accountFromRecord_ ? fileAccount_ : fileBaseName_; }
    const QVector<TaxRecord>& records() const { return records_; }

    // Adds the records read under the account, all in one transaction. A
    // sale of a digital asset (by the store's asset kinds) of 2025 or later
    // takes the box among G to L of the term and basis its number or its
    // term gave, since TXF numbers none of them. When
    // the account already holds some of them the prompter asks whether to
    // add them again; No adds nothing (Stopped, no message). Done with
    // "N records successfully added." and a line for each kind of record
    // skipped; Failed when a write fails, the records written before the
    // failing one kept, counted and told. Whenever count is above 0 the
    // caller rebuilds the account outline. The writing steps the progress
    // record by record; its watcher's stop adds nothing (Stopped with
    // txfImportCancelledMessage).
    Outcome addTo(const QSqlDatabase& db, const QString& account, Prompter& prompter,
                  Progress& progress = unwatchedProgress());

private:
    QStringList skippedLines() const;
    qint64 otherBasisCount(BasisReporting accountBasis) const;

    QString fileAccount_;
    QString fileBaseName_;
    bool accountFromRecord_ = false;
    QVector<TaxRecord> records_;
    // The records whose reference number names no box: they take the box
    // of their term under the account's setting.
    QVector<qsizetype> boxedByTerm_;
    // The records of unknown term by the basis their number named.
    std::array<qint64, 3> unknownTermBasis_ = {};
    qint64 unreadable_ = 0;
    qint64 otherKinds_ = 0;
};

// Both steps at once, under the given account or, when it is empty, the
// one the file names.
Outcome importTxf(const QString& path, const QSqlDatabase& db, Prompter& prompter,
                  const QString& account = {}, Progress& progress = unwatchedProgress());

} // namespace gainbook
