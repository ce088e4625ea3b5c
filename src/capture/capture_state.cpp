#include "capture/capture_state.h"

#include "capture/broker_entries.h"

namespace gainbook {

CaptureSettings CaptureState::settings() const {
    CaptureSettings s;
    s.account = account;
    s.month = month;
    s.deriveFromData = deriveFromData;
    s.pasteData = pasteData;
    s.pastedText = pastedText;
    s.zone = zone;
    s.today = today;
    return s;
}

CaptureState CaptureState::initial() {
    CaptureState state;
    state.account = QStringLiteral("Account1");
    state.month = QStringLiteral("Month1");
    // The screen opens on the first entry, at its home page, filing under
    // the month "All".
    const BrokerEntry& first = brokerEntries().front();
    chooseBrokerEntry(state, first, QString(), welcomePageName());
    state.month = QStringLiteral("All");
    return state;
}

} // namespace gainbook
