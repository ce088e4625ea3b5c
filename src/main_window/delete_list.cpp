#include "main_window/delete_list.h"

#include "matching/trade_changes.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/txn_table.h"

namespace gainbook {

QString deleteListQuestion(RecordView view, const QString& itemText) {
    const QString what = view == RecordView::Tax ? QStringLiteral("Tax Records")
                                                 : QStringLiteral("Transaction Records");
    return QStringLiteral("Are you sure you want to delete ") + what + QStringLiteral(" for ") +
           itemText + QStringLiteral("?");
}

QString DeleteList(const QSqlDatabase& db, RecordView view, const OutlineSelection& selection) {
    if (!selection.isValid())
        return {};
    try {
        Transaction transaction(db);
        TradeChanges changes(db);
        if (view == RecordView::Transactions) {
            if (selection.isAccount()) {
                changes.removedAll(selection.account);
                deleteTxnsOfAccount(db, selection.account);
            } else {
                changes.removedAll(selection.account, selection.text);
                deleteTxnsOfMonth(db, selection.account, selection.text);
            }
        } else {
            // Links without their tax records (or the reverse) would make the
            // next recalculation rebuild records the user meant to remove.
            deleteLinksOfAccount(db, selection.account);
            deleteTaxRecsOfAccount(db, selection.account);
            // With no links the account is no longer processed: nothing of
            // it is left to go stale.
            clearRematch(db, selection.account);
            changes.linksChanged();
        }
        // A loss or a replacement that is gone no longer adjusts the other
        // sales it touched, here or in other accounts.
        changes.settle();
        transaction.commit();
    } catch (const StoreError& e) {
        return QStringLiteral("Records of %1 were not deleted: %2")
            .arg(selection.text, e.message());
    }
    return {};
}

} // namespace gainbook
