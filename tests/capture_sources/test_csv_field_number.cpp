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
        const char* fields[][2] = {
            {"whole", "100"},
            {"cents", "1000.25"},
            {"leading plus", "+3"},
            {"negative", "-17.5"},
            {"negative zero", "-0"},
            {"negative zero decimals", "-0.00"},
            {"leading zeros", "007.50"},
            {"trailing zeros", "2.5000"},
            {"tenth", "0.1"},
            {"third of a cent", "0.0033333333333"},
            {"fifteen digits", "123456789012345"},
            {"fifteen digits with point", "1234567.89012345"},
            {"sixteen digits", "1234567890123456"},
            {"seventeen digits rounding", "0.30000000000000004"},
            {"beyond two to the 53", "9007199254740993"},
            {"long decimals", "3.14159265358979323846"},
            {"exponent", "1e5"},
            {"exponent with sign", "2.5E-3"},
            {"point first", "-.5"},
            {"point last", "5."},
            {"point alone", "."},
            {"sign alone", "-"},
            {"two signs", "--1"},
            {"sign after", "100-"},
            {"two points", "1.2.3"},
            {"exponent alone", "e5"},
            {"exponent without digits", "1e"},
            {"overflow", "1e400"},
            {"underflow", "1e-400"},
            {"smallest subnormal", "4.9e-324"},
            {"largest", "1.7976931348623157e308"},
            {"blanks around", "  42.5 "},
            {"tab before", "\t8"},
            {"blank inside", "4 2"},
            {"thousands", "1,000"},
            {"letters", "abc"},
            {"inf", "inf"},
            {"nan", "nan"},
            {"empty", ""},
            {"date", "01/02/2015"},
        };
        for (const auto& [name, text] : fields)
            QTest::newRow(name) << QString::fromLatin1(text);
        QTest::newRow("no-break space around") << QStringLiteral("\u00a012.5\u00a0");
        QTest::newRow("arabic-indic digits") << QStringLiteral("\u0661\u0662");
        QTest::newRow("fullwidth digits") << QStringLiteral("\uff11\uff12");
    }
    void sameAsGeneralReading() {
        QFETCH(QString, field);
        QCOMPARE(bitsOf(csvFieldNumber(field)), bitsOf(generalReading(field)));
    }

    // Amounts and quantities as exports write them, a few hundred thousand
    // of them, each read to the same bits as the general reading.
    void decimalsOfAllSizes_data() {
        QTest::addColumn<int>("decimals");
        QTest::addColumn<qint64>("step");
        QTest::newRow("whole numbers") << 0 << qint64(7919);
        QTest::newRow("cents") << 2 << qint64(104729);
        QTest::newRow("four places") << 4 << qint64(1299709);
        QTest::newRow("eight places") << 8 << qint64(15485863);
        QTest::newRow("fifteen digits") << 7 << qint64(2147483647) * 4567;
    }
    void decimalsOfAllSizes() {
        QFETCH(int, decimals);
        QFETCH(qint64, step);
        constexpr qint64 kLimit = 999'999'999'999'999;
        qint64 digits = 1;
        int differ = 0;
        QString first;
        for (int i = 0; i < 20000; ++i) {
            digits = (digits + step) % kLimit;
            QString field = QString::number(digits);
            if (decimals > 0) {
                field = field.rightJustified(decimals + 1, u'0');
                field.insert(field.size() - decimals, u'.');
            }
            if (i % 3 == 0)
                field.prepend(u'-');
            if (bitsOf(csvFieldNumber(field)) != bitsOf(generalReading(field)) && differ++ == 0)
                first = field;
        }
        QVERIFY2(differ == 0,
                 qPrintable(QStringLiteral("%1 fields differ, first %2").arg(differ).arg(first)));
    }
};

GAINBOOK_APPLESS_TEST(TestCsvFieldNumber)
#include "test_csv_field_number.moc"
