#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <QVector>

#include <functional>
#include <optional>

namespace gainbook {

// One capital-gain record as found in a TXF file: the texts of its lines,
// not yet checked. Every field comes from between the same two "^" lines.
struct TxfEntry {
    double quantity = 0; // quantity and symbol from the description, the "P" line
    QString symbol;
    QString dateAcquired;   // the first "D" line; empty when the record has none
    QString dateSold;       // the second "D" line
    QString cost;           // the first "$" line; empty when the record has none
    QString salePrice;      // the second "$" line
    QString washAdjustment; // the third "$" line (record format 5)
    QString reference;      // the record's "N" value; empty when it has none
};

} // namespace gainbook

// Moved as bytes when the list of entries grows: a 100 MB file holds a
// million of them.
Q_DECLARE_TYPEINFO(gainbook::TxfEntry, Q_RELOCATABLE_TYPE);

namespace gainbook {

// What a TXF file holds: the account its records are filed under, the
// capital-gain records in file order, and how many records of other kinds
// (income, deductions, ...) were passed over.
struct TxfStatement {
    QString versionCode; // "034", "042", ... from the "V" line; empty when there is none
    QString accountName; // a first record numbered 286 names it, else the header's "A" line
    bool accountFromRecord = false; // named by the 286 record, not the header
    QVector<TxfEntry> entries;
    qint64 otherRecords = 0;
};

// The reference numbers of sales of capital assets that the import takes.
bool isCapitalGainReference(int number);

// Reads a TXF file of any version, its lines ending with LF, CR LF or CR,
// single-byte text. A record runs to its "^" line, or to a "T" line that
// opens the next one; its fields are found by tag in any order: the first
// "D" is the date acquired, the second the date sold, the "$" lines are
// cost, proceeds and wash-sale adjustment. A record numbered with a
// capital-gain reference becomes an entry, as does a record without a number
// that has a description; other numbered records are only counted. Blanks
// before a tag are passed over; a tag is found in either case.
TxfStatement readTxf(const QByteArray& content);

// The lines of one such entry as the file's bytes, blanks trimmed: views
// into the content, valid only while they are handed over.
struct TxfFields {
    QByteArrayView reference; // empty when the record has none
    QByteArrayView description;
    QByteArrayView dateAcquired;
    QByteArrayView dateSold;
    QByteArrayView cost;
    QByteArrayView salePrice;
    QByteArrayView washAdjustment;
};

// The same reading, handing each entry's fields to take as soon as its
// record ends instead of keeping it: a large file is never held twice, and
// the fields are read without a text made of each. The statement holds no
// entries.
TxfStatement readTxfFields(const QByteArray& content,
                           const std::function<void(const TxfFields&)>& take);

// The entry the fields make, as readTxf keeps it.
TxfEntry txfEntry(const TxfFields& fields);

// A reference number written in plain digits, or nothing when the text is
// not one; the same number QByteArray::toInt and QString::toInt give.
std::optional<int> plainTxfNumber(QByteArrayView text);

// Splits a description into quantity and symbol: "100 sh. XYZ", "100 sh XYZ",
// "100 XYZ" and "XYZ" (quantity 0). A first word that is not a number
// belongs to the symbol.
void splitTxfDescription(QStringView description, double& quantity, QString& symbol);
// The same for the description's bytes, single-byte text.
void splitTxfDescription(QByteArrayView description, double& quantity, QString& symbol);

} // namespace gainbook
