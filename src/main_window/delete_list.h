#pragma once

#include "main_window/record_view.h"

#include <QSqlDatabase>
#include <QString>

namespace gainbook {

// Deletes what an outline item stands for, in the current view: in the
// transaction view the account's transactions or one month's; in the tax
// view all tax records and links of the item's account, month or not.
// Returns a failure text, empty when done.
QString DeleteList(const QSqlDatabase& db, RecordView view, const OutlineSelection& selection);

// The question asked before DeleteList: the item's text, then what goes,
// counted in db ("This deletes the 7 tax records (all years) and 12 links
// of A."): the item a click landed on need not be the one the user meant.
// Throws StoreError.
QString deleteListQuestion(const QSqlDatabase& db, RecordView view,
                           const OutlineSelection& selection);

} // namespace gainbook
