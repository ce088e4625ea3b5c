#include "capture/sources/xls_reader.h"

#include "capture/sources/sheet_cell_values.h"
#include "capture/sources/sheet_limits.h"

#include <QDate>
#include <QFile>
#include <QTime>

#include <freexl.h>

namespace gainbook {

namespace {

// Closes the workbook however the read ends (FreeXL wants a close even after
// a failed open).
class XlsHandle {
public:
    XlsHandle() = default;
    ~XlsHandle() {
        if (handle_)
            freexl_close(handle_);
    }
    XlsHandle(const XlsHandle&) = delete;
    XlsHandle& operator=(const XlsHandle&) = delete;

    const void** address() { return &handle_; }
    const void* get() const { return handle_; }

private:
    const void* handle_ = nullptr;
};

QString freexlReason(int code) {
    switch (code) {
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_CFBF_INVALID_SIGNATURE:
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
        return QStringLiteral("not an Excel workbook");
    case FREEXL_BIFF_OBFUSCATED:
        return QStringLiteral("the workbook is password protected");
    case FREEXL_INSUFFICIENT_MEMORY:
        return QStringLiteral("out of memory");
    default:
        return QStringLiteral("the workbook is damaged (error %1)").arg(code);
    }
}

// FreeXL hands dates as "YYYY-MM-DD", date-times as "YYYY-MM-DD HH:MM:SS"
// and times of day as "HH:MM:SS".
SheetCell dateOrTimeCell(unsigned char type, const char* text) {
    const QString value = QString::fromUtf8(text);
    if (type == FREEXL_CELL_TIME) {
        const QTime time = QTime::fromString(value, QStringLiteral("HH:mm:ss"));
        return SheetCell{value, time.isValid() ? time.msecsSinceStartOfDay() / 86400000.0 : 0.0};
    }
    const QDate date = QDate::fromString(value.left(10), Qt::ISODate);
    if (!date.isValid())
        return SheetCell{value, std::nullopt};
    double fraction = 0.0;
    if (type == FREEXL_CELL_DATETIME) {
        const QTime time = QTime::fromString(value.mid(11), QStringLiteral("HH:mm:ss"));
        if (time.isValid())
            fraction = time.msecsSinceStartOfDay() / 86400000.0;
    }
    return dateCell(date, fraction);
}

QString areaReason(unsigned int rows, unsigned short columns) {
    return QStringLiteral("its first worksheet claims %1 rows by %2 columns")
        .arg(rows)
        .arg(columns);
}

// The first worksheet's used range as its header states it. The library
// makes room for every cell of that range when it opens the workbook, so the
// range is checked first with an open that reads no cells.
std::optional<QString> checkDimensions(const QByteArray& localPath) {
    XlsHandle info;
    if (freexl_open_info(localPath.constData(), info.address()) != FREEXL_OK)
        return std::nullopt; // the full open names the fault
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(info.get(), 0) != FREEXL_OK ||
        freexl_worksheet_dimensions(info.get(), &rows, &columns) != FREEXL_OK)
        return std::nullopt;
    if (qint64(rows) * qint64(columns) > kMaxXlsArea)
        return areaReason(rows, columns);
    return std::nullopt;
}

} // namespace

std::optional<SheetDocument> readXlsFile(const QString& path, QString* error) {
    auto fail = [&](const QString& reason) -> std::optional<SheetDocument> {
        if (error)
            *error = cannotOpenMessage(path, reason);
        return std::nullopt;
    };
    if (!QFile::exists(path))
        return fail({});

    const QByteArray localPath = QFile::encodeName(path);
    if (const auto tooLarge = checkDimensions(localPath)) {
        if (error)
            *error = tooLargeMessage(*tooLarge);
        return std::nullopt;
    }
    XlsHandle xls;
    int rc = freexl_open(localPath.constData(), xls.address());
    if (rc != FREEXL_OK)
        return fail(freexlReason(rc));

    unsigned int sheetCount = 0;
    rc = freexl_get_info(xls.get(), FREEXL_BIFF_SHEET_COUNT, &sheetCount);
    if (rc != FREEXL_OK)
        return fail(freexlReason(rc));
    if (sheetCount == 0)
        return fail(QStringLiteral("the workbook has no worksheet"));
    rc = freexl_select_active_worksheet(xls.get(), 0);
    if (rc != FREEXL_OK)
        return fail(freexlReason(rc));

    unsigned int rows = 0;
    unsigned short columns = 0;
    rc = freexl_worksheet_dimensions(xls.get(), &rows, &columns);
    if (rc != FREEXL_OK)
        return fail(freexlReason(rc));

    if (qint64(rows) * qint64(columns) > kMaxXlsArea) {
        if (error)
            *error = tooLargeMessage(areaReason(rows, columns));
        return std::nullopt;
    }
    SheetDocument sheet;
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short c = 0; c < columns; ++c) {
            FreeXL_CellValue value;
            if (freexl_get_cell_value(xls.get(), r, c, &value) != FREEXL_OK)
                continue;
            const int row = int(r) + 1;
            const int col = int(c) + 1;
            switch (value.type) {
            case FREEXL_CELL_INT:
                sheet.setCell(row, col, numberCell(value.value.int_value));
                break;
            case FREEXL_CELL_DOUBLE:
                sheet.setCell(row, col, numberCell(value.value.double_value));
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
                if (value.value.text_value && *value.value.text_value)
                    sheet.setCell(
                        row, col,
                        SheetCell{QString::fromUtf8(value.value.text_value), std::nullopt});
                break;
            case FREEXL_CELL_DATE:
            case FREEXL_CELL_DATETIME:
            case FREEXL_CELL_TIME:
                if (value.value.text_value)
                    sheet.setCell(row, col, dateOrTimeCell(value.type, value.value.text_value));
                break;
            default:
                break;
            }
        }
    }
    return sheet;
}

} // namespace gainbook
