#include "txf/txf_format.h"

#include "platform/date_text.h"
#include "platform/number_text.h"

namespace gainbook {

namespace {

constexpr int kFirstYearOfVersion042 = 2001;
constexpr int kFirstYearOfBoxes = 2011;

// A line break inside a value would split the record and shift every tag
// after it, so it is written as a blank.
QString oneLine(QString value) {
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

void appendLine(QByteArray& out, const QString& line) {
    out += line.toLatin1();
    out += kTxfLineEnd;
}

QString plainAmount(Money amount) {
    return numberToText(amount.toDouble());
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

int txfReferenceNumber(const TaxRecord& record, TxfLayout layout) {
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
    case Form8949Box::None:
        break;
    }
    return 673;
}

std::optional<Form8949Box> boxOfTxfReference(int number) {
    for (const Form8949Box box : {Form8949Box::None, Form8949Box::A, Form8949Box::B, Form8949Box::C,
                                  Form8949Box::D, Form8949Box::E, Form8949Box::F}) {
        TaxRecord record;
        record.box = box;
        if (txfReferenceNumber(record) == number)
            return box;
    }
    return std::nullopt;
}

QString txfAmount(Money amount) {
    const qint64 cents = amount.roundedToCents().units() / (Money::kUnitsPerOne / 100);
    const qint64 whole = (cents < 0 ? -cents : cents) / 100;
    const qint64 part = (cents < 0 ? -cents : cents) % 100;
    return QStringLiteral("%1%2.%3")
        .arg(cents < 0 ? QStringLiteral("-") : QString())
        .arg(whole)
        .arg(part, 2, 10, QLatin1Char('0'));
}

QByteArray txfRecord(const TaxRecord& record, TxfLayout layout) {
    const bool v034 = layout == TxfLayout::Version034;
    const auto amount = v034 ? plainAmount : txfAmount;
    QByteArray out;
    out.reserve(112);
    appendLine(out, QStringLiteral("TD"));
    appendLine(out, QStringLiteral("N%1").arg(txfReferenceNumber(record, layout)));
    appendLine(out, QStringLiteral("C1"));
    appendLine(out, QStringLiteral("L1"));
    const QString quantity = numberToText(record.quantity);
    const QString symbol = oneLine(record.symbol);
    appendLine(out, v034 ? u'P' + quantity + u' ' + symbol
                         : u'P' + quantity + QStringLiteral(" sh. ") + symbol);
    const QString acquired = formatDate(record.dateAcquired);
    appendLine(out, u'D' + (acquired.isEmpty() && !v034 ? QStringLiteral("VARIOUS") : acquired));
    appendLine(out, u'D' + formatDate(record.dateSold));
    appendLine(out, u'$' + amount(record.cost));
    appendLine(out, u'$' + amount(record.salePrice));
    if (!record.washAdjustment.isZero())
        appendLine(out, u'$' + amount(record.washAdjustment));
    appendLine(out, QStringLiteral("^"));
    return out;
}

} // namespace gainbook
