#include "store/iso_date_texts.h"

#include "platform/date_text.h"

namespace gainbook {

QString IsoDateTexts::of(const QDate& date) {
    if (!date.isValid())
        return invalid_;
    const qint64 day = date.toJulianDay();
    // The day number may be negative: the slot is taken from its low bits.
    Slot& slot = slots_[size_t(quint64(day) % quint64(kSlots))];
    if (!slot.filled || slot.day != day) {
        slot.day = day;
        slot.filled = true;
        slot.text = isoDate(date);
    }
    return slot.text;
}

} // namespace gainbook
