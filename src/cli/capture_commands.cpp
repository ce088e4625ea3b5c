#include "cli/capture_commands.h"

#include "capture/broker_entries.h"
#include "capture/capture_run.h"
#include "capture/capture_source.h"
#include "capture/exchange_time.h"
#include "capture/preset_parser.h"
#include "capture/sheet_rows.h"
#include "capture/sources/pasted_text.h"
#include "cli/capture_document.h"
#include "cli/cli_session.h"
#include "matching/run_end.h"
#include "platform/installed_files.h"
#include "platform/settings_store.h"

#include <QCoreApplication>
#include <QDir>

namespace gainbook {

namespace {

struct CaptureArgs {
    QString broker;
    std::optional<QString> account;
    std::optional<QString> month;
    std::optional<bool> derive;
    bool paste = false;
    int stallMs = 0;                      // --timeout in ms; 0: the page helper's own default
    std::optional<ColumnMapping> mapping; // --map FILE.json
    QString zone;                         // --zone ZONE; empty: UTC
    QMap<QString, QString> accountMap;    // --account-map NUMBER=NAME, each
    QString source;
};

// The entry named on the command line, matched without regard to case.
const BrokerEntry* brokerEntryNamed(const QString& name) {
    for (const BrokerEntry& entry : brokerEntries()) {
        if (entry.name.compare(name, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

// "--timeout S": seconds a page may go without progress, more than 0.
std::optional<int> stallLimit(const QString& text) {
    bool ok = false;
    const double seconds = text.toDouble(&ok);
    if (!ok || !(seconds > 0) || seconds > 86400)
        return std::nullopt;
    return std::max(1, int(seconds * 1000));
}

// Takes the options out of args; false (with code set) on a usage error.
bool parseArgs(CliSession& session, QStringList args, CaptureArgs& parsed, int& code) {
    bool missing = false;
    const auto broker = takeOption(args, QStringLiteral("--broker"), missing);
    parsed.account = takeOption(args, QStringLiteral("--account"), missing);
    parsed.month = takeOption(args, QStringLiteral("--month"), missing);
    const auto timeout = takeOption(args, QStringLiteral("--timeout"), missing);
    const auto map = takeOption(args, QStringLiteral("--map"), missing);
    parsed.zone = takeOption(args, QStringLiteral("--zone"), missing).value_or(QString());
    while (const auto pair = takeOption(args, QStringLiteral("--account-map"), missing)) {
        const qsizetype equals = pair->indexOf(u'=');
        const QString number = pair->left(std::max<qsizetype>(equals, 0)).trimmed();
        const QString name = pair->mid(equals + 1).trimmed();
        if (equals < 0 || number.isEmpty() || name.isEmpty()) {
            code = session.usage(QStringLiteral("--account-map takes NUMBER=NAME: %1").arg(*pair));
            return false;
        }
        parsed.accountMap.insert(number, name);
    }
    if (missing) {
        code = session.usage(QStringLiteral("An option is missing its value."));
        return false;
    }
    const bool derive = takeFlag(args, QStringLiteral("--derive"));
    const bool noDerive = takeFlag(args, QStringLiteral("--no-derive"));
    if (derive && noDerive) {
        code = session.usage(QStringLiteral("--derive and --no-derive cannot be given together."));
        return false;
    }
    if (derive || noDerive)
        parsed.derive = derive;
    parsed.paste = takeFlag(args, QStringLiteral("--paste"));
    if (!captureZone(parsed.zone)) {
        code = session.usage(unknownZoneMessage(parsed.zone));
        return false;
    }
    if (!checkPositional(session, args, 1, 1, code))
        return false;
    if (map) {
        // A mapping reads the sheet in place of an entry's own parser; the
        // fields start as "Other" sets them.
        if (broker) {
            code = session.usage(QStringLiteral("--map and --broker cannot be given together."));
            return false;
        }
        QString error;
        parsed.mapping = mappingFromFile(*map, &error);
        if (!parsed.mapping) {
            session.err() << "The column mapping " << *map << " cannot be used: " << error << '\n';
            code = ExitUsage;
            return false;
        }
    }
    if (timeout) {
        const auto stall = stallLimit(*timeout);
        if (!stall) {
            code = session.usage(
                QStringLiteral("--timeout takes a number of seconds greater than 0."));
            return false;
        }
        parsed.stallMs = *stall;
    }
    // Without a broker the file is read in the layout it is found to be in.
    const BrokerEntry* entry =
        brokerEntryNamed(map ? QStringLiteral("Other") : broker.value_or(detectEntryName()));
    if (!entry) {
        QStringList names;
        for (const BrokerEntry& e : brokerEntries())
            names << e.name;
        session.err() << "Wrong Account Type \n"
                      << "The entries are: " << names.join(QStringLiteral(", ")) << '\n';
        code = ExitUsage;
        return false;
    }
    parsed.broker = entry->name;
    parsed.source = args.front();
    return true;
}

} // namespace

int runCaptureCommand(CliSession& session, const QStringList& args) {
    CaptureArgs parsed;
    int code = ExitOk;
    if (!parseArgs(session, args, parsed, code))
        return code;

    // The fields start as the capture screen shows them once the entry is
    // chosen; the options then change them as typing into them would.
    CaptureState state = CaptureState::initial();
    if (const BrokerEntry* entry = findBrokerEntry(parsed.broker)) {
        const QString docs =
            findHelpFolder(QCoreApplication::applicationDirPath(), QDir::currentPath());
        chooseBrokerEntry(state, *entry, QDir::currentPath(),
                          QDir(docs).filePath(welcomePageName()));
    }
    if (parsed.account)
        state.account = *parsed.account;
    if (parsed.month)
        state.month = *parsed.month;
    if (parsed.derive)
        state.deriveFromData = *parsed.derive;
    if (parsed.mapping) {
        state.entry = parsed.mapping->name;
        state.mapping = parsed.mapping;
    }
    state.address = parsed.source;
    state.zone = parsed.zone;
    // The names given are remembered for the next capture, as the
    // screen's answers are.
    QtSettingsStore settings;
    state.accountNames.given = parsed.accountMap;
    state.accountNames.remembered = &settings;

    // The fields are checked before the source is opened, as pressing the
    // button on a page already shown would.
    const Outcome ready = checkCaptureFields(state);
    if (!ready.done())
        return session.finish(ready);

    // A relative name is a file of the current directory; the shipped pages
    // are the screen's.
    const CaptureSource source =
        resolveCaptureSource(parsed.source, QString(), QDir::currentPath(), parsed.paste);
    PageDocument document;
    QString error;
    if (source.kind == CaptureSource::Kind::PastedText) {
        const auto text = loadPastedText(source.path, &error);
        if (!text)
            return session.fail(error);
        state.pasteData = true;
        state.pastedText = *text;
    } else {
        switch (openCaptureDocument(source, parsed.source, document, error, parsed.stallMs)) {
        case DocumentOpen::Opened:
            break;
        case DocumentOpen::SourceFailed:
            // What cannot be opened as the document the entry reads is the
            // same as a page without the entry's data.
            session.err() << error << '\n';
            session.prompter().message(noDataMessage(state.entry));
            return ExitMessage;
        case DocumentOpen::ToolFailed:
            return session.fail(error);
        }
    }

    Progress progress = session.progress(QStringLiteral("Capture"));
    Outcome outcome = runCapture(std::move(document), state, session.database().connection(),
                                 session.prompter(), progress);
    // No window to map the columns in: the file holds no data this tool
    // can read, and the headings say what it holds instead.
    if (state.entry == detectEntryName() && outcome.message == missingHeadingMessage())
        outcome.message = noDataMessage(state.entry);
    return session.finish(
        storeRunEnd(session.database().connection(), RunKind::Capture, {}, std::move(outcome)));
}

} // namespace gainbook
