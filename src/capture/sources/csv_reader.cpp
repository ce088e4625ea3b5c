#include "capture/sources/csv_reader.h"

#include "capture/sources/sheet_cell_values.h"
#include "capture/sources/sheet_limits.h"
#include "platform/text_pool.h"

#include <QFile>
#include <QStringDecoder>

#include <cmath>
#include <vector>

namespace gainbook {

namespace {

// A whole field as a number: digits with an optional sign, point and
// exponent. QString::toDouble alone would also take "inf" and "nan".
std::optional<double> wholeNumber(QStringView field) {
    const QStringView trimmed = field.trimmed();
    bool hasDigit = false;
    for (QChar c : trimmed) {
        if (c >= u'0' && c <= u'9')
            hasDigit = true;
        else if (c != u'+' && c != u'-' && c != u'.' && c != u'e' && c != u'E')
            return std::nullopt;
    }
    if (!hasDigit)
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// Exports repeat a few texts down a column (the account, the kind of
// trade, the symbols, the dates): each column keeps one copy of each.
class ColumnTexts {
public:
    QString shared(int col, QStringView field) {
        if (col >= qsizetype(columns_.size()))
            columns_.resize(col + 1, TextPool(kMostPerColumn));
        return columns_[col].of(field);
    }

private:
    static constexpr qsizetype kMostPerColumn = 4096;
    std::vector<TextPool> columns_;
};

class CsvBuilder {
public:
    void addField(QStringView text) {
        ++col_;
        if (text.isEmpty())
            return;
        QString field = texts_.shared(col_, text);
        if (const auto value = wholeNumber(field))
            sheet_.put(row_, col_, SheetCell{std::move(field), *value});
        else
            sheet_.put(row_, col_, SheetCell{std::move(field), std::nullopt});
    }
    void endRecord() {
        ++row_;
        col_ = 0;
    }
    // A column number past the last one is refused before the field is
    // kept, so a line of commas alone cannot count on without end.
    void checkNextColumn() const {
        if (col_ >= kLastSheetColumn)
            throw SheetTooLarge{BoundedSheet::columnReason(QString::number(col_ + 1))};
    }
    SheetDocument take() { return sheet_.take(); }

private:
    BoundedSheet sheet_;
    ColumnTexts texts_;
    int row_ = 1;
    int col_ = 0;
};

SheetDocument parseCsvWithin(QStringView text) {
    CsvBuilder builder;
    const qsizetype n = text.size();
    qsizetype i = 0;
    if (n > 0 && text[0] == QChar(0xFEFF))
        i = 1;
    while (i < n) {
        // One record: fields until a line end outside quotes.
        for (;;) {
            QString quoted;
            QStringView field;
            if (i < n && text[i] == u'"') {
                ++i;
                for (;;) {
                    const qsizetype quote = text.indexOf(u'"', i);
                    if (quote < 0) {
                        quoted += text.mid(i);
                        i = n;
                        break;
                    }
                    quoted += text.mid(i, quote - i);
                    i = quote + 1;
                    if (i < n && text[i] == u'"') {
                        quoted += u'"';
                        ++i;
                        continue;
                    }
                    break;
                }
                // Anything between the closing quote and the separator is kept.
                while (i < n && text[i] != u',' && text[i] != u'\n' && text[i] != u'\r')
                    quoted += text[i++];
                field = quoted;
            } else {
                const qsizetype start = i;
                while (i < n && text[i] != u',' && text[i] != u'\n' && text[i] != u'\r')
                    ++i;
                field = text.sliced(start, i - start);
            }
            builder.checkNextColumn();
            builder.addField(field);
            if (i < n && text[i] == u',') {
                ++i;
                continue;
            }
            break;
        }
        if (i < n && text[i] == u'\r')
            ++i;
        if (i < n && text[i] == u'\n')
            ++i;
        builder.endRecord();
    }
    return builder.take();
}

} // namespace

std::optional<SheetDocument> parseCsv(QStringView text, QString* error) {
    try {
        return parseCsvWithin(text);
    } catch (const SheetTooLarge& e) {
        if (error)
            *error = tooLargeMessage(e.reason);
        return std::nullopt;
    }
}

std::optional<SheetDocument> readCsvFile(const QString& path, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = cannotOpenMessage(path, file.errorString());
        return std::nullopt;
    }
    // Read to one byte past the bound, so a pipe is bounded as a file is.
    QByteArray bytes = file.read(kMaxSheetBytes + 1);
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
    bytes = QByteArray();
    return parseCsv(text, error);
}

} // namespace gainbook
