#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

namespace gainbook {

// How many characters of a name the brokers' old history pages kept: a name
// of exactly this length may be the cut form of a longer one.
inline constexpr int kCutNameLength = 12;

// The form under which the trades of one instrument are kept together: the
// name without the blanks around it, in capitals. Inner blanks stay; an
// option (optionOf) is keyed by its contract, in whichever form it is written.
QString instrumentKey(const QString& symbol);

// The first 12 characters of a key, counted as the database counts them: a
// character outside the basic plane (an emoji) is one character although it
// takes two UTF-16 units. A shorter key comes back whole.
QString cutName(const QString& key);

// Whether a key is exactly as long as a cut name.
bool isCutLength(const QString& key);

// Whether two symbols name one instrument: the same key, or one key is a
// cut name that begins the other (a name a page cut short). Two long names
// that share their first 12 characters are two instruments: a put and a
// call of one expiry, or two classes of one fund.
bool sameInstrument(const QString& a, const QString& b);

// The keys of a set of instruments, so that a key's relatives (the cut form
// of a long name, or the long names a cut name begins) are found without
// comparing it with every other key.
class InstrumentKeys {
public:
    void add(const QString& key);

    // The keys added, other than key itself, that name the same instrument.
    QStringList relatives(const QString& key) const;

    // Whether any key added could have a relative: most stores hold no name
    // of 12 characters or more, and their lookups stop here.
    bool any() const { return !longByCut_.isEmpty() || !cuts_.isEmpty(); }

private:
    QHash<QString, QStringList> longByCut_; // names longer than 12, by their cut
    QSet<QString> cuts_;                    // names of exactly 12
};

} // namespace gainbook
