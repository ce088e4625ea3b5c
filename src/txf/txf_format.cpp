#include "txf/txf_format.h"

#include "platform/date_text.h"
#include "platform/number_text.h"
#include "platform/option_symbol.h"

#include <cmath>

namespace gainbook {

namespace {

constexpr int kFirstYearOfVersion042 = 2001;
constexpr int kFirstYearOfBoxes = 2011;

void appendLine(QByteArray& out, const QString& line) {
    out += line.toLatin1();
    out += kTxfLineEnd;
}

// The records are written straight into the file's buffer, digit by digit:
// formatting through QString costs several allocations a field, which is
// most of an export's time. Whatever the fast forms do not cover exactly
// goes through the general formatting.

// Below 10^15 in size, a double's shortest decimal form is the integer's
// own digits, and one with four decimals is its count of ten-thousandths.
constexpr qint64 kExactDigits = 1'000'000'000'000'000;

void appendDigits(QByteArray& out, quint64 value, int leastDigits = 1) {
    char digits[24];
    int at = int(sizeof digits);
    while (value > 0 || int(sizeof digits) - at < leastDigits) {
        digits[--at] = char('0' + value % 10);
        value /= 10;
    }
    out.append(digits + at, qsizetype(sizeof digits) - at);
}

quint64 sizeOf(qint64 value) {
    return value < 0 ? quint64(0) - quint64(value) : quint64(value);
}

// The shortest exact decimal, as Quantity::text() gives it; whole shares,
// most of a file, without building a text first.
void appendQuantity(QByteArray& out, Quantity value) {
    if (value.units() % Quantity::kUnitsPerOne == 0) {
        const qint64 whole = value.units() / Quantity::kUnitsPerOne;
        if (whole < 0)
            out += '-';
        appendDigits(out, sizeOf(whole));
        return;
    }
    out += value.text().toLatin1();
}

// numberToText of the amount as a double: its decimals without trailing
// zeros.
void appendPlainAmount(QByteArray& out, Money amount) {
    const qint64 units = amount.units();
    if (units <= -kExactDigits || units >= kExactDigits) {
        out += numberToText(amount.toDouble()).toLatin1();
        return;
    }
    const quint64 size = sizeOf(units);
    if (units < 0)
        out += '-';
    appendDigits(out, size / Money::kUnitsPerOne);
    quint64 fraction = size % Money::kUnitsPerOne;
    if (fraction == 0)
        return;
    int digits = 4;
    while (fraction % 10 == 0) {
        fraction /= 10;
        --digits;
    }
    out += '.';
    appendDigits(out, fraction, digits);
}

// txfAmount: rounded to cents, two decimals.
void appendCents(QByteArray& out, Money amount) {
    const qint64 cents = amount.roundedToCents().units() / (Money::kUnitsPerOne / 100);
    if (cents < 0)
        out += '-';
    appendDigits(out, sizeOf(cents) / 100);
    out += '.';
    appendDigits(out, sizeOf(cents) % 100, 2);
}

// formatDate: mm/dd/yyyy, nothing for an invalid date.
void appendDate(QByteArray& out, const QDate& date) {
    int y = 0, m = 0, d = 0;
    date.getDate(&y, &m, &d);
    if (!date.isValid() || y < 0 || y > 9999) {
        out += formatDate(date).toLatin1();
        return;
    }
    appendDigits(out, quint64(m), 2);
    out += '/';
    appendDigits(out, quint64(d), 2);
    out += '/';
    appendDigits(out, quint64(y), 4);
}

// A line break inside a value would split the record and shift every tag
// after it, so it is written as a blank. Characters beyond Latin-1 become
// "?", as QString::toLatin1 makes them.
void appendOneLine(QByteArray& out, const QString& value) {
    const qsizetype start = out.size();
    out.resize(start + value.size());
    char* to = out.data() + start;
    for (const QChar c : value) {
        const char16_t u = c.unicode();
        *to++ = u == u'\r' || u == u'\n' ? ' ' : (u > 0xff ? '?' : char(u));
    }
}

void endLine(QByteArray& out) {
    out.append(kTxfLineEnd, 2);
}

} // namespace

TxfLayout txfLayoutFor(TaxYear year) {
    if (year.year < kFirstYearOfVersion042)
        return TxfLayout::Version034;
    return year.year < kFirstYearOfBoxes ? TxfLayout::Version042Terms : TxfLayout::Version042Boxes;
}

QString txfProgramName() {
    return QStringLiteral("Kestrova Gainbook %1.%2")
        .arg(GAINBOOK_VERSION_MAJOR)
        .arg(GAINBOOK_VERSION_MINOR);
}

QByteArray txfHeader(TxfLayout layout, const QDate& today) {
    QByteArray out;
    if (layout == TxfLayout::Version034) {
        appendLine(out, QStringLiteral("V034"));
        appendLine(out, u'A' + txfProgramName());
        appendLine(out, QStringLiteral("D1/7/01"));
    } else {
        appendLine(out, QStringLiteral("V042"));
        appendLine(out, u'A' + txfProgramName());
        appendLine(out, u'D' + formatDate(today));
    }
    appendLine(out, QStringLiteral("^"));
    return out;
}

int txfReferenceNumber(const TaxRecord& record, TxfLayout layout, BasisReporting basis) {
    const bool boxes = layout != TxfLayout::Version042Terms;
    switch (record.box) {
    case Form8949Box::A:
        return 321;
    case Form8949Box::B:
        return boxes ? 711 : 321;
    case Form8949Box::C:
        return boxes ? 712 : 321;
    case Form8949Box::D:
        return 323;
    case Form8949Box::E:
        return boxes ? 713 : 323;
    case Form8949Box::F:
        return boxes ? 714 : 323;
    case Form8949Box::G:
    case Form8949Box::H:
    case Form8949Box::I:
    case Form8949Box::J:
    case Form8949Box::K:
    case Form8949Box::L:
        // No TXF version has numbers for the digital assets' boxes; the
        // export leaves such records out.
        return 0;
    case Form8949Box::None:
        break;
    }
    if (!boxes)
        return 673;
    switch (basis) {
    case BasisReporting::Reported:
        break;
    case BasisReporting::NotReported:
        return 715;
    case BasisReporting::NoForm:
        return 716;
    }
    return 673;
}

std::optional<Form8949Box> boxOfTxfReference(int number) {
    if (basisOfUnknownTerm(number))
        return Form8949Box::None;
    for (const Form8949Box box : {Form8949Box::A, Form8949Box::B, Form8949Box::C, Form8949Box::D,
                                  Form8949Box::E, Form8949Box::F}) {
        TaxRecord record;
        record.box = box;
        if (txfReferenceNumber(record) == number)
            return box;
    }
    return std::nullopt;
}

std::optional<BasisReporting> basisOfUnknownTerm(int number) {
    const TaxRecord unknownTerm;
    for (const BasisReporting basis :
         {BasisReporting::Reported, BasisReporting::NotReported, BasisReporting::NoForm}) {
        if (txfReferenceNumber(unknownTerm, TxfLayout::Version042Boxes, basis) == number)
            return basis;
    }
    return std::nullopt;
}

bool txfCostUnknown(const TaxRecord& record) {
    return !record.dateAcquired.isValid() && record.cost.isZero();
}

QString txfAmount(Money amount) {
    QByteArray text;
    appendCents(text, amount);
    return QString::fromLatin1(text);
}

void appendTxfRecord(QByteArray& out, const TaxRecord& record, TxfLayout layout,
                     BasisReporting basis) {
    const bool v034 = layout == TxfLayout::Version034;
    const auto amountLine = [&out, v034](Money amount) {
        out += '$';
        if (v034)
            appendPlainAmount(out, amount);
        else
            appendCents(out, amount);
        endLine(out);
    };
    // "$0.00" would tell the tax program that the shares cost nothing, and
    // tax the whole proceeds. TXF leaves an unknown date and basis empty,
    // and the program asks for them.
    const bool costUnknown = txfCostUnknown(record);
    out += "TD\r\nN";
    appendDigits(out, quint64(txfReferenceNumber(record, layout, basis)));
    out += "\r\nC1\r\nL1\r\nP";
    appendQuantity(out, record.quantity);
    // An option is written as brokers write it on Form 1099-B: the count is
    // of contracts, not shares.
    if (const auto option = optionOf(record.symbol)) {
        out += ' ';
        appendOneLine(out, option->description());
    } else {
        out += v034 ? " " : " sh. ";
        appendOneLine(out, record.symbol);
    }
    endLine(out);
    out += 'D';
    const qsizetype acquired = out.size();
    appendDate(out, record.dateAcquired);
    if (out.size() == acquired && !v034 && !costUnknown)
        out += "VARIOUS";
    endLine(out);
    out += 'D';
    appendDate(out, record.dateSold);
    endLine(out);
    if (costUnknown) {
        out += '$';
        endLine(out);
    } else {
        amountLine(record.cost);
    }
    amountLine(record.salePrice);
    if (!record.washAdjustment.isZero())
        amountLine(record.washAdjustment);
    out += "^\r\n";
}

QByteArray txfRecord(const TaxRecord& record, TxfLayout layout, BasisReporting basis) {
    QByteArray out;
    out.reserve(kTxfRecordBytes);
    appendTxfRecord(out, record, layout, basis);
    return out;
}

} // namespace gainbook
