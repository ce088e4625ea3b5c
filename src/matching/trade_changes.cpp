#include "matching/trade_changes.h"

#include "matching/wash_sale_refresh.h"
#include "platform/form8949_box.h"
#include "platform/holding_term.h"
#include "store/account_settings_table.h"
#include "store/corp_action_table.h"
#include "store/links_table.h"
#include "store/lot_adjust_table.h"
#include "store/tax_table.h"

namespace gainbook {

bool isTrade(const TxnRecord& record) {
    return record.type == kBought || record.type == kSold;
}

bool tradeFiguresChanged(const TxnRecord& before, const TxnRecord& after) {
    if (!isTrade(before) && !isTrade(after))
        return false;
    return before.accountName != after.accountName || before.type != after.type ||
           before.symbol != after.symbol || before.quantity != after.quantity ||
           before.txnDate != after.txnDate || before.amount != after.amount;
}

TradeChanges::TradeChanges(QSqlDatabase db) : db_(std::move(db)) {}

void TradeChanges::note(const QStringList& accounts) {
    for (const QString& account : accounts)
        note(account);
}

void TradeChanges::added(const TxnRecord& record) {
    if (!isTrade(record))
        return;
    changed_ = true;
    note(record.accountName);
}

void TradeChanges::changed(const TxnRecord& before, const TxnRecord& after) {
    if (!tradeFiguresChanged(before, after))
        return;
    changed_ = true;
    note(before.accountName);
    note(after.accountName);
    note(selectAccountsLinkingTxn(db_, before.id));
}

void TradeChanges::removed(const TxnRecord& record) {
    if (!isTrade(record))
        return;
    changed_ = true;
    note(record.accountName);
    note(selectAccountsLinkingTxn(db_, record.id));
}

void TradeChanges::removedAll(const QString& account, const std::optional<QString>& month) {
    changed_ = true;
    note(account);
    note(selectAccountsLinkingTxnsOf(db_, account, month));
}

void TradeChanges::settle() {
    if (!changed_)
        return;
    // A sell of an account never processed has no tax record to go stale:
    // its first run writes one.
    for (const QString& account : std::as_const(accounts_)) {
        if (accountHasLinks(db_, account))
            markRematch(db_, account);
    }
    if (storeHasLinks(db_) || hasLotAdjustments(db_))
        refreshWashSales(db_);
    accounts_.clear();
    changed_ = false;
}

QString processAgainText(const QStringList& accounts) {
    if (accounts.isEmpty())
        return {};
    return QStringLiteral("Accounts to process again before filing: ") +
           accounts.join(QStringLiteral(", "));
}

QString processAgainLine(const QSqlDatabase& db) {
    return processAgainText(selectRematchAccounts(db));
}

QString goOnAnywayQuestion(const QString& line, const QString& action) {
    return line + u'\n' + action + QStringLiteral(" anyway?");
}

bool changeBasisReporting(const QSqlDatabase& db, const QString& account, BasisReporting basis) {
    const BasisReporting before = selectBasisReporting(db, account);
    setBasisReporting(db, account, basis);
    if (before == basis || !accountHasLinks(db, account))
        return false;
    for (const TaxRecord& r : selectTaxRecs(db, account, QDate(1, 1, 1), QDate(9999, 12, 31))) {
        // A box stands for its term even where the dates say another (a short
        // sale's long-term loss), so the box is asked first.
        const HoldingTerm term =
            r.box != Form8949Box::None ? boxTerm(r.box) : holdingTerm(r.dateAcquired, r.dateSold);
        if (term != HoldingTerm::Unknown && r.box == boxFor(term, before) &&
            boxFor(term, basis) != r.box) {
            markRematch(db, account);
            return true;
        }
    }
    return false;
}

} // namespace gainbook
