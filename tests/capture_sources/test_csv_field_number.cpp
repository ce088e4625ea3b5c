#include "capture/sources/csv_field_number.h"
#include "support/test_main.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace gainbook;

namespace {

// The reading a csv field always had: the whole field through
// QString::toDouble, finite values only.
std::optional<double> generalReading(const QString& field) {
    const QString trimmed = field.trimmed();
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    for (QChar c : trimmed)
        if (!digit(c) && !QStringLiteral("+-.eE").contains(c))
            return std::nullopt;
    if (std::none_of(trimmed.begin(), trimmed.end(), digit))
        return std::nullopt;
    bool ok = false;
    const double value = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// "nothing", or the double's bits, so that -0 and 0 (and any last-bit
// difference) tell apart.
QString bitsOf(const std::optional<double>& value) {
    if (!value)
        return QStringLiteral("nothing");
    quint64 bits = 0;
    std::memcpy(&bits, &*value, sizeof bits);
    return QString::number(bits, 16) + u' ' + QString::number(*value, 'g', 17);
}

} // namespace

class TestCsvFieldNumber : public QObject {
    Q_OBJECT

private slots:
    // Every field reads to the very double QString::toDouble gives, and
    // texts it refuses stay text.
    void sameAsGeneralReading_data() {
        QTest::addColumn<QString>("field");
        // Signs, points, exponents and digits beyond what a double holds,
        // and texts that are no number.
        for (const QString& field :
             QStringLiteral("100|1000.25|+3|-17.5|-0|-0.00|007.50|2.5000|0.1|0.0033333333333|"
                            "123456789012345|1234567.89012345|1234567890123456|0.30000000000000004|"
                            "9007199254740993|3.14159265358979323846|1e5|2.5E-3|-.5|5.|.|-|--1|"
                            "100-|1.2.3|e5|1e|1e400|1e-400|4.9e-324|1.7976931348623157e308|"
                            "  42.5 |\t8|4 2|1,000|abc|inf|nan||01/02/2015")
                 .split(u'|'))
            QTest::newRow(qPrintable(field)) << field;
        QTest::newRow("no-break space around") << QStringLiteral("\u00a012.5\u00a0");
        QTest::newRow("arabic-indic digits") << QStringLiteral("\u0661\u0662");
        QTest::newRow("fullwidth digits") << QStringLiteral("\uff11\uff12");
    }
    void sameAsGeneralReading() {
        QFETCH(QString, field);
        QCOMPARE(bitsOf(csvFieldNumber(field)), bitsOf(generalReading(field)));
    }
};

GAINBOOK_APPLESS_TEST(TestCsvFieldNumber)
#include "test_csv_field_number.moc"
