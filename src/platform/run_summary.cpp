#include "platform/run_summary.h"

#include "platform/formats.h"

#include <QDir>

namespace gainbook {

namespace {

QString countedNoun(qint64 count, const QString& noun) {
    return count == 1 ? QStringLiteral("1 ") + noun : formatCount(count) + u' ' + noun + u's';
}

} // namespace

QString runSummaryText(const RunSummary& run, const Outcome& outcome) {
    // A refusal before anything ran (an empty field, the user's No) says
    // only what it says.
    if (outcome.stopped() && outcome.details.isEmpty() && run.look.isEmpty())
        return outcome.message;
    QStringList lines;
    // A stopped run wrote nothing whatever its count says: the count of a
    // cancelled one is how far it got before everything was taken back.
    const qint64 written = outcome.stopped() ? 0 : outcome.count;
    // A run that failed or stopped with nothing written leads with why.
    if (written > 0 && !run.where.isEmpty())
        lines << QStringLiteral("%1 wrote %2 to %3.")
                     .arg(run.run, countedNoun(written, run.noun),
                          QDir::toNativeSeparators(run.where));
    else if (written > 0)
        lines << QStringLiteral("%1 wrote %2.").arg(run.run, countedNoun(written, run.noun));
    else if (outcome.done() || outcome.message.isEmpty())
        lines << QStringLiteral("%1 wrote nothing.").arg(run.run);
    if (!outcome.message.isEmpty())
        lines << outcome.message;
    lines << outcome.details;
    if (!run.look.isEmpty()) {
        lines << QStringLiteral("Needs a look:");
        for (const QString& line : run.look)
            lines << QStringLiteral("- ") + line;
    }
    return lines.join(u'\n');
}

Outcome summarized(const RunSummary& run, Outcome outcome) {
    outcome.message = runSummaryText(run, outcome);
    outcome.details.clear();
    return outcome;
}

} // namespace gainbook
