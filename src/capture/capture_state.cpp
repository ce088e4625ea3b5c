#include "capture/capture_state.h"

#include "capture/broker_entries.h"

namespace gainbook {

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
