#include "txf/txf_reader.h"

#include <QByteArrayView>
#include <QLocale>

#include <array>
#include <cctype>

namespace gainbook {

namespace {

constexpr int kAccountRecord = 286;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.sliced(first, last - first);
}

QString latin1(QByteArrayView text) {
    return QString::fromLatin1(trimmed(text));
}

// The fields of the record being read, as views into the file's bytes.
struct RecordLines {
    bool numbered = false;
    bool described = false;
    QByteArrayView reference;
    QByteArrayView description;
    std::array<QByteArrayView, 2> dates;
    int dateCount = 0;
    std::array<QByteArrayView, 3> amounts;
    int amountCount = 0;

    bool holdsFields() const { return numbered || described || dateCount > 0 || amountCount > 0; }
};

class StatementBuilder {
public:
    explicit StatementBuilder(const std::function<void(const TxfFields&)>& take) : take_(take) {}

    void line(QByteArrayView text) {
        text = trimmed(text);
        if (text.isEmpty())
            return;
        const char tag = char(std::toupper(static_cast<unsigned char>(text[0])));
        const QByteArrayView value = text.sliced(1);
        switch (tag) {
        case 'V':
            if (!versionSeen_) {
                versionSeen_ = true;
                statement_.versionCode = latin1(value);
            }
            break;
        case 'A':
            if (headerAccount_.isEmpty())
                headerAccount_ = latin1(value);
            break;
        case '^':
            endRecord();
            break;
        case 'T':
            // A record type opens a record: a file that leaves out a "^"
            // never lends one record's fields to the next.
            if (record_.holdsFields())
                endRecord();
            break;
        case 'N':
            if (!record_.numbered) {
                record_.numbered = true;
                record_.reference = trimmed(value);
            }
            break;
        case 'P':
            if (!record_.described) {
                record_.described = true;
                record_.description = value;
            }
            break;
        case 'D':
            if (record_.dateCount < int(record_.dates.size()))
                record_.dates[record_.dateCount++] = value;
            break;
        case '$':
            if (record_.amountCount < int(record_.amounts.size()))
                record_.amounts[record_.amountCount++] = value;
            break;
        default:
            break;
        }
    }

    TxfStatement finish() {
        endRecord();
        if (statement_.accountName.isEmpty())
            statement_.accountName = headerAccount_;
        return std::move(statement_);
    }

private:
    void endRecord() {
        const RecordLines record = std::exchange(record_, RecordLines());
        if (!record.holdsFields())
            return;
        if (record.numbered) {
            const std::optional<int> number = referenceNumber(record.reference);
            if (number && *number == kAccountRecord && !recordSeen_) {
                // The account record some programs put first describes the
                // account the sales belong to.
                recordSeen_ = true;
                statement_.accountName = latin1(record.description);
                statement_.accountFromRecord = true;
                return;
            }
            recordSeen_ = true;
            if (!number || !isCapitalGainReference(*number)) {
                ++statement_.otherRecords;
                return;
            }
        } else if (!record.described) {
            return; // the header's date line, or stray lines: no record
        }
        recordSeen_ = true;
        TxfFields fields;
        fields.reference = trimmed(record.reference);
        fields.description = trimmed(record.description);
        QByteArrayView* const dates[] = {&fields.dateAcquired, &fields.dateSold};
        for (int i = 0; i < record.dateCount; ++i)
            *dates[i] = trimmed(record.dates[i]);
        QByteArrayView* const amounts[] = {&fields.cost, &fields.salePrice, &fields.washAdjustment};
        for (int i = 0; i < record.amountCount; ++i)
            *amounts[i] = trimmed(record.amounts[i]);
        take_(fields);
    }

    static std::optional<int> referenceNumber(QByteArrayView text) {
        if (const std::optional<int> plain = plainTxfNumber(text))
            return plain;
        bool ok = false;
        const int number = text.toByteArray().toInt(&ok);
        return ok ? std::optional(number) : std::nullopt;
    }

