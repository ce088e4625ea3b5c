// The pasted-text reader (the Wit Capital paste box, walked by the shared
// tokenizer) on any text. Parsers are pure functions of the page and the
// settings, so no database is needed.
#include "capture/broker_entries.h"
#include "capture/capture_parsers.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = gainbook::fuzz::textOf(data, size);
    static const gainbook::BrokerEntry* entry =
        gainbook::findBrokerEntry(QStringLiteral("Wit Capital"));
    gainbook::CaptureState state = gainbook::CaptureState::initial();
    gainbook::chooseBrokerEntry(state, *entry, QString(), QString());
    state.pasteData = true;
    state.pastedText = text;
    (void)entry->parser(gainbook::PageDocument{}, state.settings());
    return 0;
}
