#include "platform/instrument_name.h"

#include "platform/option_symbol.h"

namespace gainbook {

namespace {

// UTF-16 units of the first `chars` characters of text.
qsizetype unitsOf(const QString& text, int chars) {
    qsizetype units = 0;
    for (int n = 0; units < text.size() && n < chars; ++n) {
        const bool pair = text[units].isHighSurrogate() && units + 1 < text.size() &&
                          text[units + 1].isLowSurrogate();
        units += pair ? 2 : 1;
    }
    return units;
}

} // namespace

QString instrumentKey(const QString& symbol) {
    // Most names are plain capitals already: no copy is made for them.
    bool plain = !symbol.isEmpty() && !symbol.front().isSpace() && !symbol.back().isSpace();
    for (qsizetype i = 0; plain && i < symbol.size(); ++i) {
        const char16_t c = symbol[i].unicode();
        plain = c < 0x80 && !(c >= u'a' && c <= u'z');
    }
    // An option is one instrument however the broker spells it.
    if (const auto option = optionOf(symbol))
        return option->key();
    return plain ? symbol : symbol.trimmed().toUpper();
}

QString cutName(const QString& key) {
    return key.left(unitsOf(key, kCutNameLength));
}

bool isCutLength(const QString& key) {
    return unitsOf(key, kCutNameLength) == key.size() &&
           unitsOf(key, kCutNameLength - 1) < key.size();
}

bool sameInstrument(const QString& a, const QString& b) {
    const QString ka = instrumentKey(a);
    const QString kb = instrumentKey(b);
    if (ka == kb)
        return true;
    const QString& shorter = ka.size() < kb.size() ? ka : kb;
    const QString& longer = ka.size() < kb.size() ? kb : ka;
    return isCutLength(shorter) && longer.startsWith(shorter);
}

void InstrumentKeys::add(const QString& key) {
    if (key.size() < kCutNameLength)
        return;
    if (isCutLength(key)) {
        cuts_.insert(key);
        return;
    }
    QStringList& longer = longByCut_[cutName(key)];
    if (!longer.contains(key))
        longer.append(key);
}

QStringList InstrumentKeys::relatives(const QString& key) const {
    if (key.size() < kCutNameLength || !any())
        return {};
    if (isCutLength(key))
        return longByCut_.value(key);
    const QString cut = cutName(key);
    return cuts_.contains(cut) ? QStringList{cut} : QStringList{};
}

} // namespace gainbook
