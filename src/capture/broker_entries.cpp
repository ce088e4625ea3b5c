#include "capture/broker_entries.h"

#include "capture/capture_parsers.h"

namespace gainbook {

const QVector<BrokerEntry>& brokerEntries() {
    using A = BrokerEntry::Address;
    using D = BrokerEntry::Derive;
    const auto keep = std::nullopt;
    const auto all = QStringLiteral("All");
    static const QVector<BrokerEntry> entries = {
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
        {QStringLiteral("Other"), ProcessOther, QString(), A::CurrentDirectory, D::Uncheck,
         QStringLiteral("Other1"), all, true},
    };
    return entries;
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
