#include "capture/sources/sheet_limits.h"

#include <QLocale>
#include <QStringDecoder>

namespace gainbook {

namespace {

// 1,048,576: limits are told with thousands separators, as sheets show them.
QString grouped(qint64 value) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(value);
}

} // namespace

QString tooLargeMessage(const QString& reason) {
    return QStringLiteral("The file is too large or damaged: %1").arg(reason);
}

std::optional<QString> readBoundedText(QIODevice& file, QString* error) {
    // One byte past the file's size tells a file that holds more than its
    // size says (one that grows, or one of /proc); it reads on in pieces, as
    // a pipe, which has no size, does. One byte past the bound tells a file
    // that passes it.
    const qint64 size = file.isSequential() ? 0 : file.size() - file.pos();
    QByteArray bytes = file.read(qMin(size, kMaxSheetBytes) + 1);
    constexpr qint64 kPiece = qint64(1) << 20;
    while (bytes.size() > size && bytes.size() <= kMaxSheetBytes) {
        const QByteArray piece = file.read(qMin(kPiece, kMaxSheetBytes + 1 - bytes.size()));
        if (piece.isEmpty())
            break;
        bytes += piece;
    }
    if (bytes.size() > kMaxSheetBytes) {
        if (error)
            *error = tooLargeMessage(
                QStringLiteral("it holds more than %1 MB of text").arg(kMaxSheetBytes >> 20));
        return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    return text;
}

QString BoundedSheet::rowReason(const QString& row) {
    return QStringLiteral("row %1 is beyond the last row of a sheet (%2)")
        .arg(row)
        .arg(grouped(kLastSheetRow));
}

QString BoundedSheet::columnReason(const QString& col) {
    return QStringLiteral("column %1 is beyond the last column of a sheet (%2)")
        .arg(col)
        .arg(grouped(kLastSheetColumn));
}

void BoundedSheet::check(int row, int col) const {
    if (row > kLastSheetRow)
        throw SheetTooLarge{rowReason(QString::number(row))};
    if (col > kLastSheetColumn)
        throw SheetTooLarge{columnReason(QString::number(col))};
    if (sheet_.cellCount() >= kMaxSheetCells)
        throw SheetTooLarge{
            QStringLiteral("more than %1 cells hold a value").arg(grouped(kMaxSheetCells))};
    const qint64 rows = std::max(sheet_.rowCount(), row);
    const qint64 cols = std::max(sheet_.columnCount(), col);
    if (rows * cols > kMaxSheetArea)
        throw SheetTooLarge{
            QStringLiteral("the cells in use span %1 rows by %2 columns").arg(rows).arg(cols)};
}

void BoundedSheet::put(int row, int col, SheetCell cell) {
    check(row, col);
    sheet_.setCell(row, col, std::move(cell));
}

void BoundedSheet::putShared(int row, int col, qint32 shared) {
    check(row, col);
    sheet_.setSharedCell(row, col, shared);
}

} // namespace gainbook
