#include "main_window/account_outline.h"

#include "store/tax_table.h"
#include "store/txn_table.h"

#include <QSet>

namespace gainbook {

QVector<OutlineItem> loadOutline(const QSqlDatabase& db) {
    QVector<OutlineItem> items;
    QSet<QString> accounts;
    QString previous;
    bool first = true;
    for (const auto& [account, month] : selectAccountMonths(db)) {
        if (first || account != previous) {
            items.append({account, 1});
            accounts.insert(account);
        }
        items.append({month, 2});
        previous = account;
        first = false;
    }
    // Only account items are compared: a tax-only account must not vanish
    // because some month happens to carry the same label.
    for (const QString& account : selectTaxAccounts(db)) {
        if (!accounts.contains(account))
            items.append({account, 1});
    }
    return items;
}

int accountItemIndex(const QVector<OutlineItem>& items, int index) {
    if (index >= items.size())
        return -1;
    for (int i = index; i >= 0; --i) {
        if (items[i].level == 1)
            return i;
    }
    return -1;
}

} // namespace gainbook
