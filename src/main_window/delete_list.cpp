#include "main_window/delete_list.h"

#include "matching/trade_changes.h"
#include "platform/formats.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/store_error.h"
#include "store/tax_table.h"
#include "store/transaction.h"
#include "store/txn_table.h"

namespace gainbook {

namespace {

QString countOf(qint64 count, const QString& one, const QString& many) {
    return QStringLiteral("%1 %2").arg(formatCount(count), count == 1 ? one : many);
}

} // namespace

QString deleteListQuestion(const QSqlDatabase& db, RecordView view,
                           const OutlineSelection& selection) {
    const QString what = view == RecordView::Tax ? QStringLiteral("Tax Records")
                                                 : QStringLiteral("Transaction Records");
    QString question = QStringLiteral("Are you sure you want to delete ") + what +
                       QStringLiteral(" for ") + selection.text + QStringLiteral("?");
    if (!selection.isValid())
        return question;
    if (view == RecordView::Tax) {
        question += QStringLiteral(" This deletes the %1 (all years) and %2 of %3.")
                        .arg(countOf(countTaxRecsOfAccount(db, selection.account),
                                     QStringLiteral("tax record"), QStringLiteral("tax records")),
                             countOf(countLinksOfAccount(db, selection.account),
                                     QStringLiteral("link"), QStringLiteral("links")),
                             selection.account);
    } else {
        const std::optional<QString> month =
            selection.isAccount() ? std::nullopt : std::optional(selection.text);
        question +=
            QStringLiteral(" This deletes the %1 of %2%3.")
                .arg(countOf(countTxnsOf(db, selection.account, month),
                             QStringLiteral("transaction"), QStringLiteral("transactions")),
                     selection.account, month ? QStringLiteral(" in ") + *month : QString());
    }
    return question;
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
