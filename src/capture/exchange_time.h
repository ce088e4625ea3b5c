#pragma once

#include <QDate>
#include <QString>
#include <QTimeZone>

#include <optional>

namespace gainbook {

// The time zone a capture dates exchange timestamps in: UTC for an empty
// name, else the zone of that name ("America/New_York", "UTC-05:00");
// nothing for a name no zone has.
std::optional<QTimeZone> captureZone(const QString& name);

// "The time zone X is not known: ..." for a name captureZone refuses.
QString unknownZoneMessage(const QString& name);

// The calendar date of an exchange's timestamp in the zone: an instant
// written "2025-03-01T23:30:00Z", "2025-03-01 23:30:00 UTC",
// "2025-03-01T18:30:00-05:00" or without a zone (the exchanges write UTC)
// is moved into the zone first, so a trade at 23:30 UTC falls on the next
// day east of Greenwich and stays on its day west of it. A date without a
// time is read as exportDate reads it. Invalid when the text holds neither.
QDate exchangeDate(const QString& text, const QTimeZone& zone, const QDate& today);

} // namespace gainbook
