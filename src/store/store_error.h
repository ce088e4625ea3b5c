#pragma once

#include <QSqlError>
#include <QString>

#include <exception>

namespace gainbook {

// A failure of the database engine, carried up to the routine that reports
// it to the user. Routines that write several rows hold a Transaction, so
// throwing leaves the file as it was before the routine began.
class StoreError : public std::exception {
public:
    explicit StoreError(QString message, QSqlError error = {});

    const QString& message() const { return message_; }
    const QSqlError& sqlError() const { return error_; }
    const char* what() const noexcept override { return utf8_.constData(); }

    // The pair (SellId, BuyId) is already linked.
    bool isDuplicateKey() const;

private:
    QString message_;
    QSqlError error_;
    QByteArray utf8_;
};

} // namespace gainbook
