#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTest>
#include <QVector>

namespace gainbook::test {

// A file under tests/data, named relative to it.
inline QString testData(const QString& relative) {
    return qEnvironmentVariable("GAINBOOK_TEST_DATA") + u'/' + relative;
}

// The items of "a, b, c"; none for an empty text. Data rows write their
// lists so.
inline QStringList listOf(const QString& text) {
    return text.isEmpty() ? QStringList() : text.split(QStringLiteral(", "));
}

// A row of a data table: its name and its fields, a field missing at the
// end being empty.
struct TableRow {
    QByteArray name;
    QStringList fields;

    QString text(int i) const { return fields.value(i); }
    QStringList list(int i) const { return listOf(fields.value(i)); }
    bool yes(int i) const { return fields.value(i) == QLatin1String("yes"); }
};

// The rows of a table written one to a line, "name ; field ; field", blank
// lines and lines of "//" comments passed over. A field keeps its own
// blanks; a row whose last field ends in one ends in " ;".
inline QVector<TableRow> tableRows(const char* table) {
    QVector<TableRow> rows;
    for (const QString& line : QString::fromUtf8(table).split(u'\n')) {
        const QString text = line.trimmed();
        if (text.isEmpty() || text.startsWith(QLatin1String("//")))
            continue;
        QStringList fields = line.mid(line.indexOf(text)).split(QStringLiteral(" ; "));
        if (fields.last().endsWith(QLatin1String(" ;")))
            fields.last().chop(2);
        const QByteArray name = fields.takeFirst().toUtf8();
        rows.append({name, fields});
    }
    return rows;
}

// The whole file, or nothing when it cannot be read.
inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The file holds exactly these bytes afterwards, or the test cannot go on.
inline void writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace gainbook::test

Q_DECLARE_METATYPE(gainbook::test::TableRow)

namespace gainbook::test {

// A data table whose one column "row" holds each row of the table whole:
// the test reads its fields with QFETCH(TableRow, row).
inline void addTableRows(const char* table) {
    QTest::addColumn<TableRow>("row");
    for (const TableRow& r : tableRows(table))
        QTest::newRow(r.name.constData()) << r;
}

} // namespace gainbook::test
