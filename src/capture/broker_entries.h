#pragma once

#include "capture/capture_state.h"
#include "capture/parse_result.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <optional>

namespace gainbook {

// One entry of the broker list and what choosing it does to the fields.
struct BrokerEntry {
    enum class Address { Home, CurrentDirectory };
    enum class Derive { Keep, Check, Uncheck };

    QString name;
    CaptureParser parser;
    // The broker's web site; empty for a broker whose site is gone, which
    // leads to the shipped page on saving a history page instead.
    QString homeAddress;
    Address address;
    Derive derive;
    std::optional<QString> account; // nothing: the field keeps its text
    std::optional<QString> month;
    bool pasteEnabled;
};

// The entries in list order: "Detect", "Etrade", "Wit Capital", "Datek", "WebStreet",
// "FBR", "Waterhouse", the presets of today's brokers' exports, "Other".
const QVector<BrokerEntry>& brokerEntries();

const BrokerEntry* findBrokerEntry(const QString& name);

// The entries as the capture screen lists them: "Detect", the presets of
// today's brokers, "Other", then the six brokers of the past, whose pages
// only saved copies still hold.
QStringList screenEntryOrder();

// The file name of the shipped page under the docs folder.
QString welcomePageName();

// Choosing an entry in the list: fills the address, account and month and
// sets "Derive from Data" and whether "Paste Data" may be used. welcomePage
// is the full path of the shipped page.
void chooseBrokerEntry(CaptureState& state, const BrokerEntry& entry,
                       const QString& currentDirectory, const QString& welcomePage);

} // namespace gainbook