    const std::function<void(const TxfFields&)>& take_;
    TxfStatement statement_;
    RecordLines record_;
    QString headerAccount_;
    bool versionSeen_ = false;
    bool recordSeen_ = false;
};

// A quantity as descriptions write it: digits with an optional sign,
// decimal point and thousands separators ("1,000", "12.5", "-5").
std::optional<double> quantityWord(QStringView word) {
    if (word.isEmpty())
        return std::nullopt;
    QString plain;
    plain.reserve(word.size());
    for (const QChar c : word) {
        if (c == u',')
            continue;
        if (!c.isDigit() && c != u'.' && c != u'-' && c != u'+')
            return std::nullopt;
        plain += c;
    }
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    return ok ? std::optional(value) : std::nullopt;
}

bool isSharesWord(QStringView word) {
    for (const char* shares : {"sh.", "sh", "shs", "shs.", "share", "shares"}) {
        if (word.compare(QLatin1String(shares), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QStringView firstWord(QStringView text) {
    qsizetype end = 0;
    while (end < text.size() && text[end] != u' ' && text[end] != u'\t')
        ++end;
    return text.first(end);
}

QStringView trimmedView(QStringView text) {
    while (!text.isEmpty() && (text.front() == u' ' || text.front() == u'\t'))
        text = text.sliced(1);
    while (!text.isEmpty() && (text.back() == u' ' || text.back() == u'\t'))
        text.chop(1);
    return text;
}

QByteArrayView firstWord(QByteArrayView text) {
    qsizetype end = 0;
    while (end < text.size() && !isBlank(text[end]))
        ++end;
    return text.first(end);
}

bool isSharesWord(QByteArrayView word) {
    for (const char* shares : {"sh.", "sh", "shs", "shs.", "share", "shares"}) {
        if (word.compare(QByteArrayView(shares), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// A quantity of plain digits, with or without separators, read without
// QLocale: below 10^15 the digits are the double exactly. Nothing when the
// word is not of that form; noNumber tells that it holds a character no
// quantity has (a letter, "$"), so it is no quantity at all.
std::optional<double> plainQuantity(QByteArrayView word, bool& noNumber) {
    noNumber = false;
    qint64 value = 0;
    int digits = 0;
    bool plain = true;
    for (const char c : word) {
        if (c >= '0' && c <= '9') {
            // A leading zero is left to QLocale.
            if (digits == 1 && value == 0)
                plain = false;
            if (++digits <= 15)
                value = value * 10 + (c - '0');
            else
                plain = false;
        } else if (c == '.' || c == '-' || c == '+') {
            plain = false;
        } else if (c != ',') {
            noNumber = true;
            return std::nullopt;
        }
    }
    if (!plain || digits == 0)
        return std::nullopt;
    return double(value);
}

} // namespace

bool isCapitalGainReference(int number) {
    return number == 321 || number == 323 || number == 673 || number == 682 ||
           (number >= 711 && number <= 716);
}

std::optional<int> plainTxfNumber(QByteArrayView text) {
    // Nine digits at most, so that the number fits.
    if (text.isEmpty() || text.size() > 9)
        return std::nullopt;
    int number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + (c - '0');
    }
    return number;
}

TxfEntry txfEntry(const TxfFields& fields) {
    TxfEntry entry;
    entry.reference = QString::fromLatin1(fields.reference);
    splitTxfDescription(QString::fromLatin1(fields.description), entry.quantity, entry.symbol);
    entry.dateAcquired = QString::fromLatin1(fields.dateAcquired);
    entry.dateSold = QString::fromLatin1(fields.dateSold);
    entry.cost = QString::fromLatin1(fields.cost);
    entry.salePrice = QString::fromLatin1(fields.salePrice);
    entry.washAdjustment = QString::fromLatin1(fields.washAdjustment);
    return entry;
}

TxfStatement readTxf(const QByteArray& content) {
    QVector<TxfEntry> entries;
    TxfStatement statement = readTxfFields(
        content, [&entries](const TxfFields& fields) { entries.append(txfEntry(fields)); });
    statement.entries = std::move(entries);
    return statement;
}

TxfStatement readTxfFields(const QByteArray& content,
                           const std::function<void(const TxfFields&)>& take) {
    StatementBuilder builder(take);
    const char* const begin = content.constData();
    const qsizetype size = content.size();
    qsizetype start = 0;
    for (qsizetype at = 0; at < size; ++at) {
        const char c = begin[at];
        if (c != '\r' && c != '\n')
            continue;
        builder.line(QByteArrayView(begin + start, at - start));
        // CR LF is one line end; a CR or LF alone is one too.
        if (c == '\r' && at + 1 < size && begin[at + 1] == '\n')
            ++at;
        start = at + 1;
    }
    if (start < size)
        builder.line(QByteArrayView(begin + start, size - start));
    return builder.finish();
}

void splitTxfDescription(QStringView description, double& quantity, QString& symbol) {
    QStringView text = trimmedView(description);
    const QStringView first = firstWord(text);
    const std::optional<double> number = quantityWord(first);
    if (!number) {
        quantity = 0;
        symbol = text.toString();
        return;
    }
    quantity = *number;
    QStringView rest = trimmedView(text.sliced(first.size()));
    const QStringView word = firstWord(rest);
    // "sh." before a symbol; a symbol that is itself "SH" stays.
    if (isSharesWord(word) && word.size() < rest.size())
        rest = trimmedView(rest.sliced(word.size()));
    symbol = rest.toString();
}

} // namespace gainbook

namespace gainbook {

void splitTxfDescription(QByteArrayView description, double& quantity, QString& symbol) {
    const QByteArrayView text = trimmed(description);
    const QByteArrayView first = firstWord(text);
    bool noNumber = false;
    const std::optional<double> number = plainQuantity(first, noNumber);
    if (noNumber || first.isEmpty()) {
        quantity = 0;
        symbol = QString::fromLatin1(text);
        return;
    }
    if (!number) {
        splitTxfDescription(QString::fromLatin1(text), quantity, symbol);
        return;
    }
    quantity = *number;
    QByteArrayView rest = trimmed(text.sliced(first.size()));
    const QByteArrayView word = firstWord(rest);
    // "sh." before a symbol; a symbol that is itself "SH" stays.
    if (isSharesWord(word) && word.size() < rest.size())
        rest = trimmed(rest.sliced(word.size()));
    symbol = QString::fromLatin1(rest);
}

} // namespace gainbook
