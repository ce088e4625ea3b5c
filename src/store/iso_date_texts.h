#pragma once

#include <QDate>
#include <QString>

#include <array>

namespace gainbook {

// The stored text of dates (isoDate) for a writer of many rows: the dates
// of a run repeat, and each text is made once instead of once a row. A
// small table by day number; a date that finds another in its place takes
// the place. The text comes back as a shared copy, which stays what it is
// when a later date takes its place.
class IsoDateTexts {
public:
    QString of(const QDate& date);

private:
    static constexpr qsizetype kSlots = 1024;
    struct Slot {
        qint64 day = 0;
        bool filled = false;
        QString text;
    };
    std::array<Slot, kSlots> slots_;
    QString invalid_; // isoDate of an invalid date: the null text
};

} // namespace gainbook
