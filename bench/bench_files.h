#pragma once

#include <QDate>
#include <QFile>
#include <QString>

namespace gainbook::bench {

// A trade date spread over the tax year, as broker pages write it.
inline QString tradeDate(int i) {
    return QDate(2000, 1, 1).addDays(i % 366).toString(QStringLiteral("MM/dd/yyyy"));
}

// Writes a generated page or sheet for a benchmark to load.
inline bool writeText(const QString& path, const QString& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    f.write(text.toUtf8());
    return true;
}

} // namespace gainbook::bench
