#pragma once

#include "gains/realized_lot.h"
#include "platform/asset_kind.h"
#include "platform/outcome.h"
#include "platform/progress.h"
#include "store/records.h"

#include <QSqlDatabase>

#include <optional>

namespace gainbook {

class Prompter;

// The lots of a realized gain/loss file (.csv, .xls, .xlsx). Nothing, with
// the reason in *error, when the file cannot be opened as a spreadsheet.
std::optional<RealizedLots> loadRealizedLots(const QString& path, const QDate& today,
                                             QString* error);

// The tax record a lot becomes: the file's box, else the box of its term
// under the account's basis setting (a digital asset's of its year), and the
// file's wash sale adjustment.
// The memo is one blank.
TaxRecord taxRecordFromLot(const RealizedLot& lot, const QString& account, BasisReporting basis,
                           const AssetKinds& kinds = {});

// Adds one tax record per readable lot of the file to the account, all in
// one transaction, the database kept as its backup first: Done with "N
// records successfully added." (and a line for the lots that could not be
// read), Stopped with the no-data message when the file holds no lot,
// Failed when the file cannot be read or a write fails. An account that
// already holds tax records is asked about first, since the same file
// taken twice doubles every sale; No stops with nothing written. The
// writing steps the progress; its watcher's stop adds nothing (Stopped with
// gainsImportCancelledMessage).
Outcome importRealizedGains(const QString& path, const QString& account, const QSqlDatabase& db,
                            Prompter& prompter, const QDate& today = QDate::currentDate(),
                            Progress& progress = unwatchedProgress());

// "Account A already has N tax records. Do you still want to add the records of this file ?"
QString gainsOverExistingQuestion(const QString& account, qint64 count);

} // namespace gainbook
