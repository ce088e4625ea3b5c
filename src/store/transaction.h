#pragma once

#include <QSqlDatabase>

namespace gainbook {

// Groups the writes of one command: rolled back unless commit() is reached,
// so an exception on the way leaves the file as it was. It holds the file's
// write lock from the start, so two writers take turns.
class Transaction {
public:
    explicit Transaction(QSqlDatabase db); // throws StoreError
    ~Transaction();

    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void commit(); // throws StoreError; the transaction is over either way

    // Whether the engine still holds it: it ends one on its own after some
    // failures of the file (a full disk), and the writes after such a
    // failure would each be kept on their own.
    bool holds() const;

private:
    QSqlDatabase db_;
    bool open_ = false;
};

} // namespace gainbook
