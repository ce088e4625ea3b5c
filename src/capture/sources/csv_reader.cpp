#include "capture/sources/csv_reader.h"

#include "capture/sources/csv_field_number.h"
#include "capture/sources/sheet_cell_values.h"
#include "capture/sources/sheet_limits.h"

#include <QFile>
#include <QHashFunctions>

#include <unordered_set>
#include <vector>

namespace gainbook {

namespace {

// Exports repeat a few texts down a column (the account, the kind of
// trade, the symbols, the dates, often the quantities): each column stores
// one cell of each in the sheet and puts it in every place it fills, so a
// repeated field costs a lookup instead of a copy of its text and a reading
// of its number. A column of mostly distinct texts (amounts) stops being
// looked up once its table is full, and each field is a cell of its own.
class ColumnCells {
public:
    void put(BoundedSheet& sheet, int row, int col, QStringView field) {
        if (col >= qsizetype(columns_.size()))
            columns_.resize(col + 1);
        Known& known = columns_[col];
        if (qsizetype(known.size()) >= kMostPerColumn) {
            sheet.put(row, col, SheetCell{field.toString(), csvFieldNumber(field)});
            return;
        }
        if (const auto found = known.find(field); found != known.end()) {
            sheet.putShared(row, col, found->shared);
            return;
        }
        SheetCell cell{field.toString(), csvFieldNumber(field)};
        const QString text = cell.text;
        const qint32 shared = sheet.share(std::move(cell));
        known.insert(Shared{text, shared});
        sheet.putShared(row, col, shared);
    }

private:
    static constexpr qsizetype kMostPerColumn = 4096;
    // A stored cell, found by its text, which decides its number too.
    struct Shared {
        QString text;
        qint32 shared = 0;
    };
    struct Hash {
        using is_transparent = void;
        size_t operator()(QStringView text) const noexcept { return qHash(text); }
        size_t operator()(const Shared& s) const noexcept { return qHash(QStringView(s.text)); }
    };
    struct Equal {
        using is_transparent = void;
        static QStringView textOf(QStringView text) { return text; }
        static QStringView textOf(const Shared& s) { return s.text; }
        template <typename A, typename B> bool operator()(const A& a, const B& b) const noexcept {
            return textOf(a) == textOf(b);
        }
    };
    using Known = std::unordered_set<Shared, Hash, Equal>;
    std::vector<Known> columns_;
};

class CsvBuilder {
public:
    void addField(QStringView text) {
        ++col_;
        if (text.isEmpty())
            return;
        cells_.put(sheet_, row_, col_, text);
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
    ColumnCells cells_;
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
    const std::optional<QString> text = readBoundedText(file, error);
    if (!text)
        return std::nullopt;
    return parseCsv(*text, error);
}

} // namespace gainbook
