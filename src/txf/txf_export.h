#pragma once

#include "store/records.h"
#include "txf/txf_result.h"

#include <QSqlDatabase>
#include <QVector>

namespace gainbook {

class Prompter;

// The export of the tax year's records, of every account, to a TXF file.
// It runs in two steps because the file dialog opens only when there is
// something to write:
//
//     TxfExport txf;
//     if (!txf.load(db, prompter)) return;
//     path = <save dialog set up from txfExportDialog()>;
//     if (!path.isEmpty()) txf.writeTo(path, prompter);
//
// The database is only read.
class TxfExport {
public:
    // Reads the records sold in the tax year, by date sold. NoData when
    // there are none.
    TxfResult load(const QSqlDatabase& db);

    // Writes the loaded records, replacing any file of that name. A file
    // that cannot be written is left as it was. Refuses the database the
    // records came from, its backup, and anything that is not a regular
    // file or a new name (a device, a folder, a pipe), saying why.
    TxfResult writeTo(const QString& path) const;

    // The same, telling the user through the prompter when something is
    // wrong; true when the command may go on.
    bool load(const QSqlDatabase& db, Prompter& prompter);
    bool writeTo(const QString& path, Prompter& prompter) const;

    const QVector<TaxRecord>& records() const { return records_; }

private:
    QVector<TaxRecord> records_;
    QString databaseFile_; // where the records came from, never written over
};

} // namespace gainbook
