#include "capture/exchange_time.h"

#include "capture/export_values.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTimeZone>

namespace gainbook {

std::optional<QTimeZone> captureZone(const QString& name) {
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QTimeZone::utc();
    QTimeZone zone(trimmed.toUtf8());
    if (!zone.isValid())
        return std::nullopt;
    return zone;
}

QString unknownZoneMessage(const QString& name) {
    return QStringLiteral("The time zone %1 is not known: give a name such as "
                          "America/New_York, or an offset such as UTC-05:00.")
        .arg(name.trimmed());
}

QDate exchangeDate(const QString& text, const QTimeZone& zone, const QDate& today) {
    static const QRegularExpression stamp(
        QStringLiteral("^(\\d{4}-\\d{2}-\\d{2})[T ](\\d{1,2}):(\\d{2})(?::(\\d{2}))?(?:\\.\\d+)?"
                       "\\s*(Z|UTC|GMT|([+-])(\\d{2}):?(\\d{2}))?$"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = stamp.match(text.trimmed());
    if (!m.hasMatch())
        return exportDate(text, today);
    const QDate date = QDate::fromString(m.captured(1), Qt::ISODate);
    const QTime time(m.captured(2).toInt(), m.captured(3).toInt(), m.captured(4).toInt());
    if (!date.isValid() || !time.isValid())
        return {};
    int offset = 0;
    if (!m.captured(6).isEmpty()) {
        const int minutes = m.captured(7).toInt() * 60 + m.captured(8).toInt();
        if (minutes > 18 * 60)
            return {};
        offset = (m.captured(6) == u"-" ? -60 : 60) * minutes;
    }
    return QDateTime(date, time, QTimeZone(offset)).toTimeZone(zone).date();
}

} // namespace gainbook
