#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QVector>

namespace gainbook {

// One line of the account outline: an account (level 1) or one of its
// transaction months (level 2).
struct OutlineItem {
    QString text;
    int level = 1;
    friend bool operator==(const OutlineItem&, const OutlineItem&) = default;
};

// The outline as DisplayList builds it: each account with its months, then
// the accounts that have tax records but no transactions. Throws StoreError.
QVector<OutlineItem> loadOutline(const QSqlDatabase& db);

// The account item at or above the given item, -1 when there is none.
int accountItemIndex(const QVector<OutlineItem>& items, int index);

} // namespace gainbook
