#include "platform/progress.h"

namespace gainbook {

QString cancelledText(const QString& run) {
    return QStringLiteral("%1 was cancelled; nothing was changed.").arg(run);
}

Progress& unwatchedProgress() {
    static Progress unwatched;
    return unwatched;
}

void Progress::step(qint64 done, qint64 total) {
    if (!callback_)
        return;
    total = qMax<qint64>(total, 1);
    done = qBound<qint64>(0, done, total);
    const qint64 share = done * 1000 / total;
    // The first and last steps are always told: the watcher learns the
    // scale at once, and the end is a last chance to stop before a commit.
    if (total == toldTotal_ && share == toldShare_ && done != total)
        return;
    toldTotal_ = total;
    toldShare_ = share;
    if (!callback_(done, total))
        throw RunCancelled{};
}

Progress Progress::part(qint64 from, qint64 to, qint64 whole) {
    return Progress([this, from, to, whole](qint64 done, qint64 total) {
        step(from + (to - from) * done / qMax<qint64>(total, 1), whole);
        return true;
    });
}

} // namespace gainbook
