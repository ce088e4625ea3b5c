#include "store/txn_row_reader.h"

#include "platform/date_text.h"

namespace gainbook {

QString txnSelectAll() {
    return QStringLiteral("SELECT ID, AccountName, TxnMonth, Symbol, Quantity, Type, TxnDate, "
                          "Amount, Memo, OpenClose FROM Txn ");
}

void TxnRowReader::fill(TxnRecord& r, const FastStatement& row) {
    r.id = row.integer(0);
    r.accountName = accounts_.of(row.textView(1));
    r.txnMonth = months_.of(row.textView(2));
    r.symbol = symbols_.of(row.textView(3));
    r.quantity = Quantity::fromDouble(row.real(4));
    r.type = types_.of(row.textView(5));
    r.txnDate = dateFromStored(row.textView(6));
    r.amount = Money::fromDouble(row.real(7));
    r.memo = memos_.of(row.textView(8));
    r.openClose = types_.of(row.textView(9));
}

} // namespace gainbook
