#pragma once

#include "platform/next_token.h"

#include <QString>
#include <QVector>

namespace gainbook {

// One record as found in a TXF file: the texts of its lines, not yet
// checked. The dates and amounts are the values after their tags.
struct TxfEntry {
    double quantity = 0; // quantity and symbol from the description, the "P" line
    QString symbol;
    QString dateAcquired; // "00/00/00" when the file has none
    QString dateSold;
    QString cost;      // empty when the file has none
    QString salePrice; // empty when the file has none
    QString reference; // the record's "N" line before its "P" line; empty when none
};

// What a TXF file holds: the account its records are filed under and the
// records in file order.
struct TxfStatement {
    QString accountName;
    QVector<TxfEntry> entries;
};

// Walks the lines of a TXF file by tag. Two line forms are read: lines
// ending with CR LF (or CR), the form this program writes, and lines ending
// with LF alone, recognised only by the version code "036". A file of the
// first kind whose lines end with LF alone is one long line and holds no
// record.
class TxfReader {
public:
    // The file's bytes, single-byte text.
    explicit TxfReader(const QByteArray& content);

    const QString& TxfFirstLine() const { return firstLine_; }
    const QString& TxfVersionCode() const { return versionCode_; }
    bool isLfForm() const { return versionCode_ == QLatin1String("036"); }

    // The value of the next line whose first character, upper-cased, is the
    // tag; the lines before it are consumed. An empty text when no such line
    // is left, and then everything is consumed.
    QString GetATagValue(QChar tag);

    // The account the records are filed under. In the LF form a first
    // record with the reference number 286 describes the account itself.
    QString readAccountName();

    // Every record after the account name.
    QVector<TxfEntry> readEntries();

private:
    bool nextLine(QStringView& line);
    // Keeps the reference number of the record being passed through.
    void noteLine(QStringView line);

    QString text_;
    qsizetype pos_ = 0;
    QString firstLine_;
    QString versionCode_;
    Tokenizer tokenizer_;
    QString reference_; // the last "N" value since the last "^"
};

TxfStatement readTxf(const QByteArray& content);

// Splits a description into quantity and symbol. The CR form writes
// "quantity blank symbol"; in the LF form the symbol follows the number at
// the width the number takes in its standard text with a sign position.
void splitTxfDescription(const QString& description, bool lfForm, double& quantity,
                         QString& symbol);

} // namespace gainbook
