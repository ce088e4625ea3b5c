#include "platform/csv_row.h"

namespace gainbook {

namespace {

bool needsQuotes(const QString& field) {
    for (QChar c : field) {
        if (c == u',' || c == u'"' || c == u'\n' || c == u'\r')
            return true;
    }
    return false;
}

void appendField(QString& line, const QString& field) {
    if (!needsQuotes(field)) {
        line += field;
        return;
    }
    line += u'"';
    for (QChar c : field) {
        if (c == u'"')
            line += u'"';
        line += c;
    }
    line += u'"';
}

} // namespace

void writeCsvRow(QTextStream& out, const QStringList& fields) {
    QString line;
    line.reserve(128);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u',';
        appendField(line, fields[i]);
    }
    line += u'\n';
    out << line;
}

} // namespace gainbook
