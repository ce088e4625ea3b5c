#include "txf/txf_format.h"

#include "platform/date_text.h"
#include "platform/number_text.h"

namespace gainbook {

namespace {

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

} // namespace

QByteArray txfHeader() {
    QByteArray out;
    appendLine(out, QStringLiteral("V034"));
    appendLine(out, QStringLiteral("AKestrova Gainbook 2.0"));
    appendLine(out, QStringLiteral("D1/7/01"));
    appendLine(out, QStringLiteral("^"));
    return out;
}

int txfReferenceNumber(const TaxRecord& record) {
    switch (record.box) {
    case Form8949Box::A:
        return 321;
    case Form8949Box::B:
        return 711;
    case Form8949Box::C:
        return 712;
    case Form8949Box::D:
        return 323;
    case Form8949Box::E:
        return 713;
    case Form8949Box::F:
        return 714;
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

QByteArray txfRecord(const TaxRecord& record) {
    QByteArray out;
    out.reserve(96);
    appendLine(out, QStringLiteral("TD"));
    appendLine(out, QStringLiteral("N%1").arg(txfReferenceNumber(record)));
    appendLine(out, QStringLiteral("C1"));
    appendLine(out, QStringLiteral("L1"));
    appendLine(out, u'P' + numberToText(record.quantity) + u' ' + oneLine(record.symbol));
    appendLine(out, u'D' + formatDate(record.dateAcquired));
    appendLine(out, u'D' + formatDate(record.dateSold));
    appendLine(out, u'$' + numberToText(record.cost.toDouble()));
    appendLine(out, u'$' + numberToText(record.salePrice.toDouble()));
    appendLine(out, QStringLiteral("^"));
    return out;
}

} // namespace gainbook
