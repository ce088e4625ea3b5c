// The pasted-text reader (the Wit Capital paste box, walked by the shared
// tokenizer) on any text, against a database made once for the run.
#include "capture/broker_entries.h"
#include "capture/capture_parsers.h"
#include "fuzz_support.h"
#include "platform/prompter.h"
#include "store/database.h"

#include <QStringDecoder>
#include <QTemporaryDir>

namespace {

class YesPrompter final : public gainbook::Prompter {
public:
    void message(const QString&) override {}
    bool ask(const QString&) override { return true; }
};

QTemporaryDir* folder = nullptr;
gainbook::Database* database = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    gainbook::fuzz::startQt(argc, argv);
    folder = new QTemporaryDir;
    database = new gainbook::Database;
    if (!database->create(folder->filePath(QStringLiteral("fuzz.db"))).ok())
        qFatal("cannot create the fuzz database");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = gainbook::fuzz::bytesOf(data, size);
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        text = QString::fromLatin1(bytes);
    const gainbook::BrokerEntry* entry = gainbook::findBrokerEntry(QStringLiteral("Wit Capital"));
    gainbook::CaptureState state = gainbook::CaptureState::initial();
    gainbook::chooseBrokerEntry(state, *entry, QString(), QString());
    state.pasteData = true;
    state.pastedText = text;
    YesPrompter prompter;
    gainbook::CaptureRun run(state, database->connection(), prompter);
    (void)entry->parser(gainbook::PageDocument{}, run);
    return 0;
}
