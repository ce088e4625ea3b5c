#include "capture/broker_entries.h"

#include "capture/capture_parsers.h"
#include "capture/preset_parser.h"

namespace gainbook {

const QVector<BrokerEntry>& brokerEntries() {
    using A = BrokerEntry::Address;
    using D = BrokerEntry::Derive;
    const auto keep = std::nullopt;
    const auto all = QStringLiteral("All");
    static const QVector<BrokerEntry> entries = {
        // A download is read in the layout it is found to be in; the
        // account comes from the file where it names one.
        {detectEntryName(), ProcessDetect, QString(), A::CurrentDirectory, D::Check, keep, all,
         false},
        {QStringLiteral("Etrade"), ProcessEtrade, QStringLiteral("https://us.etrade.com/"), A::Home,
         D::Keep, keep, all, false},
        {QStringLiteral("Wit Capital"), ProcessWit, QString(), A::CurrentDirectory, D::Uncheck,
         QStringLiteral("Wit-Account1"), all, true},
        {QStringLiteral("Datek"), ProcessDatek, QString(), A::Home, D::Keep, keep, keep, false},
        {QStringLiteral("WebStreet"), ProcessWebStreet, QString(), A::CurrentDirectory, D::Check,
         keep, keep, false},
        {QStringLiteral("FBR"), ProcessFBR, QString(), A::Home, D::Uncheck,
         QStringLiteral("FBR-Account1"), all, false},
        {QStringLiteral("Waterhouse"), ProcessWaterhouse, QString(), A::Home, D::Uncheck,
         QStringLiteral("Waterhouse1"), all, false},
    };
    static const QVector<BrokerEntry> all_entries = [&] {
        QVector<BrokerEntry> list = entries;
        // The presets read files from disk, as "Other" does, and file each
        // row under the preset's own account unless the sheet names one.
        for (const BrokerPreset& preset : brokerPresets()) {
            list.append({preset.name,
                         [&preset](const PageDocument& document, const CaptureSettings& settings) {
                             return parsePreset(preset, document, settings);
                         },
                         QString(), A::CurrentDirectory, preset.derive ? D::Check : D::Uncheck,
                         preset.account, all, false});
        }
        list.append({QStringLiteral("Other"), ProcessOther, QString(), A::CurrentDirectory,
                     D::Uncheck, QStringLiteral("Other1"), all, true});
        return list;
    }();
    return all_entries;
}

QStringList screenEntryOrder() {
    // Detect comes first, then the six entries of the past (all before
    // the presets), then today's.
    constexpr qsizetype kPastEntries = 6;
    const QVector<BrokerEntry>& entries = brokerEntries();
    QStringList today;
    QStringList past;
    for (qsizetype i = 0; i < entries.size(); ++i)
        (i >= 1 && i <= kPastEntries ? past : today) << entries[i].name;
    return today + past;
}

const BrokerEntry* findBrokerEntry(const QString& name) {
    for (const BrokerEntry& entry : brokerEntries()) {
        if (entry.name == name)
            return &entry;
    }
    return nullptr;
}

QString welcomePageName() {
    return QStringLiteral("welcome.html");
}

void chooseBrokerEntry(CaptureState& state, const BrokerEntry& entry,
                       const QString& currentDirectory, const QString& welcomePage) {
    state.entry = entry.name;
    state.deriveFromData = true;
    state.pasteEnabled = false;
    if (entry.address == BrokerEntry::Address::CurrentDirectory)
        state.address = currentDirectory;
    else
        state.address = entry.homeAddress.isEmpty() ? welcomePage : entry.homeAddress;
    if (entry.derive != BrokerEntry::Derive::Keep)
        state.deriveFromData = entry.derive == BrokerEntry::Derive::Check;
    if (entry.account)
        state.account = *entry.account;
    if (entry.month)
        state.month = *entry.month;
    state.pasteEnabled = entry.pasteEnabled;
}

} // namespace gainbook
